// The profile store the windows and the reader work with, and the module's
// shared services.
#include "ProfileStore.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "ProfileLayout.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace FUMIni;
using testfiles::Slurp;
using testfiles::Spit;
namespace fs = std::filesystem;

namespace {

class FUMIniTest : public ::testing::Test {
protected:
    fs::path ini() const { return dir_ / "Kavoren.ini"; }

    testfiles::TempDir dir_;
    store::ProfileStore profile_{ini()};

    std::u16string IniRead(std::u16string_view s, std::u16string_view k) {
        return profile_.IniRead(s, k);
    }
    std::int32_t IniWrite(std::u16string_view s, std::u16string_view k, std::u16string_view v) {
        return profile_.IniWrite(s, k, v);
    }
    bool IniHasSection(std::u16string_view s) { return profile_.IniHasSection(s); }
};

} // namespace

TEST_F(FUMIniTest, TheFolderEndsInOneSeparator) {
    EXPECT_EQ(profile_.path(), ini());
    EXPECT_EQ(IniWrite(u"認識エリアCounter", u"LEFT", u"812"), 1);
    EXPECT_EQ(IniRead(u"認識エリアCounter", u"Left"), u"812");
    EXPECT_EQ(Slurp(ini()), testfiles::Sjis(u"[認識エリアCounter]\r\nLEFT=812\r\n"));
    const std::u16string separator(1, static_cast<char16_t>(fs::path::preferred_separator));
    EXPECT_EQ(profile_.IniDir(), settings::TextFromPath(dir_.path()) + separator);
    // Two stores of one file see each other's writes at once.
    store::ProfileStore other(dir_.path() / "." / "Kavoren.ini");
    EXPECT_EQ(other.IniRead(u"認識エリアCounter", u"LEFT"), u"812");
    EXPECT_EQ(other.IniWrite(u"認識エリアCounter", u"LEFT", u"9"), 1);
    EXPECT_EQ(IniRead(u"認識エリアCounter", u"LEFT"), u"9");
    // As a source of the reading road.
    const profile::Source source = profile_.source();
    EXPECT_EQ(source.read(u"認識エリアcounter", u"left"), u"9");
    EXPECT_TRUE(source.hasSection(u"認識エリアCOUNTER"));
    EXPECT_FALSE(source.hasSection(u"ENDDATA"));
    // Its version stays while nothing changes, and moves with a write of
    // its own, of another store, or by hand.
    const auto v = source.version();
    EXPECT_EQ(source.version(), v);
    IniWrite(u"ENDDATA", u"AREA", u"Counter");
    const auto w = source.version();
    EXPECT_NE(w, v);
    other.IniWrite(u"ENDDATA", u"AREA", u"Other");
    EXPECT_NE(source.version(), w);
    const auto x = source.version();
    Spit(ini(), "[ENDDATA]\r\nAREA=Hand\r\n");
    std::filesystem::last_write_time(ini(), std::filesystem::last_write_time(ini()) +
                                                std::chrono::seconds(2));
    EXPECT_NE(source.version(), x);
    EXPECT_EQ(IniRead(u"ENDDATA", u"AREA"), u"Hand");
}

TEST_F(FUMIniTest, MissingThingsReadEmpty) {
    EXPECT_EQ(IniRead(u"ENDDATA", u"AREA"), u"");
    EXPECT_FALSE(IniHasSection(u"ENDDATA"));
    ASSERT_EQ(IniWrite(u"ENDDATA", u"CSV", u"True"), 1);
    EXPECT_EQ(IniRead(u"ENDDATA", u"AREA"), u"");
    EXPECT_EQ(IniRead(u"ARIALIST", u"CSV"), u"");
    EXPECT_TRUE(IniHasSection(u"enddata"));

    ASSERT_EQ(IniWrite(u"Chr", u"G0ALLCHR", std::u16string(300, u'7')), 1);
    EXPECT_EQ(IniRead(u"Chr", u"G0ALLCHR"), std::u16string(254, u'7'));
}

TEST_F(FUMIniTest, RefusedWritesAreReportedOnceEach) {
    std::vector<store::WriteFailure> failures;
    profile_.setWriteFailureHandler([&](const store::WriteFailure& f) { failures.push_back(f); });
    EXPECT_EQ(IniWrite(u"S", u"k", u"ok"), 1);
    EXPECT_EQ(IniWrite(u"S", u"k=", u"bad"), 0);
    fs::permissions(ini(), fs::perms(0444));
    EXPECT_EQ(IniWrite(u"S", u"k", u"lost"), 0);
    EXPECT_EQ(IniRead(u"S", u"k"), u"ok");
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].status, settings::WriteStatus::BadName);
    EXPECT_EQ(failures[0].key, u"k=");
    EXPECT_EQ(failures[1].status, settings::WriteStatus::IoError);
    EXPECT_EQ(failures[1].value, u"lost");
}

TEST_F(FUMIniTest, ARefusedBatchGoesToTheHandlerOrBackToTheCaller) {
    std::vector<store::WriteFailure> failures;
    profile_.setWriteFailureHandler([&](const store::WriteFailure& f) { failures.push_back(f); });
    const std::vector<settings::KeyWrite> batch{{u"S", u"a", u"1"}, {u"S", u"b=", u"2"}};
    // One bad name refuses the whole batch: the handler hears of that write.
    EXPECT_EQ(profile_.IniWriteAll(batch), 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].key, u"b=");
    EXPECT_FALSE(fs::exists(ini()));
    // Or the caller does, and the handler nothing.
    const auto refusal = profile_.IniWriteAllOrRefusal(batch);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->status, settings::WriteStatus::BadName);
    EXPECT_EQ(refusal->key, u"b=");
    ASSERT_FALSE(profile_.IniWriteAllOrRefusal({batch[0]}));
    fs::permissions(ini(), fs::perms(0444));
    const auto readOnly = profile_.IniWriteAllOrRefusal({{u"S", u"a", u"9"}});
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->status, settings::WriteStatus::IoError);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(IniRead(u"S", u"a"), u"1");
}

TEST(FUMIniHelpers, SpaceCut) {
    EXPECT_EQ(SpaceCut(u"Tire lma　window x"), u"Tirelmawindowx");
    EXPECT_EQ(SpaceCut(u" 　 "), u"");
    EXPECT_EQ(SpaceCut(u"a\tb"), u"a\tb");
}

TEST(FUMIniHelpers, CombSortOrdersByCodeUnits) {
    std::vector<std::u16string> v = {u"5", u"10", u"1", u"-"};
    CombSort(v);
    EXPECT_EQ(v, (std::vector<std::u16string>{u"-", u"1", u"10", u"5"}));
    std::vector<std::u16string> none, one = {u"x"};
    CombSort(none);
    CombSort(one);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(one, std::vector<std::u16string>{u"x"});

    // Sizes around the gaps that become 11, and many random arrays.
    std::mt19937 rng(7);
    const std::u16string pool[] = {u"a", u"A", u"b", u"0", u"9", u"-", u"ア", u"あ", u"ab", u""};
    for (int round = 0; round < 500; ++round) {
        std::vector<std::u16string> items(rng() % 40);
        for (auto& s : items)
            s = pool[rng() % std::size(pool)] + pool[rng() % std::size(pool)];
        auto expected = items;
        std::sort(expected.begin(), expected.end());
        CombSort(items);
        ASSERT_EQ(items, expected) << round;
    }
}

TEST_F(FUMIniTest, FormPositionRoundTrip) {
    // Missing section: top left corner, design size.
    const FormPlacement design{100, 200, 3000, 4000};
    auto p = FormPosLoad(profile_, u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(0.0, 0.0, 3000.0, 4000.0));

    ASSERT_TRUE(FormPosSave(profile_, u"Tire lma", {2040, 1567.5, 0.1, 1234567.8}));
    EXPECT_EQ(Slurp(ini()),
              "[Tirelma]\r\nTop=2040\r\nLeft=1567.5\r\nHeight=0.1\r\nWidth=1234568\r\n");
    p = FormPosLoad(profile_, u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Width), std::make_tuple(2040.0, 1567.5, 1234568.0));
    EXPECT_DOUBLE_EQ(p.Height, 0.1);
    p = FormPosLoad(profile_, u"Tirelma", design, false);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(2040.0, 1567.5, 3000.0, 4000.0));

    // Sizes of 0 or below, or no number at all, keep the design size.
    Spit(ini(), "[Tirelma]\r\nTop=-15\r\nHeight=0\r\nWidth=-20\r\n");
    p = FormPosLoad(profile_, u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(-15.0, 0.0, 3000.0, 4000.0));
    Spit(ini(), "[Tirelma]\r\nTop=1e400\r\nLeft=x\r\nHeight=1e400\r\nWidth=abc\r\n");
    p = FormPosLoad(profile_, u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(0.0, 0.0, 3000.0, 4000.0));
}

// The profile as the program leaves it after a first session on Windows.
TEST(ProfileStore, ReadsAProfileWrittenOnWindows) {
    using namespace profile;
    using List = std::vector<std::u16string>;
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
    store::ProfileStore ini(dir / "Kavoren.ini");
    const auto IniRead = ini.reader();

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

    const auto p = FUMIni::FormPosLoad(ini, u"Tirelma", {}, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(2040.0, 3000.0, 4500.0, 6000.0));

    // Storing the same values again leaves the file byte for byte as it was.
    ASSERT_TRUE(FUMIni::FormPosSave(ini, u"Tirelma", p));
    ASSERT_EQ(ini.IniWrite(section, kChrGrop, SignedNumberText(0)), 1);
    ASSERT_EQ(ini.IniWrite(section, kKugiri, u","), 1);
    ASSERT_EQ(ini.IniWrite(CharSection(0, u"1"), RowKey(3), SignedNumberText(7)), 1);
    EXPECT_EQ(testfiles::Slurp(dir / "Kavoren.ini"), bytes);
}
