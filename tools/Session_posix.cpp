#include "Session.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace tools::session {

namespace {

volatile std::sig_atomic_t g_stop = 0;
int g_wake[2] = {-1, -1}; // a signal writes a byte, the wait polls for it

void OnStop(int) {
    g_stop = 1;
    if (g_wake[1] >= 0) {
        const int saved = errno;
        [[maybe_unused]] const auto n = ::write(g_wake[1], "x", 1);
        errno = saved;
    }
}

} // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

void SetUpOutput() {}

void CatchStopRequests() {
    if (g_wake[0] < 0 && ::pipe(g_wake) == 0) {
        for (int fd : g_wake) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction sa {};
    sa.sa_handler = OnStop;
    sa.sa_flags = SA_RESETHAND; // a second Ctrl+C ends a reader that hangs
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

bool Wait(std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + duration;
    // A pipe whose reader has gone reports an error on its writing end even
    // while nothing is written.
    pollfd fds[2] = {{g_wake[0], POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
    for (;;) {
        if (g_stop) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        const int n = ::poll(fds, 2, left > 0 ? static_cast<int>(left) : 0);
        if (g_stop) return false;
        if (n > 0 && (fds[1].revents & (POLLERR | POLLHUP))) return false;
        if (n > 0 && (fds[1].revents & POLLNVAL)) fds[1].fd = -1; // no output at all
        if (left <= 0) return true;
        if (n < 0 && errno != EINTR) {
            ::usleep(static_cast<useconds_t>(std::min<long long>(left, 1000) * 1000));
        }
    }
}

LocalTime Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{}, utc{};
    ::localtime_r(&t, &local);
    ::gmtime_r(&t, &utc);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    return ToLocalTime(local, utc, static_cast<int>(((ms.count() % 1000) + 1000) % 1000));
}

} // namespace tools::session
