// One profile file on disk, read and written one key per call.
//
// Every call goes to the file: a value written by one window, or changed by
// hand in an editor, is seen by the next read. The parsed copy kept here is
// used only while the file's stamp (identity, size, modification time in
// nanoseconds) is unchanged, which keeps a group of templates fast to load.
#pragma once

#include "FileIo.h"
#include "ProfileDocument.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

    // Stores every write in order, in one replacement of the file: the file
    // then holds exactly the bytes that the same writes one by one would
    // give, or, when one of them would be refused or the file cannot be
    // replaced, stays as it was (refused is the index of the write refused,
    // or 0 for the replacement). A crash leaves the file before or after
    // all of them, never a part.
    WriteStatus writeAll(const std::vector<KeyWrite>& writes, std::size_t* refused = nullptr);

    // A number that changes whenever what the file reads may have changed
    // (it was read afresh or written); checked against the file first, like
    // every read. Never 0.
    std::uint64_t version();

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
    std::uint64_t version_ = 1;
};

} // namespace settings
