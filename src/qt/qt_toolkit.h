// The game's window toolkit on Qt Widgets: windows, controls and menus by the game's names, in twips.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <QPointer>

#include "game/game_state.h"
#include "qt/about_box.h"
#include "qt/help_viewer.h"
#include "qt/list_window.h"
#include "qt/main_window.h"
#include "qt/placement.h"
#include "platform/toolkit.h"

class QAction;
class QMenu;
class QWidget;

namespace tori::qt {

class Sound;

class QtToolkit : public Toolkit {
public:
    explicit QtToolkit(GameState& s);
    ~QtToolkit() override;
    QtToolkit(const QtToolkit&) = delete;
    QtToolkit& operator=(const QtToolkit&) = delete;

    // The windows and menus as they stand, for the program's own use and for tests; null while a
    // window is not loaded.
    MainWindow* boardWindow() const { return board_; }
    ListWindow* listWindow() const { return list_; }
    AboutBox* aboutBox() const { return about_; }
    HelpViewer* helpViewer() const { return help_; }
    QWidget* window(Form f) const;
    QWidget* control(Form f, Control c, int16_t i) const;
    QMenu* menu(Menu m) const;
    QAction* action(Menu m, int16_t index = 0) const;
    bool ended() const { return ended_; }

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
    static int formIndex(Form f) { return int(f); }
    void ensureLoaded(Form f);
    void createBoard();
    void createList();
    void createAbout();
    void buildMenus();
    void reachMenusFrom(QWidget* w);
    QWidget* requireControl(Form f, Control c, int16_t i) const;
    QWidget* loadedControl(Form f, Control c, int16_t i);  // the window loaded first
    void activate(Form f);
    void activateWhenMapped();
    void shutDown();

    // Events from the widgets, passed on to the game's handlers unless the program has ended.
    void boardPressed(int16_t button, int16_t shift, float x, float y);
    void keyPressed(int16_t keyCode, int16_t shift);
    void pinClicked(int16_t index);
    void menuTriggered(Menu m, int16_t index);
    void command1Clicked(Form f);
    void boardClosing();
    void announce();

    GameState& state_;
    bool ended_ = false;
    std::array<bool, kForms> loaded_{};
    Placement placement_{[this](Form f) { return window(f); }};
    std::optional<Form> wantActive_;  // the window to activate once every shown window is mapped

    QPointer<MainWindow> board_;
    QPointer<ListWindow> list_;
    QPointer<AboutBox> about_;
    QPointer<HelpViewer> help_;

    std::map<std::pair<Control, int16_t>, QPointer<QWidget>> boardControls_;
    std::map<std::pair<Menu, int16_t>, QAction*> actions_;
    std::map<Menu, QMenu*> menus_;

    std::string helpFile_;
    std::unique_ptr<Sound> sound_;
};

}  // namespace tori::qt
