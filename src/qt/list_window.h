// The move list window: a list box and its close button, fixed size.
#pragma once

#include <functional>

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

namespace tori::qt {

class ListWindow : public QDialog {
public:
    ListWindow();

    QListWidget* list() const { return list_; }
    QPushButton* command1() const { return command1_; }
    void setVisible(bool visible) override;

    // Gives the list and its button the font, at the largest pixel size up to the font's own at which
    // `longest` fits the list beside its vertical scroll bar.
    void setFittingFont(QFont font, const QString& longest);

    // The close button, the frame's close control, Esc and a minimize all mean the same thing.
    std::function<void()> onCommand1;
    bool closing = false;  // set while the window is being unloaded: closing then just closes

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void stateChanged(Qt::WindowState state);

    QListWidget* list_;
    QPushButton* command1_;
};

}  // namespace tori::qt
