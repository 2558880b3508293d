// How large the editor may grow on its screen.
#include "WindowFit.h"

#include <gtest/gtest.h>

using editor::EditorFrame;
using editor::FitEditor;
using editor::KeepOnScreen;

namespace {

// Controls 600 x 300 with an empty view; 12 pixels of margins beside the view.
const EditorFrame kFrame{{600, 300}, 300, 12, 15};
const QSize kScreen{1278, 760};

} // namespace

TEST(FitEditor, GrowsWithTheViewUpToTheScreenThenScrolls) {
    EXPECT_EQ(FitEditor(kFrame, {0, 0}, 0, kScreen), QSize(600, 300));
    EXPECT_EQ(FitEditor(kFrame, {300, 40}, 0, kScreen), QSize(600, 340));
    EXPECT_EQ(FitEditor(kFrame, {1000, 40}, 0, kScreen), QSize(1012, 340));
    // Never narrower than it is; the height follows the view.
    EXPECT_EQ(FitEditor(kFrame, {100, 200}, 1012, kScreen), QSize(1012, 500));
    // Too wide: as wide as the screen, a bar across the bottom.
    EXPECT_EQ(FitEditor(kFrame, {3000, 300}, 0, kScreen), QSize(1278, 615));
    // Too high: as high as the screen, a bar down the side.
    EXPECT_EQ(FitEditor(kFrame, {700, 3000}, 0, kScreen), QSize(727, 760));
    EXPECT_EQ(FitEditor(kFrame, {3000, 3000}, 5000, kScreen), kScreen);
    // A wider window from a larger screen before: back within this one.
    EXPECT_EQ(FitEditor(kFrame, {10, 10}, 2000, kScreen), QSize(1278, 310));
    // Controls that need more than the screen has still get no more than it.
    EXPECT_EQ(FitEditor({{900, 500}, 500, 12, 15}, {10, 10}, 0, {640, 400}), QSize(640, 400));
}

TEST(KeepOnScreen, MovesAsLittleAsNeeded) {
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(KeepOnScreen({100, 100, 500, 300}, screen), QPoint(100, 100));
    EXPECT_EQ(KeepOnScreen({1000, 600, 500, 300}, screen), QPoint(780, 500));
    EXPECT_EQ(KeepOnScreen({-20, -5, 500, 300}, screen), QPoint(0, 0));
    // Larger than the screen: its top-left corner stays on it.
    EXPECT_EQ(KeepOnScreen({300, 300, 1400, 900}, screen), QPoint(0, 0));
    EXPECT_EQ(KeepOnScreen({2000, 100, 500, 300}, QRect(1280, 0, 1280, 800)), QPoint(2000, 100));
}
