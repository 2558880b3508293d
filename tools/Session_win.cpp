#include "Session.h"

#include "ConsoleText.h"

#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <ctime>
#include <iostream>

namespace tools::session {

namespace {

HANDLE g_stop = nullptr;                  // a manual-reset event, set by a stop request
volatile LONG g_requests = 0;             // stop requests so far
constexpr UINT kInterrupted = 0xC000013A; // STATUS_CONTROL_C_EXIT, as the console's Ctrl+C gives

BOOL WINAPI OnConsoleEvent(DWORD) {
    // The first request asks the watch to stop. A second one is for a
    // reader that hangs (in a write that nobody reads, say): it ends the
    // process at once, as a second Ctrl+C does on Linux. Not through
    // ExitProcess, whose clean-up would wait for the output that hangs.
    if (InterlockedIncrement(&g_requests) > 1) TerminateProcess(GetCurrentProcess(), kInterrupted);
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

bool IsConsole(HANDLE h) {
    DWORD mode = 0;
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

// The stream's text as wide text in the console window.
void ToConsole(std::ostream& stream, HANDLE console) {
    // Never freed: the standard streams are flushed at the very end.
    auto* buffer = new WideTextBuffer([console](std::u16string_view text) {
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
            if (!WriteConsoleW(console, text.data(), n, &written, nullptr) || written == 0)
                return false;
            text.remove_prefix(written);
        }
        return true;
    });
    stream.flush();
    stream.rdbuf(buffer);
}

// NtQueryInformationFile's view of a pipe end (FilePipeLocalInformation).
struct PipeLocalInformation {
    ULONG NamedPipeType, NamedPipeConfiguration, MaximumInstances, CurrentInstances, InboundQuota,
        ReadDataAvailable, OutboundQuota, WriteQuotaAvailable, NamedPipeState, NamedPipeEnd;
};
constexpr int kFilePipeLocalInformation = 24;
constexpr ULONG kPipeClosingState = 4;
constexpr ULONG kPipeDisconnectedState = 1;

using QueryInformationFile = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, int);

// Whether standard output is a pipe whose reader has gone. The pipe's own
// state says so where the system keeps it; a write of nothing, which a
// closed pipe refuses, tells the rest.
bool OutputReaderGone() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) != FILE_TYPE_PIPE)
        return false;
    static const auto query = reinterpret_cast<QueryInformationFile>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
    if (query) {
        IO_STATUS_BLOCK io{};
        PipeLocalInformation info{};
        if (query(out, &io, &info, sizeof info, kFilePipeLocalInformation) >= 0)
            return info.NamedPipeState == kPipeClosingState ||
                   info.NamedPipeState == kPipeDisconnectedState;
    }
    DWORD written = 0;
    if (WriteFile(out, "", 0, &written, nullptr)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE ||
           error == ERROR_PIPE_NOT_CONNECTED;
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

void SetUpOutput() {
    if (const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE); IsConsole(out))
        ToConsole(std::cout, out);
    if (const HANDLE err = GetStdHandle(STD_ERROR_HANDLE); IsConsole(err))
        ToConsole(std::cerr, err);
}

void CatchStopRequests() {
    if (!g_stop) g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool Wait(std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + duration;
    for (;;) {
        if (OutputReaderGone()) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return true;
        // In slices: a pipe gives no sign of its reader going away.
        const auto slice = static_cast<DWORD>(std::min<long long>(left, 100));
        if (g_stop) {
            if (WaitForSingleObject(g_stop, slice) != WAIT_TIMEOUT) return false;
        } else {
            Sleep(slice);
        }
    }
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
