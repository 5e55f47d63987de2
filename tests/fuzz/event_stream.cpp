// The random event stream: player actions through the handlers and the checks made after each.
#include "fuzz/event_stream.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "fuzz/peg_rules.h"
#include "player_texts.h"
#include "game/board.h"
#include "history/history.h"
#include "moves/moves.h"
#include "moves/record.h"
#include "shell/shell.h"

namespace tori::test {

namespace {

std::string text(float v) {
    if (std::isnan(v)) return "nan";
    std::string s = std::to_string(v);
    return s;
}

// A press position rounded as the board does it (nearest twip, halves to even); nothing for
// positions that are on no square of any board.
std::optional<int> twipOf(float v) {
    if (!(v > -1e6f && v < 1e6f)) return std::nullopt;
    return int(std::nearbyint(double(v)));
}

std::optional<Square> squareAt(float x, float y, int keta) {
    const auto rx = twipOf(x), ry = twipOf(y);
    if (!rx || !ry || *rx < 0 || *ry < 0) return std::nullopt;
    const int col = *rx / 450, row = *ry / 450;
    if (col < 1 || row < 1 || col > keta || row > keta) return std::nullopt;
    return Square{int16_t(col), int16_t(row)};
}

// Winning lines from each start position, found once.
const std::vector<Jump>& winningLine(int keta) {
    static std::map<int, std::vector<Jump>> lines;
    auto it = lines.find(keta);
    if (it == lines.end()) it = lines.emplace(keta, findWin(startPosition(keta), keta).value()).first;
    return it->second;
}

}  // namespace

uint32_t ByteChoices::next(uint32_t bound) {
    if (bound <= 1) return 0;
    uint32_t value = 0;
    const int bytes = bound <= 0x100 ? 1 : bound <= 0x10000 ? 2 : 4;
    for (int i = 0; i < bytes; ++i) value = value << 8 | (pos_ < size_ ? data_[pos_++] : 0);
    return value % bound;
}

// The toolkit of one run of the program: answers the winning question as the stream decides and
// checks the moment of the win.
class EventStream::Toolkit : public FakeToolkit {
public:
    Toolkit(GameState& s, EventStream& stream) : FakeToolkit(s), stream_(stream) {}
    int16_t msgBox(std::string_view prompt, int16_t flags) override {
        FakeToolkit::msgBox(prompt, flags);
        if (flags != vbInformation + vbYesNo) return vbOK;
        stream_.checkWinMoment(flags, prompt);
        return stream_.winAnswer_;
    }

private:
    EventStream& stream_;
};

struct EventStream::Session {
    GameState s;
    std::unique_ptr<EventStream::Toolkit> tk;
};

EventStream::EventStream(std::function<void(const std::string&)> fail) : fail_(std::move(fail)) { newSession(); }
EventStream::~EventStream() = default;

void EventStream::newSession() {
    session_ = std::make_unique<Session>();
    session_->tk = std::make_unique<Toolkit>(session_->s, *this);
    session_->tk->start();
    require(session_->tk->visiblePins().empty(), "a pin is visible after start-up");
}

void EventStream::require(bool ok, const std::string& what) {
    if (!ok) fail_(what + " (after: " + event_ + ")");
}

bool EventStream::choose(Menu m, int16_t index) {
    FakeToolkit& tk = *session_->tk;
    if (m != Menu::menuhelpcont && m != Menu::menuver) {
        tk.openMenu();
        checkMenuRule();
    }
    if (!tk.menu(m, index).enabled) return false;
    menuChosen(session_->s, tk, m, index);
    return true;
}

void EventStream::checkMenuRule() {
    FakeToolkit& tk = *session_->tk;
    const GameState& s = session_->s;
    require(tk.menu(Menu::menuundo).enabled == (s.tesuu > 0), "undo offered wrongly");
    require(tk.menu(Menu::menuclipbordcopy).enabled == (s.tesuu > 0), "copy offered wrongly");
    require(tk.menu(Menu::menuredo).enabled == (s.tesuu != s.tesuumax), "redo offered wrongly");
}

void EventStream::checkWinMoment(int16_t, std::string_view prompt) {
    FakeToolkit& tk = *session_->tk;
    const GameState& s = session_->s;
    wonThisEvent_ = true;
    ++counts_.wins;
    require(prompt == (s.undoused == kTrue ? kWinAfterUndo : kWinQuestion), "wrong winning message");
    // Input queued before the win has been handled by now and may have changed the board.
    if (queuedInputRan_) return;
    require(pincount(tk) == 1, "winning message with more than one pin");
    require(s.picked == kFalse, "winning message while a pin is lifted");
    require(tk.list.size() == size_t(s.tesuu), "winning line missing from the list");
    const auto n = tk.log.size();
    require(n >= 4 && tk.log[n - 4] == "doevents" && tk.log[n - 3] == "doevents" &&
                tk.log[n - 2] == "sound tada.wav 1",
            "the win did not process events twice and start the sound before asking");
}

void EventStream::pressOn(float x, float y, int16_t button, int16_t shift) {
    FakeToolkit& tk = *session_->tk;
    GameState& s = session_->s;
    event_ = "press " + text(x) + "," + text(y) + " button " + std::to_string(button) + " shift " +
             std::to_string(shift);
    // A press on a pin button goes to that button, as on the screen; pins keep right and middle presses.
    const auto rx = twipOf(x), ry = twipOf(y);
    if (rx && ry) {
        for (int16_t i = 1; i <= kPinButtons; ++i) {
            const ControlState& p = tk.pin(i);
            if (p.visible && *rx >= p.left && *rx < p.left + 450 && *ry >= p.top && *ry < p.top + 450) {
                event_ += " on pin " + std::to_string(i);
                if (button == vbLeftButton) tk.clickPin(i);
                return;
            }
        }
    }

    const GameState before = s;
    const size_t lines = tk.list.size();
    const auto square = s.keta ? squareAt(x, y, s.keta) : std::nullopt;
    const int popups = tk.popups;
    Squares pinsBefore = 0;
    for (int16_t i = 1; i <= kPinButtons; ++i)
        if (tk.pinVisible(i)) pinsBefore |= bit(i);
    tk.press(x, y, button, shift);
    if (wonThisEvent_) return;  // the board is laid out again or the program has ended
    if (button == 2) {
        require(tk.popups == popups + 1, "a right press opened no pop-up");
        return;
    }
    require(tk.popups == popups, "a pop-up opened for another button");
    if (button != vbLeftButton || !square) {
        require(s == before && tk.messages.empty(), "a press off the board changed something");
        return;
    }
    const int d = (square->row - 1) * s.keta + square->col;
    if (!inTriangle(d, s.keta)) {
        ++counts_.refusals;
        require(tk.messages.size() == 1 && tk.messages[0] == Message{std::string(kTriangleRefusal), vbInformation},
                "no refusal for a square outside the triangle");
        require(s == before, "a refused press changed the game");
        return;
    }
    if (before.picked != kTrue) {
        require(s == before && tk.messages.empty(), "a press with no pin lifted changed something");
        return;
    }
    // With a pin lifted: the rules decide whether this square is a jump.
    const int16_t p = before.frompin[before.tesuu];
    const auto jumps = legalJumps(pinsBefore | bit(p), s.keta);
    const bool legal = std::any_of(jumps.begin(), jumps.end(), [&](const Jump& j) { return j.from == p && j.to == d; });
    if (legal) {
        ++counts_.jumps;
        require(s.picked == kFalse && tk.list.size() == lines + 1, "a legal jump was refused");
    } else {
        require(s.picked == kTrue && s.tesuu == before.tesuu && tk.list.size() == lines && tk.messages.empty(),
                "an illegal destination was taken");
    }
}

void EventStream::press(Choices& c) {
    const auto coordinate = [&]() -> float {
        switch (c.next(6)) {
            case 0: return float(int(c.next(10)) - 1) * 450 + 225;  // a square's centre, margins and beyond
            case 1: return float(int(c.next(10)) * 450) + std::array{-0.5f, -0.4f, 0.0f, 0.4f, 0.5f, 449.4f,
                                                                    449.5f}[c.next(7)];
            case 2: return float(int(c.next(9000)) - 4000) / 2;  // whole and half twips
            case 3: return float(c.next(3600)) + float(c.next(1000)) / 1000;
            case 4: return std::array{-1.0f, -449.0f, -450.0f, -0.5f, -1e9f, 1e9f, 3.4e38f, -3.4e38f, 32000.0f,
                                      32767.5f, 65536.0f, std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity()}[c.next(14)];
            default: return float(c.next(400) + 450);
        }
    };
    const float x = coordinate(), y = coordinate();
    const uint32_t b = c.next(10);
    const int16_t button = b < 8 ? vbLeftButton : b == 8 ? 2 : 4;
    pressOn(x, y, button, int16_t(c.next(4)));
}

void EventStream::playLegal(Choices& c) {
    FakeToolkit& tk = *session_->tk;
    GameState& s = session_->s;
    if (s.keta == 0 || s.picked == kTrue) return;
    Squares pins = 0;
    for (int16_t i = 1; i <= kPinButtons; ++i)
        if (tk.pinVisible(i)) pins |= bit(i);
    const auto jumps = legalJumps(pins, s.keta);
    if (jumps.empty()) return;
    const Jump j = jumps[c.next(uint32_t(jumps.size()))];
    const Square to = squareOf(j.to, s.keta);
    event_ = "jump " + std::to_string(j.from) + " over " + std::to_string(j.over) + " to " + std::to_string(j.to);
    tk.clickPin(j.from);
    // Anywhere inside the destination square.
    const float x = float(to.col * 450 + int(c.next(450))), y = float(to.row * 450 + int(c.next(450)));
    const int16_t t = s.tesuu;
    pressOn(x, y, vbLeftButton, 0);
    if (!wonThisEvent_) require(s.picked == kFalse && s.tesuu == t, "a legal jump did not complete");
}

void EventStream::playWinningLine(bool wholeLine) {
    FakeToolkit& tk = *session_->tk;
    GameState& s = session_->s;
    if (s.keta == 0) return;
    const auto& line = winningLine(s.keta);
    const auto onLine = [&] {
        if (s.picked != kFalse || s.tesuu >= int(line.size())) return false;
        Squares expected = startPosition(s.keta);
        for (int t = 0; t < s.tesuu; ++t) expected = apply(expected, line[size_t(t)]);
        for (int16_t i = 1; i <= kPinButtons; ++i)
            if (tk.pinVisible(i) != bool(expected & bit(i))) return false;
        return true;
    };
    if (!onLine()) {
        if (!wholeLine) return;
        choose(Menu::menurestart);
    }
    event_ = wholeLine ? "the winning line to the end" : "the next move of the winning line";
    do {
        const Jump& j = line[size_t(s.tesuu)];
        const Square to = squareOf(j.to, s.keta);
        tk.clickPin(j.from);
        pressOn(float(to.col * 450 + 225), float(to.row * 450 + 225), vbLeftButton, 0);
    } while (wholeLine && !wonThisEvent_ && onLine());
}

void EventStream::queueInput(Choices& c) {
    // What the player might click while the winning move is being handled.
    FakeToolkit& tk = *session_->tk;
    GameState& s = session_->s;
    const uint32_t what = c.next(3);
    const auto pin = int16_t(c.next(kPinButtons) + 1);
    const auto size = int16_t(c.next(3));
    tk.onDoEvents = [this, &tk, &s, what, pin, size] {
        queuedInputRan_ = true;
        if (what == 0) {
            tk.clickPin(pin);
        } else if (what == 1) {
            tk.openMenu();
            if (tk.menu(Menu::menuundo).enabled) menuChosen(s, tk, Menu::menuundo, 0);
        } else {
            tk.onPopup = [&tk, &s, size] { menuChosen(s, tk, Menu::ketasu, size); };
            tk.press(100, 1000, 2, 0);
            tk.onPopup = nullptr;
        }
    };
}

void EventStream::checkUndoRedoInverse(Choices& c) {
    // On a copy, so that the game under test keeps undoused as the player left it.
    const GameState& s = session_->s;
    if (s.picked != kFalse) return;
    const bool undoFirst = s.tesuu > 0 && (s.tesuu == s.tesuumax || c.next(2) == 0);
    if (!undoFirst && s.tesuu == s.tesuumax) return;
    ++counts_.inverseChecks;
    GameState copyState = s;
    FakeToolkit copy(*session_->tk, copyState);
    if (undoFirst) {
        menuundo_Click(copyState, copy);
        menuredo_Click(copyState, copy);
    } else {
        menuredo_Click(copyState, copy);
        menuundo_Click(copyState, copy);
    }
    GameState expected = s;
    expected.undoused = kTrue;
    require(copyState == expected, undoFirst ? "undo then redo changed the game state" : "redo then undo changed the game state");
    require(copy.list == session_->tk->list, "undo and redo changed the move list");
    for (int16_t i = 0; i <= kPinButtons; ++i) {
        const ControlState &a = copy.pin(i), &b = session_->tk->pin(i);
        require(a.visible == b.visible && a.left == b.left && a.top == b.top, "undo and redo changed pin " + std::to_string(i));
    }
    require(copy.messages.size() == session_->tk->messages.size() && copy.sounds.size() == session_->tk->sounds.size(),
            "undo or redo spoke or played a sound");
}

void EventStream::checkAll() {
    FakeToolkit& tk = *session_->tk;
    const GameState& s = session_->s;
    require(s.lastcell == kLastcell, "lastcell is not kLastcell");
    require(s.keta == 0 || (s.keta >= kMinKeta && s.keta <= kMaxKeta), "keta out of range");
    require(s.picked == kFalse || s.picked == kTrue, "picked is no flag");
    require(s.undoused == kFalse || s.undoused == kTrue, "undoused is no flag");
    require(s.tesuu >= 0 && s.tesuu <= kMostMoves && s.tesuumax >= 0 && s.tesuumax <= kMostMoves,
            "move numbers out of range");
    require(s.tesuu <= s.tesuumax, "tesuu beyond tesuumax");
    require(!tk.pinVisible(0), "the template pin is visible");

    // Menus and the list window.
    const bool listShown = tk.windows[Form::Form3].visible;
    require(listShown == !tk.menu(Menu::menulistview).enabled, "list window and its menu item disagree");
    for (int16_t i = 0; i <= 2; ++i)
        require(tk.menu(Menu::ketasu, i).checked == (s.keta == i + 5), "size check marks wrong");
    require(tk.menu(Menu::menurestart).enabled == (s.keta != 0), "restart offered wrongly");

    Squares pins = 0;
    for (int16_t i = 1; i <= kPinButtons; ++i) {
        const ControlState& p = tk.pin(i);
        if (!p.visible) continue;
        pins |= bit(i);
        const bool onBoard = s.keta != 0 && i <= s.keta * s.keta && cellcheck(i, s.keta) == kTrue && inTriangle(i, s.keta);
        require(onBoard, "pin " + std::to_string(i) + " stands off the triangle");
        if (!onBoard) continue;
        const Square sq = squareOf(i, s.keta);
        require(p.left == sq.col * 450 && p.top == sq.row * 450 && p.width == 450 && p.height == 450,
                "pin " + std::to_string(i) + " is not on its square");
    }
    if (s.keta == 0) {
        require(pins == 0 && s.tesuu == 0 && tk.list.empty(), "a game before any size was chosen");
        return;
    }

    const bool lifted = s.picked == kTrue;
    const int completed = lifted ? s.tesuu - 1 : s.tesuu;
    if (lifted) {
        require(s.tesuumax == s.tesuu && s.tesuu >= 1, "tesuumax differs from tesuu while a pin is lifted");
        require(s.redofrom[s.tesuu] == s.frompin[s.tesuu], "redofrom differs from frompin");
    }
    require(completed >= 0 && tk.list.size() == size_t(completed), "the list does not have one line per move");
    const int startCount = countOf(startPosition(s.keta));
    require(countOf(pins) == startCount - completed - (lifted ? 1 : 0), "wrong number of pins on the board");

    // The board must be the start position with the recorded moves played on it, each move legal.
    Squares replay = startPosition(s.keta);
    for (int t = 1; t <= std::min(completed, int(tk.list.size())); ++t) {
        const Jump j{s.frompin[t], s.overpin[t], s.topin[t]};
        const auto legal = legalJumps(replay, s.keta);
        require(std::find(legal.begin(), legal.end(), j) != legal.end(), "move " + std::to_string(t) + " is no legal jump");
        replay = apply(replay, j);
        const Square from = squareOf(j.from, s.keta), to = squareOf(j.to, s.keta);
        require(from.col == s.fromx[t] && from.row == s.fromy[t] && to.col == s.tox[t] && to.row == s.toy[t],
                "move " + std::to_string(t) + " has columns and rows of other squares");
        require(s.redofrom[t] == s.frompin[t] && s.redoto[t] == s.topin[t] && s.redoover[t] == s.overpin[t],
                "redo copies of move " + std::to_string(t) + " differ");
        require(tk.list[size_t(t - 1)] == recordLine(int16_t(t), s.fromx[t], s.fromy[t], s.tox[t], s.toy[t]),
                "list line " + std::to_string(t) + " is not the record of move " + std::to_string(t));
    }
    if (lifted) replay &= ~bit(s.frompin[s.tesuu]);
    require(replay == pins, "the board is not the start position with the listed moves played");

    // Moves taken back must still replay legally from here.
    if (!lifted) {
        for (int t = s.tesuu + 1; t <= s.tesuumax; ++t) {
            const Jump j{s.redofrom[t], s.redoover[t], s.redoto[t]};
            const auto legal = legalJumps(replay, s.keta);
            require(std::find(legal.begin(), legal.end(), j) != legal.end(), "move " + std::to_string(t) + " cannot be redone");
            replay = apply(replay, j);
        }
    }
}

void EventStream::step(Choices& c) {
    if (session_->tk->ended) newSession();
    FakeToolkit& tk = *session_->tk;
    GameState& s = session_->s;
    // Only this event's calls matter; the record of earlier ones would only grow.
    tk.log.clear();
    tk.messages.clear();
    tk.sounds.clear();
    wonThisEvent_ = false;
    queuedInputRan_ = false;
    winAnswer_ = c.next(8) == 0 ? vbNo : vbYes;
    if (c.next(8) == 0) queueInput(c);
    ++counts_.events;

    switch (c.next(24)) {
        case 0: case 1: case 2: case 3: case 4: press(c); break;
        case 5: case 6: {
            const auto i = int16_t(c.next(50));
            event_ = "pin_Click " + std::to_string(i);
            const bool canClick = i >= 1 && tk.pinVisible(i);
            const GameState before = s;
            tk.clickPin(i);
            if (canClick && before.picked == kTrue) {
                ++counts_.refusals;
                require(s == before && tk.messages.size() == 1 &&
                            tk.messages[0] == Message{std::string(kLiftedRefusal), vbInformation},
                        "a pin click while lifted was not refused");
            }
            if (canClick && before.picked == kFalse)
                require(s.picked == kTrue && s.tesuu == before.tesuu + 1 && !tk.pinVisible(i), "a pin was not lifted");
            break;
        }
        case 7: case 8: case 9: case 10: playLegal(c); break;
        case 11: case 12: playWinningLine(false); break;
        case 13:
            if (c.next(8) == 0) playWinningLine(true);
            break;
        case 14: case 15:
            event_ = "undo";
            if (choose(Menu::menuundo)) ++counts_.undos;
            break;
        case 16: case 23:
            event_ = "redo";
            if (choose(Menu::menuredo)) ++counts_.redos;
            break;
        case 17:
            event_ = "restart";
            if (c.next(4) == 0 && choose(Menu::menurestart)) ++counts_.restarts;
            break;
        case 18: {
            const auto index = int16_t(c.next(3));
            event_ = "size " + std::to_string(index + 5);
            if (c.next(3) != 0) break;
            if (c.next(2) == 0) {
                choose(Menu::ketasu, index);
            } else {
                // From the pop-up: a right press in the label margin, where no pin can stand, and the
                // choice made inside the pop-up.
                event_ += " from the pop-up";
                tk.onPopup = [&] { menuChosen(s, tk, Menu::ketasu, index); };
                tk.press(float(c.next(450)), float(c.next(4000)), 2, int16_t(c.next(4)));
                tk.onPopup = nullptr;
            }
            ++counts_.sizeChoices;
            break;
        }
        case 19: {
            event_ = "copy";
            if (choose(Menu::menuclipbordcopy)) {
                ++counts_.copies;
                std::string expected = "プレイ日: " + tk.nowText + "\r\n桁数: " + std::to_string(s.keta) + "桁 \r\n";
                for (const auto& l : tk.list) expected += "\r\n" + l;
                require(tk.clipboard == expected, "clipboard text differs from the list");
            }
            break;
        }
        case 20:
            event_ = "list window";
            if (tk.windows[Form::Form3].visible)
                commandClicked(s, tk, Form::Form3);
            else
                choose(Menu::menulistview);
            break;
        case 21:
            event_ = "about and help";
            choose(Menu::menuver);
            require(tk.windows[Form::Form2].visible, "the About box did not open");
            commandClicked(s, tk, Form::Form2);
            require(!tk.windows[Form::Form2].loaded, "the About box did not close");
            choose(Menu::menuhelpcont);
            break;
        case 22:
            event_ = "exit";
            if (c.next(64) == 0) {
                choose(Menu::menuend);
                require(tk.ended && tk.log.back() == "end", "exit did not end the program");
                ++counts_.endings;
                return;
            }
            break;
    }
    tk.onDoEvents = nullptr;
    if (tk.ended) {
        require(wonThisEvent_ && winAnswer_ == vbNo && tk.log.back() == "end", "the program ended unasked");
        ++counts_.endings;
        return;
    }
    checkAll();
    if (c.next(4) == 0) checkUndoRedoInverse(c);
}

}  // namespace tori::test
