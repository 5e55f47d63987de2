// The game's windows on Qt: showing, hiding and unloading, activation, caption and pointer; where they
// stand is the placement's.
#include <functional>
#include <utility>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include "qt/qt_toolkit.h"
#include "qt/look.h"
#include "qt/twips.h"

namespace tori::qt {

namespace {

// Watches a window where Qt reports to the QWindow alone: tells when it has been mapped and can be
// seen, and keeps it in its normal state. Every window of the game has a fixed size, which a maximized
// or full-screen window does not keep; yet Qt's own title bar on Wayland offers maximize on every window,
// and a compositor may ask for it. So a state the window system reports as maximized or full-screen is
// given back at once. On Wayland a maximized window must also take the size the compositor configured
// (Weston ends the program otherwise), and a window commits its size with whatever it draws: so the
// window draws nothing until the compositor has configured it normal again.
class WindowWatch : public QObject {
public:
    WindowWatch(QWidget* widget, std::function<void()> exposed)
        : QObject(widget->windowHandle()), widget_(widget), exposed_(std::move(exposed)) {
        widget->windowHandle()->installEventFilter(this);
    }

    static void on(QWidget* w, std::function<void()> exposed) {
        if (!w->windowHandle()->findChild<WindowWatch*>(QString(), Qt::FindDirectChildrenOnly))
            new WindowWatch(w, std::move(exposed));
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Expose) exposed_();
        // The window system's own report of the state, which comes whether or not the state changed.
        if (e->type() == QEvent::WindowStateChange && e->spontaneous() && widget_) {
            constexpr Qt::WindowStates notFixed = Qt::WindowMaximized | Qt::WindowFullScreen;
            auto* window = static_cast<QWindow*>(o);
            const bool large = window->windowStates() & notFixed;
            if (QGuiApplication::platformName() == QLatin1String("wayland")) widget_->setUpdatesEnabled(!large);
            if (large) window->setWindowStates(window->windowStates() & ~notFixed);
        }
        return false;
    }

private:
    QPointer<QWidget> widget_;
    std::function<void()> exposed_;
};

}  // namespace

void QtToolkit::show(Form f, bool modal) {
    ensureLoaded(f);
    QWidget* w = window(f);
    if (ended_ || !w) return;
    const auto mapped = [this] {
        placement_.mapped();
        activateWhenMapped();
    };
    if (f == Form::Form2 && modal) {
        about_->winId();  // makes its QWindow, which exec() would make only as it shows the box
        WindowWatch::on(about_, mapped);
        about_->exec();  // until the box is unloaded, which hides it
        return;
    }
    w->show();
    WindowWatch::on(w, mapped);
    if (f == Form::Form3) activate(f);
}

// The last window the game made active wins. Window managers give the focus to each window they
// map, and Qt activates a window only once it is mapped, so the activation waits until every
// shown window of the program is on the screen: else the window mapped last would take the focus.
void QtToolkit::activate(Form f) {
    wantActive_ = f;
    activateWhenMapped();
}

void QtToolkit::activateWhenMapped() {
    if (!wantActive_) return;
    for (QWidget* shown : {static_cast<QWidget*>(board_), static_cast<QWidget*>(list_)})
        if (shown && shown->isVisible() && !(shown->windowHandle() && shown->windowHandle()->isExposed())) return;
    QWidget* w = window(*std::exchange(wantActive_, std::nullopt));
    if (w && w->isVisible()) {
        w->raise();
        w->activateWindow();
    }
}

void QtToolkit::hide(Form f) {
    ensureLoaded(f);
    QWidget* w = window(f);
    if (!w) return;
    placement_.hiding(f);
    w->hide();
}

void QtToolkit::unload(Form f) {
    const int k = formIndex(f);
    if (!loaded_[k]) return;
    loaded_[k] = false;
    switch (f) {
        case Form::Form1:
            board_->hide();
            board_->deleteLater();
            board_ = nullptr;
            boardControls_.clear();
            actions_.clear();
            menus_.clear();
            break;
        case Form::Form2:
            about_->closing = true;
            about_->hide();
            about_->deleteLater();
            about_ = nullptr;
            break;
        case Form::Form3:
            list_->closing = true;
            list_->hide();
            list_->deleteLater();
            list_ = nullptr;
            break;
    }
}

void QtToolkit::setCaption(Form f, std::string_view caption) {
    ensureLoaded(f);
    if (QWidget* w = window(f)) w->setWindowTitle(text(caption));
}

void QtToolkit::setFocus(Form f) {
    ensureLoaded(f);
    if (window(f)) activate(f);
}

void QtToolkit::setMousePointer(Form f, Pointer p) {
    ensureLoaded(f);
    QWidget* w = window(f);
    if (!w) return;
    if (p == Pointer::hourglass)
        w->setCursor(Qt::WaitCursor);
    else
        w->unsetCursor();
}

// Positions and sizes are the placement's.
float QtToolkit::top(Form f) { ensureLoaded(f); return placement_.top(f); }
float QtToolkit::left(Form f) { ensureLoaded(f); return placement_.left(f); }
float QtToolkit::width(Form f) { ensureLoaded(f); return placement_.width(f); }
float QtToolkit::height(Form f) { ensureLoaded(f); return placement_.height(f); }
void QtToolkit::setTop(Form f, float twips) { ensureLoaded(f); placement_.setTop(f, twips); }
void QtToolkit::setLeft(Form f, float twips) { ensureLoaded(f); placement_.setLeft(f, twips); }
void QtToolkit::setWidth(Form f, float twips) { ensureLoaded(f); placement_.setWidth(f, twips); }
void QtToolkit::setHeight(Form f, float twips) { ensureLoaded(f); placement_.setHeight(f, twips); }

float QtToolkit::screenWidth() { return toTwips(QGuiApplication::primaryScreen()->geometry().width()); }
float QtToolkit::screenHeight() { return toTwips(QGuiApplication::primaryScreen()->geometry().height()); }

}  // namespace tori::qt
