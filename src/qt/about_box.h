// The About box: the icon, three centred lines and an OK button, on grey.
#pragma once

#include <functional>

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace tori::qt {

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent);

    QLabel* image1() const { return image1_; }
    QLabel* label1(int i) const { return label1_[i]; }
    QPushButton* command1() const { return command1_; }

    // Sets a line's text; the line sizes itself to it and keeps its centre.
    void setLine(int i, const QString& text);

    std::function<void()> onCommand1;  // OK, the frame's close control and Esc alike
    bool closing = false;

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    QLabel* image1_;
    QLabel* label1_[3];
    QPushButton* command1_;
};

}  // namespace tori::qt
