// Text for a Windows console: UTF-8 handed on as wide text at each flush,
// never with a character split between two writes.
#include "ConsoleText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using tools::CompleteUtf8;
using tools::WideTextBuffer;

TEST(ConsoleText, CharactersAreNeverSplit) {
    EXPECT_EQ(CompleteUtf8(""), 0u);
    EXPECT_EQ(CompleteUtf8("abc"), 3u);
    const std::string kana = "\xE3\x82\xAB"; // カ
    EXPECT_EQ(CompleteUtf8("a" + kana), 4u);
    EXPECT_EQ(CompleteUtf8("a" + kana.substr(0, 1)), 1u);
    EXPECT_EQ(CompleteUtf8("a" + kana.substr(0, 2)), 1u);
    EXPECT_EQ(CompleteUtf8("\xF0\x9F\x98"), 0u); // three bytes of four
    EXPECT_EQ(CompleteUtf8("\xC3\xA9"), 2u);
    // Bytes that start nothing do not hold the rest back.
    EXPECT_EQ(CompleteUtf8("a\x80\x80\x80\x80"), 5u);
    EXPECT_EQ(CompleteUtf8("a\xFF"), 2u);
}

TEST(ConsoleText, TheStreamReachesTheConsoleAsWideText) {
    std::vector<std::u16string> writes;
    {
        WideTextBuffer buffer([&](std::u16string_view t) {
            writes.emplace_back(t);
            return true;
        });
        std::ostream out(&buffer);
        // An area name and a message as the reader prints them, flushed
        // after each line; a flush that falls inside a character.
        out << "Counter: left 100, group 0 (数字), current\n" << std::flush;
        out << "tirelma-read: no area \"\xE3\x82\xAB" << std::flush;
        EXPECT_EQ(writes.back(), u"tirelma-read: no area \"カ");
        out << "\xE3\x82" << std::flush; // ウ, cut short
        out << "\xA6\xE3\x83\xB3\xE3\x82\xBF\"\n" << std::flush;
        // More than the buffer holds at once, with a character at every seam.
        std::string long_line;
        for (int i = 0; i < 1000; ++i)
            long_line += "値";
        out << long_line << std::flush;
    }
    std::u16string all;
    for (const auto& w : writes)
        all += w;
    std::u16string values;
    for (int i = 0; i < 1000; ++i)
        values += u"値";
    EXPECT_EQ(all, u"Counter: left 100, group 0 (数字), current\n"
                   u"tirelma-read: no area \"カウンタ\"\n" +
                       values);
    for (const auto& w : writes)
        EXPECT_EQ(w.find(u'\uFFFD'), std::u16string::npos);
}

TEST(ConsoleText, AFailedWriteFailsTheStream) {
    WideTextBuffer buffer([](std::u16string_view) { return false; });
    std::ostream out(&buffer);
    out << "x" << std::flush;
    EXPECT_FALSE(out);
}
