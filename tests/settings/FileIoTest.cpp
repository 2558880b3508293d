#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using settings::AppendStatus;
using settings::AppendToFile;
using testfiles::Slurp;
using testfiles::Spit;
using testfiles::TempDir;

TEST(ResultFile, AppendedLinesNeverRunTogether) {
    TempDir dir;
    const auto path = dir / "Kavoren.csv";
    ASSERT_EQ(AppendToFile(path, "1,a\r\n"), AppendStatus::Ok); // created
    ASSERT_EQ(AppendToFile(path, "2,b\r\n"), AppendStatus::Ok);
    EXPECT_EQ(Slurp(path), "1,a\r\n2,b\r\n");

    // A last line without its line break (cut short by a crash, or edited by
    // hand) stays as it is, and the next line starts on a line of its own,
    // with the line break that the new line uses.
    Spit(path, "header,no break");
    ASSERT_EQ(AppendToFile(path, "3,c\r\n"), AppendStatus::Ok);
    EXPECT_EQ(Slurp(path), "header,no break\r\n3,c\r\n");
    Spit(path, "x");
    ASSERT_EQ(AppendToFile(path, "4\n"), AppendStatus::Ok);
    EXPECT_EQ(Slurp(path), "x\n4\n");
    // A file that ends with a bare CR has its line break already; bytes
    // that are no line are appended as they are.
    Spit(path, "old\r");
    ASSERT_EQ(AppendToFile(path, "5\r\n"), AppendStatus::Ok);
    ASSERT_EQ(AppendToFile(path, "tail"), AppendStatus::Ok);
    ASSERT_EQ(AppendToFile(path, "more"), AppendStatus::Ok);
    EXPECT_EQ(Slurp(path), "old\r5\r\ntailmore");
}
