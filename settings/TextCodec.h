// Byte encodings of the profile and result files.
//
// Files written on Windows by the Win32 profile functions are in the Japanese
// ANSI code page (CP932, Shift-JIS), or in UTF-16 little-endian with a
// byte-order mark when the file was saved so (Notepad's "Unicode"). A file
// that starts with a UTF-8 byte-order mark is UTF-8. Inside the program every
// text is UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

enum class FileEncoding { Cp932, Utf8, Utf16Le, Utf16Be };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
inline constexpr std::string_view kUtf32LeBom = std::string_view("\xFF\xFE\0\0", 4);
inline constexpr std::string_view kUtf32BeBom = std::string_view("\0\0\xFE\xFF", 4);

// The bytes of text in the encoding, or nothing when the encoding cannot hold
// it exactly (a character CP932 lacks, an unpaired surrogate).
std::optional<std::string> Encode(FileEncoding encoding, std::u16string_view text);

// The text of bytes; each byte that does not start a valid character becomes
// U+FFFD (in UTF-16: each unpaired surrogate, and a byte left over at the end).
std::u16string Decode(FileEncoding encoding, std::string_view bytes);

// CP932 bytes of text meant for people and other programs to read (the
// result file), not to be matched again: characters that input methods give
// in their Unicode form, where CP932 has the character users mean under
// another code point (〜 U+301C for ～, − U+2212 for －, ‖, —, ¢, £, ¬), are
// written as that character, as Windows' own conversion does. Anything else
// CP932 lacks gives nothing, as in Encode().
std::optional<std::string> EncodeCp932Text(std::u16string_view text);

// Number of bytes of the character that starts with byte b at position i of
// bytes: 2 for a CP932 lead byte followed by a byte, otherwise 1. Used to walk
// CP932 text without mistaking a trail byte such as 0x5D (']') for ASCII.
// (UTF-16: 2, the code unit, where two bytes are left.)
std::size_t CharLength(FileEncoding encoding, std::string_view bytes, std::size_t i);

// UTF-8 <-> UTF-16, own code (no platform dependency).
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view bytes);

// Any sequence of UTF-16 code units as 8-bit text and back, exactly: UTF-8,
// with an unpaired surrogate given the three bytes UTF-8 would give its value
// (the form called WTF-8). The profile store edits UTF-16 files in this form,
// so that lines it does not touch keep every code unit, even a broken one.
// Bytes that are no such form become U+FFFD.
std::string UnitsToWtf8(std::u16string_view units);
std::u16string Wtf8ToUnits(std::string_view bytes);

// The code units of UTF-16 bytes in the encoding's byte order (a byte left
// over at the end is dropped), and back; nothing is checked.
std::u16string Utf16Units(FileEncoding encoding, std::string_view bytes);
std::string Utf16Bytes(FileEncoding encoding, std::u16string_view units);

// The text with each unpaired surrogate replaced by U+FFFD.
std::u16string ReplaceUnpairedSurrogates(std::u16string text);

// Platform conversions of CP932, in TextCodec_posix.cpp / TextCodec_win.cpp.
// Both are raw: the caller checks the round trip.
std::optional<std::string> Cp932FromUtf16(std::u16string_view text);
std::u16string Cp932ToUtf16(std::string_view bytes);

} // namespace settings
