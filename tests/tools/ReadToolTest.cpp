// The command-line reader: its options, its output formats, and the screen
// reading with --watch driven by a fake screen and a fake clock.
#include "Fakes.h"
#include "ProfileFixture.h"
#include "ReadCommand.h"
#include "ReadOptions.h"
#include "ReadOutput.h"
#include "ScreenGrab.h"

#include "FUMIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

using namespace tools;

std::optional<ReadOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string e;
    auto o = ParseArguments(args, e);
    if (error) *error = e;
    return o;
}

TEST(ReadOptions, AcceptsTheScreenAndWatchForms) {
    auto o = Parse({"--screen", "--watch", "0.5", "--count=3", "--format", "json", "--snap"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->screen);
    EXPECT_DOUBLE_EQ(*o->watchSeconds, 0.5);
    EXPECT_EQ(*o->count, 3);
    EXPECT_EQ(o->format, Format::Json);
    EXPECT_TRUE(o->snap);
    o = Parse({"--watch=0.1", "--screen", "--area", "A B"});
    ASSERT_TRUE(o);
    EXPECT_DOUBLE_EQ(*o->watchSeconds, 0.1);
    EXPECT_EQ(*o->area, "A B");
    o = Parse({"--list-areas", "--format=tsv", "--profile", "p.ini"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->listAreas);
    EXPECT_EQ(o->format, Format::Tsv);
    // Image names after "--" are names even when they look like options.
    o = Parse({"--", "--screen"});
    ASSERT_TRUE(o);
    EXPECT_FALSE(o->screen);
    EXPECT_EQ(o->images, std::vector<std::string>{"--screen"});
}

TEST(ReadOptions, RefusesWhatCannotWork) {
    const std::vector<std::vector<std::string>> bad = {
        {"--screen", "--watch", "0.09"}, // faster than 0.1 s
        {"--screen", "--watch", "0"},
        {"--screen", "--watch", "-1"},
        {"--screen", "--watch", "1s"},
        {"--screen", "--watch", "nan"},
        {"--screen", "--watch", "inf"},
        {"--screen", "--watch", "1e9"},
        {"--screen", "--watch"},
        {"--watch", "1", "a.png"},    // watch without screen
        {"--screen", "--count", "2"}, // count without watch
        {"--screen", "--watch", "1", "--count", "0"},
        {"--screen", "--watch", "1", "--count", "2.5"},
        {"--screen", "a.png"},
        {"--format", "xml", "a.png"},
        {"--format", "a.png"},
        {"--list-areas", "a.png"},
        {"--list-areas", "--screen"},
        {"--list-areas", "--area", "A"},
        {"--snap=yes", "a.png"},
        {},
        {"--profile"},
        {"--frobnicate", "a.png"},
    };
    for (const auto& args : bad) {
        std::string error;
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_FALSE(Parse(args, &error)) << joined;
        EXPECT_FALSE(error.empty()) << joined;
    }
}

TEST(ReadOutput, TimeStampsAreLocalWithTheirOffset) {
    EXPECT_EQ(FormatTimestamp({2024, 3, 9, 14, 5, 7, 42, 9 * 60}), "2024-03-09T14:05:07.042+09:00");
    EXPECT_EQ(FormatTimestamp({2024, 12, 31, 23, 59, 59, 999, -(3 * 60 + 30)}),
              "2024-12-31T23:59:59.999-03:30");
    EXPECT_EQ(FormatTimestamp({2024, 1, 1, 0, 0, 0, 0, 0}), "2024-01-01T00:00:00.000+00:00");

    // The offset over a change of day, month and year.
    std::tm local{}, utc{};
    local.tm_year = 125, local.tm_mon = 0, local.tm_mday = 1, local.tm_hour = 8, local.tm_min = 30;
    utc.tm_year = 124, utc.tm_mon = 11, utc.tm_mday = 31, utc.tm_hour = 23, utc.tm_min = 0;
    EXPECT_EQ(UtcOffsetMinutes(local, utc), 9 * 60 + 30);
    EXPECT_EQ(UtcOffsetMinutes(utc, local), -(9 * 60 + 30));
    const LocalTime t = ToLocalTime(local, utc, 7);
    EXPECT_EQ(FormatTimestamp(t), "2025-01-01T08:30:00.007+09:30");
}

TEST(ReadOutput, EachFormatKeepsItsFieldsApart) {
    const Source image{false, "shots/a b.png"};
    const Source time{true, "2024-03-09T14:05:07.042+09:00"};
    EXPECT_EQ(ReadingLine(Format::Text, image, u"Counter", u"12.5", false), "12.5");
    EXPECT_EQ(ReadingLine(Format::Text, time, u"Counter", u"12.5", true),
              "2024-03-09T14:05:07.042+09:00 12.5");
    EXPECT_EQ(ReadingLine(Format::Tsv, image, u"座標", u"1\t2", false),
              "shots/a b.png\t座標\t1\\t2");
    EXPECT_EQ(ReadingLine(Format::Json, time, u"a\"b", u"x\\y", true),
              "{\"time\":\"2024-03-09T14:05:07.042+09:00\",\"area\":\"a\\\"b\","
              "\"reading\":\"x\\\\y\",\"complete\":true,\"unread\":[]}");
    EXPECT_EQ(ReadingLine(Format::Json, image, u"A", u"", false),
              "{\"image\":\"shots/a b.png\",\"area\":\"A\",\"reading\":\"\","
              "\"complete\":true,\"unread\":[]}");

    EXPECT_EQ(TsvField("a\\b\r\n"), "a\\\\b\\r\\n");
    EXPECT_EQ(JsonString(std::string("\x01\x1f\n", 3)), "\"\\u0001\\u001f\\n\"");
    // A lone surrogate cannot go out as UTF-8: it becomes U+FFFD.
    EXPECT_EQ(Utf8Text(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD"
                                                                        "b");
    EXPECT_EQ(Utf8Text(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8Text(std::u16string(1, char16_t(0xDC00)) + u"x" + char16_t(0xD83D)),
              "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

// An incomplete reading: JSON says so in every line; text and TSV keep their
// lines as they were outside --watch and mark them under it.
TEST(ReadOutput, IncompleteReadings) {
    const Source image{false, "a.png"};
    const Source time{true, "T"};
    engine::Verdict v;
    v.unread = {{12, 13, 1, 8}, {40, 40, 0, 0}};
    EXPECT_EQ(VerdictText(v), "unread ink at columns 12-13, 40");
    EXPECT_EQ(ReadingLine(Format::Json, image, u"A", u"-725", false, v),
              "{\"image\":\"a.png\",\"area\":\"A\",\"reading\":\"-725\",\"complete\":false,"
              "\"unread\":[[12,13],[40,40]]}");
    EXPECT_EQ(ReadingLine(Format::Text, image, u"A", u"-725", false, v), "-725");
    EXPECT_EQ(ReadingLine(Format::Tsv, image, u"A", u"-725", false, v), "a.png\tA\t-725");
    EXPECT_EQ(ReadingLine(Format::Text, time, u"A", u"-725", true, v),
              "T -725  [incomplete: unread ink at columns 12-13, 40]");
    EXPECT_EQ(ReadingLine(Format::Tsv, time, u"A", u"-725", true, v),
              "T\tA\t-725\tincomplete: unread ink at columns 12-13, 40");

    engine::Verdict off;
    off.grab = engine::Grab::PartlyOff;
    EXPECT_EQ(VerdictText(off), "part of the area lies off every screen");
    EXPECT_EQ(ReadingLine(Format::Json, time, u"A", u"1", true, off, true),
              "{\"time\":\"T\",\"area\":\"A\",\"reading\":\"1\",\"complete\":false,"
              "\"unread\":[],\"partlyOffScreen\":true,\"monitorChanged\":true}");
    off.unread = {{7, 7, 2, 3}};
    EXPECT_EQ(ReadingLine(Format::Text, time, u"A", u"1", true, off),
              "T 1  [incomplete: part of the area lies off every screen; unread ink at column 7]");

    EXPECT_EQ(IncompleteWarning("a.png", u"-725", v),
              "tirelma-read: warning: a.png: incomplete reading \"-725\": unread ink at columns "
              "12-13, 40");
    const engine::MonitorChange change{{{0, 0, 1920, 1080}, 150}, {{0, 0, 1280, 800}, 0}};
    const std::string m = MonitorWarning(u"Counter", change);
    EXPECT_NE(m.find("1920x1080 at 0,0, scale 150 %"), std::string::npos) << m;
    EXPECT_NE(m.find("now is 1280x800 at 0,0 ("), std::string::npos) << m;
}

TEST(ReadOutput, AreaListing) {
    AreaListing a{u"Counter", -20, 100, 76, 11, 0, u"Digits", true, {}};
    EXPECT_EQ(AreaLine(Format::Text, a),
              "Counter: left -20, top 100, width 76, height 11, group 0 (Digits), current");
    EXPECT_EQ(AreaLine(Format::Tsv, a), "Counter\t-20\t100\t76\t11\t0\tDigits\t1");
    EXPECT_EQ(AreaLine(Format::Json, a),
              "{\"area\":\"Counter\",\"left\":-20,\"top\":100,\"width\":76,\"height\":11,"
              "\"group\":0,\"groupName\":\"Digits\",\"current\":true}");
    a.groupName.clear();
    a.current = false;
    EXPECT_EQ(AreaLine(Format::Text, a),
              "Counter: left -20, top 100, width 76, height 11, group 0");
}

TEST(ReadScreenRect, OnSomeScreen) {
    const std::vector<PixelRect> screens = {{0, 0, 1280, 800}, {-1920, -200, 1920, 1080}};
    EXPECT_TRUE(OnSomeScreen({100, 100, 76, 11}, screens));
    EXPECT_TRUE(OnSomeScreen({-500, 0, 10, 10}, screens));     // the monitor on the left
    EXPECT_TRUE(OnSomeScreen({1270, 790, 100, 100}, screens)); // partly off
    EXPECT_FALSE(OnSomeScreen({1280, 0, 10, 10}, screens));    // touching is not on
    EXPECT_FALSE(OnSomeScreen({0, 880, 10, 10}, screens));     // below both
    EXPECT_FALSE(OnSomeScreen({2147483000, 0, 2000, 10}, screens));
    EXPECT_FALSE(OnSomeScreen({0, 0, 10, 10}, {}));
}

// The demo profile in a temporary folder, a fake screen showing the demo
// pictures at the area, and a clock whose waits run a script.
class ScreenReading : public ::testing::Test {
protected:
    QTemporaryDir dir;
    fakes::FakePlatform platform;
    std::ostringstream out, err;
    ReadOptions options;
    int ticks = 0;
    std::vector<std::chrono::milliseconds> waits;
    std::function<bool(int)> onWait = [](int) { return true; };
    std::chrono::steady_clock::time_point now{};

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/Kavoren.ini"), profile()));
        QFile::setPermissions(profile(), QFile::ReadOwner | QFile::WriteOwner);
        options.profile = profile().toStdString();
        options.screen = true;
    }

    QString profile() const { return dir.filePath(QStringLiteral("Kavoren.ini")); }

    void show(const char* example, QPoint at = {100, 100}) {
        platform.screen.fill(Qt::white);
        const QImage image(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/") + example);
        ASSERT_FALSE(image.isNull());
        platform.paint(image, at);
    }

    // Replaces a line of the profile (kept in its encoding, CP932: ASCII here).
    void edit(const QByteArray& from, const QByteArray& to) {
        QFile f(profile());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        ASSERT_TRUE(bytes.contains(from));
        bytes.replace(from, to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    int run() {
        WatchClock clock{[this] { return "T" + std::to_string(ticks); },
                         [this](std::chrono::milliseconds d) {
                             waits.push_back(d);
                             now += d;
                             ++ticks;
                             return onWait(ticks);
                         },
                         [this] { return now; }};
        return RunScreen(options, platform, clock, out, err);
    }
};

TEST_F(ScreenReading, OnceReadsTheAreaFromTheScreen) {
    show("counter.png");
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "1234567890\n");
    EXPECT_TRUE(waits.empty());
    EXPECT_EQ(err.str(), "");

    out.str("");
    options.format = Format::Json;
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "{\"time\":\"T0\",\"area\":\"Counter\",\"reading\":\"1234567890\","
                         "\"complete\":true,\"unread\":[]}\n");
}

// A character the group no longer has: the reading is printed as read, a
// warning names the area and the columns, and the exit code says so.
TEST_F(ScreenReading, IncompleteReadingsAreSaidAndEndWithSix) {
    show("position.ppm");      // 12.34,-5.6
    edit("\\\\.\\\\", "\\\\"); // "." out of the group
    EXPECT_EQ(run(), kIncomplete);
    EXPECT_EQ(out.str(), "1234,-56\n");
    EXPECT_NE(err.str().find("warning: area \"Counter\": incomplete reading \"1234,-56\": unread "
                             "ink at column"),
              std::string::npos)
        << err.str();

    // Under --watch the line is marked, printed again only when the verdict
    // or the text changes, and the watch ends as always.
    out.str(""), err.str("");
    options.watchSeconds = 1;
    options.count = 2;
    onWait = [this](int tick) {
        if (tick == 2) show("counter.png");
        return true;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_NE(out.str().find("T0 1234,-56  [incomplete: unread ink at column"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\nT2 1234567890\n"), std::string::npos) << out.str();
    EXPECT_EQ(ticks, 2);
}

// A grab that fails: an error once; a marked line under --watch, which
// goes on and reads again when the screen comes back.
TEST_F(ScreenReading, AFailedGrabIsNoWhiteReading) {
    platform.failGrabs = true;
    show("counter.png");
    WatchClock clock{[this] { return "T" + std::to_string(ticks); },
                     [&](std::chrono::milliseconds) {
                         ++ticks;
                         platform.failGrabs = false; // the screen is back
                         return true;
                     },
                     [this] { return now; }};
    EXPECT_EQ(RunScreen(options, platform, clock, out, err), kBadImage);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("could not be read"), std::string::npos) << err.str();

    out.str(""), err.str("");
    options.watchSeconds = 1;
    options.count = 2;
    options.format = Format::Tsv;
    EXPECT_EQ(RunScreen(options, platform, clock, out, err), kOk);
    EXPECT_EQ(out.str(), "T0\tCounter\t\tincomplete: the screen could not be read\n"
                         "T1\tCounter\t1234567890\n");
}

// Stored on another monitor than the one there now: told once, read all
// the same; the same monitor says nothing.
TEST_F(ScreenReading, AChangedMonitorIsToldOnce) {
    show("counter.png");
    edit("HEIGHT=11\r\n", "HEIGHT=11\r\nMONITOR=0,0,1920,1080\r\nMONITORSCALE=100\r\n");
    options.watchSeconds = 1;
    options.count = 2;
    onWait = [this](int tick) {
        if (tick == 1) show("small.bmp");
        return true;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0 1234567890\nT1 -0.5\n");
    const std::string e = err.str();
    EXPECT_NE(e.find("stored on a monitor 1920x1080 at 0,0, scale 100 %; the monitor there now is "
                     "1280x800 at 0,0, scale 100 %"),
              std::string::npos)
        << e;
    EXPECT_EQ(e.find("warning", e.find("warning") + 1), std::string::npos) << e; // once

    out.str(""), err.str("");
    options = ReadOptions{};
    options.profile = profile().toStdString();
    options.screen = true;
    options.format = Format::Json;
    EXPECT_EQ(run(), kOk);
    EXPECT_NE(out.str().find("\"monitorChanged\":true"), std::string::npos) << out.str();
    edit("MONITOR=0,0,1920,1080", "MONITOR=0,0,1280,800");
    out.str(""), err.str("");
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str().find("monitorChanged"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(ScreenReading, WatchPrintsOnlyChangesUntilTheCount) {
    options.watchSeconds = 0.25;
    options.count = 3;
    options.format = Format::Tsv;
    show("counter.png");
    // The screen changes between the waits: same, other, same, back.
    onWait = [this](int tick) {
        if (tick == 2) show("small.bmp");
        if (tick == 4) show("counter.png");
        return true;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0\tCounter\t1234567890\nT2\tCounter\t-0.5\nT4\tCounter\t1234567890\n");
    ASSERT_EQ(waits.size(), 4u);
    for (auto w : waits)
        EXPECT_EQ(w, std::chrono::milliseconds(250));
    EXPECT_EQ(err.str(), "");
}

TEST_F(ScreenReading, WatchEndsCleanlyWhenStoppedOrUnread) {
    options.watchSeconds = 1;
    show("counter.png");
    onWait = [](int tick) { return tick < 3; }; // a stop request at the third wait
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0 1234567890\n");
    EXPECT_EQ(waits.size(), 3u);

    // Nobody reads the output any more: the first line that fails ends it.
    ticks = 0;
    waits.clear();
    out.setstate(std::ios::badbit);
    onWait = [this](int tick) {
        if (tick > 50) ADD_FAILURE() << "the watch did not end";
        show(tick % 2 ? "small.bmp" : "counter.png");
        return tick <= 50;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_TRUE(waits.empty());
}

TEST_F(ScreenReading, WatchFollowsTheProfileAndSnaps) {
    options.watchSeconds = 0.5;
    options.count = 2;
    options.snap = true;
    show("position.ppm");
    // The step is 0.5; then the step changes by hand while the watch runs.
    onWait = [this](int tick) {
        if (tick == 1) edit("=0.5\r\n", "=1\r\n");
        return true;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0 12.5,-5.5\nT1 12,-6\n");
}

TEST_F(ScreenReading, AreasThatCannotBeRead) {
    show("counter.png");
    // Partly off the screen: read with white beyond its edge, as the main
    // window does, and not complete.
    edit("LEFT=100", "LEFT=1270");
    EXPECT_EQ(run(), kIncomplete);
    EXPECT_EQ(out.str(), "\n");
    EXPECT_NE(err.str().find("part of the area lies off every screen"), std::string::npos)
        << err.str();
    err.str("");
    // Wholly off every screen.
    edit("LEFT=1270", "LEFT=1280");
    EXPECT_EQ(run(), kBadImage);
    EXPECT_NE(err.str().find("outside every screen"), std::string::npos) << err.str();
    err.str("");
    edit("LEFT=1280", "LEFT=-100");
    EXPECT_EQ(run(), kBadImage);
    edit("LEFT=-100", "LEFT=1e12");
    EXPECT_EQ(run(), kNoArea);
    edit("LEFT=1e12", "LEFT=100");
    edit("WIDTH=76", "WIDTH=0");
    EXPECT_EQ(run(), kNoArea);
    EXPECT_NE(err.str().find("no size"), std::string::npos) << err.str();
    edit("WIDTH=0", "WIDTH=40000");
    EXPECT_EQ(run(), kNoArea);

    // A group no 32-bit number names, and groups without characters.
    edit("WIDTH=40000", "WIDTH=76");
    edit("CHRGROP= 0", "CHRGROP=1e10");
    err.str("");
    EXPECT_EQ(run(), kNoCharacters);
    EXPECT_NE(err.str().find("area \"Counter\" names no usable character group"), std::string::npos)
        << err.str();
    for (const char* group : {"-1", " 3"}) {
        edit(group[0] == '-' ? "CHRGROP=1e10" : "CHRGROP=-1", QByteArray("CHRGROP=") + group);
        err.str("");
        EXPECT_EQ(run(), kNoCharacters) << group;
        EXPECT_NE(err.str().find("has no characters"), std::string::npos) << err.str();
    }
    edit("CHRGROP= 3", "CHRGROP= 0");

    // The screen cannot be read at all.
    platform.screen = QImage();
    err.str("");
    EXPECT_EQ(run(), kBadImage);
    EXPECT_NE(err.str().find("cannot be read"), std::string::npos) << err.str();
}

TEST_F(ScreenReading, AScreenTheDesktopRefusesIsNoReading) {
    show("counter.png");
    platform.refusal = QStringLiteral("refused by the portal");
    EXPECT_EQ(run(), kBadImage);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("could not be read: refused by the portal"), std::string::npos)
        << err.str();
    // A watch marks the refusal on its line and goes on: a desktop that
    // answers again is read again.
    platform.refusal.clear();
    err.str("");
    options.watchSeconds = 0.1;
    onWait = [this](int tick) {
        if (tick == 2) platform.refusal = QStringLiteral("refused");
        if (tick == 5) platform.refusal.clear();
        return tick < 10;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0 1234567890\n"
                         "T2   [incomplete: the screen could not be read: refused]\n"
                         "T5 1234567890\n");
    EXPECT_NE(err.str().find("could not be read: refused"), std::string::npos) << err.str();
}

TEST_F(ScreenReading, WatchEndsWhenTheAreaGoesAway) {
    options.watchSeconds = 0.1;
    show("counter.png");
    onWait = [this](int tick) {
        if (tick == 2) edit("AREA=Counter", "AREA=Gone");
        return tick < 10;
    };
    EXPECT_EQ(run(), kNoArea);
    EXPECT_EQ(out.str(), "T0 1234567890\n");
    EXPECT_NE(err.str().find("Gone"), std::string::npos) << err.str();
}

TEST_F(ScreenReading, ListsTheAreas) {
    // An area in the list without a section of its own, and the current area
    // missing from the list: it comes last.
    edit("LIST0=Counter", "LIST0=Second");
    std::ostringstream list;
    options = ReadOptions{};
    options.profile = profile().toStdString();
    options.listAreas = true;
    options.format = Format::Tsv;
    EXPECT_EQ(RunListAreas(options, list, err), kOk);
    EXPECT_EQ(list.str(),
              "Second\t0\t0\t0\t0\t0\tDigits\t0\nCounter\t100\t100\t76\t11\t0\tDigits\t1\n");

    options.profile = dir.filePath(QStringLiteral("none.ini")).toStdString();
    EXPECT_EQ(RunListAreas(options, list, err), kNoProfile);
}

// An area with fields: X, Y and Z stacked in xyz.png at 100, 100, X read
// first with Y and Z after it.
class FieldsReading : public ScreenReading {
protected:
    store::ProfileStore ini{settings::PathFromText(profile().toStdU16String())};
    void SetUp() override {
        ScreenReading::SetUp();
        fakes::WriteXyzAreas(ini, 100, 100);
        show("xyz.png");
    }
};

TEST_F(FieldsReading, EachFormatCarriesEveryField) {
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "12.500 -3.250 0.000\n");
    EXPECT_EQ(err.str(), "");
    out.str("");
    options.format = Format::Tsv;
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0\tX\t12.500 -3.250 0.000\tX\t12.500\tY\t-3.250\tZ\t0.000\n");
    out.str("");
    options.format = Format::Json;
    options.snap = true; // 刻み 0.5 of the demo profile, field by field
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(),
              "{\"time\":\"T0\",\"area\":\"X\",\"reading\":\"12.5 -3.5 0\",\"complete\":true,"
              "\"fields\":[{\"area\":\"X\",\"reading\":\"12.5\",\"complete\":true,\"unread\":[]},"
              "{\"area\":\"Y\",\"reading\":\"-3.5\",\"complete\":true,\"unread\":[]},"
              "{\"area\":\"Z\",\"reading\":\"0\",\"complete\":true,\"unread\":[]}]}\n");
}

TEST_F(FieldsReading, WatchPrintsWhenAnyFieldChanges) {
    options.watchSeconds = 1;
    options.count = 2;
    options.format = Format::Tsv;
    // Only Z changes: its number painted over.
    QImage blank(60, 11, QImage::Format_RGB32);
    blank.fill(Qt::white);
    onWait = [this, blank](int tick) {
        if (tick == 2) platform.paint(blank, QPoint(114, 130));
        return true;
    };
    EXPECT_EQ(run(), kOk);
    EXPECT_EQ(out.str(), "T0\tX\t12.500 -3.250 0.000\tX\t12.500\tY\t-3.250\tZ\t0.000\n"
                         "T2\tX\t12.500 -3.250 \tX\t12.500\tY\t-3.250\tZ\t\n");
}

TEST_F(FieldsReading, FieldsThatLeadNowhereMakeTheLineIncomplete) {
    ini.IniWrite(u"認識エリアX", u"FIELD1", u"Gone");
    ini.IniWrite(u"認識エリアX", u"FIELD2", u"Y");
    ini.IniWrite(u"認識エリアY", u"FIELD0", u"X"); // Y names X in turn: read alone
    options.format = Format::Json;
    EXPECT_EQ(run(), kIncomplete);
    const std::string line = out.str();
    EXPECT_NE(line.find("\"reading\":\"12.500 -3.250  \",\"complete\":false"), std::string::npos)
        << line;
    EXPECT_NE(line.find("{\"area\":\"Gone\",\"reading\":\"\",\"complete\":false,\"unread\":[],"
                        "\"mark\":\"missing-area\"}"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("\"mark\":\"duplicate\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"reading\":\"-3.250\",\"complete\":true,\"unread\":[],"
                        "\"mark\":\"has-fields\""),
              std::string::npos)
        << line;
    EXPECT_NE(err.str().find("\"Gone\": no area of that name; \"Y\": named twice"),
              std::string::npos)
        << err.str();
}

TEST_F(FieldsReading, TheListShowsEachAreasFields) {
    std::ostringstream list;
    options = ReadOptions{};
    options.profile = profile().toStdString();
    options.listAreas = true;
    EXPECT_EQ(RunListAreas(options, list, err), kOk);
    EXPECT_NE(list.str().find("X: left 114, top 100, width 49, height 11, group 0 (Digits), "
                              "current, fields Y, Z\n"),
              std::string::npos)
        << list.str();
    EXPECT_NE(list.str().find("Y: left 114, top 115, width 49, height 11, group 0 (Digits)\n"),
              std::string::npos);
    std::ostringstream json;
    options.format = Format::Json;
    EXPECT_EQ(RunListAreas(options, json, err), kOk);
    EXPECT_NE(json.str().find("\"current\":true,\"fields\":[\"Y\",\"Z\"]}"), std::string::npos)
        << json.str();
}

} // namespace
