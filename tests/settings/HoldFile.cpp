// holdfile FILE MILLISECONDS SIGNAL: holds FILE open without sharing it (as
// an antivirus scanner or an editor may) for the time given, after creating
// the file SIGNAL to say that it holds it. A helper of the settings tests on
// Windows.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const HANDLE signal =
        CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (signal != INVALID_HANDLE_VALUE) CloseHandle(signal);
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    CloseHandle(file);
    return 0;
}
