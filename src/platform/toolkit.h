// The window toolkit as the game sees it: windows and controls by name and index, lengths in twips.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tori {

// The three windows.
enum class Form : int16_t {
    Form1,  // the board window: menu bar, board surface, pins and coordinate numbers
    Form2,  // the About box, built afresh each time it opens
    Form3,  // the move list window, from start-up to the end, shown or hidden
};
inline constexpr int kForms = 3;

// Controls of the three windows; the first three are control arrays, element 0 their template.
enum class Control : int16_t {
    pin,       // Form1: the pin buttons 1..49, one per square, indexed by pin index
    Label1,    // Form1: the column numbers 1..7 above the board; Form2: the About box's three lines
    Label2,    // Form1: the row numbers 1..7 left of the board
    List1,     // Form3: the list box of move record lines
    Command1,  // Form2: OK(&O); Form3: 閉じる(&C)
    Image1,    // Form2: the program's icon
    Shape1,    // Form1: the keyboard cursor, a frame just inside one square, drawn over its pin; visible while
               // the cursor is shown. A press of the mouse on the board hides it, as toolkits hide their
               // keyboard focus frame once the pointer is used
};
inline constexpr int kControls = 7;

// Every item of the board window's menu tree, in display order (shell/menus.cpp). A new item also
// needs its row in the menu table, its name in tests/fake_toolkit.cpp and kMenuItems below.
enum class Menu : int16_t {
    menumenu,          // ﾒﾆｭｰ(&M): the menu; its opening enables undo, redo and copy
    menuselect,        // 桁数選択(&S): the submenu of board sizes
    ketasu,            // 5*5(&5), 6*6(&6), 7*7(&7): the size items, indices 0..2, checked for the present size
    menusen1,          // separator
    menuundo,          // １手戻す(&B): undo
    menuredo,          // １手進める(&N): redo
    menusen3,          // separator
    menurestart,       // 最初から(&R): the same board again
    menusen5,          // separator
    menulistview,      // 指し手手順を表示(&L)...: shows the move list; enabled exactly while it is hidden
    menusen2,          // separator
    menuclipbordcopy,  // 指し手手順をコピー(&C): the move list to the clipboard
    menusen10,         // separator
    menuend,           // トリピンを終了(&X): ends the program
    helper,            // ﾍﾙﾌﾟ(&H): the Help menu
    menuhelpcont,      // 目次(&C): the help file's contents
    menuver,           // バージョン情報(&V)...: the About box
};
inline constexpr int kMenuItems = int(Menu::menuver) + 1;

struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(Rgb, Rgb) = default;
};

enum class Pointer : int16_t { standard, hourglass };

// Message box flags and answers.
inline constexpr int16_t vbOKOnly = 0, vbYesNo = 4, vbExclamation = 48, vbInformation = 64;
inline constexpr int16_t vbOK = 1, vbYes = 6, vbNo = 7;

// The help facility's command for "show the contents topic".
inline constexpr int16_t HELP_CONTENTS = 3;
// Asynchronous playing for the sound call.
inline constexpr int16_t SND_ASYNC = 1;

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Positions and sizes are twips; windows in single precision, as the game computes them.
class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Windows. The first show (or any access) loads a window and runs its load handler first;
    // a modal show returns when the window has been closed.
    virtual void show(Form f, bool modal = false) = 0;
    virtual void hide(Form f) = 0;
    virtual void unload(Form f) = 0;  // does nothing to a window that is not loaded
    virtual float top(Form f) = 0;
    virtual float left(Form f) = 0;
    virtual float width(Form f) = 0;   // outer frame
    virtual float height(Form f) = 0;  // outer frame
    virtual void setTop(Form f, float twips) = 0;
    virtual void setLeft(Form f, float twips) = 0;
    virtual void setWidth(Form f, float twips) = 0;
    virtual void setHeight(Form f, float twips) = 0;
    virtual void setCaption(Form f, std::string_view text) = 0;
    virtual void setFocus(Form f) = 0;
    virtual void setMousePointer(Form f, Pointer p) = 0;
    virtual float screenWidth() = 0;
    virtual float screenHeight() = 0;

    // Controls and control arrays. load() creates element i as a hidden copy of element 0.
    virtual void load(Form f, Control c, int16_t i) = 0;
    virtual void setLeft(Form f, Control c, int16_t i, float twips) = 0;
    virtual void setTop(Form f, Control c, int16_t i, float twips) = 0;
    virtual void setWidth(Form f, Control c, int16_t i, float twips) = 0;
    virtual void setHeight(Form f, Control c, int16_t i, float twips) = 0;
    virtual void setCaption(Form f, Control c, int16_t i, std::string_view text) = 0;
    virtual void setVisible(Form f, Control c, int16_t i, bool visible) = 0;
    virtual bool visible(Form f, Control c, int16_t i) = 0;  // the control's own flag

    // The list box List1 of Form3; works while its window is hidden.
    virtual void listAppend(std::string_view line) = 0;
    virtual void listRemove(int16_t index) = 0;
    virtual void listClear() = 0;
    virtual int16_t listCount() = 0;
    virtual std::string listLine(int16_t index) = 0;

    // Menu items of Form1; `index` addresses the ketasu array and is 0 elsewhere.
    virtual void setEnabled(Menu m, int16_t index, bool enabled) = 0;
    virtual void setChecked(Menu m, int16_t index, bool checked) = 0;
    // Opens the menu at the pointer; a chosen item's handler has run when this returns.
    virtual void popupMenu(Menu m) = 0;

    // Drawing on the board window's surface, drawn at once, one pixel wide.
    virtual void fillBox(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;

    // Modal; titled with the application's title. Returns vbOK, vbYes or vbNo.
    virtual int16_t msgBox(std::string_view prompt, int16_t flags) = 0;
    virtual void doEvents() = 0;

    virtual void clipboardClear() = 0;
    // False when the clipboard could not be written.
    virtual bool clipboardSetText(std::string_view text) = 0;
    // The present local date and time as the desktop writes them: short date, blank, long time.
    virtual std::string now() = 0;

    virtual std::string appPath() = 0;  // the program's directory
    virtual void setHelpFile(std::string_view path) = 0;
    virtual std::string helpFile() = 0;
    virtual intptr_t hWnd(Form f) = 0;
    virtual void winHelp(intptr_t hwnd, std::string_view file, int16_t command, int32_t data) = 0;
    virtual void sndPlaySound(std::string_view file, int16_t flags) = 0;
    // Ends the program: no further handler runs.
    virtual void end() = 0;
};

}  // namespace tori
