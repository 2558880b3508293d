// Loading a group's templates from profile values.
#include "ChrTemp.h"
#include "MemoryProfile.h"

#include <gtest/gtest.h>

namespace {

modTemp::LoadedGroup Load(const fakes::MemoryProfile& p, int group) {
    return modTemp::LoadChrTempList(group, p.source());
}

TEST(LoadChrTempList, SortsNamesAndDecodesRows) {
    fakes::MemoryProfile p;
    p.set(u"Chr", u"G3ALLCHR", u"5\\\\3\\\\-");
    p.putTemplate(3, u"5", u"3", {u" 5", u" 2"});
    p.putTemplate(3, u"3", u"2", {u" 1", u" 3"});
    p.putTemplate(3, u"-", u"2", {u" 0", u" 3"});
    const auto g = Load(p, 3);
    ASSERT_EQ(g.templates.size(), 3u);
    EXPECT_EQ(g.templates[0].Chr, u"-");
    EXPECT_EQ(g.templates[1].Chr, u"3");
    EXPECT_EQ(g.templates[2].Chr, u"5");
    // X = 3, rows 5 and 2: ink, background, ink / background, ink, background.
    const auto& five = g.templates[2];
    EXPECT_EQ(five.dot(0, 0), 1.0f);
    EXPECT_EQ(five.dot(1, 0), 0.0f);
    EXPECT_EQ(five.dot(2, 0), 1.0f);
    EXPECT_EQ(five.dot(1, 1), 1.0f);
    EXPECT_EQ(five.dot(0, 1) + five.dot(2, 1), 0.0f);
    EXPECT_TRUE(g.skipped.empty());
}

TEST(LoadChrTempList, BitsBeyondTheWidthAndThirtyColumns) {
    fakes::MemoryProfile p;
    p.set(u"Chr", u"G12ALLCHR", u"w\\\\n");
    p.putTemplate(12, u"n", u"2", {u" 7"});          // bit 2 lies beyond the width
    p.putTemplate(12, u"w", u"30", {u" 536870912"}); // bit 29
    const auto g = Load(p, 12);
    ASSERT_EQ(g.templates.size(), 2u);
    EXPECT_EQ(g.templates[0].Rows[0], 3u);
    EXPECT_EQ(g.templates[1].dot(29, 0), 1.0f);
    EXPECT_EQ(g.templates[1].Rows[0], 1u << 29);
}

TEST(LoadChrTempList, UnusableTemplatesAreSkippedAndTheRestWorks) {
    fakes::MemoryProfile p;
    p.set(u"Chr", u"G0ALLCHR", u"a\\\\b\\\\c\\\\d\\\\e\\\\f\\\\g");
    p.putTemplate(0, u"a", u"2", {u" 1"});
    // b: no section at all
    p.putTemplate(0, u"c", u"0", {u" 1"});
    p.putTemplate(0, u"d", u"2.5", {u" 1"});
    p.putTemplate(0, u"e", u"31", {u" 1"});
    p.putTemplate(0, u"f", u"2", {u" 4294967296"});
    p.putTemplate(0, u"g", u"3", {}); // height 0
    const auto g = Load(p, 0);
    ASSERT_EQ(g.templates.size(), 1u);
    EXPECT_EQ(g.templates[0].Chr, u"a");
    ASSERT_EQ(g.skipped.size(), 6u);
    EXPECT_EQ(g.skipped[0].name, u"b");
}

TEST(LoadChrTempList, HeightsUpTo4096Rows) {
    fakes::MemoryProfile p;
    p.set(u"Chr", u"G0ALLCHR", u"t\\\\u");
    p.putTemplate(0, u"t", u"2", {u" 1"});
    p.putTemplate(0, u"u", u"2", {u" 1"});
    p.set(profile::CharSection(0, u"t"), u"Y", u"4096");
    p.set(profile::CharSection(0, u"u"), u"Y", u"4097");
    const auto g = Load(p, 0);
    ASSERT_EQ(g.templates.size(), 1u);
    EXPECT_EQ(g.templates[0].height(), 4096);
    EXPECT_EQ(g.templates[0].Rows[0], 1u);
    EXPECT_EQ(g.templates[0].Rows[4095], 0u);
    ASSERT_EQ(g.skipped.size(), 1u);
    EXPECT_EQ(g.skipped[0].name, u"u");
}

TEST(LoadChrTempList, MissingRowsAreBlankAndEmptyListsLoadNothing) {
    fakes::MemoryProfile p;
    p.set(u"Chr", u"G0ALLCHR", u"7");
    const auto s = profile::CharSection(0, u"7");
    p.set(s, u"X", u"3");
    p.set(s, u"Y", u"2");
    p.set(s, u"BL0", u" 7");
    const auto g = Load(p, 0);
    ASSERT_EQ(g.templates.size(), 1u);
    EXPECT_EQ(g.templates[0].Rows, (std::vector<std::uint32_t>{7, 0}));
    EXPECT_EQ(g.templates[0].Chr, u""); // the Chr key is missing: appends nothing
    EXPECT_TRUE(Load(p, 1).templates.empty());
    p.set(u"Chr", u"G0ALLCHR", u"");
    EXPECT_TRUE(Load(p, 0).templates.empty());
}

} // namespace
