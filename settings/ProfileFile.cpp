#include "ProfileFile.h"

namespace settings {

bool ProfileFile::refresh() {
    const FileStamp now = StampOf(path_);
    if (loaded_ && now == stamp_) return readable_;
    bool exists = false;
    auto bytes = ReadWholeFile(path_, exists);
    readable_ = bytes.has_value();
    doc_ = ProfileDocument(bytes.value_or(std::string()));
    ++version_;
    // Stamp taken before the read: a change during the read shows at the next call.
    stamp_ = now;
    // A failed read (a sharing violation, a file table full for a moment)
    // is tried again at the next call, not remembered until the file changes.
    loaded_ = readable_;
    return readable_;
}

std::u16string ProfileFile::read(std::u16string_view section, std::u16string_view key) {
    refresh();
    return doc_.read(section, key).value_or(std::u16string());
}

std::uint64_t ProfileFile::version() {
    refresh();
    return version_;
}

bool ProfileFile::hasSection(std::u16string_view section) {
    refresh();
    return doc_.hasSection(section);
}

WriteStatus ProfileFile::write(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value) {
    return writeAll(
        {KeyWrite{std::u16string(section), std::u16string(key), std::u16string(value)}});
}

WriteStatus ProfileFile::writeAll(const std::vector<KeyWrite>& writes, std::size_t* refused) {
    if (refused) *refused = 0;
    if (!refresh()) return WriteStatus::IoError;
    ProfileDocument next = doc_;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const WriteStatus status = next.write(writes[i].section, writes[i].key, writes[i].value);
        if (status != WriteStatus::Ok) {
            if (refused) *refused = i;
            return status;
        }
    }
    if (writes.empty()) return WriteStatus::Ok;
    if (!ReplaceFileAtomically(path_, next.bytes())) {
        loaded_ = false; // re-read next time, whatever happened on disk
        return WriteStatus::IoError;
    }
    doc_ = std::move(next);
    ++version_;
    stamp_ = StampOf(path_);
    return WriteStatus::Ok;
}

} // namespace settings
