#include "ProfileDocument.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

using settings::FileEncoding;
using settings::ProfileDocument;
using settings::WriteStatus;
using testfiles::Sjis;
using testfiles::Utf8;
using namespace std::string_literals;

namespace {

// CP932 bytes as the Win32 profile functions leave them on a Japanese Windows.
const std::string kAreaCounter = "\x94\x46\x8e\xaf\x83\x47\x83\x8a\x83\x41"
                                 "Counter";             // 認識エリアCounter
const std::string kKugiri = "\x8b\xe6\x90\xd8\x82\xe8"; // 区切り
const std::string kUpperCounter =
    "\x8f\xe3\x82\xcc\x83\x4a\x83\x45\x83\x93\x83\x5e"; // 上のカウンタ

std::u16string Get(const ProfileDocument& d, std::u16string_view s, std::u16string_view k) {
    return d.read(s, k).value_or(u"<missing>");
}

// The bytes after one write that must succeed and read back as readsAs
// (by default the value itself).
std::string After(std::string before, std::u16string_view s, std::u16string_view k,
                  std::u16string_view v, std::optional<std::u16string_view> readsAs = {}) {
    ProfileDocument d(std::move(before));
    EXPECT_EQ(d.write(s, k, v), WriteStatus::Ok);
    EXPECT_EQ(Get(d, s, k), readsAs.value_or(v));
    return d.bytes();
}

// A file as Notepad saves it as "Unicode": a byte-order mark and UTF-16 LE.
std::string Utf16File(std::u16string_view text, FileEncoding order = FileEncoding::Utf16Le) {
    const auto bom = order == FileEncoding::Utf16Le ? settings::kUtf16LeBom : settings::kUtf16BeBom;
    return std::string(bom) + settings::Utf16Bytes(order, text);
}

} // namespace

TEST(ProfileEncoding, WindowsFileLoadsAndNewFilesMatchIt) {
    const std::string windows =
        "[" + kAreaCounter + "]\r\n" + kKugiri + "=,\r\nCOMMENT=" + kUpperCounter + "\r\n";
    ProfileDocument d(windows);
    EXPECT_EQ(d.encoding(), FileEncoding::Cp932);
    EXPECT_EQ(Get(d, u"認識エリアCounter", u"区切り"), u",");
    EXPECT_EQ(Get(d, u"認識エリアcounter", u"COMMENT"), u"上のカウンタ");

    // Written from nothing, the same keys give the same bytes: CP932, CR LF, no BOM.
    ProfileDocument fresh;
    ASSERT_EQ(fresh.write(u"認識エリアCounter", u"区切り", u","), WriteStatus::Ok);
    ASSERT_EQ(fresh.write(u"認識エリアCounter", u"COMMENT", u"上のカウンタ"), WriteStatus::Ok);
    EXPECT_EQ(fresh.bytes(), windows);
}

TEST(ProfileEncoding, Utf8WithBomStaysUtf8) {
    const std::string bom = "\xEF\xBB\xBF";
    ProfileDocument d(bom + "[ENDDATA]\nAREA=" + Utf8(u"カウンタ") + "\n");
    EXPECT_EQ(d.encoding(), FileEncoding::Utf8);
    EXPECT_EQ(Get(d, u"ENDDATA", u"AREA"), u"カウンタ"); // the BOM does not spoil line 1
    ASSERT_EQ(d.write(u"ENDDATA", u"刻み", u"0.5"), WriteStatus::Ok);
    EXPECT_EQ(d.bytes(),
              bom + "[ENDDATA]\nAREA=" + Utf8(u"カウンタ") + "\n" + Utf8(u"刻み") + "=0.5\n");
}

TEST(ProfileEncoding, TextOutsideCp932SwitchesFileToUtf8Losslessly) {
    // Everything else in the file must come through the switch: Japanese
    // names and values, a comment, an unknown section, bytes that are no CP932.
    const std::string before = "; " + kUpperCounter + "\r\n[" + kAreaCounter + "]\r\n" + kKugiri +
                               "=,\r\nCOMMENT=" + kUpperCounter + "\r\n[Other]\r\nk=\xFF\x80" +
                               "x\r\n";
#ifdef _WIN32
    const std::string other = "\xFF\xC2\x80x"; // Windows' code page 932 has U+0080 at 0x80
#else
    const std::string other = "\xFF\x80x";
#endif
    const std::u16string values[] = {u"〜", u"¥100", u"a\U0001F600b"};
    for (const auto& v : values) {
        ProfileDocument d(before);
        ASSERT_EQ(d.write(u"ENDDATA", u"AREA", v), WriteStatus::Ok);
        EXPECT_EQ(d.encoding(), FileEncoding::Utf8);
        const std::string expected =
            "\xEF\xBB\xBF; " + Utf8(u"上のカウンタ") + "\r\n[" + Utf8(u"認識エリアCounter") +
            "]\r\n" + Utf8(u"区切り") + "=,\r\nCOMMENT=" + Utf8(u"上のカウンタ") +
            "\r\n[Other]\r\nk=" + other + "\r\n[ENDDATA]\r\nAREA=" + Utf8(v) + "\r\n";
        EXPECT_EQ(d.bytes(), expected);
        EXPECT_EQ(Get(ProfileDocument(d.bytes()), u"ENDDATA", u"AREA"), v);
        EXPECT_EQ(Get(ProfileDocument(d.bytes()), u"認識エリアCounter", u"COMMENT"),
                  u"上のカウンタ");
    }
    // The full-width tilde has a CP932 code of its own (0x8160): no switch.
    ProfileDocument d(before);
    ASSERT_EQ(d.write(u"ENDDATA", u"AREA", u"～"), WriteStatus::Ok);
    EXPECT_EQ(d.encoding(), FileEncoding::Cp932);
    EXPECT_TRUE(d.bytes().ends_with("AREA=\x81\x60\r\n"));
    // A name outside CP932 switches as well.
    ASSERT_EQ(d.write(u"G0ChrDat\U0001F600", u"CHR", u"x"), WriteStatus::Ok);
    EXPECT_EQ(d.encoding(), FileEncoding::Utf8);
    EXPECT_EQ(Get(d, u"ENDDATA", u"AREA"), u"～");

    // A lead byte without a proper second byte is one stray byte; the byte
    // after it is read, and converted, as a character of its own.
    ProfileDocument stray("[S]\r\nk=\xEB\xBBx\r\nj=\x9E\r\n");
    EXPECT_EQ(Get(stray, u"S", u"k"), u"\uFFFDｻx");
    ASSERT_EQ(stray.write(u"S", u"new", u"é"), WriteStatus::Ok);
    EXPECT_EQ(stray.bytes(), "\xEF\xBB\xBF[S]\r\nk=\xEB" + Utf8(u"ｻ") +
                                 "x\r\nj=\x9E\r\nnew=" + Utf8(u"é") + "\r\n");
    EXPECT_EQ(Get(stray, u"S", u"k"), u"\uFFFDｻx");

    // A long list of Japanese characters fits 254 bytes in CP932 but not in
    // UTF-8: switching would cut it on the next read, so the write that needs
    // the switch is refused and the file stays as it is.
    std::u16string list = u"ア";
    for (int i = 0; i < 60; ++i)
        list += u"\\\\ア";
    const std::string withList = "[Chr]\r\nG0ALLCHR=" + testfiles::Sjis(list) + "\r\n";
    ProfileDocument full(withList);
    EXPECT_EQ(full.write(u"ENDDATA", u"AREA", u"café"), WriteStatus::BadValue);
    EXPECT_EQ(full.bytes(), withList);
    EXPECT_EQ(Get(full, u"Chr", u"G0ALLCHR"), list);
    ASSERT_EQ(full.write(u"ENDDATA", u"AREA", u"cafe"), WriteStatus::Ok);
}

TEST(ProfileEncoding, OnlySingleByteLettersFold) {
    // Byte-wise folding would merge these: ト is 83 67, エ is 83 47 ('g' and 'G').
    const std::pair<std::u16string, std::u16string> distinct[] = {
        {u"コメント前", u"コメンエ前"}, {u"エ", u"ト"}, {u"Ａ", u"ａ"}};
    ProfileDocument d;
    for (const auto& [a, b] : distinct) {
        ASSERT_EQ(d.write(u"EndData", a, a), WriteStatus::Ok);
        ASSERT_EQ(d.write(a, u"k", a), WriteStatus::Ok);
        EXPECT_EQ(Get(d, u"ENDDATA", b), u"<missing>");
        EXPECT_EQ(Get(d, b, u"K"), u"<missing>");
        ASSERT_EQ(d.write(u"enddata", b, b), WriteStatus::Ok);
    }
    for (const auto& [a, b] : distinct) {
        EXPECT_EQ(Get(d, u"ENDDATA", a), a);
        EXPECT_EQ(Get(d, u"ENDDATA", b), b);
        EXPECT_EQ(Get(d, a, u"K"), a);
    }
}

TEST(ProfileEncoding, BracketTrailByteDoesNotEndSectionName) {
    // ゾ is 83 5D: its second byte is ']'.
    const std::string bytes = "[G0ChrDat\x83\x5D]\r\nCHR=\x83\x5D\r\n";
    ProfileDocument d(bytes);
    EXPECT_EQ(Get(d, u"G0ChrDatゾ", u"CHR"), u"ゾ");
    EXPECT_EQ(After(bytes, u"G0ChrDatゾ", u"X", u"3"), bytes + "X=3\r\n");
}

TEST(ProfileReading, BlanksQuotesAndEmptyValues) {
    const std::string file = "[S]\r\n"
                             "plain=  3 \t\r\n"
                             "wide=\t\x81\x40x\x81\x40\r\n" // U+3000 is not a blank here
                             "dq=\"quoted\"\r\n"
                             "sq='single'\r\n"
                             "blankin=\" in \"\r\n"
                             "mixed=\"x'\r\n"
                             "one=\"\r\n"
                             "pair=\"\"\r\n"
                             "twice=\"\"x\"\"\r\n"
                             "empty=\r\n"
                             "nul=ab\0cd\r\n" // the value ends at a NUL byte
                             "  spaced key  =  v\r\n"s;
    ProfileDocument d(file);
    EXPECT_EQ(Get(d, u"S", u"plain"), u"3");
    EXPECT_EQ(Get(d, u"S", u"wide"), u"\u3000x\u3000");
    EXPECT_EQ(Get(d, u"S", u"dq"), u"quoted");
    EXPECT_EQ(Get(d, u"S", u"sq"), u"single");
    EXPECT_EQ(Get(d, u"S", u"blankin"), u" in ");
    EXPECT_EQ(Get(d, u"S", u"mixed"), u"\"x'");
    EXPECT_EQ(Get(d, u"S", u"one"), u"\"");
    EXPECT_EQ(Get(d, u"S", u"pair"), u"");
    EXPECT_EQ(Get(d, u"S", u"twice"), u"\"x\"");
    EXPECT_EQ(Get(d, u"S", u"empty"), u"");
    EXPECT_EQ(Get(d, u"S", u"nul"), u"ab");
    EXPECT_EQ(Get(d, u"S", u"spaced key"), u"v");
    EXPECT_EQ(Get(d, u"S", u"absent"), u"<missing>");
    EXPECT_EQ(Get(d, u"T", u"plain"), u"<missing>");
}

TEST(ProfileReading, LongValuesCutAt254BytesNeverHalfACharacter) {
    auto valueOf = [](std::string bytes) {
        return Get(ProfileDocument("[S]\r\nk=" + bytes + "\r\n"), u"S", u"k");
    };
    EXPECT_EQ(valueOf(std::string(300, 'a')), std::u16string(254, u'a'));
    EXPECT_EQ(valueOf(std::string(254, 'a')), std::u16string(254, u'a'));
    // CP932: 'a' and 126 of あ make 253 bytes; the 127th would need 255.
    std::string sjis = "a";
    for (int i = 0; i < 150; ++i)
        sjis += "\x82\xa0";
    EXPECT_EQ(valueOf(sjis), u"a" + std::u16string(126, u'あ'));
    EXPECT_EQ(valueOf(sjis.substr(1, 254)), std::u16string(127, u'あ'));
    // UTF-8: 3-byte and 4-byte characters are not cut either.
    std::u16string u3 = u"a", u4 = u"abc";
    for (int i = 0; i < 100; ++i)
        u3 += u"あ", u4 += u"\U0001F600";
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(Get(ProfileDocument(bom + "[S]\nk=" + Utf8(u3) + "\n"), u"S", u"k"),
              u3.substr(0, 1 + 84));
    EXPECT_EQ(Get(ProfileDocument(bom + "[S]\nk=" + Utf8(u4) + "\n"), u"S", u"k"),
              u4.substr(0, 3 + 2 * 62));
}

TEST(ProfileReading, HandEditedFilesReadAsWindowsReadsThem) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string file = "top=before any section" + eol + "  [  Spaced Name  ] tail" + eol +
                                 ";k=commented" + eol + "  ; k=also" + eol + "no equals sign" +
                                 eol + "=no key" + eol + "k=first" + eol + "K=second" + eol +
                                 "[a]b]" + eol + "x=1" + eol + "[spaced name]" + eol + "j=dup" +
                                 eol + "[last]" + eol + "n=no line break";
        ProfileDocument d(file);
        EXPECT_EQ(Get(d, u"Spaced Name", u"k"), u"first");
        EXPECT_EQ(Get(d, u"Spaced Name", u"j"), u"<missing>"); // the first section wins
        EXPECT_EQ(Get(d, u"Spaced Name", u";k"), u"<missing>");
        EXPECT_EQ(Get(d, u"a", u"x"), u"1");
        EXPECT_EQ(Get(d, u"last", u"n"), u"no line break");
        EXPECT_FALSE(d.hasSection(u"a]b"));

        // Writes follow the file's own line ends; the duplicate key stays.
        ASSERT_EQ(d.write(u"SPACED NAME", u"k", u"new"), WriteStatus::Ok);
        ASSERT_EQ(d.write(u"last", u"m", u"2"), WriteStatus::Ok);
        ASSERT_EQ(d.write(u"added", u"z", u"3"), WriteStatus::Ok);
        std::string expected = file;
        expected.replace(expected.find("k=first"), 7, "k=new");
        expected += eol + "m=2" + eol + "[added]" + eol + "z=3" + eol;
        EXPECT_EQ(d.bytes(), expected);
    }
}

TEST(ProfileWriting, ValuesReadBackExactly) {
    // The signed-number form keeps its blank byte for byte.
    std::string bytes = After("", u"認識エリアCounter", u"CHRGROP", u" 2", u"2");
    bytes = After(bytes, u"G0ChrDat7", u"BL0", u" 16", u"16");
    EXPECT_EQ(bytes, "[" + kAreaCounter + "]\r\nCHRGROP= 2\r\n[G0ChrDat7]\r\nBL0= 16\r\n");

    // What the reading rule would change is quoted; everything else is bare.
    const std::vector<std::pair<std::u16string, std::string>> cases = {
        {u" ", "\" \""},     {u"\t", "\"\t\""},   {u"  x", "\"  x\""},     {u"x ", "\"x \""},
        {u" 2 ", "\" 2 \""}, {u" -3", "\" -3\""}, {u"\"q\"", "\"\"q\"\""}, {u"'q'", "\"'q'\""},
        {u"a b", "a b"},     {u"\"", "\""},       {u"'x\"", "'x\""},       {u"\u3000", "\x81\x40"},
        {u"", ""},
    };
    for (const auto& [value, stored] : cases) {
        const std::string out = After("[S]\r\nk=old\r\n", u"S", u"k", value);
        EXPECT_EQ(out, "[S]\r\nk=" + stored + "\r\n");
    }
}

TEST(ProfileWriting, OnlyTheLinesConcernedChange) {
    const std::string file = "; hand-made\r\n"
                             "\r\n"
                             "[ENDDATA]\r\n"
                             "  Area = old\r\n"
                             "junk \xFF\xFE\x80 line\r\n"
                             "CSV=False\r\n"
                             "; about the next section\r\n"
                             "\r\n"
                             "[Unknown]\r\n"
                             "x=\x83\r\n";
    ProfileDocument d(file);
    ASSERT_EQ(d.write(u"enddata", u"AREA", u"Counter"), WriteStatus::Ok);
    ASSERT_EQ(d.write(u"ENDDATA", u"刻み", u"0.5"), WriteStatus::Ok);
    ASSERT_EQ(d.write(u"Tirelma", u"Top", u"2040"), WriteStatus::Ok);
    ASSERT_EQ(d.write(u"ENDDATA", u"FILENAME", u"a.csv"), WriteStatus::Ok);
    EXPECT_EQ(d.bytes(), "; hand-made\r\n"
                         "\r\n"
                         "[ENDDATA]\r\n"
                         "  Area =Counter\r\n"
                         "junk \xFF\xFE\x80 line\r\n"
                         "CSV=False\r\n" +
                             Sjis(u"刻み") +
                             "=0.5\r\n"
                             "FILENAME=a.csv\r\n"
                             "; about the next section\r\n"
                             "\r\n"
                             "[Unknown]\r\n"
                             "x=\x83\r\n"
                             "[Tirelma]\r\n"
                             "Top=2040\r\n");
    // A section with no key line yet takes its first key right below the header.
    EXPECT_EQ(After("[A]\r\n; c\r\n[B]\r\n", u"A", u"k", u"1"), "[A]\r\nk=1\r\n; c\r\n[B]\r\n");
    EXPECT_EQ(After("[A]", u"A", u"k", u"1"), "[A]\r\nk=1\r\n");
    EXPECT_EQ(After("[A]\nk=1", u"B", u"x", u"1"), "[A]\nk=1\n[B]\nx=1\n");
    // A file whose line breaks are bare CRs: a new key before an empty line
    // of a lone LF does not join its CR to that LF, which would take the
    // empty line away.
    EXPECT_EQ(After("[S]\rk=1\r\n\n[T]\r", u"S", u"j", u"2"), "[S]\rk=1\r\nj=2\r\n\n[T]\r");
}

TEST(ProfileEncoding, ASwitchToUtf8NeverTurnsBytesThatWereNoTextIntoText) {
    // EB 85 85 is no CP932 text (EB and 85 lead no character); kept as it
    // is in a UTF-8 file, it would read as the character U+B145. A comment
    // line holds it, where no value read would notice: the switch is
    // refused, and nothing changes. (Bytes that are no text on either
    // system: Windows' table has characters for 80, A0 and FD..FF alone.)
    const std::string file = "[S]\r\n;\xEB\x85\x85\r\nk=1\r\n";
    ProfileDocument d(file);
    EXPECT_EQ(d.write(u"S", u"k", u"é"), WriteStatus::BadValue);
    EXPECT_EQ(d.bytes(), file);
    EXPECT_EQ(d.encoding(), FileEncoding::Cp932);
    // Bytes that stay no text in UTF-8 are kept through the switch.
    ProfileDocument e("[S]\r\n;\x85\x40\xEB\r\nk=1\r\n");
    ASSERT_EQ(e.write(u"S", u"k", u"é"), WriteStatus::Ok);
    EXPECT_EQ(e.bytes(), "\xEF\xBB\xBF[S]\r\n;\x85\x40\xEB\r\nk=\xC3\xA9\r\n");
}

TEST(ProfileWriting, UnfaithfulNamesAndValuesAreRefused) {
    const std::string file = "[S]\r\nk=v\r\n";
    const std::vector<std::tuple<std::u16string, std::u16string, std::u16string>> refused = {
        {u"S\r", u"k", u"v"},      {u"S", u"k\n", u"v"},
        {u"S", u"k", u"v\r\nx=1"}, {u"S]x", u"k", u"v"},
        {u"S", u"k=1", u"v"},      {u"S", u"[k", u"v"},
        {u"S", u"; k", u"v"},      {u"", u"k", u"v"},
        {u"S", u" ", u"v"},        {u"S", u"k", std::u16string(u"a\0b", 3)},
        {u"S", u"k", u"\xD800"},   {u"\xDC00", u"k", u"v"},
    };
    for (const auto& [s, k, v] : refused) {
        ProfileDocument d(file);
        EXPECT_NE(d.write(s, k, v), WriteStatus::Ok);
        EXPECT_EQ(d.bytes(), file);
        EXPECT_EQ(d.encoding(), FileEncoding::Cp932);
    }
}

TEST(ProfileWriting, GarbageNeverBreaksReadingOrWriting) {
    // Random files built from the bytes that matter to the parser.
    std::string alphabet = "[]=; \t\r\n\"'kS\x83\x5D\x81\xFF\xEF\xBB\xBF";
    alphabet.push_back('\0');
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(rng() % 80, ' ');
        for (char& c : bytes)
            c = alphabet[rng() % alphabet.size()];
        ProfileDocument d(bytes);
        (void)d.read(u"S", u"k");
        (void)d.read(u"", u"");
        ASSERT_EQ(d.write(u"Fresh", u"key", u"v1"), WriteStatus::Ok) << round;
        ASSERT_EQ(d.write(u"S", u"k", u"v2"), WriteStatus::Ok) << round;
        EXPECT_EQ(Get(d, u"Fresh", u"key"), u"v1") << round;
        EXPECT_EQ(Get(d, u"S", u"k"), u"v2") << round;
        EXPECT_EQ(Get(ProfileDocument(d.bytes()), u"Fresh", u"key"), u"v1") << round;
    }
    // The same in UTF-16, with broken surrogates and stray marks.
    const std::u16string units = std::u16string(u"[]=; \t\r\n\"'kSア\u3000\uFEFF\xD800\xDC00") +
                                 char16_t(0xFFFE) + char16_t(0);
    for (int round = 0; round < 1000; ++round) {
        std::u16string text(rng() % 60, u' ');
        for (char16_t& c : text)
            c = units[rng() % units.size()];
        if (text.starts_with(u'\0')) text[0] = u'k'; // the mark of UTF-32
        ProfileDocument d(Utf16File(text));
        ASSERT_EQ(d.write(u"Fresh", u"key", u"v1"), WriteStatus::Ok) << round;
        ASSERT_EQ(d.write(u"S", u"k", u"v2"), WriteStatus::Ok) << round;
        const ProfileDocument again(d.bytes());
        EXPECT_EQ(again.encoding(), FileEncoding::Utf16Le) << round;
        EXPECT_EQ(Get(again, u"Fresh", u"key"), u"v1") << round;
        EXPECT_EQ(Get(again, u"S", u"k"), u"v2") << round;
    }
}

TEST(ProfileUtf16, ReadAndWrittenAsUtf16LikeAnyOtherFile) {
    // A lone surrogate in a line nobody touches keeps its code unit.
    const std::u16string before = u"; 手で書いた\r\n[認識エリアCounter]\r\n区切り=,\r\n"
                                  u"COMMENT=上のカウンタ\r\n odd \xD800 line\r\n[Other]\r\nk=v\r\n";
    ProfileDocument d(Utf16File(before));
    EXPECT_EQ(d.encoding(), FileEncoding::Utf16Le);
    EXPECT_TRUE(d.writable());
    EXPECT_EQ(Get(d, u"認識エリアcounter", u"区切り"), u",");
    EXPECT_EQ(Get(d, u"認識エリアCOUNTER", u"comment"), u"上のカウンタ");
    EXPECT_TRUE(d.hasSection(u"other"));

    // In place, a new key in its section, a new section; text CP932 lacks
    // needs no switch. Every other code unit stays.
    ASSERT_EQ(d.write(u"認識エリアCounter", u"comment", u"10〜20 café \U0001F600"),
              WriteStatus::Ok);
    ASSERT_EQ(d.write(u"認識エリアCounter", u"LEFT", u" 3 "), WriteStatus::Ok);
    ASSERT_EQ(d.write(u"ENDDATA", u"AREA", u"Counter"), WriteStatus::Ok);
    EXPECT_EQ(d.encoding(), FileEncoding::Utf16Le);
    EXPECT_EQ(d.bytes(),
              Utf16File(u"; 手で書いた\r\n[認識エリアCounter]\r\n区切り=,\r\n"
                        u"COMMENT=10〜20 café \U0001F600\r\nLEFT=\" 3 \"\r\n"
                        u" odd \xD800 line\r\n[Other]\r\nk=v\r\n[ENDDATA]\r\nAREA=Counter\r\n"));
    const ProfileDocument again(d.bytes());
    EXPECT_EQ(Get(again, u"認識エリアCounter", u"COMMENT"), u"10〜20 café \U0001F600");
    EXPECT_EQ(Get(again, u"認識エリアCounter", u"LEFT"), u" 3 ");
    EXPECT_EQ(Get(again, u"ENDDATA", u"AREA"), u"Counter");

    // Line breaks as found; a mark alone is an empty file; a doubled mark
    // (a UTF-8 file converted with its mark) hides no section.
    EXPECT_EQ(After(Utf16File(u"[S]\nk=1"), u"S", u"j", u"2"), Utf16File(u"[S]\nk=1\nj=2\n"));
    EXPECT_EQ(After(Utf16File(u""), u"S", u"k", u"1"), Utf16File(u"[S]\r\nk=1\r\n"));
    ProfileDocument doubled(Utf16File(u"\uFEFF[S]\r\nk=1\r\n"));
    EXPECT_EQ(Get(doubled, u"S", u"k"), u"1");
    ASSERT_EQ(doubled.write(u"S", u"k", u"2"), WriteStatus::Ok);
    EXPECT_EQ(doubled.bytes(), Utf16File(u"\uFEFF[S]\r\nk=2\r\n"));

    // Broken text reads as replacement characters, and names are exact.
    ProfileDocument broken(Utf16File(u"[S]\r\nk=a\xDC00\xD83D\r\n[\xD800]\r\nx=1\r\n"));
    EXPECT_EQ(Get(broken, u"S", u"k"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(broken.write(u"S", u"k", u"\xD800"), WriteStatus::BadValue);
    EXPECT_EQ(broken.write(u"\xD800", u"x", u"2"), WriteStatus::BadName);
}

TEST(ProfileUtf16, ValuesAreCutAsTheAnsiFunctionsCutThem) {
    auto valueOf = [](std::u16string_view value) {
        return Get(ProfileDocument(Utf16File(u"[S]\r\nk=" + std::u16string(value) + u"\r\n")), u"S",
                   u"k");
    };
    // 254 bytes of CP932: single-byte characters, double-byte ones, and two
    // bytes for each code unit CP932 lacks; never half a character.
    const std::u16string path = u"C:\\" + std::u16string(200, u'd') + u"\\out.csv";
    EXPECT_EQ(valueOf(path), path);
    EXPECT_EQ(valueOf(std::u16string(300, u'a')), std::u16string(254, u'a'));
    EXPECT_EQ(valueOf(u"a" + std::u16string(150, u'あ')), u"a" + std::u16string(126, u'あ'));
    EXPECT_EQ(valueOf(std::u16string(150, u'é')), std::u16string(127, u'é'));
    std::u16string emoji = u"a";
    for (int i = 0; i < 100; ++i)
        emoji += u"\U0001F600";
    EXPECT_EQ(valueOf(emoji), emoji.substr(0, 1 + 2 * 63));
    EXPECT_EQ(settings::ValueBytes(FileEncoding::Utf16Le, u"aあé\U0001F600"), 1 + 2 + 2 + 4);
    EXPECT_EQ(settings::ValueBytes(FileEncoding::Utf16Le, u"a\xD800"), std::nullopt);

    // No switch to UTF-8 is needed, so nothing long stands in its way.
    std::u16string list = u"ア";
    for (int i = 0; i < 60; ++i)
        list += u"\\\\ア";
    ProfileDocument d(Utf16File(u"[Chr]\r\nG0ALLCHR=" + list + u"\r\n"));
    ASSERT_EQ(d.write(u"ENDDATA", u"AREA", u"café"), WriteStatus::Ok);
    EXPECT_EQ(d.encoding(), FileEncoding::Utf16Le);
    EXPECT_EQ(Get(d, u"Chr", u"G0ALLCHR"), list);
}

TEST(ProfileUtf16, FilesItCannotWriteBackAreNeverWritten) {
    const std::u16string text = u"[S]\r\nk=表\r\n";
    // Big-endian UTF-16 is read, a byte left over at the end is dropped; neither is written.
    const std::string big = Utf16File(text, FileEncoding::Utf16Be);
    const std::string odd = Utf16File(text) + "\x41";
    for (const std::string& file : {big, odd}) {
        ProfileDocument d(file);
        EXPECT_EQ(Get(d, u"S", u"k"), u"表");
        EXPECT_FALSE(d.writable());
        EXPECT_EQ(d.write(u"S", u"k", u"x"), WriteStatus::UnsupportedFile);
        EXPECT_EQ(d.write(u"T", u"k", u"x"), WriteStatus::UnsupportedFile);
        EXPECT_EQ(d.bytes(), file);
    }
    // UTF-32 reads as empty (and not as UTF-16 with NUL characters).
    const std::string utf32le = "\xFF\xFE\0\0[\0\0\0S\0\0\0]\0\0\0"s;
    const std::string utf32be = "\0\0\xFE\xFF\0\0\0[\0\0\0S\0\0\0]"s;
    for (const std::string& file : {utf32le, utf32be}) {
        ProfileDocument d(file);
        EXPECT_FALSE(d.hasSection(u"S"));
        EXPECT_EQ(d.write(u"S", u"k", u"x"), WriteStatus::UnsupportedFile);
        EXPECT_EQ(d.bytes(), file);
    }
}
