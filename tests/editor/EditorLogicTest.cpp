// The editor's window-free rules.
#include "EditorLogic.h"
#include "Glyphs.h"

#include <gtest/gtest.h>

using namespace editor;
using glyphs::Pattern;
using settings::FileEncoding;

namespace {

bool Black(const QImage& img, int x, int y) {
    return PictureColour(img, x, y) == 0;
}

} // namespace

TEST(Cut, SnapsToCellEdgesInEitherDirection) {
    const std::pair<float, float> snaps[] = {
        {4, 0},      {5, 10},   {37, 40},   {58, 60},     {14.5f, 10}, // 14.5 rounds to 14
        {15.5f, 20}, {-3, -10}, {-15, -20}, {-0.4f, -10}, // rounds to 0, but the edge below -0.04
                                                          // is -10
    };
    for (const auto& [in, out] : snaps)
        EXPECT_EQ(KyoukaiChk(in), out) << in;
    for (const CutRect c : {FinishCut({37, 12, 91, 58}), FinishCut({91, 58, 37, 12})}) {
        EXPECT_EQ(c.x1, 40);
        EXPECT_EQ(c.y1, 10);
        EXPECT_EQ(c.x2, 90);
        EXPECT_EQ(c.y2, 60);
    }
}

TEST(Cut, SizeLabelsMustDescribeTwoToTwentyEightColumnsAndTwoRows) {
    EXPECT_TRUE(CutSizeAcceptable(28, 2));
    EXPECT_FALSE(CutSizeAcceptable(29, 2));
    EXPECT_FALSE(CutSizeAcceptable(5, 1));
    const auto ok = LabelCutSize(u"28", u" 7");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->w * 100 + ok->h, 2807);
    for (const auto& [w, h] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"29", u"5"}, {u"", u""}, {u"Null", u"5"}, {u"5.5", u"5"}, {u"5", u"99999"}})
        EXPECT_FALSE(LabelCutSize(w, h));
}

TEST(RowMasks, CellCentresGiveBitsLeftmostLowestOutsideWhite) {
    const QImage big = Magnify(Pattern({"#.#..", ".....", "....#"}), kCell);
    EXPECT_EQ(RowMasks(big, 0, 0, {5, 3}), (std::vector<std::int32_t>{5, 0, 16}));
    // Past the right and bottom edges, and from left of the picture.
    EXPECT_EQ(RowMasks(big, 40, 10, {3, 3}), (std::vector<std::int32_t>{0, 1, 0}));
    EXPECT_EQ(RowMasks(big, -10, 0, {3, 1}), (std::vector<std::int32_t>{2}));
}

TEST(Binarize, RedAtMostTheLevelIsBlackWithinTheFieldsBounds) {
    QImage img(4, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(128, 255, 255));
    img.setPixel(1, 0, qRgb(129, 0, 0));
    img.setPixel(2, 0, qRgb(0, 0, 255)); // pure blue has red 0
    img.setPixel(3, 0, qRgb(255, 0, 0)); // pure red
    const QImage two = Binarize(img, 128, 4, 1);
    EXPECT_TRUE(Black(two, 0, 0) && !Black(two, 1, 0) && Black(two, 2, 0) && !Black(two, 3, 0));
    EXPECT_EQ(two.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_TRUE(Black(Binarize(img, 255, 4, 1), 3, 0));
    EXPECT_FALSE(Black(Binarize(img, -1, 4, 1), 2, 0));
    // 2.5 columns from the fields: x = 0 and 1 only; the rest stays white.
    const QImage part = Binarize(Pattern({"####"}), 128, 2.5, 9);
    EXPECT_TRUE(Black(part, 1, 0) && !Black(part, 2, 0));
    EXPECT_EQ(part.size(), QSize(4, 1));
}

TEST(Magnify, EveryPixelBecomesATenByTenCell) {
    const QImage big = Magnify(Pattern({".#.", "..."}), kCell);
    ASSERT_EQ(big.size(), QSize(30, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(Black(big, x, y), x >= 10 && x <= 19 && y <= 9) << x << "," << y;
}

TEST(FieldNumber, OnlyTextThatIsOneNumber) {
    EXPECT_EQ(FieldNumber(u" 3 "), 3);
    EXPECT_EQ(FieldNumber(u"-10.5"), -10.5);
    EXPECT_EQ(FieldNumber(u"1e3"), 1000);
    for (const std::u16string_view t : {u"", u"abc", u"12abc", u"1e", u"1e999", u"１２"})
        EXPECT_FALSE(FieldNumber(t));
}

TEST(Names, RefusedWhereTheProfileCannotHoldThemFaithfully) {
    const auto cp = FileEncoding::Cp932;
    EXPECT_EQ(CheckName(u"上段\u3000カウンタ", cp), NameProblem::None);
    for (const std::u16string_view bad : {u"[a", u"a]", u"a=b", u"a\nb"})
        EXPECT_EQ(CheckName(bad, cp), NameProblem::BadCharacter);
    for (const std::u16string_view bad : {u" a", u"a\t", u" "})
        EXPECT_EQ(CheckName(bad, cp), NameProblem::BlankAtEnd);
    // At most 254 bytes read back: two bytes a kana in CP932, three in UTF-8;
    // a name CP932 lacks turns the file to UTF-8, so it counts there.
    EXPECT_EQ(CheckName(std::u16string(127, u'字'), cp), NameProblem::None);
    EXPECT_EQ(CheckName(std::u16string(128, u'字'), cp), NameProblem::TooLong);
    EXPECT_EQ(CheckName(std::u16string(85, u'字'), FileEncoding::Utf8), NameProblem::TooLong);
    EXPECT_EQ(CheckName(std::u16string(85, u'한'), cp), NameProblem::TooLong);
}

TEST(CharacterTexts, TwinsShareASectionThroughAsciiCaseAndOuterBlanks) {
    const std::vector<std::u16string> list{u"1", u"a", u"Ａ"};
    EXPECT_EQ(SectionTwin(u"A", list), std::u16string(u"a"));
    EXPECT_EQ(SectionTwin(u"1 ", list), std::u16string(u"1"));
    EXPECT_FALSE(SectionTwin(u"a", list));  // the same character again
    EXPECT_FALSE(SectionTwin(u"ａ", list)); // full-width letters stay apart
    EXPECT_EQ(CheckCharText(u"\\"), CharProblem::BadCharacter);
    EXPECT_EQ(CheckCharText(u"="), CharProblem::None);
}
