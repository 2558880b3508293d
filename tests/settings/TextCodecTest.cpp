#include "TextCodec.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(TextCodec, Cp932OnlyWhereTheRoundTripIsExact) {
    const std::string bytes = "\x94\x46\x8e\xaf\x83\x47\x83\x8a\x83\x41"
                              "Counter\xb6";
    EXPECT_EQ(Encode(FileEncoding::Cp932, u"認識エリアCounterｶ"), bytes);
    EXPECT_EQ(Decode(FileEncoding::Cp932, bytes), u"認識エリアCounterｶ");
    EXPECT_EQ(Encode(FileEncoding::Cp932, u"～"), "\x81\x60");
    // Characters that share a code with another, or have none.
    for (std::u16string text : {u"〜", u"¥", u"\u00A6", u"\U0001F600", u"a\xD800"})
        EXPECT_EQ(Encode(FileEncoding::Cp932, text), std::nullopt);
    EXPECT_EQ(Encode(FileEncoding::Cp932, u""), "");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Decode(FileEncoding::Cp932, "a\xFF"
                                          "b\x83"),
              u"a\uFFFDb\uFFFD");
    EXPECT_EQ(Decode(FileEncoding::Utf8, "\xC0\xAF|\xED\xA0\x80|\xE3\x81|\xF4\x90\x80\x80"),
              u"\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Decode(FileEncoding::Utf8, "\xF0\x9F\x98\x80\xC3\xA9"), u"\U0001F600é");
    EXPECT_EQ(Encode(FileEncoding::Utf8, u"\U0001F600é"), "\xF0\x9F\x98\x80\xC3\xA9");
    EXPECT_EQ(Encode(FileEncoding::Utf8, u"\xDC00"), std::nullopt);
}
