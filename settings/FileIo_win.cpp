#include "FileIo.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace settings {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    bool close() {
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

bool FolderExists(const std::filesystem::path& file) {
    std::error_code ec;
    const auto parent = file.parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

bool WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Puts tmp in target's place. Another program (an antivirus scanner, a sync
// client, an editor) may hold the file for a moment without sharing it:
// the replacement is tried again for about a second before it counts as
// failed.
bool MoveIntoPlace(const std::filesystem::path& tmp, const std::filesystem::path& target) {
    static constexpr DWORD kPauses[] = {10, 20, 40, 80, 150, 250, 450};
    for (std::size_t attempt = 0;; ++attempt) {
        if (MoveFileExW(tmp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || attempt == std::size(kPauses)) return false;
        Sleep(kPauses[attempt]);
    }
}

} // namespace

FileStamp StampOf(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileStamp s;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return s;
    s.exists = true;
    s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    s.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    s.changed = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) |
        data.ftCreationTime.dwLowDateTime);
    return s;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, bool& exists) {
    exists = false;
    Handle h(CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::string();
        exists = true;
        return std::nullopt;
    }
    exists = true;
    std::string out;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.get(), buf, sizeof buf, &n, nullptr)) return std::nullopt;
        if (n == 0) break;
        out.append(buf, n);
    }
    return out;
}

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    if (!FolderExists(path)) return false;
    const DWORD attrs = GetFileAttributesW(path.c_str());
    const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    if (exists && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;

    const auto folder =
        path.parent_path().empty() ? std::filesystem::path(L".") : path.parent_path();
    wchar_t tmpName[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(folder.c_str(), L"tir", 0, tmpName)) return false;
    const std::filesystem::path tmp(tmpName);
    bool ok = false;
    {
        Handle h(CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = h.valid() && WriteAll(h.get(), bytes) && FlushFileBuffers(h.get());
        if (h.valid()) ok = h.close() && ok;
    }
    if (ok) {
        ok = MoveIntoPlace(tmp, path);
    }
    if (!ok) DeleteFileW(tmp.c_str());
    return ok;
}

AppendStatus AppendToFile(const std::filesystem::path& path, const AppendComposer& compose) {
    if (!FolderExists(path)) return AppendStatus::MissingFolder;
    // Read-only, whoever asks (as for the profile).
    const DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
        return AppendStatus::Failed;
    // A new file is made only for something to put in it.
    if (attrs == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND &&
        !compose(std::string_view()))
        return AppendStatus::Refused;
    Handle h(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) {
        return GetLastError() == ERROR_PATH_NOT_FOUND ? AppendStatus::MissingFolder
                                                      : AppendStatus::Failed;
    }
    // The content decides what goes at its end (its encoding, a line break
    // where the last line lacks one).
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h.get(), &size) && size.QuadPart > 0) {
        content.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (done < content.size()) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(done & 0xFFFFFFFF);
            at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
            DWORD n = 0;
            if (!ReadFile(h.get(), content.data() + done, chunk, &n, &at) || n == 0) break;
            done += n;
        }
        content.resize(done);
    }
    const auto bytes = compose(content);
    if (!bytes) return AppendStatus::Refused;
    if (!WriteAll(h.get(), *bytes)) return AppendStatus::Failed;
    return h.close() ? AppendStatus::Ok : AppendStatus::Failed;
}

std::filesystem::path ExecutableDir() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::filesystem::path(L".");
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    return std::filesystem::path(buf).parent_path();
}

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

std::u16string TextFromPath(const std::filesystem::path& path) {
    const std::wstring& w = path.native();
    return std::u16string(w.begin(), w.end());
}

} // namespace settings
