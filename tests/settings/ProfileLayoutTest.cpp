#include "ProfileLayout.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "TestFiles.h"
#include "modPub.h"

#include <gtest/gtest.h>

#include <map>

using namespace profile;
using List = std::vector<std::u16string>;

namespace {

// Points the profile at a test folder for one scope.
struct UseIniDir {
    explicit UseIniDir(const std::filesystem::path& dir) {
        FUMIni::SetIniDir(settings::TextFromPath(dir));
    }
    ~UseIniDir() {
        FUMIni::SetIniDir(u"");
        modPub::IniName = u"Kavoren.ini";
    }
};

} // namespace

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

// The profile as the program leaves it after a first session on Windows.
TEST(ProfileLayout, ReadsAProfileWrittenOnWindows) {
    const std::u16string text = uR"([ARIALIST]
LIST0=Counter
[CHRGROPLIST]
G0=Digits
[ENDDATA]
AREA=Counter
FILENAME=C:\data\count.csv
コメント前=False
刻み=0.5
CSV=True
[認識エリアCounter]
CHRGROP= 0
COMMENT=upper counter
LEFT=812
TOP=403
WIDTH=96
HEIGHT=14
BWLEVELT=128
区切り=,
[G0ChrDat1]
CHR=1
X=3
Y=4
BL0= 2
BL1= 3
BL2= 2
BL3= 7
[Chr]
G0ALLCHR=1\\7
[G0ChrDat7]
CHR=7
X=3
Y=4
BL0= 7
BL1= 4
BL2= 2
BL3= 2
[Tirelma]
Top=2040
Left=3000
Height=4500
Width=6000
)";
    std::string bytes;
    for (char c : testfiles::Sjis(text))
        (c == '\n' ? bytes += "\r\n" : bytes += c);

    testfiles::TempDir dir;
    testfiles::Spit(dir / "Kavoren.ini", bytes);
    const UseIniDir use(dir.path());
    modPub::IniName = u"\\Kavoren.ini";
    using FUMIni::IniRead;

    const auto area = IniRead(kEndData, kArea);
    EXPECT_EQ(area, u"Counter");
    EXPECT_EQ(ReadNumberedList(IniRead, kAriaList, ListKey), List{u"Counter"});
    EXPECT_EQ(ReadNumberedList(IniRead, kChrGropList, GroupKey), List{u"Digits"});
    EXPECT_EQ(IniRead(kEndData, kFileName), u"C:\\data\\count.csv");
    EXPECT_FALSE(IsTrue(IniRead(kEndData, kCommentBefore)));
    EXPECT_TRUE(IsTrue(IniRead(kEndData, kCsv)));
    EXPECT_EQ(settings::NumberValue(IniRead(kEndData, kKizami)), 0.5);

    const auto section = AreaSection(area);
    EXPECT_EQ(settings::NumberValue(IniRead(section, kChrGrop)), 0);
    EXPECT_EQ(IniRead(section, kComment), u"upper counter");
    EXPECT_EQ(IniRead(section, u"Left"), u"812");
    EXPECT_EQ(IniRead(section, kKugiri), u",");

    auto chars = SplitCharList(IniRead(kChrSection, CharListKey(0)));
    settings::CombSort(chars);
    ASSERT_EQ(chars, (List{u"1", u"7"}));
    std::vector<std::int32_t> rows;
    for (int r = 0; r < 4; ++r)
        rows.push_back(*settings::RoundToInt32(
            settings::NumberValue(IniRead(CharSection(0, chars[0]), RowKey(r)))));
    EXPECT_EQ(rows, (std::vector<std::int32_t>{2, 3, 2, 7}));
    EXPECT_EQ(IniRead(CharSection(0, u"7"), kChr), u"7");

    const auto p = FUMIni::FormPosLoad(u"Tirelma", {}, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(2040.0, 3000.0, 4500.0, 6000.0));

    // Storing the same values again leaves the file byte for byte as it was.
    ASSERT_TRUE(FUMIni::FormPosSave(u"Tirelma", p));
    modPub::IniName = u"Kavoren.ini";
    ASSERT_EQ(FUMIni::IniWrite(section, kChrGrop, SignedNumberText(0)), 1);
    ASSERT_EQ(FUMIni::IniWrite(section, kKugiri, u","), 1);
    ASSERT_EQ(FUMIni::IniWrite(CharSection(0, u"1"), RowKey(3), SignedNumberText(7)), 1);
    EXPECT_EQ(testfiles::Slurp(dir / "Kavoren.ini"), bytes);
}
