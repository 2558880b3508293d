// A press set up once from the profile: each named problem, the group rule,
// the groups loaded once and kept while unchanged, and every area of a
// press read from one picture of the screen.
#include "PressSetup.h"

#include "Fields.h"
#include "GlyphDrawing.h"
#include "MemoryProfile.h"

#include <gtest/gtest.h>

namespace {

using engine::FieldMark;
using engine::Grab;
using engine::PixelRect;
using engine::SetupProblem;
using fakes::One;
using fakes::Seven;
using P = std::vector<SetupProblem>;

// Area A at 10, 10, 20 x 6 in group 0, which holds a "1".
fakes::MemoryProfile OneArea() {
    fakes::MemoryProfile p;
    p.set(u"ENDDATA", u"AREA", u"A");
    p.putArea(u"A", 10, 10, 20, 6);
    p.putTemplate(0, One());
    return p;
}

engine::PressSetup Press(const fakes::MemoryProfile& p, engine::GroupReaders& readers) {
    return engine::SetUpPress(engine::CurrentArea(p.reader()), p.source(), p.source(), readers);
}

TEST(PressSetup, NamesWhatIsWrongWithTheArea) {
    engine::GroupReaders readers;
    fakes::MemoryProfile p = OneArea();
    auto press = Press(p, readers);
    EXPECT_EQ(press.area.problems, P{});
    EXPECT_EQ(press.area.rect, (PixelRect{10, 10, 20, 6}));
    EXPECT_EQ(press.area.templates().size(), 1u);

    p.set(u"ENDDATA", u"AREA", u"");
    EXPECT_EQ(Press(p, readers).area.problems,
              (P{SetupProblem::NoAreaChosen, SetupProblem::NoSize}));
    p.set(u"ENDDATA", u"AREA", u"Gone"); // named, never stored: nothing of it is there
    EXPECT_EQ(Press(p, readers).area.problems, (P{SetupProblem::NoSection, SetupProblem::NoSize}));
    p.set(u"ENDDATA", u"AREA", u"A");

    p.set(u"認識エリアA", u"WIDTH", u"0");
    EXPECT_EQ(Press(p, readers).area.problems, P{SetupProblem::NoSize});
    p.set(u"認識エリアA", u"WIDTH", u"40000");
    EXPECT_EQ(Press(p, readers).area.problems, P{SetupProblem::TooLarge});
    p.set(u"認識エリアA", u"WIDTH", u"20");
    p.set(u"認識エリアA", u"LEFT", u"1e12"); // no 32-bit place
    EXPECT_EQ(Press(p, readers).area.problems, P{SetupProblem::TooLarge});
    p.set(u"認識エリアA", u"LEFT", u"10");

    p.set(u"Chr", u"G0ALLCHR", u"");
    EXPECT_EQ(Press(p, readers).area.problems, P{SetupProblem::NoCharacters});
}

// CHRGROP by one rule everywhere: the leading number rounded half to even;
// a number no 32-bit integer holds names no group at all (it used to read
// as group 0 in the main window and as no group in the editor).
TEST(PressSetup, TheGroupRule) {
    engine::GroupReaders readers;
    fakes::MemoryProfile p = OneArea();
    p.putTemplate(2, Seven());
    p.putTemplate(4, Seven());
    const auto group = [&](std::u16string_view text) {
        p.set(u"認識エリアA", u"CHRGROP", text);
        return Press(p, readers).area;
    };
    EXPECT_EQ(group(u"2.5").settings.group, 2);
    EXPECT_EQ(group(u"3.5").settings.group, 4);
    EXPECT_EQ(group(u" 2").templates().front().Chr, u"7");
    EXPECT_EQ(group(u"abc").settings.group, 0); // no number is 0
    EXPECT_EQ(group(u"abc").problems, P{});

    const auto huge = group(u"1e10");
    EXPECT_FALSE(huge.settings.group);
    EXPECT_EQ(huge.problems, P{SetupProblem::UnusableGroup});
    EXPECT_TRUE(huge.templates().empty()); // read with nothing rather than group 0's
    EXPECT_EQ(group(u"-1").problems, P{SetupProblem::NoCharacters});
    EXPECT_EQ(group(u" 3").problems, P{SetupProblem::NoCharacters}); // no group 3
    EXPECT_EQ(profile::GroupNumber(u"2147483647.4"), 2147483647);
    EXPECT_FALSE(profile::GroupNumber(u"2147483648"));
}

TEST(PressSetup, GroupsAreLoadedOncePerSetupAndPreparedOnlyWhenChanged) {
    engine::GroupReaders readers;
    fakes::MemoryProfile p = OneArea();
    p.putArea(u"B", 10, 20, 20, 6); // the same group
    p.set(u"認識エリアA", u"FIELD0", u"B");
    // A source that cannot tell whether it changed.
    const auto press = [&] {
        return engine::SetUpPress(u"A", p.source(false), p.source(false), readers);
    };
    p.reads = 0;
    auto first = press();
    ASSERT_EQ(first.fields.size(), 1u);
    EXPECT_EQ(first.area.reader, first.fields[0].reader); // one group, one reader
    const int oneLoad = p.reads;

    // The next press: loaded again (the profile may have changed), but the
    // same templates keep their prepared reader.
    auto second = press();
    EXPECT_EQ(second.area.reader, first.area.reader);
    EXPECT_EQ(p.reads, 2 * oneLoad);
    // A template changed by the editor: prepared afresh.
    p.putTemplate(0, Seven());
    auto third = press();
    EXPECT_NE(third.area.reader, first.area.reader);
    EXPECT_EQ(third.area.templates().size(), 2u);
}

// A source that tells its version is not read for templates again while it
// says nothing changed; any change loads them again.
TEST(PressSetup, AnUnchangedVersionKeepsTheLoadedGroup) {
    engine::GroupReaders readers;
    fakes::MemoryProfile p = OneArea();
    auto first = Press(p, readers);
    p.reads = 0;
    auto second = Press(p, readers);
    EXPECT_EQ(second.area.reader, first.area.reader);
    EXPECT_LT(p.reads, 20); // the area's keys, none of the templates'
    p.putTemplate(0, Seven());
    auto third = Press(p, readers);
    EXPECT_EQ(third.area.templates().size(), 2u);
}

// X at the top (group 0, "1"s), Y below it (group 1, "7"s), Z off the
// screen, Q no area at all.
class OnePicture : public ::testing::Test {
protected:
    fakes::MemoryProfile p;
    engine::GroupReaders readers;
    engine::AreaImage desktop{100, 60};

    void SetUp() override {
        p.set(u"ENDDATA", u"AREA", u"X");
        p.putArea(u"X", 10, 10, 20, 6, 0, u";");
        p.set(u"認識エリアX", u"BLANKWIDTH", u"3");
        p.putArea(u"Y", 10, 30, 20, 6, 1);
        p.putArea(u"Z", 500, 30, 20, 6);
        p.set(u"認識エリアX", u"FIELD0", u"Y");
        p.set(u"認識エリアX", u"FIELD1", u"Z");
        p.set(u"認識エリアX", u"FIELD2", u"Q");
        p.putTemplate(0, One());
        p.putTemplate(1, Seven());
        fakes::DrawGlyph(desktop, One(), 11, 11);
        fakes::DrawGlyph(desktop, One(), 19, 11);
        fakes::DrawGlyph(desktop, Seven(), 11, 31);
        fakes::DrawGlyph(desktop, One(), 15, 31); // not of Y's group: unread ink
    }

    engine::ScreenShot Shot(const engine::PressSetup& press) const {
        engine::ScreenShot shot;
        shot.monitors = {{{0, 0, 100, 60}, 100}};
        shot.rects = engine::PressRects(press, shot.monitors);
        for (const PixelRect& r : shot.rects) {
            engine::AreaImage copy(r.width, r.height);
            for (int y = 0; y < r.height; ++y)
                for (int x = 0; x < r.width; ++x)
                    copy.setPixel(x, y,
                                  static_cast<std::uint32_t>(desktop.pixel(r.left + x, r.top + y)));
            shot.pictures.emplace_back(std::move(copy));
        }
        return shot;
    }
};

TEST_F(OnePicture, EachAreaIsCutFromTheOnePictureWithItsOwnSettings) {
    const auto press = engine::SetUpPress(u"X", p.source(), p.source(), readers);
    ASSERT_EQ(press.fields.size(), 3u);
    EXPECT_EQ(press.fields[2].mark, FieldMark::MissingArea);
    // Only what some monitor shows is copied, each rectangle once.
    const auto shot = Shot(press);
    EXPECT_EQ(shot.rects, (std::vector<PixelRect>{{10, 10, 20, 6}, {10, 30, 20, 6}}));

    const auto readings = engine::ReadPress(press, shot);
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
    EXPECT_EQ(engine::JoinReadings(readings), u"1;1;7;;");
}

TEST_F(OnePicture, TwoAreasOnOnePlaceShareTheirCopy) {
    p.putArea(u"Y", 10, 10, 20, 6, 1);
    const auto press = engine::SetUpPress(u"X", p.source(), p.source(), readers);
    const auto shot = Shot(press);
    EXPECT_EQ(shot.rects, (std::vector<PixelRect>{{10, 10, 20, 6}}));
    const auto readings = engine::ReadPress(press, shot);
    EXPECT_EQ(readings[0].text, u"1;1");
    EXPECT_EQ(readings[1].text, u""); // group 1 has no "1": unread ink
    EXPECT_EQ(readings[1].verdict.unread.size(), 2u);
}

TEST_F(OnePicture, AFieldWithAnUnusableGroupReadsNothingOfAnotherGroup) {
    p.set(u"認識エリアY", u"CHRGROP", u"1e10");
    const auto press = engine::SetUpPress(u"X", p.source(), p.source(), readers);
    EXPECT_EQ(press.fields[0].problems, P{SetupProblem::UnusableGroup});
    const auto readings = engine::ReadPress(press, Shot(press));
    EXPECT_EQ(readings[1].text, u"");
    EXPECT_FALSE(readings[1].complete()); // its ink is all unread
}

} // namespace
