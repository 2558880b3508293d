#include "ProfileLayout.h"

#include "Numbers.h"

#include <algorithm>

namespace profile {

std::u16string Decimal(std::int64_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string ListKey(std::int64_t n) {
    return u"LIST" + Decimal(n);
}
std::u16string GroupKey(std::int64_t n) {
    return u"G" + Decimal(n);
}
std::u16string AreaSection(std::u16string_view area) {
    return std::u16string(kAreaSectionPrefix) + std::u16string(area);
}
std::u16string CharListKey(std::int64_t group) {
    return u"G" + Decimal(group) + u"ALLCHR";
}
std::u16string CharSection(std::int64_t group, std::u16string_view chr) {
    return u"G" + Decimal(group) + u"ChrDat" + std::u16string(chr);
}
std::u16string RowKey(std::int64_t row) {
    return u"BL" + Decimal(row);
}
std::u16string FieldKey(std::int64_t n) {
    return std::u16string(kFieldPrefix) + Decimal(n);
}

std::u16string SignedNumberText(std::int64_t n) {
    return n < 0 ? Decimal(n) : u" " + Decimal(n);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

std::u16string_view FlagText(bool yes) {
    return yes ? kTrue : kFalse;
}
bool IsTrue(std::u16string_view text) {
    return text == kTrue;
}

std::vector<std::u16string> SplitCharList(std::u16string_view list) {
    std::vector<std::u16string> names;
    if (list.empty()) return names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = list.find(kCharSeparator, start);
        if (at == std::u16string_view::npos) {
            names.emplace_back(list.substr(start));
            return names;
        }
        names.emplace_back(list.substr(start, at - start));
        start = at + kCharSeparator.size();
    }
}

std::u16string JoinCharList(const std::vector<std::u16string>& names) {
    std::u16string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += kCharSeparator;
        out += names[i];
    }
    return out;
}

std::u16string AppendToCharList(std::u16string_view list, std::u16string_view name) {
    if (list.empty()) return std::u16string(name);
    return std::u16string(list) + std::u16string(kCharSeparator) + std::u16string(name);
}

std::vector<settings::KeyWrite> TemplateWrites(std::int64_t group,
                                               const std::vector<CharTemplate>& templates,
                                               std::u16string& list) {
    std::vector<settings::KeyWrite> writes;
    std::vector<std::u16string> listed = SplitCharList(list);
    for (const CharTemplate& t : templates) {
        const std::u16string section = CharSection(group, t.chr);
        writes.push_back({section, std::u16string(kChr), t.chr});
        writes.push_back({section, std::u16string(kX), t.width});
        writes.push_back({section, std::u16string(kY), t.height});
        for (std::size_t r = 0; r < t.rows.size(); ++r)
            writes.push_back(
                {section, RowKey(static_cast<std::int64_t>(r)), SignedNumberText(t.rows[r])});
        if (std::find(listed.begin(), listed.end(), t.chr) == listed.end()) {
            listed.push_back(t.chr);
            list = AppendToCharList(list, t.chr);
            writes.push_back({std::u16string(kChrSection), CharListKey(group), list});
        }
    }
    return writes;
}

std::optional<std::int32_t> GroupNumber(std::u16string_view text) {
    return settings::RoundToInt32(settings::NumberValue(text));
}

std::vector<std::u16string> ReadNumberedList(const Reader& read, std::u16string_view section,
                                             std::u16string (*key)(std::int64_t)) {
    std::vector<std::u16string> out;
    for (std::int64_t n = 0;; ++n) {
        std::u16string v = read(section, key(n));
        if (v.empty()) break;
        out.push_back(std::move(v));
    }
    return out;
}

} // namespace profile
