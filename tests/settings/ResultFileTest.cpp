// Where a stored result file name lies, and appending result lines to real
// files in each encoding: the whole file decoded afterwards holds the old
// lines and the new one, in one encoding.
#include "ResultFile.h"
#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using settings::PathStyle;
using settings::ResolveResultFile;
using settings::ResultEncoding;
using settings::ResultFilePath;
using testfiles::Slurp;
using testfiles::Spit;
using testfiles::TempDir;

namespace {

std::u16string Where(std::u16string_view name, std::u16string_view dir, PathStyle style) {
    const ResultFilePath p = ResolveResultFile(name, dir, style);
    return p.foreign ? u"<foreign>" : p.path;
}

// Appends a line as the main window does.
settings::AppendStatus AppendLine(const std::filesystem::path& file, std::u16string_view line,
                                  settings::ResultLine* composed = nullptr) {
    return settings::AppendToFile(file, [&](std::string_view content) {
        const auto r = settings::ComposeResultLine(content, line);
        if (composed) *composed = r;
        return r.status == settings::ResultLine::Status::Ok ? std::optional<std::string>(r.bytes)
                                                            : std::nullopt;
    });
}

std::string Utf16Le(std::u16string_view text) {
    return settings::Utf16Bytes(settings::FileEncoding::Utf16Le, text);
}

} // namespace

TEST(ResultFilePath, WindowsForms) {
    const std::u16string dir = u"D:\\Tirelma\\";
    // Relative names lie beside the profile (for a portable copy: the program).
    EXPECT_EQ(Where(u"res.txt", dir, PathStyle::Windows), u"D:\\Tirelma\\res.txt");
    EXPECT_EQ(Where(u"data\\res.txt", dir, PathStyle::Windows), u"D:\\Tirelma\\data\\res.txt");
    EXPECT_EQ(Where(u"..\\res.txt", dir, PathStyle::Windows), u"D:\\Tirelma\\..\\res.txt");
    // Full paths stay; a rooted one takes the profile's drive.
    EXPECT_EQ(Where(u"C:\\data\\r.txt", dir, PathStyle::Windows), u"C:\\data\\r.txt");
    EXPECT_EQ(Where(u"c:/data/r.txt", dir, PathStyle::Windows), u"c:/data/r.txt");
    EXPECT_EQ(Where(u"\\\\server\\share\\r.txt", dir, PathStyle::Windows),
              u"\\\\server\\share\\r.txt");
    EXPECT_EQ(Where(u"\\data\\r.txt", dir, PathStyle::Windows), u"D:\\data\\r.txt");
    EXPECT_EQ(Where(u"E:r.txt", dir, PathStyle::Windows), u"E:r.txt");
    EXPECT_EQ(Where(u"", dir, PathStyle::Windows), u"");
}

TEST(ResultFilePath, PosixForms) {
    const std::u16string dir = u"/home/taro/.config/tirelma/";
    EXPECT_EQ(Where(u"res.txt", dir, PathStyle::Posix), u"/home/taro/.config/tirelma/res.txt");
    EXPECT_EQ(Where(u"/srv/log/res.csv", dir, PathStyle::Posix), u"/srv/log/res.csv");
    EXPECT_EQ(Where(u"//srv/log/res.csv", dir, PathStyle::Posix), u"//srv/log/res.csv");
    // A relative Windows name names the same place below the profile's folder.
    EXPECT_EQ(Where(u"results\\r.txt", dir, PathStyle::Posix),
              u"/home/taro/.config/tirelma/results/r.txt");
    // Windows paths with a drive, a server or a root name no folder here.
    for (const std::u16string name : {u"C:\\data\\r.txt", u"c:/data/r.txt", u"C:r.txt",
                                      u"\\\\server\\share\\r.txt", u"\\data\\r.txt"})
        EXPECT_TRUE(ResolveResultFile(name, dir, PathStyle::Posix).foreign)
            << std::string(name.begin(), name.end());
    EXPECT_EQ(Where(u"", dir, PathStyle::Posix), u"");
}

TEST(ResultFilePath, FolderForMessages) {
    EXPECT_EQ(settings::FolderOf(u"E:\\測定\\res.txt"), u"E:\\測定");
    EXPECT_EQ(settings::FolderOf(u"E:\\res.txt"), u"E:\\");
    EXPECT_EQ(settings::FolderOf(u"/mnt/usb/res.txt"), u"/mnt/usb");
    EXPECT_EQ(settings::FolderOf(u"/res.txt"), u"/");
    EXPECT_EQ(settings::FolderOf(u"res.txt"), u"");
}

TEST(ResultFileEncoding, EachFileKeepsItsOwnEncoding) {
    TempDir dir;
    const std::u16string line = u"12.5,上のカウンタ～";
    const std::u16string old = u"1,古い行\r\n";
    struct Case {
        const char* name;
        std::string content;
        ResultEncoding encoding;
    };
    const Case cases[] = {
        {"new.txt", "", ResultEncoding::Cp932},
        {"cp932.txt", testfiles::Sjis(old), ResultEncoding::Cp932},
        {"ascii.txt", "1,a\r\n", ResultEncoding::Cp932},
        {"utf8bom.txt", std::string(settings::kUtf8Bom) + testfiles::Utf8(old),
         ResultEncoding::Utf8Bom},
        {"utf16.txt", std::string(settings::kUtf16LeBom) + Utf16Le(old), ResultEncoding::Utf16Le},
        {"bomonly.txt", std::string(settings::kUtf16LeBom), ResultEncoding::Utf16Le},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / c.name;
        if (!c.content.empty() || std::string_view(c.name) != "new.txt") Spit(path, c.content);
        settings::ResultLine composed;
        ASSERT_EQ(AppendLine(path, line, &composed), settings::AppendStatus::Ok);
        EXPECT_EQ(composed.encoding, c.encoding);
        ASSERT_EQ(AppendLine(path, u"13", nullptr), settings::AppendStatus::Ok);
        const std::string bytes = Slurp(path);
        // The old bytes stay; the whole file reads in its encoding as the old
        // text and both lines.
        EXPECT_TRUE(bytes.starts_with(c.content));
        EXPECT_EQ(settings::ResultFileEncoding(bytes), c.encoding);
        const std::u16string before = settings::ResultFileText(c.content);
        EXPECT_EQ(settings::ResultFileText(bytes), before + line + u"\r\n13\r\n");
        if (c.encoding == ResultEncoding::Utf16Le) {
            EXPECT_EQ(bytes.size() % 2, 0u);
        }
    }
    // The wave dash an input method gives goes into CP932 as the ～ meant.
    EXPECT_EQ(settings::ResultFileText(Slurp(dir / "cp932.txt")),
              u"1,古い行\r\n12.5,上のカウンタ～\r\n13\r\n");
    const std::string utf16 = Slurp(dir / "utf16.txt");
    EXPECT_EQ(utf16.substr(utf16.size() - 8), std::string("1\0"
                                                          "3\0\r\0\n\0",
                                                          8));
}

TEST(ResultFileEncoding, ALastLineWithoutBreakGetsOneInTheFilesEncoding) {
    TempDir dir;
    Spit(dir / "a.txt", std::string(settings::kUtf16LeBom) + Utf16Le(u"x"));
    ASSERT_EQ(AppendLine(dir / "a.txt", u"y"), settings::AppendStatus::Ok);
    EXPECT_EQ(Slurp(dir / "a.txt"), std::string(settings::kUtf16LeBom) + Utf16Le(u"x\r\ny\r\n"));
    Spit(dir / "b.txt", std::string(settings::kUtf8Bom) + "x");
    ASSERT_EQ(AppendLine(dir / "b.txt", u"é"), settings::AppendStatus::Ok);
    EXPECT_EQ(Slurp(dir / "b.txt"), std::string(settings::kUtf8Bom) + "x\r\n\xC3\xA9\r\n");
    // A line break that is already there is not doubled: LF, CR, and a
    // UTF-16 LF whose high byte must not be taken for a character.
    Spit(dir / "c.txt", std::string(settings::kUtf16LeBom) + Utf16Le(u"x\n"));
    ASSERT_EQ(AppendLine(dir / "c.txt", u"y"), settings::AppendStatus::Ok);
    EXPECT_EQ(Slurp(dir / "c.txt"), std::string(settings::kUtf16LeBom) + Utf16Le(u"x\ny\r\n"));
    Spit(dir / "d.txt", "x\r");
    ASSERT_EQ(AppendLine(dir / "d.txt", u"y"), settings::AppendStatus::Ok);
    EXPECT_EQ(Slurp(dir / "d.txt"), "x\ry\r\n");
}

TEST(ResultFileEncoding, FilesThatCannotTakeALineFaithfullyAreLeftAlone) {
    TempDir dir;
    const std::string refused[] = {
        std::string(settings::kUtf16BeBom) + std::string("\0x\0\r\0\n", 6), // UTF-16 BE
        std::string(settings::kUtf16LeBom) + std::string("x\0\r", 3),       // a byte left over
        std::string(settings::kUtf32LeBom) + std::string("x\0\0\0", 4),     // UTF-32
        std::string(settings::kUtf32BeBom) + std::string("\0\0\0x", 4),
        std::string("x\0\r\0\n\0", 6), // UTF-16 without its mark
    };
    for (const std::string& content : refused) {
        Spit(dir / "r.txt", content);
        settings::ResultLine composed;
        EXPECT_EQ(AppendLine(dir / "r.txt", u"1", &composed), settings::AppendStatus::Refused);
        EXPECT_EQ(composed.status, settings::ResultLine::Status::Unsupported);
        EXPECT_EQ(Slurp(dir / "r.txt"), content);
    }
    // A character the file's encoding lacks: nothing written, nothing created.
    Spit(dir / "s.txt", "1\r\n");
    settings::ResultLine composed;
    EXPECT_EQ(AppendLine(dir / "s.txt", u"é", &composed), settings::AppendStatus::Refused);
    EXPECT_EQ(composed.status, settings::ResultLine::Status::NotEncodable);
    EXPECT_EQ(Slurp(dir / "s.txt"), "1\r\n");
    EXPECT_EQ(AppendLine(dir / "s.txt", std::u16string(u"1\0", 2)),
              settings::AppendStatus::Refused);
    EXPECT_EQ(Slurp(dir / "s.txt"), "1\r\n");
    EXPECT_EQ(AppendLine(dir / "new.txt", u"é"), settings::AppendStatus::Refused);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
    // The same character goes into a UTF-8 or UTF-16 file.
    Spit(dir / "u.txt", std::string(settings::kUtf8Bom));
    EXPECT_EQ(AppendLine(dir / "u.txt", u"é"), settings::AppendStatus::Ok);

    // UTF-8 text without a mark takes lines of ASCII, which read the same in
    // both encodings, and nothing that would mix CP932 into it.
    const std::string utf8 = testfiles::Utf8(u"値,備考\r\n");
    Spit(dir / "v.txt", utf8);
    EXPECT_EQ(AppendLine(dir / "v.txt", u"12.5,upper", &composed), settings::AppendStatus::Ok);
    EXPECT_EQ(composed.encoding, ResultEncoding::Utf8NoMark);
    EXPECT_EQ(AppendLine(dir / "v.txt", u"12.5,上", &composed), settings::AppendStatus::Refused);
    EXPECT_EQ(composed.status, settings::ResultLine::Status::NotEncodable);
    EXPECT_EQ(Slurp(dir / "v.txt"), utf8 + "12.5,upper\r\n");
    // CP932 text that happens to be valid UTF-8 (half-width ﾃｩ is C3 A9, é)
    // does not let a UTF-8 line in after it either.
    Spit(dir / "w.txt", "1\r\n");
    ASSERT_EQ(AppendLine(dir / "w.txt", u"ﾃｩ"), settings::AppendStatus::Ok);
    EXPECT_EQ(Slurp(dir / "w.txt"), "1\r\n\xC3\xA9\r\n");
    EXPECT_EQ(AppendLine(dir / "w.txt", u"ｱ"), settings::AppendStatus::Refused);
    EXPECT_EQ(Slurp(dir / "w.txt"), "1\r\n\xC3\xA9\r\n");
}

TEST(ResultFileEncoding, OnlyWholeUtf8TextCountsAsUtf8WithoutAMark) {
    using settings::ResultFileEncoding;
    EXPECT_EQ(ResultFileEncoding("1,a\r\n"), ResultEncoding::Cp932);               // ASCII: either
    EXPECT_EQ(ResultFileEncoding("\xE5\x80\xA4\r\n"), ResultEncoding::Utf8NoMark); // 値
    EXPECT_EQ(ResultFileEncoding("\xF0\x9F\x98\x80"), ResultEncoding::Utf8NoMark); // 😀
    EXPECT_EQ(ResultFileEncoding("\x92\x6C\r\n"), ResultEncoding::Cp932);          // 値 in CP932
    EXPECT_EQ(ResultFileEncoding("\xE5\x80"), ResultEncoding::Cp932);              // cut short
    EXPECT_EQ(ResultFileEncoding("\xC0\xAF"), ResultEncoding::Cp932);              // overlong
    EXPECT_EQ(ResultFileEncoding("\xED\xA0\x80"), ResultEncoding::Cp932);          // a surrogate
    EXPECT_EQ(ResultFileEncoding("\xF4\x90\x80\x80"), ResultEncoding::Cp932);  // beyond U+10FFFF
    EXPECT_EQ(ResultFileEncoding("\xEF\xBF\xBD"), ResultEncoding::Utf8NoMark); // U+FFFD itself
}
