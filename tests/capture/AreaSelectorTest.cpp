// The drag on the overlay, without a window.
#include "AreaSelector.h"

#include <gtest/gtest.h>

using capture::AreaSelector;

TEST(AreaSelector, AnyDirectionGivesTheSameAreaEndingAtTheLastMove) {
    const QPoint drags[][2] = {{{100, 50}, {160, 70}},
                               {{160, 70}, {100, 50}},
                               {{100, 70}, {160, 50}},
                               {{160, 50}, {100, 70}}};
    for (const auto& d : drags) {
        AreaSelector s;
        s.press(d[0]);
        s.move(d[1] + QPoint(5, 5));
        // The outline shown lags one move behind.
        EXPECT_EQ(s.outline(), QRect(d[0], d[0]));
        s.move(d[1]);
        EXPECT_EQ(s.release(), QRect(100, 50, 60, 20));
        EXPECT_EQ(s.outline(), QRect(QPoint(100, 50), QPoint(160, 70)));
    }
}

TEST(AreaSelector, ClicksAndReleasesWithoutAPress) {
    AreaSelector s;
    EXPECT_EQ(s.release(), QRect(0, 0, 0, 0)); // first use: the empty area at (0, 0)
    s.press({300, 200});
    EXPECT_EQ(s.release(), QRect(300, 200, 0, 0));
    s.press({5, 6});
    s.move({9, 8});
    s.release();
    EXPECT_EQ(s.release(), QRect(5, 6, 4, 2)); // repeats the last selection
}
