// Writes killed at random moments (SIGKILL, a few hundred times): the profile
// is always exactly the file before or after the write in flight, and an
// interrupted append to the result file never damages the lines before it.
#include "ChildProcess.h"
#include "FileIo.h"
#include "ProfileFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <random>

#ifdef _WIN32

TEST(CrashSafety, KilledProfileWrites) {
    GTEST_SKIP() << "killing a writer at random moments needs fork and SIGKILL (POSIX)";
}

#else

namespace {

using settings::ProfileDocument;
using settings::WriteStatus;
using testfiles::Slurp;
using testfiles::TempDir;
namespace fs = std::filesystem;

struct Write {
    std::u16string section, key, value;
};

// Keys that come back again and again, values of every length, Japanese
// text, and now and then a text outside CP932 that switches the file to UTF-8.
std::vector<Write> Plan(std::mt19937& rng, int count) {
    static const std::u16string sections[] = {u"ENDDATA", u"認識エリアCounter", u"G0ChrDat7",
                                              u"Tirelma", u"Chr"};
    static const std::u16string keys[] = {u"AREA", u"区切り", u"COMMENT", u"BL0",
                                          u"BL1",  u"Top",    u"G0ALLCHR"};
    static const std::u16string pieces[] = {u"1", u"認識", u"x", u" ", u"\\\\", u"カウンタ", u"-"};
    std::vector<Write> out;
    for (int i = 0; i < count; ++i) {
        Write w{sections[rng() % std::size(sections)], keys[rng() % std::size(keys)], {}};
        const int length = static_cast<int>(rng() % 40);
        for (int k = 0; k < length; ++k)
            w.value += pieces[rng() % std::size(pieces)];
        if (rng() % 50 == 0) w.value += u"é";
        out.push_back(w);
    }
    return out;
}

std::vector<std::string> Leftovers(const fs::path& dir, const std::string& keep) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename() != keep) out.push_back(e.path().filename().string());
    return out;
}

// Sleeps a random time up to about three profile writes (each ends in fsync).
void RandomPause(std::mt19937& rng) {
    const int us = static_cast<int>(rng() % 9000);
    ::usleep(static_cast<useconds_t>(us));
}

} // namespace

TEST(CrashSafety, KilledProfileWritesLeaveTheOldOrTheNewFile) {
    TempDir dir;
    const auto path = dir / "Kavoren.ini";
    std::mt19937 rng(20240611);
    std::string current; // what the file holds now

    int newer = 0, older = 0, tempFiles = 0;
    const int rounds = 300;
    for (int round = 0; round < rounds; ++round) {
        const auto plan = Plan(rng, 40);
        // The file after each prefix of the plan.
        std::vector<std::string> states{current};
        for (const auto& w : plan) {
            ProfileDocument d(states.back());
            ASSERT_EQ(d.write(w.section, w.key, w.value), WriteStatus::Ok);
            states.push_back(d.bytes());
        }

        // The writer goes on with other work after each write (a pause of
        // up to a millisecond before it reports the write), so that kills
        // also land after a rename, not only inside the writes.
        const unsigned seed = static_cast<unsigned>(rng());
        child::Worker worker([&](int i) {
            static settings::ProfileFile file(path);
            static std::mt19937 pauses(seed);
            if (i >= static_cast<int>(plan.size())) ::pause();
            if (file.write(plan[i].section, plan[i].key, plan[i].value) != WriteStatus::Ok)
                ::_exit(3);
            ::usleep(static_cast<useconds_t>(pauses() % 1000));
        });
        ASSERT_TRUE(worker.started());
        RandomPause(rng);
        const int done = worker.killNow();
        ASSERT_LT(done, static_cast<int>(states.size()));

        // Exactly the state after the reported writes, or after one more
        // whose rename had happened but whose report had not gone out.
        const std::string now = Slurp(path);
        if (now == states[static_cast<std::size_t>(done)]) {
            ++older;
        } else {
            ASSERT_LT(done + 1, static_cast<int>(states.size())) << "round " << round;
            ASSERT_EQ(now, states[static_cast<std::size_t>(done) + 1])
                << "round " << round << ": the profile is neither the file before nor after the "
                << "write in flight (" << done << " writes reported)";
            ++newer;
        }
        // It reads as such: every key of the write in flight holds its old or new value.
        settings::ProfileFile reader(path);
        const std::size_t flight = std::min(static_cast<std::size_t>(done), plan.size() - 1);
        const auto& w = plan[flight];
        const auto value = reader.read(w.section, w.key);
        const auto before = ProfileDocument(states[flight]).read(w.section, w.key);
        const auto after = ProfileDocument(states[flight + 1]).read(w.section, w.key);
        EXPECT_TRUE(value == before.value_or(u"") || value == after.value_or(u""));
        current = now;

        // What a killed write leaves behind is only its own hidden temporary
        // file beside the profile, never in the profile's place.
        for (const auto& name : Leftovers(dir.path(), "Kavoren.ini")) {
            EXPECT_TRUE(name.starts_with(".Kavoren.ini.")) << name;
            fs::remove(dir / name);
            ++tempFiles;
        }
    }
    // The kills must have met both outcomes for the test to mean anything,
    // and some must have cut a write short before its rename.
    EXPECT_GT(older, 0);
    EXPECT_GT(newer, 0);
    EXPECT_GT(tempFiles, 0);
    std::printf("%d kills: %d left the file before the write in flight, %d after it; "
                "%d temporary files left behind\n",
                rounds, older, newer, tempFiles);

    // A profile that went through all this still takes writes.
    settings::ProfileFile file(path);
    ASSERT_EQ(file.write(u"ENDDATA", u"CSV", u"True"), WriteStatus::Ok);
    EXPECT_EQ(file.read(u"ENDDATA", u"CSV"), u"True");
}

TEST(CrashSafety, KilledAppendsNeverDamageEarlierLines) {
    TempDir dir;
    std::mt19937 rng(7);
    // Line i of a result file: its number, then text of varying length.
    auto line = [](int i) {
        std::string l = std::to_string(i) + "," + testfiles::Sjis(u"上のカウンタ");
        l += std::string(static_cast<std::size_t>((i * 37) % 300), static_cast<char>('a' + i % 26));
        return l + "\r\n";
    };

    const int rounds = 300;
    int lines = 0, late = 0, torn = 0;
    fs::path path;
    int next = 0;         // number of the next line
    std::string expected; // what the current file holds
    for (int round = 0; round < rounds; ++round) {
        if (round % 30 == 0) { // a new file now and then keeps the files small
            path = dir / ("Kavoren" + std::to_string(round / 30) + ".csv");
            expected.clear();
        }
        const int first = next;
        child::Worker worker([&](int i) {
            if (settings::AppendToFile(path, line(first + i)) != settings::AppendStatus::Ok)
                ::_exit(3);
        });
        ASSERT_TRUE(worker.started());
        ::usleep(static_cast<useconds_t>(rng() % 2000));
        const int done = worker.killNow();

        // The lines reported as written, whole, after a line break if the
        // file did not end with one (a line cut short between its CR and LF
        // ends with one); then the line in flight whole, in part (a kill can
        // cut a write short) or not at all.
        const bool needsBreak =
            !expected.empty() && !expected.ends_with("\n") && !expected.ends_with("\r");
        std::string written = needsBreak ? "\r\n" : "";
        for (int i = first; i < first + done; ++i)
            written += line(i);
        const std::string inFlight = (done == 0 ? written : std::string()) + line(first + done);
        if (done == 0) written.clear();

        const std::string now = Slurp(path);
        ASSERT_TRUE(now.starts_with(expected + written))
            << "round " << round << ": earlier lines damaged or a reported line missing";
        const std::string rest = now.substr(expected.size() + written.size());
        ASSERT_TRUE(inFlight.starts_with(rest)) << "round " << round << ": not the line in flight";
        if (rest == inFlight)
            ++late; // written whole, killed before it could report it
        else if (!rest.empty())
            ++torn;
        expected = now;
        lines += done + (rest == inFlight ? 1 : 0);
        next = first + done + 1;
    }
    std::printf(
        "%d lines appended in %d killed runs; %d written whole but not yet reported, %d cut "
        "short by the kill (the next line starts on a line of its own)\n",
        lines, rounds, late, torn);
    EXPECT_GT(lines, 0);

    // Every line in the files is whole except those cut short, and each of
    // those is followed by a line break of its own.
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string text = Slurp(e.path());
        std::size_t pos = 0, broken = 0;
        while (pos < text.size()) {
            const std::size_t eol = text.find("\r\n", pos);
            if (eol == std::string::npos) { // the last line of a file, cut short
                ++broken;
                break;
            }
            const std::string l = text.substr(pos, eol + 2 - pos);
            const int number = std::atoi(l.c_str());
            if (l != line(number)) ++broken;
            pos = eol + 2;
        }
        EXPECT_LE(broken, static_cast<std::size_t>(torn));
    }
}

#endif
