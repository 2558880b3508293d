// The cut drag on the magnified view, without the window.
#include "CutSelector.h"

#include <gtest/gtest.h>

using editor::CutSelector;

namespace {

QRectF Rect(const editor::CutRect& c) {
    return QRectF(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
}

CutSelector::Result Drag(CutSelector& s, QPointF from, QPointF to) {
    s.press(from);
    s.move((from + to) / 2);
    s.move(to);
    return s.release();
}

} // namespace

TEST(CutSelector, TheOutlineLagsOneMoveBehindAndTheReleaseSnapsToCells) {
    CutSelector s;
    s.press({37, 12});
    s.move({60, 30});
    EXPECT_EQ(s.outline(), QRectF(37, 12, 0, 0)); // the corner of the previous move
    s.move({91, 58});
    EXPECT_EQ(s.outline(), QRectF(QPointF(37, 12), QPointF(60, 30)));
    EXPECT_EQ(Rect(s.cut()), QRectF(QPointF(37, 12), QPointF(91, 58)));
    const auto r = s.release();
    EXPECT_EQ(Rect(r.cut), QRectF(40, 10, 50, 50));
    EXPECT_EQ(s.outline(), QRectF(40, 10, 50, 50));
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.w * 100 + r.h, 505);

    // Either way round, the same cut; a release alone finishes it again.
    EXPECT_EQ(Rect(Drag(s, {91, 58}, {37, 12}).cut), QRectF(40, 10, 50, 50));
    EXPECT_EQ(Rect(s.release().cut), QRectF(40, 10, 50, 50));
    // Dragged out of the picture at the left and top: snapped downwards.
    EXPECT_EQ(Rect(Drag(s, {-3, -15}, {24, 24}).cut), QRectF(QPointF(-10, -20), QPointF(20, 20)));
}

TEST(CutSelector, OnlyTwoToTwentyEightColumnsAndTwoRowsOrMoreAreAccepted) {
    CutSelector s;
    s.press({15, 15});
    const auto click = s.release();
    EXPECT_FALSE(click.accepted);
    EXPECT_EQ(click.w + click.h, 0);
    const auto cells = [&](double w, double h) {
        return Drag(s, {2, 2}, {10 * w + 2, 10 * h + 3});
    };
    EXPECT_TRUE(cells(28, 2).accepted);
    EXPECT_TRUE(cells(2, 300).accepted);
    EXPECT_FALSE(cells(29, 2).accepted);
    EXPECT_FALSE(cells(5, 1).accepted);
    EXPECT_FALSE(cells(1, 5).accepted);
    EXPECT_EQ(cells(29, 2).w, 29);
}
