#include "TextCodec.h"

#include <gtest/gtest.h>

#include <random>

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

TEST(TextCodec, TextForReadersTakesTheCp932CharacterUsersMean) {
    // What input methods give, and the CP932 code of the character meant.
    const std::pair<std::u16string_view, std::string_view> meant[] = {
        {u"\u301C", "\x81\x60"}, {u"\u2212", "\x81\x7C"}, {u"\u2016", "\x81\x61"},
        {u"\u2014", "\x81\x5C"}, {u"\u00A2", "\x81\x91"}, {u"\u00A3", "\x81\x92"},
        {u"\u00AC", "\x81\xCA"},
    };
    for (const auto& [text, bytes] : meant) {
        EXPECT_EQ(EncodeCp932Text(text), std::string(bytes));
        EXPECT_EQ(Encode(FileEncoding::Cp932, text), std::nullopt); // names stay exact
    }
    EXPECT_EQ(EncodeCp932Text(u"10〜20 −3 温度"), "10\x81\x60"
                                                  "20 \x81\x7C"
                                                  "3 \x89\xB7\x93\x78");
    // The characters CP932 has are written as they are.
    EXPECT_EQ(EncodeCp932Text(u"～－∥―￠￡￢"), Encode(FileEncoding::Cp932, u"～－∥―￠￡￢"));
    // Nothing is guessed for the rest: no '?', no yen sign as a backslash.
    for (std::u16string_view text :
         {u"é", u"¥100", u"\u203E", u"\u00A6", u"a\U0001F600", u"\xD800", u"10〜20\u00E9"})
        EXPECT_EQ(EncodeCp932Text(text), std::nullopt);
    EXPECT_EQ(EncodeCp932Text(u""), "");
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

TEST(TextCodec, Utf16InBothByteOrdersAndItsEditingForm) {
    EXPECT_EQ(Encode(FileEncoding::Utf16Le, u"a表"), std::string("a\0\x68\x88", 4));
    EXPECT_EQ(Encode(FileEncoding::Utf16Be, u"a表"), std::string("\0a\x88\x68", 4));
    EXPECT_EQ(Encode(FileEncoding::Utf16Le, u"a\xD800"), std::nullopt);
    EXPECT_EQ(Decode(FileEncoding::Utf16Le, std::string("a\0\x3D\xD8\0\xDE\x3D\xD8x", 9)),
              u"a\U0001F600\uFFFD\uFFFD");
    EXPECT_EQ(Decode(FileEncoding::Utf16Be, std::string("\0a\xDC\0", 4)), u"a\uFFFD");

    // Any code units come back exactly, broken surrogates included; the form
    // is UTF-8 wherever the units are text.
    std::mt19937 rng(7);
    const char16_t units[] = {u'a', u'\r', u'=', u'表', 0xD83D, 0xDE00, 0xDC00, 0xFFFF, 0};
    for (int round = 0; round < 500; ++round) {
        std::u16string text(rng() % 12, u' ');
        for (char16_t& c : text)
            c = units[rng() % std::size(units)];
        const std::string form = UnitsToWtf8(text);
        EXPECT_EQ(Wtf8ToUnits(form), text);
        if (const auto utf8 = Utf16ToUtf8(text)) {
            EXPECT_EQ(form, *utf8);
        }
        EXPECT_EQ(Utf16Units(FileEncoding::Utf16Be, Utf16Bytes(FileEncoding::Utf16Be, text)), text);
    }
}
