// The About box.
#include "qt/about_box.h"

#include <QCloseEvent>
#include <QPixmap>

#include "platform/design.h"
#include "qt/look.h"
#include "qt/twips.h"

namespace tori::qt {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      image1_(new QLabel(this)),
      command1_(new QPushButton(text(design::kForm2Command1Caption), this)) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(toPixels(design::kForm2ClientWidth), toPixels(design::kForm2ClientHeight));
    // Grey whatever the colour scheme, so the text takes the scheme's colour only where it reads on grey.
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(design::kAboutBack));
    p.setColor(QPalette::WindowText, readableOn(p.color(QPalette::Window), p.color(QPalette::WindowText)));
    setPalette(p);
    setAutoFillBackground(true);

    // The icon at its natural size in the top-left corner of its box.
    image1_->setGeometry(toPixels(design::kImage1));
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->setPixmap(iconPixmap());

    for (int i = 0; i < 3; ++i) {
        label1_[i] = new QLabel(this);
        label1_[i]->setAlignment(Qt::AlignCenter);
        setLine(i, {});
    }
    command1_->setGeometry(toPixels(design::kForm2Command1));
    command1_->setDefault(true);
    command1_->setFocus();
    QObject::connect(command1_, &QPushButton::clicked, this, [this] {
        if (onCommand1) onCommand1();
    });
}

void AboutBox::setLine(int i, const QString& line) {
    QLabel* label = label1_[i];
    label->setText(line);
    const int width = label->fontMetrics().horizontalAdvance(line) + 2;
    const double centre = design::kAboutLabelCentre / design::kTwipsPerPixel;
    label->setGeometry(int(std::lround(centre - width / 2.0)), toPixels(design::kAboutLabelTop[i]), width,
                       toPixels(design::kAboutLabelHeight));
}

void AboutBox::closeEvent(QCloseEvent* e) {
    if (closing) return e->accept();
    e->ignore();
    if (onCommand1) onCommand1();
}

void AboutBox::reject() {
    if (onCommand1) onCommand1();
}

}  // namespace tori::qt
