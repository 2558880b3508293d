// One profile file on disk, read and written one key per call.
//
// Every call goes to the file: a value written by one window, or changed by
// hand in an editor, is seen by the next read. The parsed copy kept here is
// used only while the file's stamp (identity, size, modification time in
// nanoseconds) is unchanged, which keeps a group of templates fast to load.
#pragma once

#include "FileIo.h"
#include "ProfileDocument.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

class ProfileFile {
public:
    explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }

    // The value, or the empty text when the file, the section or the key is missing.
    std::u16string read(std::u16string_view section, std::u16string_view key);
    bool hasSection(std::u16string_view section);
    WriteStatus write(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value);

private:
    // Reloads the document when the file changed, or when the last read
    // failed; false when the file exists but cannot be read now (it then
    // reads as empty and is not overwritten).
    bool refresh();

    std::filesystem::path path_;
    FileStamp stamp_;
    bool loaded_ = false;
    bool readable_ = true;
    ProfileDocument doc_;
};

} // namespace settings
