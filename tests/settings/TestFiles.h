// Small helpers for tests that touch real files: a private temporary folder
// and whole-file reads and writes.
#pragma once

#include <algorithm>
#include <vector>

#include "TextCodec.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace testfiles {

// A new private folder in the system's temporary folder.
inline std::filesystem::path MakeTempDir() {
#ifdef _WIN32
    // No mkdtemp: a random name, taken when creating it succeeds.
    std::random_device random;
    for (int tries = 0; tries < 100; ++tries) {
        const auto p = std::filesystem::temp_directory_path() /
                       ("tirelma-" + std::to_string(random()) + std::to_string(tries));
        if (std::filesystem::create_directory(p)) return p;
    }
    std::abort();
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "tirelma-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    return tmpl;
#endif
}

class TempDir {
public:
    TempDir() : path_(MakeTempDir()) {}
    ~TempDir() {
        std::error_code ec;
        // Undo chmods of a test so that everything can be removed.
        for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes in place (same file, same inode), as an editor saving over it would.
inline void Spit(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Sjis(std::u16string_view text) {
    return settings::Encode(settings::FileEncoding::Cp932, text).value();
}

inline std::string Utf8(std::u16string_view text) {
    return settings::Utf16ToUtf8(text).value();
}

// The names of a folder's entries, sorted.
inline std::vector<std::string> Names(const std::filesystem::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace testfiles
