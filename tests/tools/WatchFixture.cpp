// watchfixture: runs a command line with its standard output into a pipe of
// this program, as a console pipeline would, and tells what becomes of it.
// A helper of the reader's tests on Windows.
//
//   watchfixture close COMMAND
//       reads the first line the command prints, then closes the pipe (as
//       `tirelma-read --screen --watch 1 | findstr x` does when findstr
//       ends) and waits for the command to end.
//   watchfixture interrupt REPORT COMMAND
//       never reads the pipe, so that the command hangs in writing its
//       first line, and waits for it to end, counting the Ctrl+C that the
//       console sends meanwhile (the test types them); writes what happens
//       to the file REPORT: "hangs" once the command is stuck in its write,
//       then "ended after N Ctrl+C" or "still running after N Ctrl+C".
//
// Prints (or reports) what happened, one fact a line; exits with 0 when the
// command ended as it should (in interrupt mode: at the second Ctrl+C), 1
// when not (the command is then ended by force), 2 when the test could not be
// set up.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

PROCESS_INFORMATION Start(const wchar_t* command, HANDLE out, DWORD flags) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring line = command;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &si,
                        &pi))
        pi.hProcess = nullptr;
    return pi;
}

bool Ended(HANDLE process, DWORD ms) {
    return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
}

int Finish(const PROCESS_INFORMATION& pi, bool ok) {
    DWORD code = 0;
    if (!ok) TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 10000);
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit code: 0x%lX\n", static_cast<unsigned long>(code));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ok ? 0 : 1;
}

volatile LONG g_interrupts = 0;

BOOL WINAPI CountInterrupt(DWORD) {
    InterlockedIncrement(&g_interrupts);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring mode = argv[1];
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    // A buffer of one byte: a line that nobody reads does not fit.
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, mode == L"interrupt" ? 1 : 0)) return 2;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    if (mode == L"close" && argc == 3) {
        const PROCESS_INFORMATION pi = Start(argv[2], writeEnd, 0);
        CloseHandle(writeEnd);
        if (!pi.hProcess) return 2;
        std::string line;
        char c = 0;
        DWORD n = 0;
        while (line.find('\n') == std::string::npos && ReadFile(readEnd, &c, 1, &n, nullptr) && n)
            line += c;
        std::printf("first line: %s", line.c_str());
        CloseHandle(readEnd);
        const ULONGLONG closed = GetTickCount64();
        const bool ended = Ended(pi.hProcess, 10000);
        std::printf("ended after the pipe closed: %s (%llu ms)\n", ended ? "yes" : "no",
                    GetTickCount64() - closed);
        return Finish(pi, ended);
    }
    if (mode == L"interrupt" && argc == 4) {
        FILE* report = _wfopen(argv[2], L"w");
        if (!report) return 2;
        // This program only counts the Ctrl+C; the command, on the same
        // console, gets them too.
        SetConsoleCtrlHandler(CountInterrupt, TRUE);
        const PROCESS_INFORMATION pi = Start(argv[3], writeEnd, 0);
        if (!pi.hProcess) return 2;
        // Stuck once its first line waits in the pipe: by then it has said
        // how it takes a Ctrl+C.
        DWORD waiting = 0;
        for (int i = 0; i < 600 && waiting == 0 && !Ended(pi.hProcess, 100); ++i)
            PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr);
        if (waiting == 0) {
            std::fprintf(report, "never wrote\n");
            std::fclose(report);
            return Finish(pi, false);
        }
        std::fprintf(report, "hangs\n");
        std::fflush(report);
        const bool ended = Ended(pi.hProcess, 60000);
        Sleep(1000); // the Ctrl+C that ended it reaches this program too
        const LONG seen = g_interrupts;
        std::fprintf(report, "%s after %ld Ctrl+C\n", ended ? "ended" : "still running", seen);
        std::fclose(report);
        return Finish(pi, ended && seen == 2);
    }
    return 2;
}
