// The game's window toolkit on Qt Widgets: the windows and controls by the game's names, how they are
// built, and the widgets' events passed on to the game's handlers. The operations live beside it, a
// file for each concern: windows, controls, menus, message_box, desktop_services.
#include "qt/qt_toolkit.h"

#include <stdexcept>

#include <QApplication>

#include "game/board.h"
#include "moves/moves.h"
#include "moves/record.h"
#include "platform/design.h"
#include "qt/board_accessible.h"
#include "qt/look.h"
#include "qt/sound.h"
#include "qt/twips.h"
#include "shell/shell.h"

namespace tori::qt {

QtToolkit::QtToolkit(GameState& s) : state_(s) {}

QtToolkit::~QtToolkit() {
    delete about_.data();
    delete help_.data();
    delete list_.data();
    delete board_.data();
}

QWidget* QtToolkit::window(Form f) const {
    switch (f) {
        case Form::Form1: return board_;
        case Form::Form2: return about_;
        case Form::Form3: return list_;
    }
    return nullptr;
}

QMenu* QtToolkit::menu(Menu m) const {
    const auto it = menus_.find(m);
    return it == menus_.end() ? nullptr : it->second;
}

QAction* QtToolkit::action(Menu m, int16_t index) const {
    const auto it = actions_.find({m, index});
    return it == actions_.end() ? nullptr : it->second;
}

QWidget* QtToolkit::control(Form f, Control c, int16_t i) const {
    switch (f) {
        case Form::Form1: {
            const auto it = boardControls_.find({c, i});
            return it == boardControls_.end() ? nullptr : it->second.data();
        }
        case Form::Form2:
            if (!about_) return nullptr;
            if (c == Control::Image1 && i == 0) return about_->image1();
            if (c == Control::Command1 && i == 0) return about_->command1();
            if (c == Control::Label1 && i >= 0 && i <= 2) return about_->label1(i);
            return nullptr;
        case Form::Form3:
            if (!list_) return nullptr;
            if (c == Control::List1 && i == 0) return list_->list();
            if (c == Control::Command1 && i == 0) return list_->command1();
            return nullptr;
    }
    return nullptr;
}

// Errors are reported in Japanese: the board window's load handler shows their text to the player.
QWidget* QtToolkit::loadedControl(Form f, Control c, int16_t i) {
    ensureLoaded(f);
    return requireControl(f, c, i);
}

QWidget* QtToolkit::requireControl(Form f, Control c, int16_t i) const {
    QWidget* w = control(f, c, i);
    if (!w) throw std::out_of_range("コントロール配列の要素 " + std::to_string(i) + " がありません。");
    return w;
}

void QtToolkit::ensureLoaded(Form f) {
    const int k = formIndex(f);
    if (loaded_[k]) return;
    switch (f) {
        case Form::Form1: createBoard(); break;
        case Form::Form2: createAbout(); break;
        case Form::Form3: createList(); break;
    }
    loaded_[k] = true;
    placement_.loaded(f);
    if (!ended_) formLoaded(state_, *this, f);
}

void QtToolkit::createBoard() {
    board_ = new MainWindow;
    board_->setWindowIcon(appIcon());
    BoardSurface* surface = board_->surface();
    surface->onPress = [this](int16_t button, int16_t shift, float x, float y) { boardPressed(button, shift, x, y); };
    surface->onKey = [this](int16_t keyCode, int16_t shift) { keyPressed(keyCode, shift); };
    surface->describe = [this](int col, int row) { return text(cellname(state_, *this, int16_t(col), int16_t(row))); };
    static const bool accessible = (installBoardAccessibility(), true);
    (void)accessible;
    surface->setFocus();
    board_->onClose = [this] { boardClosing(); };
    board_->onFrameChanged = [this] { placement_.boardFramed(); };
    buildMenus();

    // The design-time templates of the three control arrays.
    auto* pin0 = new PinButton(surface);
    pin0->setGeometry(toPixels(design::kPinTemplate));
    pin0->setFont(designFont(design::kPinFontPoints, true));
    QObject::connect(pin0, &QPushButton::clicked, pin0, [this] { pinClicked(0); });
    boardControls_[{Control::pin, 0}] = pin0;
    const std::pair<Control, design::Rect> labels[] = {{Control::Label1, design::kLabel1Template},
                                                       {Control::Label2, design::kLabel2Template}};
    for (const auto& [c, rect] : labels) {
        // The column numbers stand on the window-background colour (the colour text views are
        // filled with); the row numbers on the grey surface.
        auto* label = new BoardLabel(c == Control::Label1 ? BoardLabel::Ground::base : BoardLabel::Ground::surface, surface);
        label->setGeometry(toPixels(rect));
        label->setFont(designFont(design::kLabelFontPoints, true));
        label->setText(text(design::kLabelTemplateCaption));
        label->hide();
        boardControls_[{c, 0}] = label;
    }
    auto* cursor = new CursorFrame(surface);
    cursor->setGeometry(toPixels(design::kShape1));
    cursor->hide();
    boardControls_[{Control::Shape1, 0}] = cursor;
}

void QtToolkit::createList() {
    list_ = new ListWindow;
    list_->setWindowIcon(appIcon());
    // The widest line a game writes: a two-digit move number, every other part of one width.
    list_->setFittingFont(designFont(design::kLabelFontPoints, false), text(recordLine(26, 7, 1, 5, 1)));
    list_->onCommand1 = [this] { command1Clicked(Form::Form3); };
    list_->list()->setAccessibleName(text(design::kForm3Caption));  // a screen reader names the list by it
    reachMenusFrom(list_);
}

void QtToolkit::createAbout() {
    about_ = new AboutBox(board_);
    about_->setFont(designFont(design::kLabelFontPoints, false));
    for (int i = 0; i < 3; ++i) about_->setLine(i, {});
    about_->onCommand1 = [this] { command1Clicked(Form::Form2); };
    about_->image1()->setAccessibleName(text("トリピンのアイコン"));
}

// Ending

void QtToolkit::end() {
    ended_ = true;
    shutDown();
}

// Closes every window and leaves every event loop: the nested ones (message box, pop-up menu, About
// box) end as their windows close, then the application's.
void QtToolkit::shutDown() {
    for (int guard = 0; guard < 8 && QApplication::activePopupWidget(); ++guard)
        QApplication::activePopupWidget()->close();
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QCoreApplication::exit(0);
}

// Events from the widgets

// After each event, assistive technology hears what it changed on the board.
void QtToolkit::announce() {
    if (!ended_ && board_) announceBoard(board_->surface());
}

void QtToolkit::boardPressed(int16_t button, int16_t shift, float x, float y) {
    if (ended_) return;
    form1::Form_MouseDown(state_, *this, button, shift, x, y);
    announce();
}

void QtToolkit::keyPressed(int16_t keyCode, int16_t shift) {
    if (ended_) return;
    form1::Form_KeyDown(state_, *this, keyCode, shift);
    announce();
}

void QtToolkit::pinClicked(int16_t index) {
    if (ended_) return;
    pin_Click(state_, *this, index);
    announce();
}

void QtToolkit::menuTriggered(Menu m, int16_t index) {
    if (ended_) return;
    menuChosen(state_, *this, m, index);
    announce();
}

void QtToolkit::command1Clicked(Form f) {
    if (ended_) return;
    commandClicked(state_, *this, f);
}

void QtToolkit::boardClosing() {
    if (ended_) return;
    form1::Form_Unload(state_, *this);
    ended_ = true;
    shutDown();
}

}  // namespace tori::qt
