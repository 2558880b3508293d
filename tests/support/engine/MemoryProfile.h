// A profile in memory, for tests of what reads profiles: sections and keys
// matched as the file matches them (A-Z and a-z folded), templates stored
// as the editor stores them, and a count of the reads.
#pragma once

#include "ChrTemp.h"
#include "ProfileLayout.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fakes {

class MemoryProfile {
public:
    MemoryProfile() = default;
    // Values as {{section, key}, value}.
    MemoryProfile(
        std::initializer_list<std::pair<std::pair<std::u16string, std::u16string>, std::u16string>>
            values) {
        for (const auto& [k, v] : values)
            set(k.first, k.second, v);
    }

    void set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
        values_[{Fold(section), Fold(key)}] = std::u16string(value);
        ++version;
    }
    std::u16string get(std::u16string_view section, std::u16string_view key) const {
        ++reads;
        const auto it = values_.find({Fold(section), Fold(key)});
        return it == values_.end() ? std::u16string() : it->second;
    }
    bool hasSection(std::u16string_view section) const {
        const std::u16string s = Fold(section);
        const auto it = values_.lower_bound({s, std::u16string()});
        return it != values_.end() && it->first.first == s;
    }

    profile::Reader reader() const {
        return [this](std::u16string_view s, std::u16string_view k) { return get(s, k); };
    }
    // With the version, or without (a source that cannot tell).
    profile::Source source(bool versioned = true) const {
        profile::Source s{reader(), [this](std::u16string_view s) { return hasSection(s); }, {}};
        if (versioned) s.version = [this] { return version; };
        return s;
    }

    // A template of group as the editor stores it (CHR, X, Y, BL0...), its
    // name added to the group's list. X and the rows as texts, so that a
    // test can store what no editor would.
    void putTemplate(std::int64_t group, std::u16string_view name, std::u16string_view x,
                     const std::vector<std::u16string>& rows, std::u16string_view chr = {}) {
        const std::u16string s = profile::CharSection(group, name);
        set(s, profile::kChr, chr.empty() ? name : chr);
        set(s, profile::kX, x);
        set(s, profile::kY, profile::Decimal(static_cast<std::int64_t>(rows.size())));
        for (std::size_t r = 0; r < rows.size(); ++r)
            set(s, profile::RowKey(static_cast<std::int64_t>(r)), rows[r]);
        const std::u16string listKey = profile::CharListKey(group);
        const auto names = profile::SplitCharList(get(profile::kChrSection, listKey));
        if (std::find(names.begin(), names.end(), name) == names.end())
            set(profile::kChrSection, listKey,
                profile::AppendToCharList(get(profile::kChrSection, listKey), name));
    }
    void putTemplate(std::int64_t group, const modTemp::ChrTemp& t) {
        std::vector<std::u16string> rows;
        for (const std::int32_t bl : t.BL)
            rows.push_back(profile::SignedNumberText(bl));
        putTemplate(group, t.Chr, profile::Decimal(t.width()), rows);
    }

    // An area's section: its rectangle, group and delimiter, listed in
    // ARIALIST.
    void putArea(std::u16string_view name, int left, int top, int width, int height,
                 std::int64_t group = 0, std::u16string_view kugiri = u" ") {
        const std::u16string s = profile::AreaSection(name);
        set(s, profile::kLeft, profile::Decimal(left));
        set(s, profile::kTop, profile::Decimal(top));
        set(s, profile::kWidth, profile::Decimal(width));
        set(s, profile::kHeight, profile::Decimal(height));
        set(s, profile::kChrGrop, profile::SignedNumberText(group));
        set(s, profile::kKugiri, kugiri);
        const auto listed =
            profile::ReadNumberedList(reader(), profile::kAriaList, profile::ListKey);
        if (std::find(listed.begin(), listed.end(), name) == listed.end())
            set(profile::kAriaList, profile::ListKey(static_cast<std::int64_t>(listed.size())),
                name);
    }

    bool empty() const { return values_.empty(); }

    mutable int reads = 0;
    std::uint64_t version = 1; // changes with every set

private:
    static std::u16string Fold(std::u16string_view s) {
        std::u16string out(s);
        for (auto& c : out)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        return out;
    }

    std::map<std::pair<std::u16string, std::u16string>, std::u16string> values_;
};

} // namespace fakes
