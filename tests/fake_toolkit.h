// A toolkit that records every call, keeps the state of every window and control, and answers
// message boxes from a script: tests see exactly what the player would see.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori::test {

struct WindowState {
    bool loaded = false, visible = false;
    float top = 0, left = 0, width = 0, height = 0;
    std::string caption;
    Pointer pointer = Pointer::standard;
    int loads = 0;
    friend bool operator==(const WindowState&, const WindowState&) = default;
};

struct ControlState {
    bool loaded = false, visible = false;
    float left = 0, top = 0, width = 0, height = 0;
    std::string caption;
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

struct MenuState {
    bool enabled = true, checked = false;
    friend bool operator==(const MenuState&, const MenuState&) = default;
};

struct Message {
    std::string prompt;
    int16_t flags;
    friend bool operator==(const Message&, const Message&) = default;
};

struct Stroke {
    bool box;  // a filled box, else a line
    float x1, y1, x2, y2;
    Rgb colour;
    friend bool operator==(const Stroke&, const Stroke&) = default;
};

// What a FakeToolkit follows and records: everything it holds but the game it drives.
struct Recording {
    // Scripts.
    std::deque<int16_t> answers;                   // message box answers; vbOK, or vbNo when empty
    std::function<void()> onPopup;                 // what the player does in an open pop-up
    std::function<void()> onDoEvents;              // input queued while events are processed
    bool clipboardWorks = true;

    // Everything recorded.
    std::vector<std::string> log;
    std::vector<Message> messages;
    std::vector<std::string> listAtMessage;  // the move list, and picked, as the last message showed
    int16_t pickedAtMessage = 1;
    std::vector<Stroke> strokes;
    std::map<Form, WindowState> windows;
    std::map<std::tuple<Form, Control, int16_t>, ControlState> controls;
    std::map<std::pair<Menu, int16_t>, MenuState> menus;
    std::vector<std::string> list;
    std::string clipboard;
    int clipboardFormats = 0;  // how many formats the clipboard holds
    std::string nowText = "2026/12/07 4:20:17";
    std::string directory = "/opt/toripin";
    std::string helpPathSet;
    std::vector<std::string> sounds;
    std::vector<std::tuple<intptr_t, std::string, int16_t, int32_t>> helpCalls;
    float screenW = 12000, screenH = 9000;
    bool ended = false;
    int popups = 0;
};

class FakeToolkit : public Toolkit, public Recording {
public:
    explicit FakeToolkit(GameState& s);
    // A copy of the whole recording, driving `s` instead: lets a test try something on the copy and
    // compare it with the one it was copied from.
    FakeToolkit(const FakeToolkit& other, GameState& s) : Recording(other), state(s) {}

    // What the player does, delivered as a real toolkit would deliver it.
    void start();                                  // runs Main
    void clickPin(int16_t i);                      // only a visible pin can be clicked
    void press(float x, float y, int16_t button = 1, int16_t shift = 0);
    void pressSquare(int16_t col, int16_t row, int16_t button = 1);  // the centre of a square
    void click(int16_t col, int16_t row);          // a pin if one stands there, else the surface
    void key(int16_t keyCode);                     // a key pressed in the board window
    void choose(Menu m, int16_t index = 0);        // opens its menu first, as the menu bar does
    void openMenu();                               // the Menu menu about to open

    GameState& state;

    // Reading back.
    ControlState& pin(int16_t i) { return controls[{Form::Form1, Control::pin, i}]; }
    bool pinVisible(int16_t i) { return pin(i).visible; }
    ControlState& cursor() { return controls[{Form::Form1, Control::Shape1, 0}]; }
    std::vector<int16_t> visiblePins();
    // Shows exactly the given pins and hides every other pin button, as if they had been played there.
    void setPins(const std::vector<int16_t>& indices);
    MenuState& menu(Menu m, int16_t index = 0) { return menus[{m, index}]; }
    size_t logCount(const std::string& prefix) const;

    // Toolkit
    void show(Form f, bool modal) override;
    void hide(Form f) override;
    void unload(Form f) override;
    float top(Form f) override;
    float left(Form f) override;
    float width(Form f) override;
    float height(Form f) override;
    void setTop(Form f, float twips) override;
    void setLeft(Form f, float twips) override;
    void setWidth(Form f, float twips) override;
    void setHeight(Form f, float twips) override;
    void setCaption(Form f, std::string_view text) override;
    void setFocus(Form f) override;
    void setMousePointer(Form f, Pointer p) override;
    float screenWidth() override;
    float screenHeight() override;
    void load(Form f, Control c, int16_t i) override;
    void setLeft(Form f, Control c, int16_t i, float twips) override;
    void setTop(Form f, Control c, int16_t i, float twips) override;
    void setWidth(Form f, Control c, int16_t i, float twips) override;
    void setHeight(Form f, Control c, int16_t i, float twips) override;
    void setCaption(Form f, Control c, int16_t i, std::string_view text) override;
    void setVisible(Form f, Control c, int16_t i, bool visible) override;
    bool visible(Form f, Control c, int16_t i) override;
    void listAppend(std::string_view line) override;
    void listRemove(int16_t index) override;
    void listClear() override;
    int16_t listCount() override;
    std::string listLine(int16_t index) override;
    void setEnabled(Menu m, int16_t index, bool enabled) override;
    void setChecked(Menu m, int16_t index, bool checked) override;
    void popupMenu(Menu m) override;
    void fillBox(float x1, float y1, float x2, float y2, Rgb colour) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    int16_t msgBox(std::string_view prompt, int16_t flags) override;
    void doEvents() override;
    void clipboardClear() override;
    bool clipboardSetText(std::string_view text) override;
    std::string now() override;
    std::string appPath() override;
    void setHelpFile(std::string_view path) override;
    std::string helpFile() override;
    intptr_t hWnd(Form f) override;
    void winHelp(intptr_t hwnd, std::string_view file, int16_t command, int32_t data) override;
    void sndPlaySound(std::string_view file, int16_t flags) override;
    void end() override;

private:
    void ensureLoaded(Form f);
    ControlState& control(Form f, Control c, int16_t i);
    void record(std::string entry) { log.push_back(std::move(entry)); }
    void set(Form f, const char* what, float WindowState::*field, float twips);
    void set(Form f, Control c, int16_t i, const char* what, float ControlState::*field, float twips);
};
// The copy takes the Recording whole: a member of FakeToolkit's own besides `state` would not be copied.
static_assert(sizeof(FakeToolkit) == sizeof(Toolkit) + sizeof(Recording) + sizeof(GameState*),
              "FakeToolkit holds nothing but the game it drives and its Recording");

// A square by column and row.
struct Sq {
    int16_t col, row;
};

// A program started by Main, with a board of the given size chosen from the menu (none for 0); the
// log starts after the choice.
struct StartedGame {
    GameState s;
    FakeToolkit tk{s};
    explicit StartedGame(int16_t keta = 0) {
        tk.start();
        if (keta != 0) tk.choose(Menu::ketasu, int16_t(keta - 5));
        tk.log.clear();
    }
    int16_t at(Sq q) const { return int16_t((q.row - 1) * s.keta + q.col); }
    // Pins on these squares alone.
    void only(std::initializer_list<Sq> squares) {
        std::vector<int16_t> pins;
        for (Sq q : squares) pins.push_back(at(q));
        tk.setPins(pins);
    }
};

// Plays a whole move: a click on the pin at (fromCol, fromRow), a press on (toCol, toRow).
void play(FakeToolkit& tk, int16_t fromCol, int16_t fromRow, int16_t toCol, int16_t toRow);

}  // namespace tori::test
