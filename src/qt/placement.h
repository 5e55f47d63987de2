// Where the game's windows stand: positions and outer sizes in twips, the window manager's frame
// included, on the pixel the game meant and flush against the board at any scale.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QMargins>
#include <QPoint>
#include <QRect>

#include "platform/toolkit.h"

class QWidget;

namespace tori::qt {

// The one owner of the windows' places. The toolkit's reads and writes of positions and sizes come
// here, and the windows tell it what happens to them: loaded, hidden, framed, mapped.
class Placement {
public:
    // The window of a form, null while it is not loaded.
    explicit Placement(std::function<QWidget*(Form)> window) : window_(std::move(window)) {}

    float top(Form f);
    float left(Form f);
    float width(Form f);  // outer frame
    float height(Form f);
    void setTop(Form f, float twips);
    void setLeft(Form f, float twips);
    void setWidth(Form f, float twips);
    void setHeight(Form f, float twips);

    void loaded(Form f);       // a new window: nothing was set for it yet
    void hiding(Form f);       // its frame, which Qt forgets, is kept for its next show
    void boardFramed();        // the board window was moved, resized or shown: its frame may be known now
    void mapped();             // a window of the program is on the screen

private:
    // Where a window was put, in twips, so that reads return what was set while the window stays
    // on the pixel that value means.
    struct Spot {
        std::optional<float> top, left, width, height;
        QMargins frame;       // the frame margins the size was fitted to
        QMargins shownFrame;  // the frame the window had when it was last hidden
        bool besideBoard = false, levelWithBoard = false;  // left on the board's right edge, top on its top
        QPoint boardAt;                   // where the board's frame stood then
        std::optional<QPoint> alignedAt;  // the device pixel its frame was last moved to against the board
    };

    Spot& spot(Form f) { return spots_[size_t(f)]; }
    QMargins frameMargins(QWidget* w);
    QRect outerGeometry(Form f);
    float read(Form f, std::optional<float> Spot::*set, int (QRect::*side)() const);
    void moveFrame(Form f);
    void fitOuterSize(Form f);
    void placedAgainstBoard(Form f);
    void alignWithBoard(Form f);

    std::function<QWidget*(Form)> window_;
    std::array<Spot, kForms> spots_{};
    QMargins lastFrame_;  // the last frame margins the window system reported
};

}  // namespace tori::qt
