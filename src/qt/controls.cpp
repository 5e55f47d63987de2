// The game's controls on Qt: the control arrays of the board window, the move list, and drawing on the board.
#include <stdexcept>

#include <QLabel>
#include <QListWidget>

#include "qt/qt_toolkit.h"
#include "qt/look.h"
#include "qt/twips.h"

namespace tori::qt {

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
    QWidget* w = loadedControl(f, c, i);
    w->move(toPixels(twips), w->y());
}
void QtToolkit::setTop(Form f, Control c, int16_t i, float twips) {
    QWidget* w = loadedControl(f, c, i);
    w->move(w->x(), toPixels(twips));
}
void QtToolkit::setWidth(Form f, Control c, int16_t i, float twips) {
    QWidget* w = loadedControl(f, c, i);
    w->resize(toPixels(twips), w->height());
}
void QtToolkit::setHeight(Form f, Control c, int16_t i, float twips) {
    QWidget* w = loadedControl(f, c, i);
    w->resize(w->width(), toPixels(twips));
}

void QtToolkit::setCaption(Form f, Control c, int16_t i, std::string_view caption) {
    QWidget* w = loadedControl(f, c, i);
    if (f == Form::Form2 && c == Control::Label1)
        about_->setLine(i, text(caption));
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text(caption));
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text(caption));
}

void QtToolkit::setVisible(Form f, Control c, int16_t i, bool visible) {
    QWidget* w = loadedControl(f, c, i);
    w->setVisible(visible);
    if (visible && c == Control::Shape1) w->raise();  // over the pins, whenever they were made
}

// The control's own flag, also in a hidden window.
bool QtToolkit::visible(Form f, Control c, int16_t i) { return !loadedControl(f, c, i)->isHidden(); }

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

// Drawing

void QtToolkit::fillBox(float x1, float y1, float x2, float y2, Rgb colour) {
    ensureLoaded(Form::Form1);
    board_->surface()->fillBox(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), toQColor(colour));
}

void QtToolkit::line(float x1, float y1, float x2, float y2, Rgb colour) {
    ensureLoaded(Form::Form1);
    board_->surface()->line(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), toQColor(colour));
}

}  // namespace tori::qt
