// From a key let go to what the user sees, on a real X server, through
// XTest key events the server takes as any keyboard's:
//   keylatency read X Y W H N
//       Alt held 150 ms (long enough for a watch that looks every 100 ms)
//       N times (after one press to learn the answer): the time from Alt's
//       release to the screen rectangle X,Y WxH (the answer box)
//       showing the answer exactly as learnt; Alt+W closes the window again.
//   keylatency quick FILE N KEY...
//       the combination (e.g. ctrl shift F10) pressed N times: the time from
//       its press (it acts as it goes down) to one more line in FILE; a press that adds no line or
//       two is counted as lost or doubled.
//   keylatency typed FILE N BYTES
//       Alt, then Alt+W N times, while another program's text window has the
//       focus: the time from W going down to FILE (that window's text) BYTES
//       longer, the answer typed there once the main window has closed.
// Presses come 50 to 150 ms apart at random, so that they fall anywhere
// between two looks of a watch that polls. Prints each time in ms, then the
// median, the 95th percentile and the worst; exit 1 when a press was lost
// or doubled.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kAltHold = 150; // ms

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Keys {
    Display* d;
    // Pressed in order, let go in reverse; when each was with the server.
    Clock::time_point down(const std::vector<KeySym>& combination) {
        for (KeySym s : combination)
            XTestFakeKeyEvent(d, XKeysymToKeycode(d, s), True, 0);
        XFlush(d);
        const auto t = Clock::now();
        XSync(d, False);
        return t;
    }
    Clock::time_point up(const std::vector<KeySym>& combination) {
        for (auto s = combination.rbegin(); s != combination.rend(); ++s)
            XTestFakeKeyEvent(d, XKeysymToKeycode(d, *s), False, 0);
        XFlush(d);
        const auto t = Clock::now();
        XSync(d, False);
        return t;
    }
    // Held for a while; when it was let go.
    Clock::time_point tap(const std::vector<KeySym>& combination, int holdMs) {
        down(combination);
        Sleep(holdMs);
        return up(combination);
    }
};

// The rectangle's pixels as they are on the screen now.
std::vector<unsigned long> Pixels(Display* d, int x, int y, int w, int h) {
    std::vector<unsigned long> out;
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!image) return out;
    out.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.push_back(XGetPixel(image, i, j));
    XDestroyImage(image);
    return out;
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

long long FileSize(const char* path) {
    struct stat s {};
    return ::stat(path, &s) == 0 ? static_cast<long long>(s.st_size) : 0;
}

int Report(std::vector<double> times, int lost, int doubled) {
    for (double t : times)
        std::printf("%.2f\n", t);
    if (times.empty()) {
        std::printf("no press measured; lost %d, doubled %d\n", lost, doubled);
        return 1;
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) {
        return times[std::min(times.size() - 1,
                              static_cast<std::size_t>(q * (times.size() - 1) + 0.5))];
    };
    std::printf("presses %zu  median %.2f ms  p95 %.2f ms  worst %.2f ms  lost %d  doubled %d\n",
                times.size(), at(0.5), at(0.95), times.back(), lost, doubled);
    return lost + doubled > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    int ev = 0, er = 0, major = 0, minor = 0;
    if (!d || !XTestQueryExtension(d, &ev, &er, &major, &minor)) {
        std::fputs("keylatency: no X server with XTest\n", stderr);
        return 2;
    }
    Keys keys{d};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gap(50, 150);
    std::vector<double> times;
    int lost = 0, doubled = 0;

    if (argc == 7 && std::strcmp(argv[1], "read") == 0) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]),
                  h = std::atoi(argv[5]), n = std::atoi(argv[6]);
        const auto closed = Pixels(d, x, y, w, h);
        // The answer as the first press shows it, once everything settled.
        keys.tap({XK_Alt_L}, kAltHold);
        Sleep(2000);
        const auto answer = Pixels(d, x, y, w, h);
        if (answer == closed) {
            std::fputs("keylatency: the rectangle showed nothing after Alt\n", stderr);
            return 2;
        }
        const auto shows = [&](const std::vector<unsigned long>& p) {
            return [&, p] { return Pixels(d, x, y, w, h) == p; };
        };
        const auto close = [&] {
            keys.tap({XK_Alt_L, XK_w}, 20);
            return WaitUntil([&] { return Pixels(d, x, y, w, h) != answer; }, 3000);
        };
        if (!close()) return 2;
        for (int i = 0; i < n; ++i) {
            Sleep(gap(random));
            const auto released = keys.tap({XK_Alt_L}, kAltHold);
            if (!WaitUntil(shows(answer), 3000)) {
                ++lost;
                std::fprintf(stderr, "press %d: no answer within 3 s\n", i);
                continue;
            }
            times.push_back(Ms(Clock::now() - released));
            Sleep(20);
            if (!close()) return 2;
        }
        return Report(times, lost, doubled);
    }
    if (argc >= 5 && std::strcmp(argv[1], "quick") == 0) {
        const char* file = argv[2];
        // How long the combination is held (KEYLATENCY_HOLD ms, default 20).
        const char* hold = std::getenv("KEYLATENCY_HOLD");
        const int quickHold = hold ? std::atoi(hold) : 20;
        const int n = std::atoi(argv[3]);
        std::vector<KeySym> combination;
        for (int i = 4; i < argc; ++i) {
            const std::string k = argv[i];
            combination.push_back(k == "ctrl"    ? XK_Control_L
                                  : k == "shift" ? XK_Shift_L
                                  : k == "alt"   ? XK_Alt_L
                                                 : XStringToKeysym(argv[i]));
        }
        for (int i = 0; i < n; ++i) {
            Sleep(gap(random));
            const long long before = FileSize(file);
            // The quick key acts as it goes down: timed from there, and let
            // go once the line is there (held at least quickHold ms).
            const auto pressed = keys.down(combination);
            const bool written = WaitUntil([&] { return FileSize(file) > before; }, 3000);
            const auto seen = Clock::now();
            const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(seen - pressed);
            if (held.count() < quickHold) Sleep(quickHold - static_cast<int>(held.count()));
            keys.up(combination);
            if (!written) {
                ++lost;
                std::fprintf(stderr, "press %d: no line within 3 s\n", i);
                continue;
            }
            times.push_back(Ms(seen - pressed));
            Sleep(30); // a second line would come meanwhile
            std::ifstream in(file, std::ios::binary);
            in.seekg(before);
            const std::string added((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            if (std::count(added.begin(), added.end(), '\n') != 1) {
                ++doubled;
                std::fprintf(stderr, "press %d: %zd lines\n", i,
                             std::count(added.begin(), added.end(), '\n'));
            }
        }
        return Report(times, lost, doubled);
    }
    if (argc == 5 && std::strcmp(argv[1], "typed") == 0) {
        const char* file = argv[2];
        const int n = std::atoi(argv[3]);
        const long long bytes = std::atoll(argv[4]);
        for (int i = 0; i < n; ++i) {
            Sleep(gap(random));
            keys.tap({XK_Alt_L}, kAltHold);
            Sleep(700); // the main window open, read, and active
            const long long before = FileSize(file);
            const auto pressed = keys.down({XK_Alt_L, XK_w});
            Sleep(20);
            keys.up({XK_Alt_L, XK_w});
            if (!WaitUntil([&] { return FileSize(file) >= before + bytes; }, 5000)) {
                ++lost;
                std::fprintf(stderr, "press %d: nothing typed within 5 s\n", i);
                continue;
            }
            times.push_back(Ms(Clock::now() - pressed));
            Sleep(50);
            if (FileSize(file) != before + bytes) {
                ++doubled;
                std::fprintf(stderr, "press %d: %lld bytes typed\n", i, FileSize(file) - before);
            }
        }
        return Report(times, lost, doubled);
    }
    std::fputs("usage: keylatency read X Y W H N | keylatency quick FILE N KEY... | "
               "keylatency typed FILE N BYTES\n",
               stderr);
    return 2;
}
