#include "Blanks.h"

#include "Numbers.h"
#include "ProfileLayout.h"

#include <cmath>

namespace engine {

namespace {

// No area is this wide; a larger blank width never separates anything.
constexpr int kNeverSeparates = 1 << 30;

bool EndsWith(std::u16string_view s, std::u16string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

} // namespace

InkColumns TemplateInk(const modTemp::ChrTemp& t) {
    std::uint32_t any = 0;
    for (const std::uint32_t row : t.Rows)
        any |= row;
    if (any == 0) return {0, t.width() - 1};
    InkColumns ink{t.width(), -1};
    for (int c = 0; c < t.width() && c < 32; ++c)
        if ((any >> c) & 1u) {
            ink.first = std::min(ink.first, c);
            ink.last = c;
        }
    return ink;
}

std::vector<long long> InkGaps(const std::vector<ReadChar>& chars,
                               const modTemp::ChrTempList& list) {
    std::vector<long long> gaps;
    for (std::size_t i = 1; i < chars.size(); ++i) {
        const InkColumns before = TemplateInk(list[static_cast<std::size_t>(chars[i - 1].index)]);
        const InkColumns after = TemplateInk(list[static_cast<std::size_t>(chars[i].index)]);
        gaps.push_back((chars[i].column + after.first) - (chars[i - 1].column + before.last) - 1);
    }
    return gaps;
}

std::vector<bool> DelimiterBefore(const std::vector<ReadChar>& chars,
                                  const modTemp::ChrTempList& list, const BlankRule& rule) {
    std::vector<bool> before(chars.size(), false);
    if (!rule.active()) return before;
    const std::vector<long long> gaps = InkGaps(chars, list);
    bool endsWithDelimiter = false;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const std::u16string& text = list[static_cast<std::size_t>(chars[i].index)].Chr;
        before[i] = i > 0 && gaps[i - 1] >= rule.minGap && !endsWithDelimiter &&
                    !std::u16string_view(text).starts_with(rule.kugiri);
        if (before[i] || !text.empty())
            endsWithDelimiter = text.empty() ? before[i] : EndsWith(text, rule.kugiri);
    }
    return before;
}

std::u16string JoinReading(const std::vector<ReadChar>& chars, const modTemp::ChrTempList& list,
                           const BlankRule& rule) {
    std::u16string answer;
    const std::vector<bool> before = DelimiterBefore(chars, list, rule);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (before[i]) answer += rule.kugiri;
        answer += list[static_cast<std::size_t>(chars[i].index)].Chr;
    }
    return answer;
}

int BlankWidthValue(std::u16string_view text) {
    const double v = settings::NumberValue(text);
    if (!(v > 0)) return 0;
    if (v >= kNeverSeparates) return kNeverSeparates;
    return static_cast<int>(std::nearbyint(v));
}

} // namespace engine
