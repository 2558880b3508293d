// Speed of reading realistic screen lines: the area reader against the
// literal engine, in the same run, on the same pictures and templates; and
// the reading with its verdict (every ink pixel covered by a character read,
// Verdict.h) against the reading alone.
//
// Lines are drawn in the X11 bitmap fonts (5x7 ... 10x20) in three colour
// schemes, in areas 2 to 6 rows taller than the cells with the text at
// different rows, 100, 400 and 1920 pixels wide, with groups of 4, 14, 40
// and 100 templates cut from the cells as the editor cuts them, clean, with
// noise and with near-misses; a few synthetic lines of random glyphs too.
// Times are thread CPU time per picture, medians of several samples; the
// reader is built once per group, as the main window's Init builds it.
//
//   build-bench/bench/engine_bench [--runs N] [--samples N] [--filter TEXT] [--no-literal]
//                                  [--plain]
//
// --runs N measures every case N times over and reports the medians;
// --plain turns off the processor extensions (AVX2, POPCNT).
//   build-bench/bench/engine_bench --repeat TEXT N    (reader only, for callgrind/perf)
//   build-bench/bench/engine_bench --build FONT N     (preparing a group only)
//   build-bench/bench/engine_bench --build FONT N     (preparing a group only)
#include "AreaReader.h"
#include "CpuFeatures.h"
#include "LiteralMatcher.h"
#include "RandomGlyphs.h"
#include "ScreenLines.h"
#include "Verdict.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using engine::AreaImage;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

struct Case {
    std::string name;
    std::string pairKey; // the same line in another colour scheme shares it
    bool lightOnDark = false;
    AreaImage image;
    ChrTempList templates;
};

// Random glyphs th high, drawn at random rows: the kind of line the first
// measurements used.
Case Synthetic(int width, int height, int count, int th, unsigned seed) {
    std::mt19937 rng(seed + 1000);
    Case c;
    c.templates = glyphs::RandomGlyphs(count, th, seed);
    c.image = AreaImage(width, height, 0x00E8E8E0);
    for (int x = 2; x + 7 < width - 16;) {
        const auto& t = c.templates[rng() % c.templates.size()];
        const int v = static_cast<int>(rng() % static_cast<unsigned>(std::max(1, height - th)));
        for (int r = 0; r < t.height(); ++r)
            for (int k = 0; k < t.width(); ++k)
                if (t.dot(k, r) == 1.0f) c.image.setPixel(x + k, v + r, 0x00302020);
        x += t.width();
    }
    c.name = "synthetic " + std::to_string(width) + "x" + std::to_string(height) + " g" +
             std::to_string(count) + " th" + std::to_string(th);
    return c;
}

Case FontLine(const std::string& font, int scheme, int width, int group, lines::Variant variant) {
    const lines::BitmapFont& f = lines::Font(font);
    const lines::Scheme& s = lines::kSchemes[scheme];
    // Slack, row and text depend on the font and width only, so the three
    // schemes show the same line.
    const unsigned seed = static_cast<unsigned>(std::hash<std::string>{}(font) % 1000) +
                          static_cast<unsigned>(width) + static_cast<unsigned>(group) * 7;
    const int slack = 2 + static_cast<int>(seed % 5);
    const int row = static_cast<int>((seed / 5) % static_cast<unsigned>(slack));
    const auto chars = lines::GroupChars(group);
    Case c;
    c.image = lines::DrawLine(f, s, chars, width, slack, row, variant, seed).image;
    c.templates = lines::CutGroup(f, chars, s);
    c.lightOnDark = s.lightOnDark;
    char name[128];
    std::snprintf(name, sizeof name, "%-5s %-14s %4dx%-2d g%-3d %s", font.c_str(), s.name, width,
                  c.image.height, group, lines::VariantName(variant));
    c.name = name;
    std::snprintf(name, sizeof name, "%s %d %d %d", font.c_str(), width, group,
                  static_cast<int>(variant));
    c.pairKey = name;
    return c;
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    const int widths[] = {100, 400, 1920};
    for (const char* font : lines::kFontNames)
        for (int s = 0; s < 3; ++s)
            for (const int w : widths)
                cases.push_back(FontLine(font, s, w, 14, lines::Variant::Clean));
    for (const int group : {4, 40, 100})
        for (const char* font : {"6x13", "9x15"})
            for (const int s : {0, 2})
                for (const int w : widths)
                    cases.push_back(FontLine(font, s, w, group, lines::Variant::Clean));
    for (const auto variant : {lines::Variant::Noise, lines::Variant::NearMiss}) {
        for (const char* font : {"5x7", "8x13", "10x20"})
            for (int s = 0; s < 3; ++s)
                cases.push_back(FontLine(font, s, 400, 14, variant));
        for (int s = 0; s < 3; ++s)
            for (const int w : {100, 1920})
                cases.push_back(FontLine("6x13", s, w, 14, variant));
    }
    cases.push_back(Synthetic(400, 24, 14, 24 / 2 + 2, 11));
    cases.push_back(Synthetic(1920, 32, 14, 32 / 2 + 2, 12));
    cases.push_back(Synthetic(400, 24, 4, 24 / 2 + 2, 13));
    cases.push_back(Synthetic(400, 24, 14, 24 - 3, 14));
    return cases;
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Median time of one call, from `samples` samples of enough calls each to
// last about a millisecond.
double TimeOf(const std::function<void()>& f, int samples, double sampleSeconds) {
    double t0 = ThreadSeconds();
    f();
    const double once = std::max(1e-7, ThreadSeconds() - t0);
    const int calls = std::max(1, static_cast<int>(sampleSeconds / once));
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        t0 = ThreadSeconds();
        for (int i = 0; i < calls; ++i)
            f();
        times.push_back((ThreadSeconds() - t0) / calls);
    }
    return Median(times);
}

struct Result {
    const Case* c;
    std::vector<double> reader, judged, literal; // one median per run
    std::size_t chars = 0;
    bool complete = true;
    bool same = true;

    double readerTime() const { return Median(reader); }
    double judgedTime() const { return Median(judged); }
    double literalTime() const { return Median(literal); }
    double ratio() const { return literalTime() / readerTime(); }
    // What the verdict adds to the reading, as a share of the reading alone.
    double added() const { return judgedTime() / readerTime() - 1; }
};

// One pass over the cases: the reader's and the literal engine's median
// time per picture, into the results.
void Measure(std::vector<Result>& results, int samples, bool withLiteral) {
    for (Result& r : results) {
        const Case& c = *r.c;
        engine::AreaReader reader(c.templates);
        const auto chars = reader.readChars(c.image);
        r.chars = chars.size();
        r.complete = reader.readJudged(c.image).unread.empty();
        // Alternately, so that a slow spell of the machine hits both alike.
        std::vector<double> alone, judged;
        for (int k = 0; k < 3; ++k) {
            alone.push_back(TimeOf([&] { reader.readChars(c.image); }, samples, 1e-3));
            judged.push_back(TimeOf([&] { reader.readJudged(c.image); }, samples, 1e-3));
        }
        r.reader.push_back(Median(alone));
        r.judged.push_back(Median(judged));
        if (!withLiteral) continue;
        std::vector<literal::Found> expected;
        r.literal.push_back(
            TimeOf([&] { expected = literal::RunChars(c.image, c.templates); }, samples, 0));
        std::vector<literal::Found> got;
        for (const auto& ch : chars)
            got.push_back({ch.index, ch.left, ch.column, ch.row});
        r.same = r.same && got == expected;
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// The summary: per width, the worst case, light-on-dark against
// dark-on-light, and the targets.
void Summary(const std::vector<Result>& results, bool withLiteral) {
    std::printf("\nper width (median of the reader's times against the median of the literal "
                "engine's, over the same cases):\n");
    std::map<int, std::vector<const Result*>> byWidth;
    for (const Result& r : results)
        byWidth[r.c->image.width].push_back(&r);
    double worstWidthRatio = 1e300;
    for (const auto& [w, rs] : byWidth) {
        std::vector<double> a, b;
        for (const Result* r : rs)
            a.push_back(r->readerTime()), b.push_back(r->literalTime());
        const double ratio = Median(b) / Median(a);
        worstWidthRatio = std::min(worstWidthRatio, ratio);
        std::printf("  width %4d: %3zu cases, reader %8.2f us, literal %10.1f us, ratio %6.0fx\n",
                    w, rs.size(), Median(a) * 1e6, Median(b) * 1e6, withLiteral ? ratio : 0.0);
    }
    const Result* worst = &results.front();
    const Result* slowest = &results.front();
    for (const Result& r : results) {
        if (withLiteral && r.ratio() < worst->ratio()) worst = &r;
        if (r.readerTime() > slowest->readerTime()) slowest = &r;
    }
    if (withLiteral)
        std::printf("  worst case: %s  %.0fx\n", worst->c->name.c_str(), worst->ratio());
    std::printf("  slowest read: %s  %.2f us\n", slowest->c->name.c_str(),
                slowest->readerTime() * 1e6);

    // Light-on-dark against the same line dark-on-light.
    std::map<std::string, std::pair<double, double>> pairs; // black-on-white, white-on-navy
    for (const Result& r : results) {
        if (r.c->pairKey.empty()) continue;
        if (r.c->name.find(lines::kSchemes[0].name) != std::string::npos)
            pairs[r.c->pairKey].first = r.readerTime();
        if (r.c->lightOnDark) pairs[r.c->pairKey].second = r.readerTime();
    }
    double worstPair = 0;
    std::string worstPairName;
    for (const auto& [key, p] : pairs)
        if (p.first > 0 && p.second > 0 && p.second / p.first > worstPair)
            worstPair = p.second / p.first, worstPairName = key;
    if (worstPair > 0)
        std::printf("  light-on-dark / the same line dark-on-light, worst: %.2f (%s)\n", worstPair,
                    worstPairName.c_str());

    std::printf("\ntargets:\n");
    if (withLiteral) {
        std::printf("  every width's median at least 300x the literal engine: %s (lowest %.0fx)\n",
                    Verdict(worstWidthRatio >= 300), worstWidthRatio);
        std::printf("  no case below 150x: %s (lowest %.0fx)\n", Verdict(worst->ratio() >= 150),
                    worst->ratio());
    }
    if (worstPair > 0)
        std::printf("  light-on-dark at most twice dark-on-light: %s (%.2f)\n",
                    Verdict(worstPair <= 2), worstPair);
    for (const Result& r : results)
        if (r.c->name.rfind("synthetic 1920x32 g14", 0) == 0) {
            std::printf("  1920x32 with 14 templates under 100 us (aim 50): %s (%.2f us)\n",
                        Verdict(r.readerTime() < 100e-6), r.readerTime() * 1e6);
            std::printf("  the verdict adds at most 10 %% there: %s (%.2f us with it, %+.1f %%)\n",
                        Verdict(r.added() <= 0.10), r.judgedTime() * 1e6, r.added() * 100);
        }

    // The verdict over every case: its share of the reading.
    std::vector<double> shares;
    const Result* most = &results.front();
    for (const Result& r : results) {
        shares.push_back(r.added());
        if (r.added() > most->added()) most = &r;
    }
    std::printf(
        "\nthe verdict's share of the reading: median %+.1f %%, worst %+.1f %% (%s, %.2f us "
        "alone, %.2f us with it)\n",
        Median(shares) * 100, most->added() * 100, most->c->name.c_str(), most->readerTime() * 1e6,
        most->judgedTime() * 1e6);
}

// Preparing a group, as the main window's Init does once per load.
void Preparation(int samples) {
    std::printf("\npreparing a group (AreaReader construction, the list copied in):\n");
    for (const int group : {4, 14, 40, 100}) {
        std::vector<double> times;
        for (const char* font : lines::kFontNames) {
            const auto list =
                lines::CutGroup(lines::Font(font), lines::GroupChars(group), lines::kSchemes[2]);
            times.push_back(TimeOf([&] { engine::AreaReader r(list); }, samples, 1e-3));
        }
        const double slowest = *std::max_element(times.begin(), times.end());
        std::printf("  %3d templates: median over the fonts %7.2f us, slowest %7.2f us", group,
                    Median(times) * 1e6, slowest * 1e6);
        if (group == 14) std::printf("   (target under 20 us: %s)", Verdict(slowest < 20e-6));
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    int samples = 5, runs = 1;
    std::string filter;
    bool withLiteral = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--samples" && i + 1 < argc) {
            samples = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--filter" && i + 1 < argc) {
            filter = argv[++i];
        } else if (a == "--no-literal") {
            withLiteral = false;
        } else if (a == "--plain") {
            engine::cpu::AllowExtensions(false); // the paths for processors without AVX2 and POPCNT
        } else if (a == "--repeat" && i + 2 < argc) {
            // Reader only, for instruction counts under callgrind or perf.
            const std::string which = argv[i + 1];
            const int n = std::atoi(argv[i + 2]);
            std::size_t chars = 0;
            for (const Case& c : AllCases()) {
                if (c.name.find(which) == std::string::npos) continue;
                engine::AreaReader reader(c.templates);
                for (int k = 0; k < n; ++k)
                    chars += reader.readChars(c.image).size();
                std::printf("%s\n", c.name.c_str());
            }
            std::printf("%zu characters\n", chars);
            return 0;
        } else if (a == "--build" && i + 2 < argc) {
            // Preparing the group of 14 digits cut from one font, N times.
            const auto list = lines::CutGroup(lines::Font(argv[i + 1]), lines::GroupChars(14),
                                              lines::kSchemes[2]);
            const int n = std::atoi(argv[i + 2]);
            std::size_t sum = 0;
            for (int k = 0; k < n; ++k)
                sum += engine::AreaReader(list).templates().size();
            std::printf("%zu\n", sum);
            return 0;
        } else {
            std::fprintf(
                stderr,
                "usage: %s [--runs N] [--samples N] [--filter TEXT] [--no-literal] [--plain]\n"
                "       %s --repeat TEXT N   (reads only)\n"
                "       %s --build FONT N    (prepares the digits of FONT only)\n",
                argv[0], argv[0], argv[0]);
            return 1;
        }
    }

    const std::vector<Case> cases = AllCases();
    std::vector<Result> results;
    for (const Case& c : cases)
        if (filter.empty() || c.name.find(filter) != std::string::npos)
            results.push_back({&c, {}, {}, {}});
    for (int run = 0; run < runs; ++run) {
        if (runs > 1) std::fprintf(stderr, "run %d of %d\n", run + 1, runs);
        Measure(results, samples, withLiteral);
    }

    std::printf("%-50s %5s %11s %11s %8s %11s %9s\n", "case (font scheme area group variant)",
                "chars", "reader us", "+verdict us", "added", "literal us", "ratio");
    for (const Result& r : results)
        std::printf("%-50s %5zu %11.2f %11.2f %+7.1f%% %11.1f %8.0fx%s%s\n", r.c->name.c_str(),
                    r.chars, r.readerTime() * 1e6, r.judgedTime() * 1e6, r.added() * 100,
                    r.literalTime() * 1e6, withLiteral ? r.ratio() : 0.0,
                    r.complete ? "" : "  incomplete", r.same ? "" : "  DIFFERENT ANSWER");
    if (!results.empty()) Summary(results, withLiteral);
    Preparation(samples);

    bool same = true;
    for (const Result& r : results)
        same = same && r.same;
    if (!same) std::printf("\nSOME ANSWERS DIFFER FROM THE LITERAL ENGINE\n");
    return same ? 0 : 2;
}
