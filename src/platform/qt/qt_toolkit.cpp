// The game's window toolkit on Qt Widgets.
#include "platform/qt/qt_toolkit.h"

#include <functional>
#include <stdexcept>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTranslator>
#include <QWindow>

#include "moves/moves.h"
#include "moves/record.h"
#include "platform/design.h"
#include "platform/qt/about_box.h"
#include "platform/qt/board_surface.h"
#include "platform/qt/help_viewer.h"
#include "platform/qt/list_window.h"
#include "platform/qt/main_window.h"
#include "platform/qt/sound.h"
#include "platform/qt/twips.h"
#include "platform/qt/x11_frames.h"
#include "shell/shell.h"
#include "version.h"

namespace tori::qt {

namespace {

const QString kIcon = QStringLiteral(":/icons/toripin.png");
const QString kFontFamily = QStringLiteral("IPAGothic");

// The window icon, read once and shared by every window through the application; its format is
// named, so it is not guessed from the file's name and contents.
QIcon appIcon() {
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(kIcon, "PNG"))));
    return QApplication::windowIcon();
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The windows were designed at 96 dots per inch, where a point is 4/3 of a pixel; sizing fonts in
// pixels keeps the text inside its twip-sized boxes on any display, and Qt scales the pixels.
QFont designFont(float points, bool bold) {
    QFont f(kFontFamily);
    f.setPixelSize(int(std::lround(points * 4 / 3)));
    f.setBold(bold);
    return f;
}

int formIndex(Form f) { return int(f); }

// A menu whose items are chosen with the left button alone: Qt's menus take a release of any button.
class LeftButtonMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            QMenu::mouseReleaseEvent(e);
        else
            e->accept();
    }
};

// Tells when a window has been mapped and can be seen: Qt reports that to the QWindow alone.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow* window, std::function<void()> exposed) : QObject(window), exposed_(std::move(exposed)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Expose) exposed_();
        return false;
    }

private:
    std::function<void()> exposed_;
};

// A message box titled and worded as the game's. A question of Yes and No is answered by one of the two
// alone: Esc and the frame's close control leave it open, so that a player who only wanted it out of
// the way does not end the program by it. A box with OK alone closes on either, as OK.
class AnswerBox : public QMessageBox {
public:
    AnswerBox(Icon icon, const QString& title, const QString& body, QWidget* parent)
        : QMessageBox(icon, title, body, NoButton, parent) {
        setTextFormat(Qt::PlainText);
    }
    bool answeredOnlyByButtons = false;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (answeredOnlyByButtons && e->matches(QKeySequence::Cancel)) return e->accept();
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (answeredOnlyByButtons) return e->ignore();
        QMessageBox::closeEvent(e);
    }
};

// The desktop's long time is hours, minutes and seconds with no time zone ("H:mm:ss" in Japan).
// Qt's long pattern is wordier and carries the zone, so the short pattern gains the seconds, with
// the separator it uses between hours and minutes.
QString longTimePattern(const QLocale& locale) {
    QString pattern = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype minutes = pattern.indexOf(QLatin1String("mm"));
    if (!pattern.contains(QLatin1Char('s')) && minutes > 0 && !pattern[minutes - 1].isLetter())
        pattern.insert(minutes + 2, pattern[minutes - 1] + QLatin1String("ss"));
    // Drop a time zone field, should the pattern have one.
    QString out;
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        out += c;
    }
    return out.trimmed();
}

}  // namespace

void setUpJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    QFont font = QApplication::font();
    font.setFamilies({kFontFamily});
    QApplication::setFont(font);
    appIcon();  // every window's, the board's and the list's alike
}

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
QWidget* QtToolkit::requireControl(Form f, Control c, int16_t i) const {
    QWidget* w = control(f, c, i);
    if (!w) throw std::out_of_range("コントロール配列の要素 " + std::to_string(i) + " がありません。");
    return w;
}

// Windows

void QtToolkit::ensureLoaded(Form f) {
    const int k = formIndex(f);
    if (loaded_[k]) return;
    switch (f) {
        case Form::Form1: createBoard(); break;
        case Form::Form2: createAbout(); break;
        case Form::Form3: createList(); break;
    }
    loaded_[k] = true;
    placement_[k] = {};
    if (!ended_) formLoaded(state_, *this, f);
}

void QtToolkit::createBoard() {
    board_ = new MainWindow;
    board_->setWindowIcon(appIcon());
    BoardSurface* surface = board_->surface();
    surface->onPress = [this](int16_t button, int16_t shift, float x, float y) { boardPressed(button, shift, x, y); };
    board_->onClose = [this] { boardClosing(); };
    board_->onFrameChanged = [this] {
        frameChanged(Form::Form1);
        alignWithBoard(Form::Form3);
    };
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
}

void QtToolkit::buildMenus() {
    QMenuBar* bar = board_->menuBar();
    const auto tree = menuTree();
    QMenu* barMenu = nullptr;
    QMenu* subMenu = nullptr;
    for (size_t k = 0; k < tree.size(); ++k) {
        const MenuItem& item = tree[k];
        const bool hasItems = k + 1 < tree.size() && tree[k + 1].depth > item.depth;
        QMenu* parent = item.depth == 1 ? barMenu : subMenu;
        QAction* a = nullptr;
        if (item.depth == 0 || hasItems) {
            QMenu* m = new LeftButtonMenu(text(item.caption), item.depth == 0 ? static_cast<QWidget*>(bar) : parent);
            if (item.depth == 0)
                bar->addMenu(m);
            else
                parent->addMenu(m);
            (item.depth == 0 ? barMenu : subMenu) = m;
            menus_[item.id] = m;
            a = m->menuAction();
            // The menu's about-to-open notification, from the bar and the pop-up alike.
            if (item.onClick)
                QObject::connect(m, &QMenu::aboutToShow, m, [this, id = item.id, i = item.index] {
                    menuTriggered(id, i);
                });
        } else if (item.caption == "-") {
            a = parent->addSeparator();
        } else {
            a = parent->addAction(text(item.caption));
            // The size items carry check marks, which their handler sets itself.
            a->setCheckable(item.id == Menu::ketasu);
            QObject::connect(a, &QAction::triggered, a, [this, id = item.id, i = item.index] { menuTriggered(id, i); });
        }
        a->setEnabled(item.enabled);
        actions_[{item.id, item.index}] = a;
    }
}

void QtToolkit::createList() {
    list_ = new ListWindow;
    list_->setWindowIcon(appIcon());
    // The widest line a game writes: a two-digit move number, every other part of one width.
    list_->setFittingFont(designFont(design::kLabelFontPoints, false), text(recordLine(26, 7, 1, 5, 1)));
    list_->onCommand1 = [this] { command1Clicked(Form::Form3); };
}

void QtToolkit::createAbout() {
    about_ = new AboutBox(board_);
    about_->setFont(designFont(design::kLabelFontPoints, false));
    for (int i = 0; i < 3; ++i) about_->setLine(i, {});
    about_->onCommand1 = [this] { command1Clicked(Form::Form2); };
}

void QtToolkit::show(Form f, bool modal) {
    ensureLoaded(f);
    QWidget* w = window(f);
    if (ended_ || !w) return;
    if (f == Form::Form2 && modal) {
        about_->setWindowModality(Qt::ApplicationModal);
        about_->show();
        QEventLoop loop;
        aboutLoop_ = &loop;
        loop.exec(QEventLoop::DialogExec);  // until the box is unloaded
        aboutLoop_ = nullptr;
        return;
    }
    w->show();
    if (!w->windowHandle()->findChild<ExposeWatch*>(QString(), Qt::FindDirectChildrenOnly))
        new ExposeWatch(w->windowHandle(), [this] {
            alignWithBoard(Form::Form3);
            activateWhenMapped();
        });
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
    if (w->isVisible()) placement_[formIndex(f)].shownFrame = frameMargins(w);
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
            if (aboutLoop_) aboutLoop_->quit();
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

// A window's outer frame: the window system's margins once it is shown, else the last ones seen.
QMargins QtToolkit::frameMargins(QWidget* w) {
    if (w->isVisible() && w->windowHandle()) {
        const QMargins m = w->windowHandle()->frameMargins();
        if (!m.isNull()) lastFrame_ = m;
        return m;
    }
    return lastFrame_;
}

// Where a window's frame stands. Qt knows the frame of a shown window only; a window not yet shown
// has not been framed, and a window hidden after being shown is reckoned with the frame it had.
QRect QtToolkit::outerGeometry(Form f) {
    QWidget* w = window(f);
    if (w->isVisible()) return w->frameGeometry();
    if (w->testAttribute(Qt::WA_WState_Created)) return w->geometry().marginsAdded(placement_[formIndex(f)].shownFrame);
    return QRect(w->pos(), w->size().grownBy(frameMargins(w)));
}

// Puts the window's frame where the game placed it. Qt places a window by its frame, except one
// that was hidden after being shown, whose frame it has forgotten: that one is placed by its client
// area, inside the frame it had, so that the window manager maps it back exactly there.
void QtToolkit::moveFrame(Form f) {
    QWidget* w = window(f);
    const Placement& p = placement_[formIndex(f)];
    const QRect outer = outerGeometry(f);
    const QPoint at(p.left ? toPixels(*p.left) : outer.left(), p.top ? toPixels(*p.top) : outer.top());
    if (!w->isVisible() && w->testAttribute(Qt::WA_WState_Created))
        w->setGeometry(QRect(at + QPoint(p.shownFrame.left(), p.shownFrame.top()), w->size()));
    else
        w->move(at);
}

namespace {
float readTwips(const std::optional<float>& set, int pixels) {
    // What was set, while the window still stands on the pixel that value means.
    if (set && toPixels(*set) == pixels) return *set;
    return toTwips(pixels);
}
}  // namespace

float QtToolkit::top(Form f) {
    ensureLoaded(f);
    return window(f) ? readTwips(placement_[formIndex(f)].top, outerGeometry(f).top()) : 0;
}
float QtToolkit::left(Form f) {
    ensureLoaded(f);
    return window(f) ? readTwips(placement_[formIndex(f)].left, outerGeometry(f).left()) : 0;
}
float QtToolkit::width(Form f) {
    ensureLoaded(f);
    return window(f) ? readTwips(placement_[formIndex(f)].width, outerGeometry(f).width()) : 0;
}
float QtToolkit::height(Form f) {
    ensureLoaded(f);
    return window(f) ? readTwips(placement_[formIndex(f)].height, outerGeometry(f).height()) : 0;
}

void QtToolkit::setTop(Form f, float twips) {
    ensureLoaded(f);
    if (!window(f)) return;
    placement_[formIndex(f)].top = twips;
    placement_[formIndex(f)].levelWithBoard = f != Form::Form1 && loaded_[0] && twips == top(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}
void QtToolkit::setLeft(Form f, float twips) {
    ensureLoaded(f);
    if (!window(f)) return;
    placement_[formIndex(f)].left = twips;
    placement_[formIndex(f)].besideBoard =
        f != Form::Form1 && loaded_[0] && twips == left(Form::Form1) + width(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}

void QtToolkit::placedAgainstBoard(Form f) {
    Placement& p = placement_[formIndex(f)];
    p.alignedAt.reset();
    if (p.besideBoard || p.levelWithBoard) p.boardAt = outerGeometry(Form::Form1).topLeft();
}

// Qt's device-independent pixels are whole, so at a fractional scale a window placed against the
// board's frame edge stands a device pixel or two off it, the more as the board's own size is rounded
// too. Where the window manager tells the frames in device pixels, a window the game put there is
// moved onto the edge once both are on the screen, and again as the board settles to its frame. Only
// small corrections are made, and only while the board stands where it stood as the window was placed:
// a list the player has moved away, or a board the player has moved since, stays where it is.
void QtToolkit::alignWithBoard(Form f) {
    Placement& p = placement_[formIndex(f)];
    if ((!p.besideBoard && !p.levelWithBoard) || !board_ || outerGeometry(Form::Form1).topLeft() != p.boardAt) return;
    const std::optional<QRect> board = x11::frame(board_), own = x11::frame(window(f));
    if (!board || !own) return;
    const QPoint at(p.besideBoard ? board->right() + 1 : own->left(), p.levelWithBoard ? board->top() : own->top());
    // A move asked for before may not have been made yet: the window is where it was asked to be.
    const QPoint from = p.alignedAt.value_or(own->topLeft());
    const QPoint off = at - from;
    if (off.isNull() || std::abs(off.x()) > 4 || std::abs(off.y()) > 4) return;
    x11::moveFrame(window(f), at);
    p.alignedAt = at;
}

void QtToolkit::setWidth(Form f, float twips) {
    ensureLoaded(f);
    placement_[formIndex(f)].width = twips;
    fitOuterSize(f);
}
void QtToolkit::setHeight(Form f, float twips) {
    ensureLoaded(f);
    placement_[formIndex(f)].height = twips;
    fitOuterSize(f);
}

// The game sets outer sizes; Qt sizes the client area, so the frame comes off first.
void QtToolkit::fitOuterSize(Form f) {
    QWidget* w = window(f);
    if (!w) return;
    Placement& p = placement_[formIndex(f)];
    p.frame = frameMargins(w);
    if (p.width) w->setFixedWidth(std::max(1, toPixels(*p.width) - p.frame.left() - p.frame.right()));
    if (p.height) w->setFixedHeight(std::max(1, toPixels(*p.height) - p.frame.top() - p.frame.bottom()));
}

// Once the window system has framed the window its real margins are known: the outer size the
// game asked for is fitted again, and the frame put back where the game placed it.
void QtToolkit::frameChanged(Form f) {
    QWidget* w = window(f);
    if (!w || !w->isVisible() || !w->windowHandle()) return;
    Placement& p = placement_[formIndex(f)];
    if (w->windowHandle()->frameMargins() == p.frame) return;
    fitOuterSize(f);
    if (p.left && p.top) moveFrame(f);
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

float QtToolkit::screenWidth() { return toTwips(QGuiApplication::primaryScreen()->geometry().width()); }
float QtToolkit::screenHeight() { return toTwips(QGuiApplication::primaryScreen()->geometry().height()); }

// Controls

void QtToolkit::load(Form f, Control c, int16_t i) {
    ensureLoaded(f);
    if (f != Form::Form1 || !(c == Control::pin || c == Control::Label1 || c == Control::Label2) || i <= 0)
        throw std::out_of_range("コントロール配列ではありません。");
    if (control(f, c, i)) throw std::runtime_error("コントロール配列の要素 " + std::to_string(i) + " は既に読み込まれています。");
    QWidget* tmpl = requireControl(f, c, 0);
    QWidget* copy = nullptr;
    if (c == Control::pin) {
        auto* pin = new PinButton(board_->surface());
        pin->setText(static_cast<PinButton*>(tmpl)->text());
        QObject::connect(pin, &QPushButton::clicked, pin, [this, i] { pinClicked(i); });
        copy = pin;
    } else {
        const auto* from = static_cast<BoardLabel*>(tmpl);
        auto* label = new BoardLabel(from->ground(), board_->surface());
        label->setText(from->text());
        copy = label;
    }
    copy->setGeometry(tmpl->geometry());
    copy->setFont(tmpl->font());
    copy->hide();
    boardControls_[{c, i}] = copy;
}

void QtToolkit::setLeft(Form f, Control c, int16_t i, float twips) {
    ensureLoaded(f);
    QWidget* w = requireControl(f, c, i);
    w->move(toPixels(twips), w->y());
}
void QtToolkit::setTop(Form f, Control c, int16_t i, float twips) {
    ensureLoaded(f);
    QWidget* w = requireControl(f, c, i);
    w->move(w->x(), toPixels(twips));
}
void QtToolkit::setWidth(Form f, Control c, int16_t i, float twips) {
    ensureLoaded(f);
    QWidget* w = requireControl(f, c, i);
    w->resize(toPixels(twips), w->height());
}
void QtToolkit::setHeight(Form f, Control c, int16_t i, float twips) {
    ensureLoaded(f);
    QWidget* w = requireControl(f, c, i);
    w->resize(w->width(), toPixels(twips));
}

void QtToolkit::setCaption(Form f, Control c, int16_t i, std::string_view caption) {
    ensureLoaded(f);
    QWidget* w = requireControl(f, c, i);
    if (f == Form::Form2 && c == Control::Label1)
        about_->setLine(i, text(caption));
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text(caption));
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text(caption));
}

void QtToolkit::setVisible(Form f, Control c, int16_t i, bool visible) {
    ensureLoaded(f);
    requireControl(f, c, i)->setVisible(visible);
}

bool QtToolkit::visible(Form f, Control c, int16_t i) {
    ensureLoaded(f);
    return !requireControl(f, c, i)->isHidden();  // the control's own flag, also in a hidden window
}

// The move list

void QtToolkit::listAppend(std::string_view line) {
    ensureLoaded(Form::Form3);
    list_->list()->addItem(text(line));
    list_->list()->scrollToBottom();
}

void QtToolkit::listRemove(int16_t index) {
    ensureLoaded(Form::Form3);
    if (index < 0 || index >= list_->list()->count()) throw std::out_of_range("リストのインデックスが範囲外です。");
    delete list_->list()->takeItem(index);
}

void QtToolkit::listClear() {
    ensureLoaded(Form::Form3);
    list_->list()->clear();
}

int16_t QtToolkit::listCount() {
    ensureLoaded(Form::Form3);
    return int16_t(list_->list()->count());
}

std::string QtToolkit::listLine(int16_t index) {
    ensureLoaded(Form::Form3);
    if (index < 0 || index >= list_->list()->count()) throw std::out_of_range("リストのインデックスが範囲外です。");
    return list_->list()->item(index)->text().toStdString();
}

// Menus

void QtToolkit::setEnabled(Menu m, int16_t index, bool enabled) {
    ensureLoaded(Form::Form1);
    QAction* a = action(m, index);
    if (!a) throw std::out_of_range("メニュー項目がありません。");
    a->setEnabled(enabled);
}

void QtToolkit::setChecked(Menu m, int16_t index, bool checked) {
    ensureLoaded(Form::Form1);
    QAction* a = action(m, index);
    if (!a) throw std::out_of_range("メニュー項目がありません。");
    a->setChecked(checked);
}

void QtToolkit::popupMenu(Menu m) {
    ensureLoaded(Form::Form1);
    QMenu* popup = menu(m);
    if (ended_ || !popup) return;
    // exec returns only after the chosen item's triggered handler has run.
    popup->exec(QCursor::pos());
}

// Drawing

void QtToolkit::fillBox(float x1, float y1, float x2, float y2, Rgb colour) {
    ensureLoaded(Form::Form1);
    board_->surface()->fillBox(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), toQColor(colour));
}

void QtToolkit::line(float x1, float y1, float x2, float y2, Rgb colour) {
    ensureLoaded(Form::Form1);
    board_->surface()->line(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), toQColor(colour));
}

// Message boxes, events, clipboard, time

int16_t QtToolkit::msgBox(std::string_view prompt, int16_t flags) {
    const bool yesNo = (flags & 7) == vbYesNo;
    if (ended_) return yesNo ? vbNo : vbOK;

    const int kind = flags & 0x70;
    const QMessageBox::Icon icon = kind == vbInformation  ? QMessageBox::Information
                                   : kind == vbExclamation ? QMessageBox::Warning
                                                           : QMessageBox::NoIcon;
    QString body = text(prompt);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    AnswerBox box(icon, text(version::kAppTitle), body, board_ && board_->isVisible() ? board_.data() : nullptr);
    if (!yesNo) {
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.exec();
        return vbOK;
    }
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    yes->setText(QStringLiteral("はい(&Y)"));
    box.addButton(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.setDefaultButton(yes);
    box.answeredOnlyByButtons = true;
    box.exec();
    return box.clickedButton() == yes ? vbYes : vbNo;
}

void QtToolkit::doEvents() {
    if (ended_) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtToolkit::clipboardClear() { QGuiApplication::clipboard()->clear(QClipboard::Clipboard); }

bool QtToolkit::clipboardSetText(std::string_view s) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString wanted = text(s);
    auto* data = new QMimeData;
    data->setText(wanted);  // text/plain in UTF-8; the window system adds its own text targets
    clipboard->setMimeData(data, QClipboard::Clipboard);
    // Where the window system tells ownership (X11, Wayland) that answers; elsewhere the text
    // must read back.
    if (clipboard->ownsClipboard()) return true;
    const QMimeData* held = clipboard->mimeData(QClipboard::Clipboard);
    return held && held->hasText() && held->text() == wanted;
}

std::string QtToolkit::now() {
    const QLocale locale = QLocale::system();
    const QDateTime at = QDateTime::currentDateTime();
    const QString date = locale.toString(at.date(), QLocale::ShortFormat);
    const QString time = locale.toString(at.time(), longTimePattern(locale));
    return (date + QLatin1Char(' ') + time).toStdString();
}

std::string QtToolkit::appPath() { return QCoreApplication::applicationDirPath().toStdString(); }

void QtToolkit::setHelpFile(std::string_view path) { helpFile_ = path; }

std::string QtToolkit::helpFile() { return helpFile_; }

intptr_t QtToolkit::hWnd(Form f) {
    ensureLoaded(f);
    QWidget* w = window(f);
    return w ? intptr_t(w->winId()) : 0;
}

void QtToolkit::winHelp(intptr_t, std::string_view file, int16_t, int32_t) {
    if (ended_) return;
    if (!help_) {
        help_ = new HelpViewer;
        // First opened in the middle of the screen the board window is on.
        const QScreen* screen = board_ ? board_->screen() : QGuiApplication::primaryScreen();
        QRect frame = help_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        help_->move(frame.topLeft());
    }
    help_->open(text(file));
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void QtToolkit::sndPlaySound(std::string_view file, int16_t) {
    if (ended_) return;
    if (!sound_) sound_ = std::make_unique<Sound>();
    sound_->play(text(file));
}

// Ending

void QtToolkit::end() {
    ended_ = true;
    shutDown();
}

// Closes every window and leaves every event loop, the nested ones (message box, pop-up menu,
// About box) and then the application's.
void QtToolkit::shutDown() {
    for (int guard = 0; guard < 8 && QApplication::activePopupWidget(); ++guard)
        QApplication::activePopupWidget()->close();
    if (aboutLoop_) aboutLoop_->quit();
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QCoreApplication::exit(0);
}

// Events from the widgets

void QtToolkit::boardPressed(int16_t button, int16_t shift, float x, float y) {
    if (ended_) return;
    form1::Form_MouseDown(state_, *this, button, shift, x, y);
}

void QtToolkit::pinClicked(int16_t index) {
    if (ended_) return;
    pin_Click(state_, *this, index);
}

void QtToolkit::menuTriggered(Menu m, int16_t index) {
    if (ended_) return;
    menuChosen(state_, *this, m, index);
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
