#include "LineCells.h"

#include "EditorLogic.h"

#include <algorithm>

namespace editor {

namespace {

bool IsBlack(const QImage& img, int x, int y) {
    return (img.pixel(x, y) & 0xFFFFFF) == 0;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

} // namespace

LineSplit SplitLine(const QImage& twoLevel) {
    LineSplit out;
    const int w = twoLevel.width(), h = twoLevel.height();
    if (w <= 0 || h <= 0) return out;
    std::vector<bool> inked(static_cast<std::size_t>(w), false);
    int highestInk = h, lowestInk = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (IsBlack(twoLevel, x, y)) {
                inked[static_cast<std::size_t>(x)] = true;
                highestInk = std::min(highestInk, y);
                lowestInk = y;
            }
    if (lowestInk < 0) {
        out.problem = LineSplit::Problem::NoInk;
        return out;
    }
    out.problem = lowestInk == h - 1 ? LineSplit::Problem::InkOnBottom
                  : h < 3            ? LineSplit::Problem::TooLow
                                     : LineSplit::Problem::None;
    // The cells' columns come from the ink; every cut has all compared rows.
    out.top = 0;
    out.bottom = h - 2;
    out.inkTop = highestInk;
    out.inkBottom = lowestInk;
    out.width = w;
    for (int x = 0; x < w;) {
        if (!inked[static_cast<std::size_t>(x)]) {
            ++x;
            continue;
        }
        int end = x;
        while (end + 1 < w && inked[static_cast<std::size_t>(end + 1)])
            ++end;
        out.cuts.push_back(QRect(QPoint(x, out.top), QPoint(end, out.bottom)));
        x = end + 1;
    }
    return out;
}

LineText SplitLineText(std::u16string_view text) {
    LineText out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsBlank(text[i])) {
            if (!out.chars.empty()) out.blankAfter.back() = true;
            continue;
        }
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        out.chars.emplace_back(text.substr(i, pair ? 2 : 1));
        out.blankAfter.push_back(false);
        if (pair) ++i;
    }
    // A blank after the last character separates nothing.
    if (!out.blankAfter.empty()) out.blankAfter.back() = false;
    return out;
}

LinePlan PlanLine(const LineSplit& split, const LineText& text) {
    LinePlan plan;
    if (text.chars.empty()) return plan;
    if (split.problem != LineSplit::Problem::None) {
        plan.problem = LinePlan::Problem::NoCuts;
        return plan;
    }
    if (split.cuts.size() != text.chars.size()) {
        plan.problem = LinePlan::Problem::CountDiffers;
        return plan;
    }
    plan.cuts = split.cuts;
    plan.problem = LinePlan::Problem::None;
    for (std::size_t i = 0; i < plan.cuts.size(); ++i) {
        QRect& c = plan.cuts[i];
        if (c.width() > kMaxCutWidth) {
            plan.problem = LinePlan::Problem::TooWide;
        } else if (c.width() < kMinCutCells) {
            // The column beside a cell is white (cells are split there):
            // the one on the right, or else the one on the left.
            if (c.right() + 1 < split.width)
                c.setRight(c.right() + 1);
            else if (c.left() > 0)
                c.setLeft(c.left() - 1);
            else
                plan.problem = LinePlan::Problem::TooNarrow;
        }
        if (plan.problem != LinePlan::Problem::None) {
            plan.cell = static_cast<int>(i);
            plan.cuts.clear();
            break;
        }
    }
    return plan;
}

} // namespace editor
