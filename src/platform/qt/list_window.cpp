// The move list window.
#include "platform/qt/list_window.h"

#include <QCloseEvent>

#include "platform/design.h"
#include "platform/qt/twips.h"

namespace tori::qt {

namespace {
QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

ListWindow::ListWindow()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      list_(new QListWidget(this)),
      command1_(new QPushButton(text(design::kForm3Command1Caption), this)) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(text(design::kForm3Caption));
    setFixedSize(toPixels(design::kForm3ClientWidth), toPixels(design::kForm3ClientHeight));
    list_->setGeometry(toPixels(design::kList1));
    list_->setSortingEnabled(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    command1_->setGeometry(toPixels(design::kForm3Command1));
    command1_->setDefault(true);
    setTabOrder(list_, command1_);
    QObject::connect(command1_, &QPushButton::clicked, this, [this] {
        if (onCommand1) onCommand1();
    });
}

void ListWindow::closeEvent(QCloseEvent* e) {
    if (closing) return e->accept();
    e->ignore();
    if (onCommand1) onCommand1();
}

void ListWindow::reject() {
    if (onCommand1) onCommand1();
}

}  // namespace tori::qt
