// An area with its fields: the list as stored and what is wrong with it, the
// answer and the result line with its optional columns.
#include "Fields.h"
#include "AnswerText.h"
#include "MemoryProfile.h"
#include "ResultRecord.h"

#include <gtest/gtest.h>

namespace {

using engine::FieldMark;
using engine::Grab;
using engine::Reading;

TEST(Fields, MarksWhatLeadsNowhere) {
    fakes::MemoryProfile p{
        {{u"ARIALIST", u"LIST0"}, u"X"},        {{u"ARIALIST", u"LIST1"}, u"Y"},
        {{u"ARIALIST", u"LIST2"}, u"Z"},        {{u"ARIALIST", u"LIST3"}, u"W"},
        {{u"認識エリアX", u"FIELD0"}, u"Z"},    {{u"認識エリアX", u"FIELD1"}, u"Y"},
        {{u"認識エリアX", u"FIELD2"}, u"Gone"}, {{u"認識エリアX", u"FIELD3"}, u"X"},
        {{u"認識エリアX", u"FIELD4"}, u"Z"},    {{u"認識エリアX", u"FIELD5"}, u"W"},
        {{u"認識エリアX", u"FIELD7"}, u"Y"}, // after a gap: not in the list
        {{u"認識エリアW", u"FIELD0"}, u"X"}};
    const auto read = p.reader();
    using F = engine::Field;
    EXPECT_EQ(engine::ReadFields(u"X", read), (std::vector<F>{{u"Z"},
                                                              {u"Y"},
                                                              {u"Gone", FieldMark::MissingArea},
                                                              {u"X", FieldMark::Self},
                                                              {u"Z", FieldMark::Duplicate},
                                                              {u"W", FieldMark::HasFields}}));
    EXPECT_TRUE(engine::ReadFields(u"Y", read).empty());
    // W and X name each other: each is read with the other alone, one level.
    EXPECT_EQ(engine::ReadFields(u"W", read), (std::vector<F>{{u"X", FieldMark::HasFields}}));
    // Names compare exactly, as the area list does.
    p.set(u"認識エリアY", u"FIELD0", u"x");
    EXPECT_EQ(engine::ReadFields(u"Y", read), (std::vector<F>{{u"x", FieldMark::MissingArea}}));
}

TEST(Fields, WritesOnlyWhatChanges) {
    fakes::MemoryProfile p;
    int writes = 0;
    const auto read = p.reader();
    const engine::Writer write = [&](std::u16string_view s, std::u16string_view k,
                                     std::u16string_view v) {
        ++writes;
        p.set(s, k, v);
        return true;
    };
    // No fields, none wanted: the profile is not touched.
    EXPECT_TRUE(engine::WriteFields(u"X", {}, read, write));
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(p.empty());

    EXPECT_TRUE(engine::WriteFields(u"X", {u"Y", u"", u"Z"}, read, write));
    EXPECT_EQ(engine::FieldNames(u"X", read), (std::vector<std::u16string>{u"Y", u"Z"}));
    writes = 0;
    EXPECT_TRUE(engine::WriteFields(u"X", {u"Y", u"Z"}, read, write));
    EXPECT_EQ(writes, 0);
    // Shorter, reordered: what is left over is emptied, and a hand-written
    // entry beyond the list does not come back with a longer one.
    p.set(u"認識エリアX", u"FIELD3", u"Stale");
    EXPECT_TRUE(engine::WriteFields(u"X", {u"Z"}, read, write));
    EXPECT_EQ(engine::FieldNames(u"X", read), (std::vector<std::u16string>{u"Z"}));
    p.set(u"認識エリアX", u"FIELD2", u"Stale2");
    EXPECT_TRUE(engine::WriteFields(u"X", {u"Z", u"Y"}, read, write));
    EXPECT_EQ(engine::FieldNames(u"X", read), (std::vector<std::u16string>{u"Z", u"Y"}));
    EXPECT_TRUE(engine::WriteFields(u"X", {}, read, write));
    EXPECT_TRUE(engine::FieldNames(u"X", read).empty());

    const engine::Writer failing = [](auto, auto, auto) { return false; };
    EXPECT_FALSE(engine::WriteFields(u"X", {u"A"}, read, failing));
}

Reading Read(std::u16string name, std::u16string text, std::u16string kugiri = u" ") {
    Reading r;
    r.area.name = std::move(name);
    r.area.blanks.kugiri = std::move(kugiri);
    r.text = std::move(text);
    return r;
}

TEST(Fields, SnapsEveryField) {
    const std::vector<Reading> rs{Read(u"X", u"12.54"), Read(u"Y", u"3.26/7.1", u"/"),
                                  Read(u"Z", u"")};
    EXPECT_EQ(engine::JoinReadings(rs), u"12.54 3.26/7.1 ");
    EXPECT_EQ(engine::SnapReadings(u"12.54 3.26/7.1 ", rs, 0.5), u"12.5 3.5/7 ");
    // Edited by the user: one text, split at the current area's delimiter.
    EXPECT_EQ(engine::SnapReadings(u"12.54 3.26", rs, 0.5), u"12.5 3.5");
    EXPECT_EQ(engine::SnapReadings(u"1.26", {}, 0.5), u"1.5");
}

// The quick key writes a press unseen only when there is nothing to look at.
TEST(Fields, APressIsWrittenUnseenOnlyWhenWholeFilledAndUnmarked) {
    const std::vector<Reading> good{Read(u"X", u"12.5"), Read(u"Y", u"-3")};
    EXPECT_TRUE(engine::PressWritable(good));
    auto partly = good;
    partly[1].verdict.grab = engine::Grab::PartlyOff;
    auto unread = good;
    unread[0].verdict.unread.emplace_back();
    auto empty = good;
    empty[1].text.clear(); // complete, but nothing was there
    auto marked = good;
    marked[1].mark = engine::FieldMark::HasFields; // read, but its own fields were not
    for (const auto& rs : {partly, unread})
        EXPECT_FALSE(engine::PressComplete(rs) || engine::PressWritable(rs));
    for (const auto& rs : {empty, marked}) {
        EXPECT_TRUE(engine::PressComplete(rs));
        EXPECT_FALSE(engine::PressWritable(rs));
    }
}

TEST(Fields, ResultLineAndItsOptionalColumns) {
    const std::vector<Reading> rs{Read(u"X", u"12.5"), Read(u"Y", u"-3.25"), Read(u"Z", u"0")};
    engine::ResultColumns plain;
    // Nothing switched on: the line of old, byte for byte, and no header.
    auto rec = engine::MakeResultRecord(u"12.5 -3.25 0", u"A", rs, u" ", plain, u"T");
    EXPECT_EQ(rec.line, engine::AssembleResultLine(u"12.5 -3.25 0", u"A", u" ", false, false));
    EXPECT_EQ(rec.line, u"12.5 -3.25 0 A");
    EXPECT_TRUE(rec.header.empty());

    engine::ResultColumns csv{false, true, true, true};
    rec = engine::MakeResultRecord(u"12.5 -3.25 0", u"p 1", rs, u" ", csv, u"2024-03-09T14:05:07");
    EXPECT_EQ(rec.line, u"12.5,-3.25,0,p,1,2024-03-09T14:05:07");
    EXPECT_EQ(rec.header, u"X,Y,Z,コメント,日時");
    csv.commentBefore = true;
    rec = engine::MakeResultRecord(u"12.5 -3.25 0", u"", rs, u" ", csv, u"2024-03-09T14:05:07");
    EXPECT_EQ(rec.line, u",12.5,-3.25,0,2024-03-09T14:05:07");
    EXPECT_EQ(rec.header, u"コメント,X,Y,Z,日時");

    // A reading holding the delimiter is several columns, and so are their
    // names; empty readings keep their column.
    const std::vector<Reading> two{Read(u"XY", u"1 2"), Read(u"E", u""), Read(u"a,b c", u"3")};
    csv = {false, true, false, true};
    rec = engine::MakeResultRecord(u"1 2  3", u"c", two, u" ", csv, u"T");
    EXPECT_EQ(rec.line, u"1,2,,3,c");
    EXPECT_EQ(rec.header, u"XY(1),XY(2),E,a_b_c,コメント");

    // A ":" delimiter: the time keeps its colons, in CSV and in plain text.
    const std::vector<Reading> colon{Read(u"X", u"1:2", u":")};
    csv = {false, true, true, false};
    rec = engine::MakeResultRecord(u"1:2", u"c", colon, u":", csv, u"2024-03-09T14:05:07");
    EXPECT_EQ(rec.line, u"1,2,c,2024-03-09T14:05:07");
    EXPECT_TRUE(rec.header.empty());
    rec = engine::MakeResultRecord(u"1:2", u"c", colon, u":", {false, false, true, true},
                                   u"2024-03-09T14:05:07");
    EXPECT_EQ(rec.line, u"1:2:c:2024-03-09T14:05:07");
    EXPECT_TRUE(rec.header.empty()); // plain text never gets one

    // No reading at all (the user typed the answer): one answer column.
    rec = engine::MakeResultRecord(u"5", u"", {}, u" ", {false, true, false, true}, u"");
    EXPECT_EQ(rec.header, u"認識結果,コメント");
}

} // namespace
