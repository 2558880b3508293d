// The profile file under arbitrary bytes, then arbitrary reads and writes,
// in memory. Built twice: profile_fuzzer takes the bytes as they come (CP932,
// or UTF-8 or UTF-16 after a mark), profile_utf16_fuzzer as the body of a
// UTF-16 little-endian file, the form Notepad's "Unicode" gives.
//
// Input: (for UTF-16, a byte: 0xFF keeps an odd length) a 16-bit length, that
// many bytes of file (at most 4095), then up to 4 operations (read, section
// check, write) with decoded names and values. What must hold:
// - nothing crashes, whatever the bytes;
// - a write is refused only for a name or value the file cannot hold (or
//   one that would make it switch to UTF-8 while a stored value would then
//   read differently), and a refused write leaves every byte as it was;
// - an accepted write reads back as written (cut to 254 bytes, like any read);
// - it changes only the key's own line, after its '=', or adds the key's line
//   (with its section's header when the section is new); every other line
//   keeps its bytes and its line break. When the file had to become UTF-8 to
//   hold the text, every other line keeps its text instead;
// - every other key reads the same value as before.
// A UTF-16 file is compared in its code units (as WTF-8, so that broken
// surrogates stay visible); it stays UTF-16, and reads the same when loaded
// again. A file the store does not write back (UTF-16 big-endian or of an odd
// length, UTF-32) refuses every write and keeps every byte.
#include "FuzzInput.h"
#include "ProfileDocument.h"
#include "TextCodec.h"

#include <optional>

namespace {

using settings::FileEncoding;
using settings::ProfileDocument;
using settings::WriteStatus;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return std::u16string(s);
}

// Names match with A-Z/a-z folded only.
bool SameName(std::u16string_view a, std::u16string_view b) {
    const auto ta = Trim(a), tb = Trim(b);
    if (ta.size() != tb.size()) return false;
    for (std::size_t i = 0; i < ta.size(); ++i) {
        auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        if (fold(ta[i]) != fold(tb[i])) return false;
    }
    return true;
}

bool IsUtf16(FileEncoding enc) {
    return enc == FileEncoding::Utf16Le || enc == FileEncoding::Utf16Be;
}

// The encoding the lines are compared in.
FileEncoding Form(FileEncoding enc) {
    return IsUtf16(enc) ? FileEncoding::Utf8 : enc;
}

bool HasUnpairedSurrogate(std::u16string_view s) {
    return !settings::Utf16ToUtf8(s).has_value();
}

// " 2": a group number or row mask, which reads back without its blank.
bool IsSignedNumberForm(std::u16string_view v) {
    if (v.size() < 2 || v[0] != u' ') return false;
    for (std::size_t i = 1; i < v.size(); ++i)
        if (v[i] < u'0' || v[i] > u'9') return false;
    return true;
}

// What a read of the value gives: the whole text, or the longest run of
// whole characters from its start that fits in 254 bytes.
std::u16string ExpectedRead(FileEncoding enc, std::u16string_view value) {
    std::u16string v(IsSignedNumberForm(value) ? value.substr(1) : value);
    std::u16string out;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < v.size();) {
        const bool pair = i + 1 < v.size() && v[i] >= 0xD800 && v[i] <= 0xDBFF &&
                          v[i + 1] >= 0xDC00 && v[i + 1] <= 0xDFFF;
        const std::u16string_view ch = std::u16string_view(v).substr(i, pair ? 2 : 1);
        const auto size = settings::ValueBytes(enc, ch);
        FUZZ_CHECK(size.has_value());
        if (bytes + *size > settings::kMaxValueBytes) break;
        bytes += *size;
        out += ch;
        i += ch.size();
    }
    return out;
}

struct Line {
    std::string_view text, end; // content and its line break ("" for the last)
};

std::vector<Line> Lines(std::string_view bytes) {
    std::vector<Line> out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t e = bytes.find_first_of("\r\n", i);
        if (e == std::string_view::npos) {
            out.push_back({bytes.substr(i), {}});
            break;
        }
        const std::size_t next =
            (bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ? e + 2 : e + 1;
        out.push_back({bytes.substr(i, e - i), bytes.substr(e, next - e)});
        i = next;
    }
    return out;
}

// The lines' bytes: after the mark, for UTF-16 the code units in WTF-8
// (and after a second mark, which is no text either).
std::string Body(const ProfileDocument& doc) {
    std::string_view b = doc.bytes();
    if (doc.encoding() == FileEncoding::Utf8) {
        FUZZ_CHECK(b.starts_with(settings::kUtf8Bom));
        b.remove_prefix(settings::kUtf8Bom.size());
    }
    if (!IsUtf16(doc.encoding())) return std::string(b);
    const std::u16string units = settings::Utf16Units(doc.encoding(), b.substr(2));
    const std::u16string_view text = std::u16string_view(units);
    return settings::UnitsToWtf8(text.starts_with(u'\uFEFF') ? text.substr(1) : text);
}

// The text of a name in the file, when writing that text gives the same
// bytes. (A character with two CP932 codes, written by hand in its other
// code, is found only under the code that writing gives.)
std::optional<std::u16string> NameText(FileEncoding form, std::string_view bytes) {
    while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\t'))
        bytes.remove_suffix(1);
    auto text = settings::Decode(form, bytes);
    if (settings::Encode(form, text) != std::string(bytes)) return std::nullopt;
    return text;
}

// Section and key names found in the file, as a reader of it would see them
// (a simple scan: enough to pick keys whose values must not change).
std::vector<std::pair<std::u16string, std::u16string>> NamesIn(const ProfileDocument& doc) {
    std::vector<std::pair<std::u16string, std::u16string>> out;
    std::optional<std::u16string> section;
    int sections = 0, keys = 0;
    const std::string body = Body(doc);
    const FileEncoding form = Form(doc.encoding());
    for (const Line& l : Lines(body)) {
        std::string_view t = l.text;
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
            t.remove_prefix(1);
        if (t.starts_with('[')) {
            if (++sections > 6) break;
            section = NameText(form, t.substr(1, t.find(']') - 1));
            keys = 0;
        } else if (const auto eq = t.find('='); eq != std::string_view::npos && eq > 0) {
            const auto key = NameText(form, t.substr(0, eq));
            if (++keys <= 6 && section && key) out.emplace_back(*section, *key);
        }
    }
    return out;
}

void CheckWrite(ProfileDocument& doc, const std::u16string& section, const std::u16string& key,
                const std::u16string& value) {
    const ProfileDocument before = doc;
    const WriteStatus status = doc.write(section, key, value);
    if (!before.writable()) {
        FUZZ_CHECK(status == WriteStatus::UnsupportedFile);
        FUZZ_CHECK(doc.bytes() == before.bytes());
        return;
    }

    const bool namesOk = ProfileDocument::ValidSectionName(section) &&
                         ProfileDocument::ValidKeyName(key) && !HasUnpairedSurrogate(section) &&
                         !HasUnpairedSurrogate(key);
    const bool valueOk = ProfileDocument::ValidValue(value) && !HasUnpairedSurrogate(value);
    if (status != WriteStatus::Ok) {
        FUZZ_CHECK(doc.bytes() == before.bytes());
        FUZZ_CHECK(doc.encoding() == before.encoding());
        FUZZ_CHECK(status == WriteStatus::BadName || status == WriteStatus::BadValue);
        if (status == WriteStatus::BadName) FUZZ_CHECK(!namesOk);
        if (status == WriteStatus::BadValue && valueOk) {
            FUZZ_CHECK(namesOk);
            // Refused only because the switch to UTF-8 that the text needs
            // would change how a stored value reads.
            FUZZ_CHECK(before.encoding() == FileEncoding::Cp932);
            FUZZ_CHECK(!settings::Encode(FileEncoding::Cp932, Trim(section)) ||
                       !settings::Encode(FileEncoding::Cp932, Trim(key)) ||
                       !settings::Encode(FileEncoding::Cp932, ProfileDocument::StoredForm(value)));
        }
        return;
    }
    FUZZ_CHECK(namesOk && valueOk);

    // Read back, also from the bytes.
    const FileEncoding enc = doc.encoding();
    const FileEncoding form = Form(enc);
    const bool converted = enc != before.encoding();
    FUZZ_CHECK(!converted ||
               (before.encoding() == FileEncoding::Cp932 && enc == FileEncoding::Utf8));
    const auto back = doc.read(section, key);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(*back == ExpectedRead(enc, value));
    FUZZ_CHECK(doc.hasSection(section));
    if (IsUtf16(enc)) {
        FUZZ_CHECK(doc.bytes().starts_with(settings::kUtf16LeBom) && doc.bytes().size() % 2 == 0);
        const ProfileDocument reloaded(doc.bytes());
        FUZZ_CHECK(reloaded.encoding() == enc && reloaded.writable());
        FUZZ_CHECK(reloaded.read(section, key) == back);
    }

    // Lines: the same ones at both ends, one changed or one or two added between.
    const std::string bodyBefore = Body(before), bodyAfter = Body(doc);
    const auto b = Lines(bodyBefore);
    const auto a = Lines(bodyAfter);
    auto same = [&](std::size_t bi, std::size_t ai) {
        const Line& x = b[bi];
        const Line& y = a[ai];
        // The last line may gain a line break when a line is added after it.
        const bool endOk = x.end == y.end || (bi + 1 == b.size() && x.end.empty());
        if (!endOk) return false;
        if (x.text == y.text) return true;
        return converted && settings::Decode(FileEncoding::Cp932, x.text) ==
                                settings::Decode(FileEncoding::Utf8, y.text);
    };
    std::size_t p = 0;
    while (p < b.size() && p < a.size() && same(p, p))
        ++p;
    std::size_t s = 0;
    while (s < b.size() - p && s < a.size() - p && same(b.size() - 1 - s, a.size() - 1 - s))
        ++s;
    const std::size_t removed = b.size() - p - s, added = a.size() - p - s;

    const auto encKey = settings::Encode(form, Trim(key));
    const auto encSection = settings::Encode(form, Trim(section));
    const auto encValue = settings::Encode(form, ProfileDocument::StoredForm(value));
    FUZZ_CHECK(encKey && encSection && encValue);
    if (removed == 1) {
        // The value replaced inside its line: the text up to '=' kept.
        FUZZ_CHECK(added == 1);
        const std::string_view x = b[p].text, y = a[p].text;
        FUZZ_CHECK(b[p].end == a[p].end);
        const auto ex = x.find('='), ey = y.find('=');
        FUZZ_CHECK(ex != std::string_view::npos && ey != std::string_view::npos);
        if (converted)
            FUZZ_CHECK(settings::Decode(FileEncoding::Cp932, x.substr(0, ex)) ==
                       settings::Decode(FileEncoding::Utf8, y.substr(0, ey)));
        else
            FUZZ_CHECK(x.substr(0, ex) == y.substr(0, ey));
        FUZZ_CHECK(y.substr(ey + 1) == *encValue);
        FUZZ_CHECK(SameName(settings::Decode(form, y.substr(0, ey)), key));
    } else {
        FUZZ_CHECK(removed == 0);
        if (added == 0) {
            FUZZ_CHECK(!converted); // only the same value written again changes nothing
            FUZZ_CHECK(doc.bytes() == before.bytes());
        } else {
            FUZZ_CHECK(added == 1 || added == 2);
            if (added == 2) FUZZ_CHECK(a[p].text == "[" + *encSection + "]");
            FUZZ_CHECK(a[p + added - 1].text == *encKey + "=" + *encValue);
        }
    }

    // Every other key reads as before.
    for (const auto& [sec, k] : NamesIn(before)) {
        if (SameName(sec, section) && SameName(k, key)) continue;
        const auto old = before.read(sec, k);
        if (converted && old && old->find(u'\uFFFD') != std::u16string::npos)
            continue; // bytes that were never text stay bytes, and read as such
        FUZZ_CHECK(doc.read(sec, k) == old);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
#ifdef PROFILE_UTF16
    // A file as Notepad saves it as "Unicode": the mark, then the input's
    // bytes as code units (now and then with a byte left over).
    const bool odd = in.byte() == 0xFF;
    std::string body = in.bytes(in.u16() % 4096);
    if (!odd && body.size() % 2) body.pop_back();
    ProfileDocument doc(std::string(settings::kUtf16LeBom) + body);
    // (Two NUL bytes first make the mark UTF-32's.)
    FUZZ_CHECK(doc.encoding() == FileEncoding::Utf16Le || body.starts_with(std::string(2, '\0')));
#else
    ProfileDocument doc(in.bytes(in.u16() % 4096));
#endif
    for (int ops = 0; ops < 4 && !in.empty(); ++ops) {
        const std::uint8_t op = in.byte();
        const std::u16string section = in.text();
        const std::u16string key = op % 4 == 3 ? std::u16string() : in.text();
        switch (op % 4) {
        case 0: {
            // A read never returns more than 254 bytes of the file.
            const auto v = doc.read(section, key);
            if (!v) break;
            FUZZ_CHECK(doc.hasSection(section));
            const auto bytes = settings::ValueBytes(doc.encoding(), *v);
            if (bytes && v->find(u'\uFFFD') == std::u16string::npos)
                FUZZ_CHECK(*bytes <= settings::kMaxValueBytes);
            break;
        }
        case 3:
            (void)doc.hasSection(section);
            break;
        default:
            CheckWrite(doc, section, key, in.text());
            break;
        }
    }
    return 0;
}
