// The profile file as bytes: lookup and in-place editing with the behaviour of
// the Win32 profile functions, so that a file written on Windows reads the
// same here and a file written here reads the same on Windows.
//
// Reading: CR LF, LF or CR end a line; leading blanks of a line are skipped; a
// line starting with ';' is a comment; a line starting with '[' opens a
// section whose name ends at its first ']'; "key=value" lines belong to the
// section above them; the first of duplicate sections and keys wins; names
// match with only A-Z/a-z folded (a double-byte character matches exactly).
// A value loses blanks (space, TAB) at both ends and one outer pair of
// matching quotes, and comes back as at most 254 bytes, never half a
// character.
//
// Writing changes only the lines concerned: a value is replaced inside its
// line, a new key goes after the last key line of its section, a new section
// goes at the end. Every other byte stays as it was.
//
// Encodings: CP932; UTF-8 after its byte-order mark; UTF-16 little-endian
// after its byte-order mark, as the Win32 profile functions read and write
// it. The rules above hold in each. A file that is UTF-16 big-endian, or
// UTF-16 with a byte left over at the end, is read but never written; one
// in UTF-32 reads as empty and is never written either.
#pragma once

#include "TextCodec.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace settings {

enum class WriteStatus {
    Ok,
    BadName,         // a name the file cannot hold faithfully (']' in a section, '=' in a key, ...)
    BadValue,        // a value with a line break or a NUL character, or one the file cannot take in
                     // without changing how another value reads
    IoError,         // the file could not be replaced (read-only, missing folder, disk full)
    UnsupportedFile, // the file is in a form this store does not write back faithfully
                     // (UTF-16 big-endian, UTF-32, UTF-16 cut in the middle of a code unit)
};

// One key to store, as for ProfileDocument::write().
struct KeyWrite {
    std::u16string section, key, value;
};

// Longest value a read returns, in bytes of the file's encoding (see ValueBytes).
inline constexpr std::size_t kMaxValueBytes = 254;

// The bytes text counts against kMaxValueBytes in a file of the encoding, or
// nothing when such a file cannot hold it. In UTF-16 a value counts as it does
// in CP932, since that is what the ANSI profile functions hand back of it on
// Windows (a code unit CP932 lacks counts two bytes).
std::optional<std::size_t> ValueBytes(FileEncoding encoding, std::u16string_view text);

class ProfileDocument {
public:
    ProfileDocument() : ProfileDocument(std::string()) {}
    explicit ProfileDocument(std::string bytes);

    // The file's bytes.
    const std::string& bytes() const { return utf16() ? fileBytes_ : bytes_; }
    FileEncoding encoding() const { return encoding_; }
    // Whether write() can store anything (see UnsupportedFile).
    bool writable() const { return writable_; }

    // The value stored under section/key, or nothing when either is missing.
    std::optional<std::u16string> read(std::u16string_view section, std::u16string_view key) const;
    bool hasSection(std::u16string_view section) const;

    // Stores value under section/key, creating what is missing. In a CP932
    // document, text that CP932 cannot hold switches it to UTF-8 with a
    // byte-order mark, unless some stored value would then read differently (a
    // value near the 254-byte limit grows in UTF-8): that write is refused as
    // BadValue. A UTF-16 document holds any text and stays UTF-16.
    WriteStatus write(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value);

    // Checks of names and values, as write() applies them.
    static bool ValidSectionName(std::u16string_view section);
    static bool ValidKeyName(std::u16string_view key);
    static bool ValidValue(std::u16string_view value);

    // The text write() puts after '=' for value (before encoding): the value
    // itself, or the value in double quotes where reading would change it.
    static std::u16string StoredForm(std::u16string_view value);

private:
    enum class Kind { Other, Blank, Comment, Section, Key };
    struct Line {
        std::size_t begin = 0, end = 0, next = 0; // content [begin, end), next line at next
        Kind kind = Kind::Other;
        std::size_t nameBegin = 0, nameEnd = 0;   // section or key name, blanks removed
        std::size_t valueBegin = 0, valueEnd = 0; // raw text after '=' (keys only)
    };

    void parse();
    std::string_view slice(std::size_t b, std::size_t e) const {
        return std::string_view(bytes_).substr(b, e - b);
    }
    bool nameEquals(std::size_t b, std::size_t e, std::string_view name) const;
    std::string folded(std::string_view name) const;
    // Index of the section's header line, or nothing.
    std::optional<std::size_t> findSection(std::string_view name) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
    // The value of a key line, as read() returns it.
    std::u16string valueOf(const Line& line) const;
    // Whether every line has the same kind and text, and every key the same
    // value, as in other.
    bool readsLike(const ProfileDocument& other) const;
    void convertToUtf8();
    std::string lineBreak() const;
    bool utf16() const {
        return encoding_ == FileEncoding::Utf16Le || encoding_ == FileEncoding::Utf16Be;
    }
    // The text of bytes of bytes_.
    std::u16string text(std::string_view bytes) const;

    // The bytes that are parsed and edited: the file itself, or for a UTF-16
    // file its code units in WTF-8, which keeps every unit as it was.
    std::string bytes_;
    std::string fileBytes_; // a UTF-16 file as it is on disk
    FileEncoding encoding_ = FileEncoding::Cp932;
    FileEncoding form_ = FileEncoding::Cp932; // the encoding of bytes_
    bool writable_ = true;
    std::size_t bodyStart_ = 0; // after a byte-order mark
    std::vector<Line> lines_;
    // First header line of each section, by folded name.
    std::unordered_map<std::string, std::size_t> sections_;
};

} // namespace settings
