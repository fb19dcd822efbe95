// The picture area's scroll arithmetic and the full-screen placement, with the worked examples.
#include "browser/core/scrollsetup.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(ScrollSetup, EightHundredBySixHundredAt96Dpi)
{
    const ScrollAxis across = scrollAxis(21167, kPictureBoxWidthTwips, 15);
    EXPECT_TRUE(across.enabled);
    EXPECT_EQ(across.value, 0);
    EXPECT_EQ(across.maximum, 7760);
    EXPECT_EQ(across.largeStep, 1552);
    EXPECT_EQ(across.smallStep, 155);
    const ScrollAxis down = scrollAxis(15875, kPictureBoxHeightTwips, 15);
    EXPECT_TRUE(down.enabled);
    EXPECT_EQ(down.maximum, 4496);
    EXPECT_EQ(down.largeStep, 899);
    EXPECT_EQ(down.smallStep, 90);
}

TEST(ScrollSetup, FitsUpTo7646Himetric)
{
    EXPECT_FALSE(scrollAxis(7646, kPictureBoxWidthTwips, 15).enabled);
    const ScrollAxis a = scrollAxis(7647, kPictureBoxWidthTwips, 15);
    EXPECT_TRUE(a.enabled);
    EXPECT_EQ(a.maximum, 35);
    EXPECT_EQ(a.largeStep, 7);
    EXPECT_EQ(a.smallStep, 1);
    EXPECT_FALSE(scrollAxis(0, kPictureBoxWidthTwips, 15).enabled);
}

// Pictures far beyond a 16-bit range scroll to their far edge.
TEST(ScrollSetup, HugePicturesHaveFullRange)
{
    const int wide = 529167;  // 20000 px at 96 DPI
    const ScrollAxis a = scrollAxis(wide, kPictureBoxWidthTwips, 15);
    EXPECT_TRUE(a.enabled);
    EXPECT_EQ(a.maximum, 298046);
    EXPECT_GE(a.maximum / 15 + 289, 20000);  // the last column can reach the box
    const ScrollAxis tall = scrollAxis(105833, kPictureBoxHeightTwips, 15);  // 4000 px
    EXPECT_EQ(tall.maximum, 55901);
}

TEST(FullScreen, OffsetsCentreAndGoNegative)
{
    // 1024 x 768 px picture on a 640 x 480 screen at 15 twips per pixel.
    EXPECT_EQ(fullScreenOffset(640 * 15, 27093, kFullScreenDivisorX), -2853);
    EXPECT_EQ(fullScreenOffset(480 * 15, 20320, kFullScreenDivisorY), -2376);
    EXPECT_GT(fullScreenOffset(1280 * 15, 21167, kFullScreenDivisorX), 0);
}

// A notch is the lines per notch in small steps, up or left for a turn away from the user; a
// fine wheel's eighth-notches add up to whole steps; a turn back drops what was left over.
TEST(WheelSteps, NotchesFineTurnsShiftAndReversal)
{
    WheelSteps w;
    EXPECT_EQ(w.turn(0, -120, false, 3).down, 3);
    EXPECT_EQ(w.turn(0, 240, false, 3).down, -6);
    const WheelSteps::Steps shifted = w.turn(0, -120, true, 3);
    EXPECT_EQ(shifted.across, 3);
    EXPECT_EQ(shifted.down, 0);
    // Shift leaves a tilt alone.
    EXPECT_EQ(w.turn(120, 0, true, 3).across, -3);

    WheelSteps fine;
    int total = 0;
    for (int i = 0; i < 8; ++i)
        total += fine.turn(0, -15, false, 1).down;
    EXPECT_EQ(total, 1);
    EXPECT_EQ(fine.turn(0, -100, false, 1).down, 0);
    EXPECT_EQ(fine.turn(0, 20, false, 1).down, 0);  // back: the 100 is dropped, not undone
    EXPECT_EQ(fine.turn(0, 100, false, 1).down, -1);

    // Nonsense lines per notch and wild turns stay bounded.
    WheelSteps wild;
    EXPECT_EQ(wild.turn(0, -120, false, 0).down, 1);
    EXPECT_EQ(wild.turn(0, -2147483647, false, 2147483647).down, 100 * 100);
}
