#include "ProfileLayout.h"
#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <map>

using namespace profile;
using List = std::vector<std::u16string>;

namespace {} // namespace

TEST(ProfileLayout, NamesAndValueForms) {
    EXPECT_EQ(ListKey(0), u"LIST0");
    EXPECT_EQ(GroupKey(12), u"G12");
    EXPECT_EQ(AreaSection(u"Counter"), u"認識エリアCounter");
    EXPECT_EQ(AreaSection(u""), u"認識エリア");
    EXPECT_EQ(CharListKey(12), u"G12ALLCHR");
    EXPECT_EQ(CharSection(0, u"7"), u"G0ChrDat7");
    EXPECT_EQ(CharSection(12, u"-"), u"G12ChrDat-");
    EXPECT_EQ(RowKey(10), u"BL10");

    EXPECT_EQ(SignedNumberText(2), u" 2");
    EXPECT_EQ(SignedNumberText(0), u" 0");
    EXPECT_EQ(SignedNumberText(-3), u"-3");
    EXPECT_EQ(SignedNumberText(2147483647), u" 2147483647");

    EXPECT_TRUE(IsTrue(FlagText(true)));
    EXPECT_FALSE(IsTrue(FlagText(false)));
    for (auto no : {u"true", u"TRUE", u"True ", u" True", u"", u"1"})
        EXPECT_FALSE(IsTrue(no));
}

TEST(ProfileLayout, CharacterLists) {
    EXPECT_EQ(SplitCharList(u"0\\\\1\\\\2"), (List{u"0", u"1", u"2"}));
    EXPECT_EQ(SplitCharList(u""), List{});
    EXPECT_EQ(SplitCharList(u"7"), List{u"7"});
    EXPECT_EQ(SplitCharList(u"ab\\\\\\cd"), (List{u"ab", u"\\cd"})); // one backslash is text
    EXPECT_EQ(JoinCharList({u"0", u"1", u"2"}), u"0\\\\1\\\\2");
    EXPECT_EQ(JoinCharList({}), u"");
    EXPECT_EQ(JoinCharList({u"7"}), u"7");
}

TEST(ProfileLayout, TemplateWritesInTheOrderOfRegistration) {
    // 7 is in the list already: its keys are written again, the list not.
    std::u16string list = u"7";
    const auto writes = TemplateWrites(
        3, {{u"7", u"2", u"2", {1, 3}}, {u"-", u"3", u"2", {0, 7}}, {u"1", u"2", u"3", {2, 2, 3}}},
        list);
    std::vector<std::u16string> lines;
    for (const auto& w : writes)
        lines.push_back(u"[" + w.section + u"]" + w.key + u"=" + w.value);
    EXPECT_EQ(lines,
              (List{u"[G3ChrDat7]CHR=7", u"[G3ChrDat7]X=2", u"[G3ChrDat7]Y=2", u"[G3ChrDat7]BL0= 1",
                    u"[G3ChrDat7]BL1= 3", u"[G3ChrDat-]CHR=-", u"[G3ChrDat-]X=3", u"[G3ChrDat-]Y=2",
                    u"[G3ChrDat-]BL0= 0", u"[G3ChrDat-]BL1= 7", u"[Chr]G3ALLCHR=7\\\\-",
                    u"[G3ChrDat1]CHR=1", u"[G3ChrDat1]X=2", u"[G3ChrDat1]Y=3", u"[G3ChrDat1]BL0= 2",
                    u"[G3ChrDat1]BL1= 2", u"[G3ChrDat1]BL2= 3", u"[Chr]G3ALLCHR=7\\\\-\\\\1"}));
    EXPECT_EQ(list, u"7\\\\-\\\\1");
    std::u16string empty;
    EXPECT_EQ(TemplateWrites(0, {{u"5", u"2", u"2", {1, 1}}}, empty).back().value, u"5");
    EXPECT_EQ(AppendToCharList(u"", u"5"), u"5");
    EXPECT_EQ(AppendToCharList(u"4", u"5"), u"4\\\\5");
}

TEST(ProfileLayout, NumberedListsEndAtFirstGap) {
    std::map<std::u16string, std::u16string> keys;
    const Reader read = [&](std::u16string_view, std::u16string_view key) {
        const auto it = keys.find(std::u16string(key));
        return it == keys.end() ? std::u16string() : it->second;
    };
    EXPECT_EQ(ReadNumberedList(read, kAriaList, ListKey), List{});
    keys = {{u"LIST0", u"Counter"}, {u"LIST2", u"Clock"}};
    EXPECT_EQ(ReadNumberedList(read, kAriaList, ListKey), List{u"Counter"});
    keys = {{u"G0", u"Digits"}, {u"G1", u""}, {u"G2", u"Letters"}};
    EXPECT_EQ(ReadNumberedList(read, kChrGropList, GroupKey), List{u"Digits"});
    keys = {{u"G0", u"a"}, {u"G1", u"b"}, {u"G2", u"c"}};
    EXPECT_EQ(ReadNumberedList(read, kChrGropList, GroupKey), (List{u"a", u"b", u"c"}));
}
