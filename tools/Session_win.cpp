#include "Session.h"

#include <windows.h>

#include <ctime>

namespace tools::session {

namespace {

HANDLE g_stop = nullptr; // a manual-reset event, set by a stop request

BOOL WINAPI OnConsoleEvent(DWORD) {
    if (g_stop) SetEvent(g_stop);
    return TRUE;
}

} // namespace

void CatchStopRequests() {
    if (!g_stop) g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool Wait(std::chrono::milliseconds duration) {
    const auto ms = duration.count() > 0 ? static_cast<DWORD>(duration.count()) : 0;
    if (!g_stop) {
        Sleep(ms);
        return true;
    }
    return WaitForSingleObject(g_stop, ms) == WAIT_TIMEOUT;
}

LocalTime Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{}, utc{};
    localtime_s(&local, &t);
    gmtime_s(&utc, &t);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    return ToLocalTime(local, utc, static_cast<int>(((ms.count() % 1000) + 1000) % 1000));
}

} // namespace tools::session
