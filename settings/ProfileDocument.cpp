#include "ProfileDocument.h"

namespace settings {

namespace {

bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}
bool IsBlank16(char16_t c) {
    return c == u' ' || c == u'\t';
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::u16string_view Trim16(std::u16string_view s) {
    while (!s.empty() && IsBlank16(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank16(s.back()))
        s.remove_suffix(1);
    return s;
}

bool HasAny(std::u16string_view s, std::u16string_view chars) {
    return s.find_first_of(chars) != std::u16string_view::npos;
}

// A non-negative number behind one blank (" 2", " 16"): the form in which
// group numbers and template rows are stored. The Win32 reader drops the
// blank and the number reads back the same, so it is written as it stands.
bool IsSignedNumberForm(std::u16string_view v) {
    if (v.size() < 2 || v[0] != u' ') return false;
    for (std::size_t i = 1; i < v.size(); ++i)
        if (v[i] < u'0' || v[i] > u'9') return false;
    return true;
}

// Code units of the character at i: 2 for a surrogate pair, otherwise 1.
std::size_t CharUnits(std::u16string_view text, std::size_t i) {
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    return pair ? 2 : 1;
}

} // namespace

std::optional<std::size_t> ValueBytes(FileEncoding encoding, std::u16string_view text) {
    if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) {
        if (!Utf16ToUtf8(text)) return std::nullopt;
        std::size_t n = 0;
        for (std::size_t i = 0; i < text.size();) {
            const auto ch = text.substr(i, CharUnits(text, i));
            const auto cp932 = Encode(FileEncoding::Cp932, ch);
            n += cp932 ? cp932->size() : 2 * ch.size();
            i += ch.size();
        }
        return n;
    }
    const auto bytes = Encode(encoding, text);
    if (!bytes) return std::nullopt;
    return bytes->size();
}

ProfileDocument::ProfileDocument(std::string bytes) : bytes_(std::move(bytes)) {
    if (bytes_.starts_with(kUtf8Bom)) {
        encoding_ = form_ = FileEncoding::Utf8;
        bodyStart_ = kUtf8Bom.size();
    } else if (bytes_.starts_with(kUtf32LeBom) || bytes_.starts_with(kUtf32BeBom)) {
        // Nothing reads UTF-32 profiles; the file is left alone.
        writable_ = false;
        bodyStart_ = bytes_.size();
    } else if (bytes_.starts_with(kUtf16LeBom) || bytes_.starts_with(kUtf16BeBom)) {
        encoding_ = bytes_.starts_with(kUtf16LeBom) ? FileEncoding::Utf16Le : FileEncoding::Utf16Be;
        form_ = FileEncoding::Utf8;
        // Only what the Win32 functions write themselves is written back.
        writable_ = encoding_ == FileEncoding::Utf16Le && bytes_.size() % 2 == 0;
        fileBytes_ = std::move(bytes_);
        const std::u16string units =
            Utf16Units(encoding_, std::string_view(fileBytes_).substr(kUtf16LeBom.size()));
        bytes_ = UnitsToWtf8(units);
        // A second mark, as converting a UTF-8 file with its mark gives, is no text either.
        if (units.starts_with(u'\uFEFF')) bodyStart_ = UnitsToWtf8(u"\uFEFF").size();
    }
    parse();
}

std::u16string ProfileDocument::text(std::string_view bytes) const {
    if (utf16()) return ReplaceUnpairedSurrogates(Wtf8ToUnits(bytes));
    return Decode(form_, bytes);
}

std::string ProfileDocument::folded(std::string_view name) const {
    std::string out(name);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = CharLength(form_, out, i);
        if (len == 1) out[i] = FoldAscii(out[i]);
        i += len;
    }
    return out;
}

void ProfileDocument::parse() {
    lines_.clear();
    sections_.clear();
    const std::size_t n = bytes_.size();
    std::size_t pos = bodyStart_;
    while (pos < n) {
        Line line;
        line.begin = pos;
        std::size_t e = pos;
        while (e < n && bytes_[e] != '\r' && bytes_[e] != '\n')
            ++e;
        line.end = e;
        if (e < n && bytes_[e] == '\r' && e + 1 < n && bytes_[e + 1] == '\n')
            line.next = e + 2;
        else
            line.next = e < n ? e + 1 : n;

        std::size_t b = line.begin;
        while (b < line.end && IsBlankByte(bytes_[b]))
            ++b;
        if (b == line.end) {
            line.kind = Kind::Blank;
        } else if (bytes_[b] == ';') {
            line.kind = Kind::Comment;
        } else if (bytes_[b] == '[') {
            line.kind = Kind::Section;
            std::size_t s = b + 1;
            std::size_t close = s;
            while (close < line.end && bytes_[close] != ']')
                close += CharLength(form_, bytes_, close);
            if (close > line.end) close = line.end;
            std::size_t ne = close;
            while (s < ne && IsBlankByte(bytes_[s]))
                ++s;
            while (ne > s && IsBlankByte(bytes_[ne - 1]))
                --ne;
            line.nameBegin = s;
            line.nameEnd = ne;
            sections_.emplace(folded(slice(s, ne)), lines_.size());
        } else {
            std::size_t eq = b;
            while (eq < line.end && bytes_[eq] != '=')
                eq += CharLength(form_, bytes_, eq);
            if (eq < line.end) {
                std::size_t ke = eq;
                while (ke > b && IsBlankByte(bytes_[ke - 1]))
                    --ke;
                if (ke > b) {
                    line.kind = Kind::Key;
                    line.nameBegin = b;
                    line.nameEnd = ke;
                    line.valueBegin = eq + 1;
                    line.valueEnd = line.end;
                }
            }
        }
        lines_.push_back(line);
        pos = line.next;
    }
}

bool ProfileDocument::nameEquals(std::size_t b, std::size_t e, std::string_view name) const {
    if (e - b != name.size()) return false;
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t len = CharLength(form_, name, i);
        if (len == 1) {
            if (FoldAscii(bytes_[b + i]) != FoldAscii(name[i])) return false;
        } else {
            // A double-byte character in the file must start at the same place.
            if (CharLength(form_, bytes_, b + i) != 2 || bytes_[b + i] != name[i] ||
                bytes_[b + i + 1] != name[i + 1])
                return false;
        }
        i += len;
    }
    return true;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view name) const {
    const auto it = sections_.find(folded(name));
    if (it == sections_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t sectionLine,
                                                    std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Section) break;
        if (l.kind == Kind::Key && nameEquals(l.nameBegin, l.nameEnd, key)) return i;
    }
    return std::nullopt;
}

bool ProfileDocument::hasSection(std::u16string_view section) const {
    const auto name = Encode(form_, Trim16(section));
    return name && !name->empty() && findSection(*name).has_value();
}

std::optional<std::u16string> ProfileDocument::read(std::u16string_view section,
                                                    std::u16string_view key) const {
    const auto s = Encode(form_, Trim16(section));
    const auto k = Encode(form_, Trim16(key));
    if (!s || !k || s->empty() || k->empty()) return std::nullopt;
    const auto sl = findSection(*s);
    if (!sl) return std::nullopt;
    const auto kl = findKey(*sl, *k);
    if (!kl) return std::nullopt;
    return valueOf(lines_[*kl]);
}

std::u16string ProfileDocument::valueOf(const Line& line) const {
    std::string_view v = slice(line.valueBegin, line.valueEnd);
    if (const auto nul = v.find('\0'); nul != std::string_view::npos) v = v.substr(0, nul);
    while (!v.empty() && IsBlankByte(v.front()))
        v.remove_prefix(1);
    while (!v.empty() && IsBlankByte(v.back()))
        v.remove_suffix(1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (utf16()) {
        // Counted as in CP932: the longest run of whole characters that fits.
        std::u16string value = text(v);
        if (value.size() * 2 <= kMaxValueBytes) return value;
        std::size_t cut = 0, bytes = 0;
        while (cut < value.size()) {
            const std::size_t len = CharUnits(value, cut);
            bytes += *ValueBytes(encoding_, std::u16string_view(value).substr(cut, len));
            if (bytes > kMaxValueBytes) break;
            cut += len;
        }
        value.resize(cut);
        return value;
    }
    if (v.size() > kMaxValueBytes) {
        // Cut at a character boundary so the last character is never halved.
        std::size_t cut = 0;
        while (cut < v.size()) {
            std::size_t len = CharLength(form_, v, cut);
            if (form_ == FileEncoding::Utf8) {
                while (cut + len < v.size() &&
                       (static_cast<unsigned char>(v[cut + len]) & 0xC0) == 0x80)
                    ++len;
            }
            if (cut + len > kMaxValueBytes) break;
            cut += len;
        }
        v = v.substr(0, cut);
    }
    return text(v);
}

bool ProfileDocument::ValidSectionName(std::u16string_view section) {
    const auto s = Trim16(section);
    return !s.empty() && !HasAny(s, std::u16string_view(u"]\r\n\0", 4));
}

bool ProfileDocument::ValidKeyName(std::u16string_view key) {
    const auto k = Trim16(key);
    return !k.empty() && k.front() != u'[' && k.front() != u';' &&
           !HasAny(k, std::u16string_view(u"=\r\n\0", 4));
}

bool ProfileDocument::ValidValue(std::u16string_view value) {
    return !HasAny(value, std::u16string_view(u"\r\n\0", 3));
}

std::u16string ProfileDocument::StoredForm(std::u16string_view value) {
    if (value.empty() || IsSignedNumberForm(value)) return std::u16string(value);
    const bool blankAtEnd = IsBlank16(value.front()) || IsBlank16(value.back());
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (blankAtEnd || quoted) return u"\"" + std::u16string(value) + u"\"";
    return std::u16string(value);
}

std::string ProfileDocument::lineBreak() const {
    for (std::size_t i = bodyStart_; i < bytes_.size(); ++i) {
        if (bytes_[i] == '\n') return "\n";
        if (bytes_[i] == '\r')
            return (i + 1 < bytes_.size() && bytes_[i + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\r\n";
}

bool ProfileDocument::readsLike(const ProfileDocument& other) const {
    if (lines_.size() != other.lines_.size()) return false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& a = lines_[i];
        const Line& b = other.lines_[i];
        if (a.kind != b.kind) return false;
        if (a.kind == Kind::Key && valueOf(a) != other.valueOf(b)) return false;
        // The whole line too, beyond what a read returns: bytes that were no
        // CP932 text are kept as they were, and must not turn into UTF-8
        // text together.
        if (text(slice(a.begin, a.end)) != other.text(other.slice(b.begin, b.end))) return false;
    }
    return true;
}

void ProfileDocument::convertToUtf8() {
    // Re-encode character by character; a byte that is not valid CP932 is kept
    // as it was rather than turned into a replacement character. As in
    // reading, a lead byte whose pair is not a character is one such byte and
    // the byte after it starts the next character, so the text reads the same.
    std::string out(kUtf8Bom);
    const std::string_view body = std::string_view(bytes_).substr(bodyStart_);
    std::size_t i = 0;
    while (i < body.size()) {
        const std::size_t len = CharLength(FileEncoding::Cp932, body, i);
        const std::string_view ch = body.substr(i, len);
        const std::u16string text = Cp932ToUtf16(ch);
        const auto utf8 = Utf16ToUtf8(text);
        if (!utf8 || text.find(u'\uFFFD') != std::u16string::npos) {
            out.push_back(body[i]);
            ++i;
        } else {
            out.append(*utf8);
            i += len;
        }
    }
    bytes_ = std::move(out);
    encoding_ = form_ = FileEncoding::Utf8;
    bodyStart_ = kUtf8Bom.size();
    parse();
}

WriteStatus ProfileDocument::write(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view value) {
    if (!writable_) return WriteStatus::UnsupportedFile;
    if (!ValidSectionName(section) || !ValidKeyName(key)) return WriteStatus::BadName;
    if (!ValidValue(value)) return WriteStatus::BadValue;
    const std::u16string stored = StoredForm(value);
    const auto sec16 = Trim16(section);
    const auto key16 = Trim16(key);

    auto s = Encode(form_, sec16);
    auto k = Encode(form_, key16);
    auto v = Encode(form_, stored);
    if ((!s || !k || !v) && encoding_ == FileEncoding::Cp932) {
        // Switch only when UTF-8 can hold the write: a refused write changes nothing.
        if (!Utf16ToUtf8(sec16) || !Utf16ToUtf8(key16)) return WriteStatus::BadName;
        if (!Utf16ToUtf8(stored)) return WriteStatus::BadValue;
        // Only when every stored value reads the same afterwards: a long value
        // takes more bytes in UTF-8 and would be cut shorter by the 254-byte
        // limit. Otherwise the write is refused rather than lose text.
        ProfileDocument converted = *this;
        converted.convertToUtf8();
        if (!converted.readsLike(*this)) return WriteStatus::BadValue;
        *this = std::move(converted);
        s = Encode(form_, sec16);
        k = Encode(form_, key16);
        v = Encode(form_, stored);
    }
    if (!s || !k) return WriteStatus::BadName;
    if (!v) return WriteStatus::BadValue;

    const std::string eol = lineBreak();
    const auto sl = findSection(*s);
    if (!sl) {
        std::string add;
        if (bytes_.size() > bodyStart_ && bytes_.back() != '\n' && bytes_.back() != '\r')
            add += eol;
        add += "[" + *s + "]" + eol + *k + "=" + *v + eol;
        bytes_ += add;
    } else if (const auto kl = findKey(*sl, *k)) {
        const Line& l = lines_[*kl];
        bytes_.replace(l.valueBegin, l.valueEnd - l.valueBegin, *v);
    } else {
        std::size_t after = *sl;
        for (std::size_t i = *sl + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
            if (lines_[i].kind == Kind::Key) after = i;
        const Line& l = lines_[after];
        std::string add = *k + "=" + *v + eol;
        if (l.next == l.end) add = eol + add; // the last line of the file had no line break
        // A bare CR before a line that is only an LF would make one CR LF of
        // the two, and that empty line would be gone.
        if (add.back() == '\r' && l.next < bytes_.size() && bytes_[l.next] == '\n') add += '\n';
        bytes_.insert(l.next, add);
    }
    parse();
    if (utf16()) fileBytes_ = std::string(kUtf16LeBom) + Utf16Bytes(encoding_, Wtf8ToUnits(bytes_));
    return WriteStatus::Ok;
}

} // namespace settings
