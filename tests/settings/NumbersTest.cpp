#include "Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace settings;

TEST(Numbers, LenientNumberRule) {
    const std::pair<std::u16string, double> cases[] = {
        {u" 3", 3},   {u"", 0},    {u"12abc", 12},   {u"abc", 0},    {u"1e3", 1000},
        {u"1e", 1},   {u"1e+", 1}, {u"2E-2x", 0.02}, {u"-.5", -0.5}, {u"+2", 2},
        {u".", 0},    {u"-", 0},   {u"1.5.3", 1.5},  {u"\t 7", 7},   {u"0.5", 0.5},
        {u" 16", 16}, {u"- 3", 0}, {u"１２", 0},     {u"1e-400", 0}, {u"007", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(NumberValue(text), value) << std::string(text.begin(), text.end());
    EXPECT_EQ(NumberValue(u"1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumberValue(u"-1e400"), -std::numeric_limits<double>::infinity());

    // Beyond the range of a double, the size of the number decides, not the
    // sign of its exponent: many digits before a negative exponent are still
    // too large, many zeros after the point without exponent too small.
    const std::u16string zeros(400, u'0');
    EXPECT_EQ(NumberValue(u"1" + zeros + u"e-20"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumberValue(u"-0." + zeros + u"1"), 0.0);
    EXPECT_TRUE(std::signbit(NumberValue(u"-0." + zeros + u"1")));
    EXPECT_EQ(NumberValue(u"0." + zeros + u"1e500"), 1e99);
    EXPECT_GT(NumberValue(u"4e-320"), 0.0); // a subnormal number is still a number
}

TEST(Numbers, IntegersRoundHalfToEven) {
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(-3.5), -4);
    EXPECT_EQ(RoundToInt32(0.5), 0);
    EXPECT_EQ(RoundToInt32(2.6), 3);
    EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(RoundToInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(RoundToInt32(NumberValue(u"1e400")), std::nullopt);
    EXPECT_EQ(RoundToInt32Or(1e10, -7), -7);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt16(40000), std::nullopt);
}

TEST(Numbers, RoundOffHalvesAwayFromZero) {
    EXPECT_EQ(RoundOff(0), 0);
    EXPECT_FALSE(std::signbit(RoundOff(-0.0)));
    EXPECT_EQ(RoundOff(-0.5), -1);
    EXPECT_EQ(RoundOff(1.49), 1);
    EXPECT_EQ(RoundOff(2.5), 3);
    EXPECT_EQ(RoundOff(-2.5), -3);
    EXPECT_EQ(RoundOff(2.4), 2);
    EXPECT_EQ(RoundOff(-2.4), -2);
    EXPECT_EQ(RoundOff(1e17), 1e17);
}

TEST(Numbers, TextOfDoubleAndSingle) {
    EXPECT_EQ(DoubleText(0.5), u"0.5");
    EXPECT_EQ(DoubleText(0.25), u"0.25");
    EXPECT_EQ(DoubleText(12), u"12");
    EXPECT_EQ(DoubleText(-0.0), u"0");
    EXPECT_EQ(DoubleText(-1.5), u"-1.5");
    EXPECT_EQ(DoubleText(0.1 + 0.2), u"0.3");
    EXPECT_EQ(DoubleText(123456789012345), u"123456789012345");
    EXPECT_EQ(DoubleText(1e15), u"1E+15");
    EXPECT_EQ(SingleText(2040), u"2040");
    EXPECT_EQ(SingleText(1567.5f), u"1567.5");
    EXPECT_EQ(SingleText(0.1f), u"0.1");
    EXPECT_EQ(SingleText(-300), u"-300");
    EXPECT_EQ(SingleText(1234567.8f), u"1234568");
    // Every text reads back as the number it was written from.
    for (float v : {2040.f, 1567.5f, 0.1f, -15.25f, 3.4e38f})
        EXPECT_EQ(static_cast<float>(NumberValue(SingleText(v))), v);
}
