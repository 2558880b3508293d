#include "AnswerText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SnapToStep, SnapsEachPieceHalfAwayFromZero) {
    EXPECT_EQ(engine::SnapToStep(u"12.3/7.76", u"/", 0.5), u"12.5/8");
    EXPECT_EQ(engine::SnapToStep(u"1.25", u"/", 0.5), u"1.5");
    EXPECT_EQ(engine::SnapToStep(u"-1.25", u"/", 0.5), u"-1.5");
    EXPECT_EQ(engine::SnapToStep(u"3//4", u"/", 1), u"3/0/4");
    EXPECT_EQ(engine::SnapToStep(u"3,4.9", u",", 1), u"3,5");
    EXPECT_EQ(engine::SnapToStep(u"-0.2", u",", 1), u"0"); // never "-0"
    EXPECT_EQ(engine::SnapToStep(u"0.1/0.2", u"/", 0.1), u"0.1/0.2");
    EXPECT_EQ(engine::SnapToStep(u"12 34", u"", 10), u"10"); // one piece without delimiter
}

TEST(SnapToStep, LeavesTheAnswerWhenThereIsNothingToDo) {
    EXPECT_EQ(engine::SnapToStep(u"12.3", u"/", 0), u"12.3");
    EXPECT_EQ(engine::SnapToStep(u"", u"/", 0.5), u"");
    EXPECT_EQ(engine::SnapToStep(u"1e999", u"/", 0.5), u"1e999");
    EXPECT_EQ(engine::SnapToStep(u"7", u"/", std::nan("")), u"7");
}

TEST(ResultLine, AssemblyAndCommaConversion) {
    EXPECT_EQ(engine::AssembleResultLine(u"12 34", u"A", u" ", false, false), u"12 34 A");
    EXPECT_EQ(engine::AssembleResultLine(u"12 34", u"A", u" ", false, true), u"12,34,A");
    EXPECT_EQ(engine::AssembleResultLine(u"12", u"x y", u" ", true, true), u"x,y,12");
    EXPECT_EQ(engine::AssembleResultLine(u"1::2", u"c", u"::", false, true), u"1::2::c");
    EXPECT_EQ(engine::AssembleResultLine(u"12", u"c", u"", true, false), u"c12");
    EXPECT_EQ(engine::AssembleResultLine(u"", u"", u"/", false, false), u"/");
    EXPECT_EQ(engine::AssembleResultLine(u"1,2", u"a", u"/", false, true), u"1,2,a");
    EXPECT_EQ(engine::KugiriChg(u"a/b/c", u"/"), u"a,b,c");
    EXPECT_EQ(engine::KugiriChg(u"a/b", u""), u"a/b");
}

TEST(ResultLine, DefaultAndFallbackFiles) {
    EXPECT_EQ(engine::DefaultResultFile(u"/opt/t/", true), u"/opt/t/Kavoren.csv");
    EXPECT_EQ(engine::DefaultResultFile(u"/opt/t/", false), u"/opt/t/Kavoren.txt");
    EXPECT_EQ(engine::FallbackResultFile(u"/opt/t/"), u"/opt/t/Kavoren.txt");
}

} // namespace
