#include "TextCodec.h"

#include <utility>

namespace settings {

namespace {

bool IsCp932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

std::size_t CharLength(FileEncoding encoding, std::string_view bytes, std::size_t i) {
    if (i + 1 >= bytes.size()) return 1;
    if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) return 2;
    if (encoding == FileEncoding::Cp932 && IsCp932Lead(static_cast<unsigned char>(bytes[i])))
        return 2;
    return 1;
}

namespace {

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// UTF-8 of the code units; an unpaired surrogate is refused, or with
// loneSurrogates encoded as if it were a character (WTF-8).
std::optional<std::string> EncodeUtf8(std::u16string_view text, bool loneSurrogates) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if ((IsHighSurrogate(cp) || IsLowSurrogate(cp)) && !loneSurrogates) {
            return std::nullopt;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

// The code units of UTF-8; with loneSurrogates the three-byte form of a
// surrogate gives that code unit (WTF-8), otherwise U+FFFD per byte.
std::u16string DecodeUtf8(std::string_view bytes, bool loneSurrogates) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, cp = b & 0x07, min = 0x10000;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        bool ok = i + static_cast<std::size_t>(extra) < bytes.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF ||
            (!loneSurrogates && (IsHighSurrogate(cp) || IsLowSurrogate(cp)))) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        AppendUtf16(out, cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace

std::optional<std::string> Utf16ToUtf8(std::u16string_view text) {
    return EncodeUtf8(text, false);
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    return DecodeUtf8(bytes, false);
}

std::string UnitsToWtf8(std::u16string_view units) {
    return *EncodeUtf8(units, true);
}

std::u16string Wtf8ToUnits(std::string_view bytes) {
    return DecodeUtf8(bytes, true);
}

std::u16string Utf16Units(FileEncoding encoding, std::string_view bytes) {
    const bool big = encoding == FileEncoding::Utf16Be;
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(big ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

std::string Utf16Bytes(FileEncoding encoding, std::u16string_view units) {
    const bool big = encoding == FileEncoding::Utf16Be;
    std::string out(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto high = static_cast<char>(units[i] >> 8);
        const auto low = static_cast<char>(units[i] & 0xFF);
        out[2 * i] = big ? high : low;
        out[2 * i + 1] = big ? low : high;
    }
    return out;
}

std::u16string ReplaceUnpairedSurrogates(std::u16string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
        else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
            text[i] = u'\uFFFD';
    }
    return text;
}

namespace {

// ASCII is the same in both encodings; most names and numbers are ASCII.
bool IsAscii(std::u16string_view text) {
    for (char16_t c : text)
        if (c >= 0x80) return false;
    return true;
}

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

} // namespace

std::optional<std::string> Encode(FileEncoding encoding, std::u16string_view text) {
    if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) {
        if (!Utf16ToUtf8(text)) return std::nullopt;
        return Utf16Bytes(encoding, text);
    }
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    if (encoding == FileEncoding::Utf8) return Utf16ToUtf8(text);
    auto bytes = Cp932FromUtf16(text);
    // Several characters share one CP932 code (a wave dash and a full-width
    // tilde, a yen sign and the backslash): only an exact round trip counts.
    if (!bytes || Cp932ToUtf16(*bytes) != text) return std::nullopt;
    return bytes;
}

std::optional<std::string> EncodeCp932Text(std::u16string_view text) {
    // The code points CP932 reads its codes 0x8160, 0x817C, 0x8161, 0x815C,
    // 0x8191, 0x8192 and 0x81CA as, for those that Japanese input methods on
    // other systems (and the JIS mapping) give instead.
    static constexpr std::pair<char16_t, char16_t> kSameCharacter[] = {
        {u'\u301C', u'\uFF5E'}, // WAVE DASH -> FULLWIDTH TILDE
        {u'\u2212', u'\uFF0D'}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        {u'\u2016', u'\u2225'}, // DOUBLE VERTICAL LINE -> PARALLEL TO
        {u'\u2014', u'\u2015'}, // EM DASH -> HORIZONTAL BAR
        {u'\u00A2', u'\uFFE0'}, // CENT SIGN -> FULLWIDTH CENT SIGN
        {u'\u00A3', u'\uFFE1'}, // POUND SIGN -> FULLWIDTH POUND SIGN
        {u'\u00AC', u'\uFFE2'}, // NOT SIGN -> FULLWIDTH NOT SIGN
    };
    std::u16string meant(text);
    for (char16_t& c : meant)
        for (const auto& [from, to] : kSameCharacter)
            if (c == from) c = to;
    return Encode(FileEncoding::Cp932, meant);
}

std::u16string Decode(FileEncoding encoding, std::string_view bytes) {
    if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) {
        std::u16string text = ReplaceUnpairedSurrogates(Utf16Units(encoding, bytes));
        if (bytes.size() % 2) text.push_back(u'\uFFFD');
        return text;
    }
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    if (encoding == FileEncoding::Utf8) return Utf8ToUtf16(bytes);
    return Cp932ToUtf16(bytes);
}

} // namespace settings
