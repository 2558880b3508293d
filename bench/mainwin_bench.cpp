// From the Alt tick to the answer in the main window: the main window loads
// (settings, area, a group of 14 templates from the profile), shows, grabs a
// 400 x 24 area and reads it. Runs offscreen with a screen in memory; with
// --x11 (under an X server) the grab is a real one of the root window.
// BM_AltToAnswer/areas/groups: the area alone (1), or with two fields read in
// the same press (3), sharing its group (1) or each with a group of its own
// (3: three groups loaded); "worst_ms" is the slowest single press.
//
//   build/bench/mainwin_bench [--x11] [--benchmark_repetitions=5]
#include "Fakes.h"
#include "Platform.h"
#include "ProfileLayout.h"
#include "ProfileStore.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

platform::Platform* g_platform = nullptr;
fakes::FakePlatform* g_fake = nullptr;

// A group of 14 glyph cells, 7 x 21, written to the profile as the editor
// would, and a line of them drawn where the area is.
void MakeProfileAndScreen(store::ProfileStore& ini, int areas = 1, int groups = 1) {
    using namespace profile;
    ini.IniWrite(kEndData, kArea, u"Bench");
    for (int a = 0; a < areas; ++a) {
        const std::u16string name = a == 0 ? u"Bench" : u"Bench" + Decimal(a);
        ini.IniWrite(kAriaList, ListKey(a), name);
        const auto s = AreaSection(name);
        ini.IniWrite(s, kChrGrop, SignedNumberText(groups > 1 ? a : 0));
        ini.IniWrite(s, kLeft, u"600");
        ini.IniWrite(s, kTop, Decimal(400 + 30 * a));
        ini.IniWrite(s, kWidth, u"400");
        ini.IniWrite(s, kHeight, u"24");
        if (a > 0) ini.IniWrite(AreaSection(u"Bench"), FieldKey(a - 1), name);
    }
    std::mt19937 rng(7);
    std::vector<std::vector<std::int32_t>> glyphs;
    std::vector<std::u16string> names;
    for (int i = 0; i < 14; ++i) {
        const std::u16string name(1, static_cast<char16_t>(u'0' + i));
        std::vector<std::int32_t> rows(21, 0);
        for (int r = 1; r < 20; ++r)
            for (int c = 0; c < 6; ++c)
                if (rng() % 100 < 40) rows[static_cast<std::size_t>(r)] |= 1 << c;
        for (int g = 0; g < groups; ++g) {
            const auto sec = CharSection(g, name);
            ini.IniWrite(sec, kChr, name);
            ini.IniWrite(sec, kX, u"7");
            ini.IniWrite(sec, kY, u"21");
            for (int r = 0; r < 21; ++r)
                ini.IniWrite(sec, RowKey(r), SignedNumberText(rows[static_cast<std::size_t>(r)]));
        }
        glyphs.push_back(rows);
        names.push_back(name);
    }
    for (int g = 0; g < groups; ++g)
        ini.IniWrite(kChrSection, CharListKey(g), JoinCharList(names));
    {
        QImage line(400, 24, QImage::Format_RGB32);
        line.fill(QColor(235, 235, 220));
        for (int x = 2, i = 0; x + 7 < 400 - 16; x += 7, ++i)
            for (int r = 0; r < 21; ++r)
                for (int c = 0; c < 7; ++c)
                    if ((glyphs[static_cast<std::size_t>(i % 14)][static_cast<std::size_t>(r)] >>
                         c) &
                        1)
                        line.setPixel(x + c, 1 + r, qRgb(30, 30, 40));
        if (g_fake) {
            for (int a = 0; a < areas; ++a)
                g_fake->paint(line, QPoint(600, 400 + 30 * a));
        } else {
            // On a real screen: a frameless window showing the line there.
            static QLabel* shown = nullptr;
            delete shown;
            shown = new QLabel;
            shown->setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
            QImage lines(400, 30 * areas, QImage::Format_RGB32);
            lines.fill(Qt::white);
            for (int a = 0; a < areas; ++a)
                for (int y = 0; y < line.height(); ++y)
                    for (int x = 0; x < line.width(); ++x)
                        lines.setPixel(x, 30 * a + y, line.pixel(x, y));
            shown->setPixmap(QPixmap::fromImage(lines));
            shown->setFixedSize(lines.size());
            shown->move(600, 400);
            shown->show();
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
}

void BM_AltToAnswer(benchmark::State& state) {
    QTemporaryDir dir;
    store::ProfileStore ini(dir.filePath(QStringLiteral("Kavoren.ini")).toStdU16String());
    MakeProfileAndScreen(ini, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    fakes::FakeDialogs dialogs;
    engine::GroupReaders readers; // the tray's, kept from one Alt to the next
    std::size_t chars = 0;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer press;
        press.start();
        mainwin::frmMain w(*g_platform, dialogs, ini, readers); // as the tray opens it
        w.show();
        auto* kotae = w.findChild<QLineEdit*>(QStringLiteral("txtKotae"));
        QElapsedTimer waited;
        waited.start();
        while (kotae->text().isEmpty() && w.isVisible() && waited.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        chars = static_cast<std::size_t>(kotae->text().size());
        worst = std::max(worst, static_cast<double>(press.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        w.hide();
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(chars);
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_AltToAnswer)
    ->Args({1, 1})
    ->Args({3, 1})
    ->Args({3, 3})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

void BM_GrabArea(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(g_platform->grabScreen(QRect(600, 400, 400, 24)));
}
BENCHMARK(BM_GrabArea)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    bool x11 = false;
    for (int i = 1; i < argc; ++i)
        x11 = x11 || std::string(argv[i]) == "--x11";
    if (!x11) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::unique_ptr<platform::Platform> real;
    fakes::FakePlatform fake;
    if (x11) {
        real = platform::CreatePlatform();
        g_platform = real.get();
    } else {
        g_fake = &fake;
        g_platform = &fake;
    }
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) != "--x11") args.push_back(argv[i]);
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
