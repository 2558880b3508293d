#include "Locations.h"

#include <windows.h>

#include <string>

namespace settings {

namespace {

std::u16string Environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    if (got == 0 || got >= n) return {};
    value.resize(got);
    return std::u16string(value.begin(), value.end());
}

} // namespace

std::optional<std::filesystem::path> UserProfileFolder() {
    std::u16string appData = Environment(L"APPDATA");
    if (appData.empty()) {
        const std::u16string home = Environment(L"USERPROFILE");
        if (!home.empty()) appData = home + u"\\AppData\\Roaming";
    }
    return AppDataProfileFolder(appData);
}

bool FolderWritable(const std::filesystem::path& folder) {
    // The access bits of a folder say little on Windows (Program Files is
    // refused by its access list): try to create a file there, removed when
    // its handle closes.
    const std::filesystem::path probe =
        folder / (L"tirelma-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

} // namespace settings
