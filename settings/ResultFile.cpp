#include "ResultFile.h"

#include <algorithm>

namespace settings {

namespace {

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// "C:" at the start: a drive, with or without a folder after it.
bool HasDrive(std::u16string_view p) {
    return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == u':';
}

// Text that is UTF-8 through and through, with at least one character
// beyond ASCII. CP932 text of any length is practically never so: its lead
// bytes 0x81..0x9F cannot start a UTF-8 character.
bool IsUtf8Text(std::string_view bytes) {
    // One pass that stops at the first byte UTF-8 does not allow there (in
    // a CP932 file, usually its first Japanese character).
    bool beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        beyondAscii = true;
        std::size_t extra = 0;
        char32_t cp = 0, min = 0;
        if (b >= 0xC2 && b <= 0xDF)
            extra = 1, cp = b & 0x1F, min = 0x80;
        else if (b >= 0xE0 && b <= 0xEF)
            extra = 2, cp = b & 0x0F, min = 0x800;
        else if (b >= 0xF0 && b <= 0xF4)
            extra = 3, cp = b & 0x07, min = 0x10000;
        else
            return false;
        if (i + extra >= bytes.size()) // cut short at the end
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return beyondAscii;
}

// Whether a line break must go before a line appended after the file's last
// character.
bool NeedsBreak(char16_t lastChar) {
    return lastChar != u'\r' && lastChar != u'\n';
}

} // namespace

PathStyle NativePathStyle() {
#ifdef _WIN32
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

ResultFilePath ResolveResultFile(std::u16string_view name, std::u16string_view profileDir,
                                 PathStyle style) {
    if (name.empty()) return {};
    if (style == PathStyle::Windows) {
        const bool unc = name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1]);
        // C:\..., C:..., \\server\share\...: as they are.
        if (HasDrive(name) || unc) return {std::u16string(name), false};
        // \data\r.txt: on the drive of the profile's folder.
        if (IsSeparator(name[0]))
            return {std::u16string(HasDrive(profileDir) ? profileDir.substr(0, 2) : u"") +
                        std::u16string(name),
                    false};
        return {std::u16string(profileDir) + std::u16string(name), false};
    }
    if (name[0] == u'/') return {std::u16string(name), false};
    if (HasDrive(name) || name[0] == u'\\') return {std::u16string(), true};
    std::u16string relative(name);
    for (char16_t& c : relative)
        if (c == u'\\') c = u'/';
    return {std::u16string(profileDir) + relative, false};
}

std::u16string FolderOf(std::u16string_view path) {
    const std::size_t last = path.find_last_of(u"\\/");
    if (last == std::u16string_view::npos) return {};
    // The root keeps its separator: C:\ and /.
    if (last == 0 || (last == 2 && HasDrive(path))) return std::u16string(path.substr(0, last + 1));
    return std::u16string(path.substr(0, last));
}

ResultEncoding ResultFileEncoding(std::string_view content) {
    if (content.starts_with(kUtf32LeBom) || content.starts_with(kUtf32BeBom))
        return ResultEncoding::Unsupported;
    if (content.starts_with(kUtf8Bom)) return ResultEncoding::Utf8Bom;
    if (content.starts_with(kUtf16LeBom))
        return content.size() % 2 == 0 ? ResultEncoding::Utf16Le : ResultEncoding::Unsupported;
    if (content.starts_with(kUtf16BeBom)) return ResultEncoding::Unsupported;
    if (content.find('\0') != std::string_view::npos) return ResultEncoding::Unsupported;
    return IsUtf8Text(content) ? ResultEncoding::Utf8NoMark : ResultEncoding::Cp932;
}

std::u16string EncodingName(ResultEncoding encoding) {
    switch (encoding) {
    case ResultEncoding::Cp932:
        return u"シフトJIS";
    case ResultEncoding::Utf8NoMark:
        return u"BOM のない UTF-8";
    case ResultEncoding::Utf8Bom:
        return u"UTF-8 (BOM 付き)";
    case ResultEncoding::Utf16Le:
        return u"UTF-16 LE (Unicode)";
    case ResultEncoding::Unsupported:
        break;
    }
    return u"UTF-16 BE など";
}

ResultLine ComposeResultLine(std::string_view content, std::u16string_view line) {
    ResultLine out;
    out.encoding = ResultFileEncoding(content);
    std::u16string text(line);
    text += u"\r\n";
    switch (out.encoding) {
    case ResultEncoding::Unsupported:
        out.status = ResultLine::Status::Unsupported;
        return out;
    default:
        break;
    }
    // A NUL is no text in any of them (and would make a file without a mark
    // look like no text at all).
    if (line.find(u'\0') != std::u16string_view::npos) {
        out.status = ResultLine::Status::NotEncodable;
        return out;
    }
    switch (out.encoding) {
    case ResultEncoding::Unsupported:
        break;
    case ResultEncoding::Utf16Le: {
        // The length is even here: whole code units.
        const std::string_view body = content.substr(kUtf16LeBom.size());
        if (body.size() >= 2 &&
            NeedsBreak(Utf16Units(FileEncoding::Utf16Le, body.substr(body.size() - 2))[0]))
            text.insert(0, u"\r\n");
        if (!Utf16ToUtf8(text)) {
            out.status = ResultLine::Status::NotEncodable;
            return out;
        }
        out.bytes = Utf16Bytes(FileEncoding::Utf16Le, text);
        break;
    }
    case ResultEncoding::Utf8NoMark:
    case ResultEncoding::Utf8Bom:
    case ResultEncoding::Cp932: {
        const std::string_view body =
            out.encoding == ResultEncoding::Utf8Bom ? content.substr(kUtf8Bom.size()) : content;
        if (!body.empty() && NeedsBreak(static_cast<unsigned char>(body.back())))
            text.insert(0, u"\r\n");
        std::optional<std::string> bytes;
        if (out.encoding == ResultEncoding::Cp932)
            bytes = EncodeCp932Text(text);
        else if (out.encoding == ResultEncoding::Utf8Bom)
            bytes = Utf16ToUtf8(text);
        else if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }))
            bytes = std::string(text.begin(), text.end());
        if (!bytes) {
            out.status = ResultLine::Status::NotEncodable;
            return out;
        }
        out.bytes = *bytes;
        break;
    }
    }
    out.status = ResultLine::Status::Ok;
    return out;
}

std::u16string ResultFileText(std::string_view content) {
    switch (ResultFileEncoding(content)) {
    case ResultEncoding::Utf8Bom:
        return Decode(FileEncoding::Utf8, content.substr(kUtf8Bom.size()));
    case ResultEncoding::Utf8NoMark:
        return Decode(FileEncoding::Utf8, content);
    case ResultEncoding::Utf16Le:
        return Decode(FileEncoding::Utf16Le, content.substr(kUtf16LeBom.size()));
    default:
        return Decode(FileEncoding::Cp932, content);
    }
}

} // namespace settings
