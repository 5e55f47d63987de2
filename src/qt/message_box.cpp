// The game's message boxes on Qt: OK, or Yes and No, with the information or the exclamation icon.
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "qt/qt_toolkit.h"
#include "qt/look.h"
#include "version.h"

namespace tori::qt {

namespace {

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

}  // namespace

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

}  // namespace tori::qt
