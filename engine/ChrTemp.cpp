#include "ChrTemp.h"

#include "Numbers.h"

#include <cmath>

namespace modTemp {

namespace {

std::string Describe(const char* what, double v) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %g", what, v);
    return buf;
}

// A whole number in 1..limit, or nothing.
std::optional<int> Size(double v, int limit) {
    if (!std::isfinite(v) || v != std::floor(v) || v < 1 || v > limit) return std::nullopt;
    return static_cast<int>(v);
}

} // namespace

ChrTemp ChrTemp::FromRows(std::u16string chr, int width, const std::vector<std::int32_t>& rows) {
    ChrTemp t;
    t.Chr = std::move(chr);
    t.X = static_cast<float>(width);
    t.Y = static_cast<float>(rows.size());
    t.BL = rows;
    const int h = static_cast<int>(rows.size());
    t.Dot.assign(static_cast<std::size_t>(width) * h, 0.0f);
    t.Rows.assign(rows.size(), 0);
    for (int r = 0; r < h; ++r) {
        std::uint32_t mask = 1;
        for (int c = 0; c < width; ++c) {
            if (static_cast<std::uint32_t>(rows[r]) & mask) {
                t.Dot[static_cast<std::size_t>(c) * h + r] = 1.0f;
                t.Rows[r] |= mask;
            }
            mask <<= 1;
        }
    }
    return t;
}

LoadedGroup LoadChrTempList(std::int32_t group, const TemplateSource& source) {
    LoadedGroup out;
    auto names =
        profile::SplitCharList(source.read(profile::kChrSection, profile::CharListKey(group)));
    settings::CombSort(names);
    for (const auto& name : names) {
        const std::u16string section = profile::CharSection(group, name);
        if (!source.hasSection(section)) {
            out.skipped.push_back({name, "no data section"});
            continue;
        }
        const double x = settings::NumberValue(source.read(section, profile::kX));
        const double y = settings::NumberValue(source.read(section, profile::kY));
        const auto w = Size(x, kMaxTemplateWidth);
        if (!w) {
            out.skipped.push_back({name, Describe("unusable width", x)});
            continue;
        }
        const auto h = Size(y, kMaxTemplateHeight);
        if (!h) {
            out.skipped.push_back({name, Describe("unusable height", y)});
            continue;
        }
        std::vector<std::int32_t> rows;
        rows.reserve(static_cast<std::size_t>(*h));
        bool fits = true;
        for (int r = 0; r < *h && fits; ++r) {
            const double v = settings::NumberValue(source.read(section, profile::RowKey(r)));
            const auto mask = settings::RoundToInt32(v);
            if (!mask) {
                out.skipped.push_back({name, Describe("row does not fit 32 bits:", v)});
                fits = false;
            } else {
                rows.push_back(*mask);
            }
        }
        if (!fits) continue;
        out.templates.push_back(ChrTemp::FromRows(source.read(section, profile::kChr), *w, rows));
    }
    return out;
}

} // namespace modTemp
