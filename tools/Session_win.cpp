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

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back(); // the terminating NUL
    return out;
}

} // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < n; ++i)
        args.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return args;
}

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
