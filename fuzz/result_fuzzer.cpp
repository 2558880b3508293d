// Result lines appended to result files of every encoding, in memory.
//
// Input: one byte for how the file starts (nothing, a UTF-8 mark, a UTF-16
// LE mark, a UTF-16 BE or UTF-32 mark), one for the length of its body, the
// body, then lines (decoded texts) appended one after the other. What must
// hold for every append:
// - the encoding the line is composed in is the file's (ResultFileEncoding);
// - a file refused as Unsupported is refused for every line;
// - a line refused as NotEncodable holds a character that encoding lacks
//   (for UTF-8 without a mark: anything beyond ASCII) or a NUL, and only then;
// - an appended line decodes back: the whole file, read in its encoding, is
//   the text before, a line break where the last line had none, the line
//   (in CP932 with the characters users mean, EncodeCp932Text) and CR LF;
// - the file keeps its encoding (a CP932 file may come to look like UTF-8
//   without a mark, which then takes ASCII only: no two encodings mix).
#include "FuzzInput.h"
#include "ResultFile.h"
#include "TextCodec.h"

#include <algorithm>

namespace {

using settings::FileEncoding;
using settings::ResultEncoding;
using settings::ResultLine;

bool IsAscii(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

bool HasUnpairedSurrogate(std::u16string_view s) {
    return !settings::Utf16ToUtf8(s).has_value();
}

// The character CP932 holds for what an input method gives (〜 for ～ ...),
// written out again here as the reference.
char16_t Meant(char16_t c) {
    static constexpr char16_t kPairs[][2] = {{u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'},
                                             {u'\u2016', u'\u2225'}, {u'\u2014', u'\u2015'},
                                             {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
                                             {u'\u00AC', u'\uFFE2'}};
    for (const auto& p : kPairs)
        if (c == p[0]) return p[1];
    return c;
}

// The text of the file's lines in the encoding the composer wrote in.
std::u16string Text(ResultEncoding encoding, std::string_view content) {
    switch (encoding) {
    case ResultEncoding::Utf8Bom:
        return settings::Decode(FileEncoding::Utf8, content.substr(3));
    case ResultEncoding::Utf16Le:
        return settings::Decode(FileEncoding::Utf16Le, content.substr(2));
    case ResultEncoding::Utf8NoMark:
        return settings::Decode(FileEncoding::Utf8, content);
    default:
        return settings::Decode(FileEncoding::Cp932, content);
    }
}

// The last character of the file is a line break (or there is none).
bool EndsLine(ResultEncoding encoding, std::string_view content) {
    const std::size_t start = encoding == ResultEncoding::Utf8Bom   ? 3
                              : encoding == ResultEncoding::Utf16Le ? 2
                                                                    : 0;
    if (content.size() <= start) return true;
    if (encoding == ResultEncoding::Utf16Le)
        return content[content.size() - 1] == 0 &&
               (content[content.size() - 2] == '\r' || content[content.size() - 2] == '\n');
    return content.back() == '\r' || content.back() == '\n';
}

void CheckAppend(std::string& content, std::u16string_view line) {
    const ResultEncoding before = settings::ResultFileEncoding(content);
    const ResultLine r = settings::ComposeResultLine(content, line);
    FUZZ_CHECK(r.encoding == before);
    if (before == ResultEncoding::Unsupported) {
        FUZZ_CHECK(r.status == ResultLine::Status::Unsupported);
        return;
    }
    FUZZ_CHECK(r.status != ResultLine::Status::Unsupported);

    std::u16string full = EndsLine(before, content) ? u"" : u"\r\n";
    full += line;
    full += u"\r\n";
    bool encodable = true;
    switch (before) {
    case ResultEncoding::Cp932:
        encodable = settings::EncodeCp932Text(full).has_value();
        break;
    case ResultEncoding::Utf8Bom:
    case ResultEncoding::Utf16Le:
        encodable = !HasUnpairedSurrogate(line);
        break;
    case ResultEncoding::Utf8NoMark:
        encodable = IsAscii(line);
        break;
    case ResultEncoding::Unsupported:
        break;
    }
    if (line.find(u'\0') != std::u16string_view::npos) encodable = false;
    FUZZ_CHECK((r.status == ResultLine::Status::Ok) == encodable);
    if (!encodable) return;

    // The whole file decodes to the old text and the line.
    const std::u16string old = Text(before, content);
    const std::string next = content + r.bytes;
    std::u16string expected = full;
    if (before == ResultEncoding::Cp932)
        for (char16_t& c : expected)
            c = Meant(c);
    FUZZ_CHECK(Text(before, next) == old + expected);
    if (before == ResultEncoding::Utf16Le) FUZZ_CHECK(next.size() % 2 == 0);

    const ResultEncoding after = settings::ResultFileEncoding(next);
    FUZZ_CHECK(after == before ||
               (before == ResultEncoding::Cp932 && after == ResultEncoding::Utf8NoMark));
    content = next;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    static const std::string kStarts[] = {
        "",
        std::string(settings::kUtf8Bom),
        std::string(settings::kUtf16LeBom),
        std::string(settings::kUtf16BeBom),
        std::string(settings::kUtf32LeBom),
        std::string(settings::kUtf32BeBom),
    };
    const std::uint8_t start = in.byte();
    // Mostly the three encodings lines go into.
    std::string content = kStarts[start % 9 < 6 ? start % 9 : start % 3];
    content += in.bytes(in.byte());
    for (int lines = 0; lines < 4 && !in.empty(); ++lines)
        CheckAppend(content, in.text());
    return 0;
}
