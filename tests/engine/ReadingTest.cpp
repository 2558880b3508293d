// A reading as one value: the area's settings from the profile, the picture
// from the screen judged against the monitors, the monitor compared with the
// one the area was stored on.
#include "Reading.h"

#include "GlyphDrawing.h"
#include "MemoryProfile.h"

#include <gtest/gtest.h>

namespace {

using engine::Grab;
using engine::Monitor;
using engine::PixelRect;

using fakes::One;

void DrawOne(engine::AreaImage& img, int x, int y) {
    fakes::DrawGlyph(img, One(), x, y);
}

engine::AreaSettings Settings(const fakes::MemoryProfile& p, std::u16string_view name) {
    return engine::ReadAreaSettings(name, p.reader());
}

TEST(Reading, AreaSettingsFromTheProfile) {
    fakes::MemoryProfile p{{{u"認識エリアA", u"LEFT"}, u"10.5"},
                           {{u"認識エリアA", u"TOP"}, u"12abc"},
                           {{u"認識エリアA", u"WIDTH"}, u"76"},
                           {{u"認識エリアA", u"HEIGHT"}, u"11"},
                           {{u"認識エリアA", u"CHRGROP"}, u" 2"},
                           {{u"認識エリアA", u"区切り"}, u"/"},
                           {{u"認識エリアA", u"BLANKWIDTH"}, u"3"},
                           {{u"認識エリアA", u"WRITEUNREAD"}, u"True"},
                           {{u"認識エリアA", u"MONITOR"}, u"-1920,0,1920,1080"},
                           {{u"認識エリアA", u"MONITORSCALE"}, u"150"}};
    auto a = Settings(p, u"A");
    EXPECT_EQ(a.name, u"A");
    EXPECT_FLOAT_EQ(a.left, 10.5f);
    EXPECT_FLOAT_EQ(a.top, 12);
    EXPECT_EQ(a.group, 2);
    EXPECT_EQ(a.blanks.kugiri, u"/");
    EXPECT_EQ(a.blanks.minGap, 3);
    EXPECT_TRUE(a.writeUnread);
    ASSERT_TRUE(a.monitor);
    EXPECT_EQ(*a.monitor, (Monitor{{-1920, 0, 1920, 1080}, 150}));
    EXPECT_EQ(engine::ScreenRect(a), (PixelRect{10, 12, 76, 11})); // 10.5 rounds to even

    // An old profile: none of the new keys; a hand-edited one: values that
    // mean nothing are as good as missing.
    p.set(u"認識エリアA", u"WRITEUNREAD", u"true");
    p.set(u"認識エリアA", u"MONITORSCALE", u"");
    a = Settings(p, u"A");
    EXPECT_FALSE(a.writeUnread);
    EXPECT_EQ(a.monitor->scalePercent, 0); // not known: never compared
    for (const auto* bad : {u"", u"1,2,3", u"1,2,3,4,5", u"a,0,10,10", u"0,0,0,10", u"0,0,10,-1",
                            u"0, 0,10,10x", u"9999999999,0,1,1"}) {
        p.set(u"認識エリアA", u"MONITOR", bad);
        EXPECT_FALSE(Settings(p, u"A").monitor);
    }
    p.set(u"認識エリアA", u"MONITOR", u" 0, 0 ,1280,800");
    EXPECT_EQ(Settings(p, u"A").monitor->rect, (PixelRect{0, 0, 1280, 800}));
    EXPECT_EQ(engine::MonitorRectText({-1920, -8, 1920, 1080}), u"-1920,-8,1920,1080");
    EXPECT_EQ(engine::ParseMonitorRect(engine::MonitorRectText({-1920, -8, 1920, 1080})),
              (PixelRect{-1920, -8, 1920, 1080}));

    const auto none = Settings({}, u"Nowhere");
    EXPECT_EQ(none.group, 0);
    EXPECT_FALSE(none.monitor);
    EXPECT_FALSE(none.writeUnread);
    EXPECT_EQ(engine::ScreenRect(none), (PixelRect{0, 0, 0, 0}));
}

TEST(Reading, CoverageAndTheMonitorUnderAnArea) {
    const std::vector<Monitor> two{{{0, 0, 1280, 800}, 100}, {{1280, 0, 1920, 1080}, 150}};
    EXPECT_EQ(engine::Coverage({100, 100, 76, 11}, two), Grab::Whole);
    EXPECT_EQ(engine::Coverage({1250, 100, 76, 11}, two), Grab::Whole); // across both
    EXPECT_EQ(engine::Coverage({1250, 790, 76, 11}, two), Grab::PartlyOff);
    EXPECT_EQ(engine::Coverage({-10, 0, 20, 10}, two), Grab::PartlyOff);
    EXPECT_EQ(engine::Coverage({3200, 0, 10, 10}, two), Grab::Off); // touching is not on
    EXPECT_EQ(engine::Coverage({0, 1080, 10, 10}, two), Grab::Off);
    EXPECT_EQ(engine::Coverage({0, 0, 10, 10}, {}), Grab::Off);
    // Mirrored monitors over the same pixels.
    EXPECT_EQ(engine::Coverage({0, 0, 10, 10}, {two[0], two[0]}), Grab::Whole);

    EXPECT_EQ(engine::MonitorUnder({1250, 100, 76, 11}, two), two[1]); // most of it
    EXPECT_EQ(engine::MonitorUnder({1240, 100, 80, 11}, two), two[0]); // equal: the first
    EXPECT_FALSE(engine::MonitorUnder({5000, 0, 1, 1}, two));

    // Stored on the second monitor at 150 %: the same is no change; another
    // size, place or scale is.
    const Monitor stored{{1280, 0, 1920, 1080}, 150};
    const PixelRect area{1400, 100, 76, 11};
    EXPECT_FALSE(engine::MonitorChangeAt(stored, area, two));
    EXPECT_FALSE(engine::MonitorChangeAt(std::nullopt, area, two));
    EXPECT_FALSE(engine::MonitorChangeAt(stored, {5000, 0, 1, 1}, two)); // off: said otherwise
    auto scaled = two;
    scaled[1].scalePercent = 100;
    auto change = engine::MonitorChangeAt(stored, area, scaled);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->recorded, stored);
    EXPECT_EQ(change->now, scaled[1]);
    scaled[1] = {{1280, 0, 2560, 1440}, 150};
    EXPECT_TRUE(engine::MonitorChangeAt(stored, area, scaled));
    EXPECT_FALSE(engine::MonitorChangeAt(Monitor{stored.rect, 0}, area, two)); // scale not known
    // The laptop alone: the area now lies on its one monitor.
    change = engine::MonitorChangeAt(stored, {100, 100, 76, 11}, {two[0]});
    ASSERT_TRUE(change);
    EXPECT_EQ(change->now, two[0]);
}

// A shot of a one-monitor desktop: each rectangle copied (white beyond the
// desktop), or none of them with the system's reason.
engine::ScreenShot Shot(const engine::AreaImage& desktop, std::vector<PixelRect> rects,
                        std::u16string refusal = {}) {
    engine::ScreenShot shot;
    shot.monitors = {{{0, 0, desktop.width, desktop.height}, 100}};
    for (const PixelRect& r : rects) {
        shot.rects.push_back(r);
        if (!refusal.empty()) {
            shot.pictures.emplace_back();
            continue;
        }
        engine::AreaImage copy(r.width, r.height);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                if (desktop.contains(r.left + x, r.top + y))
                    copy.setPixel(x, y,
                                  static_cast<std::uint32_t>(desktop.pixel(r.left + x, r.top + y)));
        shot.pictures.emplace_back(std::move(copy));
    }
    shot.failure = std::move(refusal);
    return shot;
}

// The screen road: what the monitors showed is cut from the shot and read;
// an area off every monitor, or one the shot holds no picture of, reads
// nothing and is not complete.
TEST(Reading, FromAShotOfTheScreen) {
    engine::AreaImage desktop(200, 100);
    DrawOne(desktop, 22, 11);
    DrawOne(desktop, 190, 11); // by the right edge
    engine::AreaReader reader({One()});
    engine::AreaSettings area;
    area.name = u"A";
    area.left = 20, area.top = 10, area.width = 20, area.height = 8;
    area.monitor = Monitor{{0, 0, 200, 100}, 100};
    const auto read = [&](const engine::ScreenShot& shot) {
        return engine::ReadShot(area, engine::ScreenRect(area), shot, reader);
    };
    const auto rect = [&] { return *engine::ScreenRect(area); };

    auto r = read(Shot(desktop, {rect()}));
    EXPECT_EQ(r.text, u"1");
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.picture.width, 20);
    ASSERT_EQ(r.chars.size(), 1u);
    EXPECT_EQ(r.chars[0].column, 2);
    EXPECT_EQ(r.chars[0].row, 1);
    EXPECT_FALSE(r.monitorChange);
    EXPECT_EQ(r.area.name, u"A");
    // A shot of other rectangles holds no picture of this one.
    EXPECT_EQ(read(Shot(desktop, {{0, 0, 20, 8}})).verdict.grab, Grab::Failed);

    // Half off the right edge: read where it is shown, not complete.
    area.left = 185;
    r = read(Shot(desktop, {rect()}));
    EXPECT_EQ(r.verdict.grab, Grab::PartlyOff);
    EXPECT_FALSE(r.complete());
    // Off every monitor: nothing read, a white picture for the window.
    area.left = 300;
    r = read(Shot(desktop, {}));
    EXPECT_EQ(r.verdict.grab, Grab::Off);
    EXPECT_TRUE(r.text.empty());
    EXPECT_EQ(r.picture.width, 20);
    // A refused grab, and a screen that cannot be read at all.
    area.left = 20;
    r = read(Shot(desktop, {rect()}, u"refused"));
    EXPECT_EQ(r.verdict.grab, Grab::Failed);
    EXPECT_EQ(r.verdict.failure, u"refused"); // the system's reason, passed on
    EXPECT_TRUE(r.chars.empty());
    EXPECT_EQ(r.picture.width, 0); // no white picture of what was never seen
    EXPECT_EQ(read(engine::ScreenShot{}).verdict.grab, Grab::Failed);
    // A place no 32-bit integer holds, or an area too large: failed.
    area.left = 1e12f;
    EXPECT_EQ(read(Shot(desktop, {})).verdict.grab, Grab::Failed);
    area.left = 20, area.width = 40000;
    EXPECT_EQ(read(Shot(desktop, {})).verdict.grab, Grab::Failed);
    // No size: an empty reading, complete, with nothing to copy.
    area.width = 0;
    EXPECT_TRUE(read(Shot(desktop, {})).complete());

    // Stored on another monitor: still read, and the change is told.
    area.width = 20;
    area.monitor = Monitor{{0, 0, 1920, 1080}, 100};
    r = read(Shot(desktop, {rect()}));
    EXPECT_EQ(r.text, u"1");
    ASSERT_TRUE(r.monitorChange);
    EXPECT_EQ(r.monitorChange->now.rect, (PixelRect{0, 0, 200, 100}));
}

// Two readings with one reader keep nothing of each other, and the blank
// rule and the picture travel with the reading.
TEST(Reading, ReadingsAreValues) {
    engine::AreaReader reader({One()});
    engine::AreaImage two(20, 6), one(20, 6);
    DrawOne(two, 1, 0), DrawOne(two, 8, 0), DrawOne(one, 1, 0);
    engine::AreaSettings spaced{u"A", 0, 0, 20, 6, 0, {2, u","}, std::nullopt, false};
    engine::AreaSettings plain{u"B", 0, 0, 20, 6, 0, {}, std::nullopt, false};
    const auto a = engine::ReadPicture(spaced, two, Grab::Whole, reader);
    const auto b = engine::ReadPicture(plain, one, Grab::Whole, reader);
    EXPECT_EQ(a.text, u"1,1");
    EXPECT_EQ(b.text, u"1");
    EXPECT_EQ(a.chars.size(), 2u);
    EXPECT_EQ(a.picture.pixels, two.pixels);
    EXPECT_TRUE(a.complete() && b.complete());
    // The grab as given: a picture taken partly off the screen is not complete.
    EXPECT_FALSE(engine::ReadPicture(plain, one, Grab::PartlyOff, reader).complete());
    EXPECT_TRUE(engine::ReadPicture(plain, one, Grab::Failed, reader).text.empty());
}

} // namespace
