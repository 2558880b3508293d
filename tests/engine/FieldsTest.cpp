// An area with its fields: the list as stored and what is wrong with it, one
// press reading them all, the answer and the result line with its optional
// columns.
#include "Fields.h"
#include "AnswerText.h"
#include "ResultRecord.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using engine::FieldMark;
using engine::Grab;
using engine::Reading;

using Profile = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

profile::Reader ReaderOf(const Profile& p) {
    return [&p](std::u16string_view s, std::u16string_view k) {
        const auto it = p.find({std::u16string(s), std::u16string(k)});
        return it == p.end() ? std::u16string() : it->second;
    };
}

TEST(Fields, MarksWhatLeadsNowhere) {
    Profile p{{{u"ARIALIST", u"LIST0"}, u"X"},        {{u"ARIALIST", u"LIST1"}, u"Y"},
              {{u"ARIALIST", u"LIST2"}, u"Z"},        {{u"ARIALIST", u"LIST3"}, u"W"},
              {{u"認識エリアX", u"FIELD0"}, u"Z"},    {{u"認識エリアX", u"FIELD1"}, u"Y"},
              {{u"認識エリアX", u"FIELD2"}, u"Gone"}, {{u"認識エリアX", u"FIELD3"}, u"X"},
              {{u"認識エリアX", u"FIELD4"}, u"Z"},    {{u"認識エリアX", u"FIELD5"}, u"W"},
              {{u"認識エリアX", u"FIELD7"}, u"Y"}, // after a gap: not in the list
              {{u"認識エリアW", u"FIELD0"}, u"X"}};
    const auto read = ReaderOf(p);
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
    p[{u"認識エリアY", u"FIELD0"}] = u"x";
    EXPECT_EQ(engine::ReadFields(u"Y", read), (std::vector<F>{{u"x", FieldMark::MissingArea}}));
}

TEST(Fields, WritesOnlyWhatChanges) {
    Profile p;
    int writes = 0;
    const auto read = ReaderOf(p);
    const engine::Writer write = [&](std::u16string_view s, std::u16string_view k,
                                     std::u16string_view v) {
        ++writes;
        p[{std::u16string(s), std::u16string(k)}] = std::u16string(v);
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
    p[{u"認識エリアX", u"FIELD3"}] = u"Stale";
    EXPECT_TRUE(engine::WriteFields(u"X", {u"Z"}, read, write));
    EXPECT_EQ(engine::FieldNames(u"X", read), (std::vector<std::u16string>{u"Z"}));
    p[{u"認識エリアX", u"FIELD2"}] = u"Stale2";
    EXPECT_TRUE(engine::WriteFields(u"X", {u"Z", u"Y"}, read, write));
    EXPECT_EQ(engine::FieldNames(u"X", read), (std::vector<std::u16string>{u"Z", u"Y"}));
    EXPECT_TRUE(engine::WriteFields(u"X", {}, read, write));
    EXPECT_TRUE(engine::FieldNames(u"X", read).empty());

    const engine::Writer failing = [](auto, auto, auto) { return false; };
    EXPECT_FALSE(engine::WriteFields(u"X", {u"A"}, read, failing));
}

// A "1": a 3 x 4 template.
modTemp::ChrTemp One() {
    return modTemp::ChrTemp::FromRows(u"1", 3, {0b010, 0b011, 0b010, 0b111});
}
modTemp::ChrTemp Seven() {
    return modTemp::ChrTemp::FromRows(u"7", 3, {0b111, 0b100, 0b010, 0b010});
}

void Draw(engine::AreaImage& img, const modTemp::ChrTemp& t, int x, int y) {
    for (int r = 0; r < t.height(); ++r)
        for (int c = 0; c < t.width(); ++c)
            img.setPixel(x + c, y + r, t.dot(c, r) == 1.0f ? 0x00000000 : 0x00FFFFFF);
}

TEST(Fields, OnePressReadsEachFieldWithItsOwnSettings) {
    // X at the top (group 0, "1"s), Y below it (group 1, "7"s), Z off the
    // screen, plus a missing name.
    engine::AreaImage desktop(100, 60);
    Draw(desktop, One(), 11, 11);
    Draw(desktop, One(), 19, 11);
    Draw(desktop, Seven(), 11, 31);
    Draw(desktop, One(), 15, 31); // not of Y's group: unread ink
    Profile p{{{u"ARIALIST", u"LIST0"}, u"X"},     {{u"ARIALIST", u"LIST1"}, u"Y"},
              {{u"ARIALIST", u"LIST2"}, u"Z"},     {{u"認識エリアX", u"LEFT"}, u"10"},
              {{u"認識エリアX", u"TOP"}, u"10"},   {{u"認識エリアX", u"WIDTH"}, u"20"},
              {{u"認識エリアX", u"HEIGHT"}, u"6"}, {{u"認識エリアX", u"CHRGROP"}, u" 0"},
              {{u"認識エリアX", u"区切り"}, u";"}, {{u"認識エリアX", u"BLANKWIDTH"}, u"3"},
              {{u"認識エリアX", u"FIELD0"}, u"Y"}, {{u"認識エリアX", u"FIELD1"}, u"Z"},
              {{u"認識エリアX", u"FIELD2"}, u"Q"}, {{u"認識エリアY", u"LEFT"}, u"10"},
              {{u"認識エリアY", u"TOP"}, u"30"},   {{u"認識エリアY", u"WIDTH"}, u"20"},
              {{u"認識エリアY", u"HEIGHT"}, u"6"}, {{u"認識エリアY", u"CHRGROP"}, u" 1"},
              {{u"認識エリアZ", u"LEFT"}, u"500"}, {{u"認識エリアZ", u"TOP"}, u"30"},
              {{u"認識エリアZ", u"WIDTH"}, u"20"}, {{u"認識エリアZ", u"HEIGHT"}, u"6"}};
    const engine::Press press = engine::ReadPress(u"X", ReaderOf(p));
    ASSERT_EQ(press.fieldAreas.size(), 3u);
    int grabs = 0;
    const engine::ScreenView screen{
        {{{0, 0, 100, 60}, 100}},
        [&](const engine::PixelRect& r) {
            ++grabs;
            engine::AreaImage out(r.width, r.height);
            for (int y = 0; y < r.height; ++y)
                for (int x = 0; x < r.width; ++x)
                    out.setPixel(x, y,
                                 static_cast<std::uint32_t>(desktop.pixel(r.left + x, r.top + y)));
            return std::optional(out);
        },
        {}};
    std::vector<int> loaded;
    engine::GroupReaders readers([&loaded](std::int32_t g) {
        loaded.push_back(g);
        return g == 0 ? modTemp::ChrTempList{One()} : modTemp::ChrTempList{Seven()};
    });
    const auto readings = engine::ReadPressScreen(press, screen, readers);
    ASSERT_EQ(readings.size(), 4u);
    EXPECT_EQ(readings[0].text, u"1;1"); // its own blank rule
    EXPECT_TRUE(readings[0].complete());
    EXPECT_EQ(readings[1].area.name, u"Y");
    EXPECT_EQ(readings[1].text, u"7");
    EXPECT_FALSE(readings[1].complete());
    EXPECT_EQ(readings[1].verdict.unread.size(), 1u);
    EXPECT_EQ(readings[1].picture.width, 20);
    EXPECT_EQ(readings[2].verdict.grab, Grab::Off);
    EXPECT_EQ(readings[2].mark, FieldMark::None);
    EXPECT_EQ(readings[3].mark, FieldMark::MissingArea);
    EXPECT_FALSE(readings[3].complete());
    EXPECT_EQ(grabs, 2); // Z is off every monitor, Q is no area
    EXPECT_EQ(engine::JoinReadings(readings), u"1;1;7;;");

    // The next press: the groups' templates are kept.
    engine::ReadPressScreen(press, screen, readers);
    EXPECT_EQ(loaded, (std::vector<int>{0, 1}));
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
