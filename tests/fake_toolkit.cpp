#include "fake_toolkit.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

#include "board/board_window.h"
#include "moves/moves.h"
#include "platform/design.h"
#include "shell/shell.h"

namespace tori::test {

namespace {

// The names of toolkit.h's enumerations, in their order.
constexpr const char* kFormNames[] = {"Form1", "Form2", "Form3"};
constexpr const char* kControlNames[] = {"pin", "Label1", "Label2", "List1", "Command1", "Image1", "Shape1"};
constexpr const char* kMenuNames[] = {"menumenu",     "menuselect", "ketasu",      "menusen1",    "menuundo",
                                      "menuredo",     "menusen3",   "menurestart", "menusen5",    "menulistview",
                                      "menusen2",     "menuclipbordcopy", "menusen10", "menuend",  "helper",
                                      "menuhelpcont", "menuver"};
static_assert(std::size(kFormNames) == kForms && std::size(kControlNames) == kControls &&
              std::size(kMenuNames) == kMenuItems, "a name for every window, control and menu item of toolkit.h");

const char* name(Form f) { return kFormNames[int(f)]; }
const char* name(Control c) { return kControlNames[int(c)]; }
const char* name(Menu m) { return kMenuNames[int(m)]; }

std::string num(float v) {
    // Positions a window can deliver also include NaN, infinities and far-off values.
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (std::fabs(v) >= 1e15f) return std::to_string(v);
    if (v == std::floor(v)) return std::to_string(long(v));
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    return s;
}

std::string ctl(Form f, Control c, int16_t i) {
    return std::string(name(f)) + "." + name(c) + "(" + std::to_string(i) + ")";
}

}  // namespace

FakeToolkit::FakeToolkit(GameState& s) : state(s) {
    // Form1's design-time controls: the three templates.
    auto& pin0 = controls[{Form::Form1, Control::pin, 0}];
    pin0 = {true, true, design::kPinTemplate.left, design::kPinTemplate.top, design::kPinTemplate.width,
            design::kPinTemplate.height, {}};
    auto& l1 = controls[{Form::Form1, Control::Label1, 0}];
    l1 = {true, false, design::kLabel1Template.left, design::kLabel1Template.top, design::kLabel1Template.width,
          design::kLabel1Template.height, "1"};
    auto& l2 = controls[{Form::Form1, Control::Label2, 0}];
    l2 = {true, false, design::kLabel2Template.left, design::kLabel2Template.top, design::kLabel2Template.width,
          design::kLabel2Template.height, "1"};
    const design::Rect& c = design::kShape1;
    controls[{Form::Form1, Control::Shape1, 0}] = {true, false, c.left, c.top, c.width, c.height, {}};
    for (const MenuItem& item : menuTree()) menus[{item.id, item.index}] = {item.enabled, false};
    // The move list's outer width as a desktop frames it: its client area and three pixels each side.
    windows[Form::Form3].width = design::kForm3ClientWidth + 90;
}

void FakeToolkit::start() { Main(state, *this); }

void FakeToolkit::clickPin(int16_t i) {
    if (i < 1 || i > 49 || !pinVisible(i)) return;
    cursor().visible = false;  // the pointer used on the board hides the keyboard cursor
    record("event pin_Click " + std::to_string(i));
    pin_Click(state, *this, i);
}

void FakeToolkit::press(float x, float y, int16_t button, int16_t shift) {
    record("event Form_MouseDown " + std::to_string(button) + " " + num(x) + "," + num(y));
    cursor().visible = false;
    form1::Form_MouseDown(state, *this, button, shift, x, y);
}

void FakeToolkit::pressSquare(int16_t col, int16_t row, int16_t button) {
    press(col * 450 + 225, row * 450 + 225, button);
}

void FakeToolkit::click(int16_t col, int16_t row) {
    // A visible pin button covering the square takes the click.
    for (int16_t i = 1; i <= 49; ++i) {
        const ControlState& p = pin(i);
        if (p.visible && p.left == col * 450 && p.top == row * 450) return clickPin(i);
    }
    pressSquare(col, row);
}

void FakeToolkit::key(int16_t keyCode) {
    record("event Form_KeyDown " + std::to_string(keyCode));
    form1::Form_KeyDown(state, *this, keyCode, 0);
}

void FakeToolkit::openMenu() {
    record("event menumenu about to open");
    menumenu_Click(state, *this);
}

void FakeToolkit::choose(Menu m, int16_t index) {
    if (m != Menu::menuhelpcont && m != Menu::menuver) openMenu();
    if (!menu(m, index).enabled) throw std::logic_error(std::string("chose a disabled item: ") + name(m));
    record(std::string("event choose ") + name(m) + "(" + std::to_string(index) + ")");
    menuChosen(state, *this, m, index);
}

std::vector<int16_t> FakeToolkit::visiblePins() {
    std::vector<int16_t> out;
    for (int16_t i = 0; i <= 49; ++i)
        if (pinVisible(i)) out.push_back(i);
    return out;
}

void FakeToolkit::setPins(const std::vector<int16_t>& indices) {
    for (int16_t i = 0; i <= 49; ++i) control(Form::Form1, Control::pin, i).visible = false;
    for (int16_t i : indices) control(Form::Form1, Control::pin, i).visible = true;
}

size_t FakeToolkit::logCount(const std::string& prefix) const {
    return size_t(std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

void FakeToolkit::ensureLoaded(Form f) {
    WindowState& w = windows[f];
    if (w.loaded) return;
    w.loaded = true;
    ++w.loads;
    record(std::string("load ") + name(f));
    if (f == Form::Form2)
        for (int16_t i = 0; i <= 2; ++i) controls[{Form::Form2, Control::Label1, i}] = {true, true, 0, 0, 0, 0, {}};
    formLoaded(state, *this, f);
}

ControlState& FakeToolkit::control(Form f, Control c, int16_t i) {
    auto it = controls.find({f, c, i});
    if (it == controls.end() || !it->second.loaded) throw std::out_of_range("no control " + ctl(f, c, i));
    return it->second;
}

void FakeToolkit::show(Form f, bool modal) {
    record(std::string("show ") + name(f) + (modal ? " modal" : ""));
    ensureLoaded(f);
    windows[f].visible = true;
}

void FakeToolkit::hide(Form f) {
    record(std::string("hide ") + name(f));
    ensureLoaded(f);
    windows[f].visible = false;
}

void FakeToolkit::unload(Form f) {
    record(std::string("unload ") + name(f));
    WindowState& w = windows[f];
    if (!w.loaded) return;
    w.loaded = w.visible = false;
    if (f == Form::Form3) list.clear();
    if (f == Form::Form2)
        for (int16_t i = 0; i <= 2; ++i) controls.erase({Form::Form2, Control::Label1, i});
}

float FakeToolkit::top(Form f) { ensureLoaded(f); return windows[f].top; }
float FakeToolkit::left(Form f) { ensureLoaded(f); return windows[f].left; }
float FakeToolkit::width(Form f) { ensureLoaded(f); return windows[f].width; }
float FakeToolkit::height(Form f) { ensureLoaded(f); return windows[f].height; }

void FakeToolkit::set(Form f, const char* what, float WindowState::*field, float v) {
    record(std::string(what) + " " + name(f) + " " + num(v));
    ensureLoaded(f);
    windows[f].*field = v;
}
void FakeToolkit::setTop(Form f, float v) { set(f, "top", &WindowState::top, v); }
void FakeToolkit::setLeft(Form f, float v) { set(f, "left", &WindowState::left, v); }
void FakeToolkit::setWidth(Form f, float v) { set(f, "width", &WindowState::width, v); }
void FakeToolkit::setHeight(Form f, float v) { set(f, "height", &WindowState::height, v); }
void FakeToolkit::setCaption(Form f, std::string_view text) {
    record(std::string("caption ") + name(f) + " " + std::string(text));
    ensureLoaded(f);
    windows[f].caption = text;
}
void FakeToolkit::setFocus(Form f) { record(std::string("focus ") + name(f)); }
void FakeToolkit::setMousePointer(Form f, Pointer p) {
    record(std::string("pointer ") + name(f) + (p == Pointer::hourglass ? " hourglass" : " default"));
    windows[f].pointer = p;
}
float FakeToolkit::screenWidth() { return screenW; }
float FakeToolkit::screenHeight() { return screenH; }

void FakeToolkit::load(Form f, Control c, int16_t i) {
    record("load " + ctl(f, c, i));
    ControlState copy = control(f, c, 0);
    copy.visible = false;
    auto [it, fresh] = controls.try_emplace({f, c, i}, copy);
    if (!fresh && it->second.loaded) throw std::runtime_error("control array element already loaded");
    it->second = copy;
}

void FakeToolkit::set(Form f, Control c, int16_t i, const char* what, float ControlState::*field, float v) {
    record(std::string(what) + " " + ctl(f, c, i) + " " + num(v));
    control(f, c, i).*field = v;
}
void FakeToolkit::setLeft(Form f, Control c, int16_t i, float v) { set(f, c, i, "left", &ControlState::left, v); }
void FakeToolkit::setTop(Form f, Control c, int16_t i, float v) { set(f, c, i, "top", &ControlState::top, v); }
void FakeToolkit::setWidth(Form f, Control c, int16_t i, float v) { set(f, c, i, "width", &ControlState::width, v); }
void FakeToolkit::setHeight(Form f, Control c, int16_t i, float v) { set(f, c, i, "height", &ControlState::height, v); }
void FakeToolkit::setCaption(Form f, Control c, int16_t i, std::string_view text) {
    record("caption " + ctl(f, c, i) + " " + std::string(text));
    control(f, c, i).caption = text;
}
void FakeToolkit::setVisible(Form f, Control c, int16_t i, bool v) {
    record((v ? "show " : "hide ") + ctl(f, c, i));
    control(f, c, i).visible = v;
}
bool FakeToolkit::visible(Form f, Control c, int16_t i) { return control(f, c, i).visible; }

void FakeToolkit::listAppend(std::string_view line) {
    record("list append " + std::string(line));
    ensureLoaded(Form::Form3);
    list.emplace_back(line);
}
void FakeToolkit::listRemove(int16_t index) {
    record("list remove " + std::to_string(index));
    ensureLoaded(Form::Form3);
    if (index < 0 || size_t(index) >= list.size()) throw std::out_of_range("list index");
    list.erase(list.begin() + index);
}
void FakeToolkit::listClear() {
    record("list clear");
    ensureLoaded(Form::Form3);
    list.clear();
}
int16_t FakeToolkit::listCount() {
    ensureLoaded(Form::Form3);
    return int16_t(list.size());
}
std::string FakeToolkit::listLine(int16_t index) {
    ensureLoaded(Form::Form3);
    if (index < 0 || size_t(index) >= list.size()) throw std::out_of_range("list index");
    return list[size_t(index)];
}

void FakeToolkit::setEnabled(Menu m, int16_t index, bool enabled) {
    record(std::string(enabled ? "enable " : "disable ") + name(m) + "(" + std::to_string(index) + ")");
    if (!menus.contains({m, index})) throw std::out_of_range("no menu item");
    menus[{m, index}].enabled = enabled;
}
void FakeToolkit::setChecked(Menu m, int16_t index, bool checked) {
    record(std::string(checked ? "check " : "uncheck ") + name(m) + "(" + std::to_string(index) + ")");
    if (!menus.contains({m, index})) throw std::out_of_range("no menu item");
    menus[{m, index}].checked = checked;
}
void FakeToolkit::popupMenu(Menu m) {
    record(std::string("popup ") + name(m));
    ++popups;
    menumenu_Click(state, *this);  // the menu's about-to-open notification
    if (onPopup) onPopup();
}

void FakeToolkit::fillBox(float x1, float y1, float x2, float y2, Rgb colour) {
    record("box " + num(x1) + "," + num(y1) + "-" + num(x2) + "," + num(y2));
    strokes.push_back({true, x1, y1, x2, y2, colour});
}
void FakeToolkit::line(float x1, float y1, float x2, float y2, Rgb colour) {
    record("line " + num(x1) + "," + num(y1) + "-" + num(x2) + "," + num(y2));
    strokes.push_back({false, x1, y1, x2, y2, colour});
}

int16_t FakeToolkit::msgBox(std::string_view prompt, int16_t flags) {
    record("msgbox " + std::to_string(flags) + " " + std::string(prompt));
    messages.push_back({std::string(prompt), flags});
    listAtMessage = list;
    pickedAtMessage = state.picked;
    const bool yesNo = (flags & 7) == vbYesNo;
    if (answers.empty()) return yesNo ? vbNo : vbOK;
    const int16_t a = answers.front();
    answers.pop_front();
    return a;
}

void FakeToolkit::doEvents() {
    record("doevents");
    if (onDoEvents) {
        auto queued = std::move(onDoEvents);  // queued input runs once
        onDoEvents = nullptr;
        queued();
    }
}

void FakeToolkit::clipboardClear() {
    record("clipboard clear");
    clipboard.clear();
    clipboardFormats = 0;
}
bool FakeToolkit::clipboardSetText(std::string_view text) {
    record("clipboard text");
    if (!clipboardWorks) return false;
    clipboard = text;
    clipboardFormats = 1;
    return true;
}
std::string FakeToolkit::now() { return nowText; }
std::string FakeToolkit::appPath() { return directory; }
void FakeToolkit::setHelpFile(std::string_view path) {
    record("helpfile " + std::string(path));
    helpPathSet = path;
}
std::string FakeToolkit::helpFile() { return helpPathSet; }
intptr_t FakeToolkit::hWnd(Form f) { return 0x1000 + intptr_t(f); }
void FakeToolkit::winHelp(intptr_t hwnd, std::string_view file, int16_t command, int32_t data) {
    record("winhelp " + std::string(file));
    helpCalls.emplace_back(hwnd, std::string(file), command, data);
}
void FakeToolkit::sndPlaySound(std::string_view file, int16_t flags) {
    record("sound " + std::string(file) + " " + std::to_string(flags));
    sounds.emplace_back(file);
}
void FakeToolkit::end() {
    record("end");
    ended = true;
}

void play(FakeToolkit& tk, int16_t fromCol, int16_t fromRow, int16_t toCol, int16_t toRow) {
    tk.click(fromCol, fromRow);
    tk.pressSquare(toCol, toRow);
}

}  // namespace tori::test
