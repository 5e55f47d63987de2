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

    // The close button, the frame's close control and Esc all mean the same thing.
    std::function<void()> onCommand1;
    bool closing = false;  // set while the window is being unloaded: closing then just closes

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    QListWidget* list_;
    QPushButton* command1_;
};

}  // namespace tori::qt
