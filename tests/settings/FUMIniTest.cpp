#include "FUMIni.h"
#include "FileIo.h"
#include "TestFiles.h"
#include "modPub.h"

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
    void SetUp() override {
        SetIniDir(settings::TextFromPath(dir_.path()));
        modPub::IniName = u"Kavoren.ini";
    }
    void TearDown() override {
        SetIniDir(u"");
        SetWriteFailureHandler(nullptr);
    }
    fs::path ini() const { return dir_ / "Kavoren.ini"; }

    testfiles::TempDir dir_;
};

} // namespace

TEST_F(FUMIniTest, BothFormsOfIniNameAddressOneFile) {
    modPub::IniName = u"\\Kavoren.ini";
    EXPECT_EQ(ProfilePath(), ini());
    EXPECT_EQ(IniWrite(u"認識エリアCounter", u"LEFT", u"812"), 1);
    modPub::IniName = u"Kavoren.ini";
    EXPECT_EQ(ProfilePath(), ini());
    EXPECT_EQ(IniRead(u"認識エリアCounter", u"Left"), u"812");
    EXPECT_EQ(Slurp(ini()), testfiles::Sjis(u"[認識エリアCounter]\r\nLEFT=812\r\n"));

    // The folder always ends in exactly one separator.
    const std::u16string separator(1, static_cast<char16_t>(fs::path::preferred_separator));
    SetIniDir(settings::TextFromPath(dir_.path()) + separator + separator);
    EXPECT_EQ(IniDir(), settings::TextFromPath(dir_.path()) + separator);
    EXPECT_EQ(IniRead(u"認識エリアCounter", u"LEFT"), u"812");
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
    std::vector<WriteFailure> failures;
    SetWriteFailureHandler([&](const WriteFailure& f) { failures.push_back(f); });
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
    auto p = FormPosLoad(u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(0.0, 0.0, 3000.0, 4000.0));

    ASSERT_TRUE(FormPosSave(u"Tire lma", {2040, 1567.5, 0.1, 1234567.8}));
    EXPECT_EQ(Slurp(ini()),
              "[Tirelma]\r\nTop=2040\r\nLeft=1567.5\r\nHeight=0.1\r\nWidth=1234568\r\n");
    p = FormPosLoad(u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Width), std::make_tuple(2040.0, 1567.5, 1234568.0));
    EXPECT_DOUBLE_EQ(p.Height, 0.1);
    p = FormPosLoad(u"Tirelma", design, false);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(2040.0, 1567.5, 3000.0, 4000.0));

    // Sizes of 0 or below, or no number at all, keep the design size.
    Spit(ini(), "[Tirelma]\r\nTop=-15\r\nHeight=0\r\nWidth=-20\r\n");
    p = FormPosLoad(u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(-15.0, 0.0, 3000.0, 4000.0));
    Spit(ini(), "[Tirelma]\r\nTop=1e400\r\nLeft=x\r\nHeight=1e400\r\nWidth=abc\r\n");
    p = FormPosLoad(u"Tirelma", design, true);
    EXPECT_EQ(std::tie(p.Top, p.Left, p.Height, p.Width),
              std::make_tuple(0.0, 0.0, 3000.0, 4000.0));
}
