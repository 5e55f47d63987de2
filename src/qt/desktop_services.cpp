// What the game asks of the desktop beside its windows: events, the clipboard, the time, the program's
// folder, help and sound.
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QLocale>
#include <QMimeData>
#include <QScreen>

#include "qt/qt_toolkit.h"
#include "qt/look.h"
#include "qt/sound.h"

namespace tori::qt {

namespace {

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

}  // namespace tori::qt
