#pragma once

namespace orv {

// How one picture scroll bar is set up for a picture, in twips.
struct ScrollAxis {
    bool enabled = false;
    int value = 0;
    int maximum = 0;
    int largeStep = 0;
    int smallStep = 0;
};

// The picture area's scroll arithmetic, with its constants as designed: 26.46 HIMETRIC per
// pixel to decide whether the picture fits (single precision), 1.75 HIMETRIC per twip for the
// range, steps of a fifth and a fiftieth of it, halves rounded to even. The range is not
// limited to 16 bits, so a picture of any size scrolls to its far edge.
ScrollAxis scrollAxis(int pictureHimetric, int boxTwips, double twipsPerPixel);

// Offset in twips at which the full-screen view places a picture along one axis:
// (window − picture HIMETRIC / divisor) / 2, halves to even. The divisor is 1.77 across and
// 1.7 down.
int fullScreenOffset(double windowTwips, int pictureHimetric, double divisor);

// The mouse wheel over the picture area: how many small steps of the scroll bars a turn is worth.
// A notch (120 eighths of a degree) is `linesPerNotch` steps; a fine wheel's smaller turns add up
// until they make a step, and a turn back starts afresh. With Shift a vertical wheel scrolls
// across. Turning away from the user (positive) moves towards the top or the left.
class WheelSteps {
public:
    struct Steps {
        int across = 0;
        int down = 0;
    };
    Steps turn(int angleX, int angleY, bool shift, int linesPerNotch);

private:
    int restX_ = 0;
    int restY_ = 0;
};

inline constexpr int kPictureBoxWidthTwips = 4335;
inline constexpr int kPictureBoxHeightTwips = 4575;
inline constexpr double kFullScreenDivisorX = 1.77;
inline constexpr double kFullScreenDivisorY = 1.7;

} // namespace orv
