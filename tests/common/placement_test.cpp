// Centred windows stay reachable: a window larger than the usable area keeps its top-left
// corner (title bar, menu) inside it.
#include "common/core/placement.h"

#include <gtest/gtest.h>

using orv::centredPosition;

TEST(Placement, CentredWhenItFits)
{
    EXPECT_EQ(centredPosition(QSize(1280, 1024), QRect(0, 0, 1280, 1024), QSize(680, 360)), QPoint(300, 332));
    // Under a panel the centre of the whole screen still holds while the window fits below it.
    EXPECT_EQ(centredPosition(QSize(1280, 1024), QRect(0, 32, 1280, 992), QSize(680, 360)), QPoint(300, 332));
}

TEST(Placement, LargerThanTheAreaStartsAtItsCorner)
{
    // The main window at twice the scale on a 1280-pixel screen (640 x 512 logical).
    EXPECT_EQ(centredPosition(QSize(640, 512), QRect(0, 0, 640, 512), QSize(700, 400)), QPoint(0, 56));
    EXPECT_EQ(centredPosition(QSize(640, 512), QRect(48, 24, 592, 488), QSize(700, 600)), QPoint(48, 24));
    // Near the edge of a panel it is pulled in, not pushed under the panel.
    EXPECT_EQ(centredPosition(QSize(1000, 800), QRect(0, 100, 1000, 700), QSize(400, 700)), QPoint(300, 100));
}
