// File-system operations of the settings store, one thin wrapper per system
// (FileIo_posix.cpp, FileIo_win.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// What identifies one state of a file: if the stamp is unchanged, so is the
// content (a replacement by rename changes the identity, an edit in place the
// size or the modification time in nanoseconds).
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::filesystem::path& path);

// The whole content of a file; nothing when it exists but cannot be read.
// A missing file reads as empty with exists = false.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, bool& exists);

// Replaces the file with bytes through a temporary file in the same folder,
// flushed before it takes the file's place, so that a crash leaves the old or
// the new file, never a torn one. Fails, with the old file intact, when the
// file is read-only, the folder is missing or not writable, or the disk is
// full. Nothing is created on failure. On Windows a file that another
// program holds for a moment without sharing it is waited for, about a
// second at most.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

enum class AppendStatus {
    Ok,
    MissingFolder,
    Failed,
    Refused, // the file's content cannot take what was to be appended; it is left as it is
};

// What to append to a file with the given content (empty for a new file), or
// nothing to leave the file as it is.
using AppendComposer = std::function<std::optional<std::string>(std::string_view content)>;

// Appends what compose makes of the file's content at its end, in one write,
// creating the file (not when compose refuses a new one). A file without any
// write permission is refused (Failed).
AppendStatus AppendToFile(const std::filesystem::path& path, const AppendComposer& compose);

// The line break to put before bytes appended to a file with this content:
// empty, or the line break that bytes end with when the content's last byte
// is not a line break.
inline std::string_view LineBreakBefore(std::string_view bytes, std::string_view content) {
    if (content.empty() || content.back() == '\n' || content.back() == '\r') return {};
    if (bytes.ends_with("\r\n")) return "\r\n";
    if (bytes.ends_with('\n')) return "\n";
    return {};
}

// Appends bytes as they are. Bytes that end with a line break are a line:
// when the file's last byte is not a line break (a line cut short by a crash,
// a file edited by hand), the same line break goes first, so that no two
// lines run together.
inline AppendStatus AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
    return AppendToFile(path, [bytes](std::string_view content) {
        return std::optional<std::string>(std::string(LineBreakBefore(bytes, content)) +
                                          std::string(bytes));
    });
}

// The folder of the running executable.
std::filesystem::path ExecutableDir();

// A path from program text, and back.
std::filesystem::path PathFromText(std::u16string_view text);
std::u16string TextFromPath(const std::filesystem::path& path);

} // namespace settings
