// Small measurements with Google Benchmark: loading a group of templates
// from a large profile, preparing a reader for a group, and the scan of
// random glyphs three rows shorter than the area (few placements per window;
// engine_bench has the realistic lines).
//
//   build-bench/bench/engine_microbench --benchmark_repetitions=5
#include "AreaReader.h"
#include "ChrTemp.h"
#include "LiteralMatcher.h"
#include "ProfileLayout.h"
#include "ProfileStore.h"
#include "RandomGlyphs.h"
#include "TextCodec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

using engine::AreaImage;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

// Glyph cells 3 rows shorter than the area.
ChrTempList MakeGroup(int count, int areaHeight, unsigned seed) {
    return glyphs::RandomGlyphs(count, std::max(3, areaHeight - 3), seed);
}

AreaImage MakeArea(const ChrTempList& list, int width, int height, unsigned seed) {
    std::mt19937 rng(seed);
    AreaImage img(width, height, 0x00E8E8E0);
    int x = 2;
    while (x + 7 < width - 16) {
        const auto& t = list[rng() % list.size()];
        for (int r = 0; r < t.height(); ++r)
            for (int c = 0; c < t.width(); ++c)
                if (t.dot(c, r) == 1.0f) img.setPixel(x + c, 1 + r, 0x00302020);
        x += t.width();
    }
    return img;
}

void Scan(benchmark::State& state, bool fast) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const int count = static_cast<int>(state.range(2));
    const auto list = MakeGroup(count, height, 1);
    const auto img = MakeArea(list, width, height, 2);
    std::size_t chars = 0;
    // The templates are prepared once, when the group is loaded.
    engine::AreaReader reader(list);
    for (auto _ : state) {
        const auto answer = fast ? reader.read(img) : literal::Run(img, list);
        chars = answer.size();
        benchmark::DoNotOptimize(answer.data());
    }
    state.counters["chars"] = static_cast<double>(chars);
}

void BM_ScanFast(benchmark::State& state) {
    Scan(state, true);
}
void BM_ScanLiteral(benchmark::State& state) {
    Scan(state, false);
}

void ScanArgs(benchmark::internal::Benchmark* b) {
    for (int w : {100, 400, 1920})
        for (int h : {12, 24, 40})
            for (int t : {4, 14, 40})
                b->Args({w, h, t});
    b->Args({1920, 32, 14});
    b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_ScanFast)->Apply(ScanArgs);
BENCHMARK(BM_ScanLiteral)->Apply(ScanArgs)->Iterations(10);

// Preparing a reader for a group, once per load of the main window.
void BM_ReaderBuild(benchmark::State& state) {
    const auto list = MakeGroup(static_cast<int>(state.range(0)), 24, 1);
    for (auto _ : state) {
        engine::AreaReader reader(list);
        benchmark::DoNotOptimize(&reader);
    }
}
BENCHMARK(BM_ReaderBuild)->Arg(4)->Arg(14)->Arg(40)->Arg(100)->Unit(benchmark::kMicrosecond);

// A 100 KB profile: the group of 14 templates among many other sections;
// in CP932, or the same text in UTF-16 LE (twice the bytes).
std::filesystem::path MakeProfile(bool utf16) {
    const auto dir = std::filesystem::temp_directory_path() / "tirelma-bench";
    std::filesystem::create_directories(dir);
    const auto path = dir / "Kavoren.ini";
    std::ostringstream f;
    std::string chars;
    for (int g = 0; g < 12; ++g) {
        std::string list;
        for (int c = 0; c < 14; ++c) {
            const std::string name(1, static_cast<char>('0' + c % 10 + (c >= 10 ? 17 : 0)));
            f << "[G" << g << "ChrDat" << name << "]\r\nCHR=" << name << "\r\nX=7\r\nY=16\r\n";
            for (int r = 0; r < 16; ++r)
                f << "BL" << r << "= " << ((r * 37 + c) % 64) << "\r\n";
            list += (list.empty() ? "" : "\\\\") + name;
        }
        chars += "G" + std::to_string(g) + "ALLCHR=" + list + "\r\n";
    }
    for (int i = 0; f.tellp() < 100 * 1024 - 200; ++i)
        f << "[Filler" << i << "]\r\nCOMMENT=padding of a large profile file\r\n";
    f << "[Chr]\r\n" << chars;
    std::string bytes = f.str();
    if (utf16) {
        const std::u16string text(bytes.begin(), bytes.end()); // ASCII only
        bytes = std::string(settings::kUtf16LeBom) +
                settings::Utf16Bytes(settings::FileEncoding::Utf16Le, text);
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void BM_LoadGroup(benchmark::State& state) {
    const auto path = MakeProfile(state.range(1) != 0);
    store::ProfileStore profile(path);
    const bool touched = state.range(0) != 0;
    std::size_t n = 0;
    for (auto _ : state) {
        if (touched) {
            // The file changed since the last load: parse it again.
            state.PauseTiming();
            std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now());
            state.ResumeTiming();
        }
        n = modTemp::LoadChrTempList(7, profile.source()).templates.size();
    }
    state.counters["templates"] = static_cast<double>(n);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_LoadGroup)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"changed", "utf16"})
    ->Unit(benchmark::kMicrosecond);

// Prints literal / fast for every scan size measured in this run, from the
// medians of the repetitions (--benchmark_repetitions=N); the machine's noise
// moves single runs a lot.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            if (r.run_type != Run::RT_Iteration) continue;
            const std::string name = r.benchmark_name();
            const auto slash = name.find('/');
            const std::string kind = name.substr(0, slash);
            std::string args = name.substr(slash + 1);
            args = args.substr(0, args.find("/iterations"));
            args = args.substr(0, args.find("/repeats"));
            if (kind == "BM_ScanFast") fast_[args].push_back(r.GetAdjustedRealTime());
            if (kind == "BM_ScanLiteral") literal_[args].push_back(r.GetAdjustedRealTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nliteral / fast, medians (width/height/templates):\n");
        for (auto& [args, f] : fast_)
            if (auto it = literal_.find(args); it != literal_.end())
                std::printf("  %-14s %8.0fx   fast %9.2f us   literal %10.1f us\n", args.c_str(),
                            Median(it->second) / Median(f), Median(f), Median(it->second));
    }

private:
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    std::map<std::string, std::vector<double>> fast_, literal_;
};

} // namespace

int main(int argc, char** argv) {
    // "--repeat W H T N": N fast scans only, for instruction counts under
    // callgrind, which are steady whatever else the machine is doing.
    if (argc == 6 && std::string(argv[1]) == "--repeat") {
        const auto list = MakeGroup(std::atoi(argv[4]), std::atoi(argv[3]), 1);
        const auto img = MakeArea(list, std::atoi(argv[2]), std::atoi(argv[3]), 2);
        std::size_t n = 0;
        engine::AreaReader reader(list);
        for (int i = 0; i < std::atoi(argv[5]); ++i)
            n += reader.read(img).size();
        std::printf("%zu\n", n);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
