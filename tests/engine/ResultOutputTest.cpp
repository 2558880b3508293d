// Appending a result line to the result file: where it goes, in the file's
// own encoding, the header first into a file without text, the fallback file
// when the folder is not there, and what is refused without touching a byte.
#include "ResultOutput.h"

#include "AnswerText.h"
#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

using engine::ResultStatus;
using testfiles::Slurp;
using testfiles::Spit;

class ResultOutput : public ::testing::Test {
protected:
    testfiles::TempDir dir;
    std::u16string profileDir() const {
        std::u16string d = settings::TextFromPath(dir.path());
        d.push_back(static_cast<char16_t>(std::filesystem::path::preferred_separator));
        return d;
    }
    engine::ResultWrite write(const std::u16string& line, const std::u16string& name,
                              bool csv = false, const std::u16string& header = {}) {
        return engine::WriteResultLine(line, name, csv, profileDir(), header);
    }
};

TEST_F(ResultOutput, AnEmptyNameWritesBesideTheProfileInCp932) {
    auto r = write(u"12,5 上", u"");
    EXPECT_EQ(r.status, ResultStatus::Written);
    EXPECT_EQ(r.file, profileDir() + u"Kavoren.txt");
    EXPECT_EQ(Slurp(dir / "Kavoren.txt"), testfiles::Sjis(u"12,5 上\r\n"));
    r = write(u"1", u"", true);
    EXPECT_EQ(r.file, profileDir() + u"Kavoren.csv");
    // A relative name lies beside the profile too.
    EXPECT_EQ(write(u"2", u"r.txt").file, profileDir() + u"r.txt");
    EXPECT_EQ(Slurp(dir / "r.txt"), "2\r\n");
}

TEST_F(ResultOutput, TheHeaderGoesFirstOnlyIntoAFileWithoutText) {
    EXPECT_EQ(write(u"1,2", u"r.csv", true, u"X,Y").status, ResultStatus::Written);
    EXPECT_EQ(write(u"3,4", u"r.csv", true, u"X,Y").status, ResultStatus::Written);
    EXPECT_EQ(Slurp(dir / "r.csv"), "X,Y\r\n1,2\r\n3,4\r\n");
    // A file of its own encoding keeps it, header and all.
    Spit(dir / "u.csv", "\xEF\xBB\xBF");
    EXPECT_EQ(write(u"5", u"u.csv", true, u"温度").status, ResultStatus::Written);
    EXPECT_EQ(Slurp(dir / "u.csv"), "\xEF\xBB\xBF\xE6\xB8\xA9\xE5\xBA\xA6\r\n5\r\n");
}

TEST_F(ResultOutput, AMissingFolderGivesWayToTheFallbackFile) {
    const std::u16string gone = profileDir() + u"gone/r.txt";
    auto r = write(u"7", gone);
    EXPECT_EQ(r.status, ResultStatus::WrittenToFallback);
    EXPECT_EQ(r.file, engine::FallbackResultFile(profileDir()));
    EXPECT_EQ(r.intended, gone);
    EXPECT_FALSE(r.foreign);
    EXPECT_EQ(Slurp(settings::PathFromText(r.file)), "7\r\n");
    // A Windows path where there are no drives names no folder here.
    r = engine::WriteResultLine(u"8", u"C:\\data\\r.txt", false, profileDir(), {},
                                settings::PathStyle::Posix);
    EXPECT_EQ(r.status, ResultStatus::WrittenToFallback);
    EXPECT_TRUE(r.foreign);
    EXPECT_EQ(r.intended, u"C:\\data\\r.txt");
}

TEST_F(ResultOutput, WhatTheFileCannotTakeIsRefusedAndTheFileKept) {
    // UTF-8 without its mark takes ASCII lines only.
    Spit(dir / "a.txt", "caf\xC3\xA9\r\n");
    auto r = write(u"上", u"a.txt");
    EXPECT_EQ(r.status, ResultStatus::NotEncodable);
    EXPECT_EQ(r.encoding, settings::ResultEncoding::Utf8NoMark);
    EXPECT_EQ(Slurp(dir / "a.txt"), "caf\xC3\xA9\r\n");
    EXPECT_EQ(write(u"12", u"a.txt").status, ResultStatus::Written);
    // UTF-16 big-endian: nothing can be added faithfully.
    Spit(dir / "b.txt", std::string("\xFE\xFF\x00\x31", 4));
    EXPECT_EQ(write(u"1", u"b.txt").status, ResultStatus::Unsupported);
    EXPECT_EQ(Slurp(dir / "b.txt"), std::string("\xFE\xFF\x00\x31", 4));
}

} // namespace
