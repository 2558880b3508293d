#include "ReadingCheck.h"

#include "Reading.h"

#include <algorithm>
#include <map>

namespace editor {

namespace {

std::u16string Number(long long n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string Quoted(std::u16string_view s) {
    return u"「" + std::u16string(s) + u"」";
}

// Blank columns between consecutive cells.
std::vector<long long> CellGaps(const std::vector<QRect>& cells) {
    std::vector<long long> gaps;
    for (std::size_t i = 1; i < cells.size(); ++i)
        gaps.push_back(cells[i].left() - cells[i - 1].right() - 1);
    return gaps;
}

// The alignment of what was read with what was taught that changes the
// fewest characters; the marks where they part.
std::vector<CheckMark> Compare(const ReadingCheck& check, const modTemp::ChrTempList& templates,
                               const LineText& taught, const std::vector<QRect>& cells) {
    const std::size_t n = check.chars.size(), m = taught.chars.size();
    auto readText = [&](std::size_t k) -> const std::u16string& {
        return templates[static_cast<std::size_t>(check.chars[k].index)].Chr;
    };
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t k = 0; k <= n; ++k)
        d[k][0] = static_cast<int>(k);
    for (std::size_t i = 0; i <= m; ++i)
        d[0][i] = static_cast<int>(i);
    for (std::size_t k = 1; k <= n; ++k)
        for (std::size_t i = 1; i <= m; ++i)
            d[k][i] =
                std::min({d[k - 1][i] + 1, d[k][i - 1] + 1,
                          d[k - 1][i - 1] + (readText(k - 1) == taught.chars[i - 1] ? 0 : 1)});
    const bool placed = cells.size() == m;
    std::vector<CheckMark> marks;
    std::size_t k = n, i = m;
    while (k > 0 || i > 0) {
        if (k > 0 && i > 0 && readText(k - 1) == taught.chars[i - 1] &&
            d[k][i] == d[k - 1][i - 1]) {
            --k, --i;
        } else if (k > 0 && i > 0 && d[k][i] == d[k - 1][i - 1] + 1) {
            marks.push_back({CheckMark::Kind::Wrong, readText(k - 1), taught.chars[i - 1],
                             check.charLeft[k - 1], check.charRight[k - 1]});
            --k, --i;
        } else if (k > 0 && d[k][i] == d[k - 1][i] + 1) {
            marks.push_back({CheckMark::Kind::Extra,
                             readText(k - 1),
                             {},
                             check.charLeft[k - 1],
                             check.charRight[k - 1]});
            --k;
        } else {
            CheckMark mark{CheckMark::Kind::Missing, {}, taught.chars[i - 1]};
            if (placed) mark.left = cells[i - 1].left(), mark.right = cells[i - 1].right();
            marks.push_back(mark);
            --i;
        }
    }
    std::reverse(marks.begin(), marks.end());
    return marks;
}

} // namespace

ReadingCheck CheckReading(const engine::AreaImage& area, const modTemp::ChrTempList& templates,
                          const engine::BlankRule& rule, const LineText& taught,
                          const std::vector<QRect>& cells) {
    ReadingCheck check;
    engine::AreaReader reader(templates);
    engine::AreaSettings settings;
    settings.blanks = rule;
    engine::Reading reading = engine::ReadPicture(settings, area, engine::Grab::Whole, reader);
    check.chars = std::move(reading.chars);
    check.answer = std::move(reading.text);
    // With no characters yet every glyph is unread: nothing to point at.
    if (!templates.empty()) check.unread = std::move(reading.verdict.unread);
    for (const engine::ReadChar& c : check.chars) {
        const auto ink = engine::TemplateInk(templates[static_cast<std::size_t>(c.index)]);
        check.charLeft.push_back(static_cast<int>(c.column + ink.first));
        check.charRight.push_back(static_cast<int>(c.column + ink.last));
    }

    // A fit that covers part of a glyph's columns, not all of them.
    const bool placed = !cells.empty() && cells.size() == taught.chars.size();
    for (std::size_t k = 0; k < check.chars.size(); ++k) {
        const int a = check.charLeft[k], b = check.charRight[k];
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const QRect& cell = cells[c];
            if (cell.left() > b || cell.right() < a) continue;
            if (cell.left() < a || cell.right() > b) {
                const auto& read = templates[static_cast<std::size_t>(check.chars[k].index)].Chr;
                check.partFits.push_back(
                    {read, placed ? taught.chars[c] : std::u16string(), cell.left(), cell.right()});
                break;
            }
        }
    }

    if (taught.chars.empty()) return check;
    check.compared = true;
    check.marks = Compare(check, templates, taught, cells);
    check.agrees = check.marks.empty();
    if (!templates.empty()) {
        // Where a position at its right edge is no longer tried.
        const float window = engine::ScanWindow(templates);
        for (const CheckMark& m : check.marks)
            if (m.kind == CheckMark::Kind::Missing && m.left >= 0 &&
                !engine::ScanTries(m.right, window, area.width))
                check.missedAtRightEdge = true;
    }

    // Blanks: what the reader measures where the reading agrees, else the
    // cells, when there is one per character.
    std::vector<long long> gaps;
    if (check.agrees)
        gaps = engine::InkGaps(check.chars, templates);
    else if (placed)
        gaps = CellGaps(cells);
    if (gaps.size() + 1 != taught.chars.size()) return check;
    long long widestOther = 0, narrowestBlank = -1;
    bool anyBlank = false;
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        if (taught.blankAfter[i]) {
            narrowestBlank = anyBlank ? std::min(narrowestBlank, gaps[i]) : gaps[i];
            anyBlank = true;
        } else {
            widestOther = std::max(widestOther, gaps[i]);
        }
    }
    const auto separatesAsTyped = [&](long long width) {
        for (std::size_t i = 0; i < gaps.size(); ++i)
            if ((gaps[i] >= width) != static_cast<bool>(taught.blankAfter[i])) return false;
        return true;
    };
    if (rule.active()) check.blanksDiffer = !separatesAsTyped(rule.minGap);
    if (anyBlank && narrowestBlank > widestOther && !(rule.active() && !check.blanksDiffer)) {
        // The middle of the widths that work, so that a blank a little
        // narrower or a glyph gap a little wider still reads the same.
        const long long low = widestOther + 1;
        check.suggestedBlankWidth = static_cast<int>((low + narrowestBlank + 1) / 2);
    }
    return check;
}

std::vector<FitProblem> OwnFitProblems(const engine::AreaImage& area, const QRect& cut,
                                       const modTemp::ChrTemp& t,
                                       const modTemp::ChrTempList& group) {
    std::vector<FitProblem> out;
    const int tw = t.width(), th = t.height();
    if (th >= area.height)
        out.push_back({FitProblem::Kind::AsTallAsArea});
    else if (cut.top() > area.height - th - 1)
        out.push_back({FitProblem::Kind::OnBottomRow});

    FitProblem high{FitProblem::Kind::LevelTooHigh}, low{FitProblem::Kind::LevelTooLow};
    for (int i = 0; i < th; ++i)
        for (int j = 0; j < tw && j < 32; ++j) {
            const bool ink = (t.Rows[static_cast<std::size_t>(i)] >> j) & 1u;
            const std::int32_t colour = area.pixel(cut.left() + j, cut.top() + i);
            const bool dark = engine::IsDark(colour);
            FitProblem* p = ink && !dark ? &high : (!ink && dark ? &low : nullptr);
            if (!p) continue;
            if (p->pixels++ == 0) p->red = colour & 0xFF;
        }
    if (high.pixels > 0) out.push_back(high);
    if (low.pixels > 0) out.push_back(low);

    // The first position whose window, as wide as the template, reaches the
    // cut must still be tried.
    if (!group.empty()) {
        const long long first = std::max<long long>(0, cut.left() - tw + 1);
        if (!engine::ScanTries(first, engine::ScanWindow(group), area.width))
            out.push_back({FitProblem::Kind::BeyondScan});
    }
    return out;
}

std::u16string DescribeFitProblem(std::u16string_view chr, const FitProblem& p) {
    const std::u16string head = Quoted(chr) + u"は切り出した所で読み取れません: ";
    switch (p.kind) {
    case FitProblem::Kind::LevelTooHigh:
        return head + u"2値化で黒になった画素のうち" + Number(p.pixels) +
               u"個は、読み取りでは白とみなされます (赤の値 " + Number(p.red) +
               u"。読み取りは赤が128未満の画素だけを黒とみなします)"
               u"。2値化レベルを127にして2値化し、"
               u"記録し直してください。";
    case FitProblem::Kind::LevelTooLow:
        return head + u"2値化で白になった画素のうち" + Number(p.pixels) +
               u"個は、読み取りでは黒とみなされます (赤の値 " + Number(p.red) +
               u")。2値化レベルを127にして2値化し、記録し直してください。";
    case FitProblem::Kind::AsTallAsArea:
        return head +
               u"切り出しの高さが認識エリアの高さと同じです。読み取りはエリアより低い形しか照合"
               u"しません。文字の上下を詰めて切り出してください。";
    case FitProblem::Kind::OnBottomRow:
        return head +
               u"切り出しが認識エリアのいちばん下の行まで入っています。読み取りはいちばん下の行に"
               u"かかる位置を照合しません。その行を含めずに切り出すか、文字の下に余白を入れて"
               u"キャプチャし直してください。";
    case FitProblem::Kind::BeyondScan:
        return head +
               u"認識エリアの右端に近すぎます。読み取りは右端から文字2つ分ほど手前で止まります。"
               u"右に余白を入れてキャプチャし直してください。";
    }
    return head;
}

std::vector<std::u16string> DescribeCheck(const ReadingCheck& check,
                                          const engine::BlankRule& rule) {
    std::vector<std::u16string> lines;
    if (check.compared) {
        if (check.agrees) {
            lines.push_back(u"1行の文字と一致しています。");
        } else {
            // Counted by kind and characters, in the order first seen.
            std::vector<std::pair<std::u16string, int>> parts;
            for (const CheckMark& m : check.marks) {
                std::u16string what;
                switch (m.kind) {
                case CheckMark::Kind::Extra:
                    what = u"余分な" + Quoted(m.read);
                    break;
                case CheckMark::Kind::Wrong:
                    what = Quoted(m.expected) + u"が" + Quoted(m.read) + u"に";
                    break;
                case CheckMark::Kind::Missing:
                    what = u"読めない" + Quoted(m.expected);
                    break;
                }
                auto it = std::find_if(parts.begin(), parts.end(),
                                       [&](const auto& p) { return p.first == what; });
                if (it == parts.end())
                    parts.emplace_back(what, 1);
                else
                    ++it->second;
            }
            std::u16string line = u"1行の文字と違います: ";
            for (std::size_t i = 0; i < parts.size(); ++i) {
                if (i > 0) line += u"、";
                line += parts[i].first;
                if (parts[i].second > 1) line += u" (" + Number(parts[i].second) + u"か所)";
            }
            lines.push_back(line + u"。");
        }
    }
    // Part fits, one line per character read so.
    std::vector<std::pair<std::u16string, std::vector<std::u16string>>> inside;
    for (const auto& fit : check.partFits) {
        auto it = std::find_if(inside.begin(), inside.end(),
                               [&](const auto& p) { return p.first == fit.read; });
        if (it == inside.end()) it = inside.insert(inside.end(), {fit.read, {}});
        if (!fit.glyph.empty() &&
            std::find(it->second.begin(), it->second.end(), fit.glyph) == it->second.end())
            it->second.push_back(fit.glyph);
    }
    for (const auto& [read, glyphs] : inside) {
        std::u16string where;
        for (const auto& g : glyphs)
            where += Quoted(g);
        lines.push_back(Quoted(read) + u"が" + (where.empty() ? u"ほかの文字" : where) +
                        u"の一部にも当てはまっています。文字の上下に白い行を含めて切り出し直すか、"
                        u"1行まとめて記録してください。");
    }
    if (check.missedAtRightEdge)
        lines.push_back(
            u"右端の文字が読めていません。読み取りは認識エリアの右端から文字2つ分ほど"
            u"手前で止まります。最後の文字の右に余白を入れてキャプチャし直してください。");
    if (rule.minGap > 0 && rule.kugiri.empty())
        lines.push_back(u"区切りキャラクタが空のため、空白の幅は働きません。");
    if (check.blanksDiffer)
        lines.push_back(u"空白の幅 " + Number(rule.minGap) +
                        u" では、入力した空白と違う所で区切られます。");
    if (check.suggestedBlankWidth)
        lines.push_back(u"空白の幅を " + Number(*check.suggestedBlankWidth) +
                        u" にすると、入力した空白の所に区切りキャラクタが入ります。");
    return lines;
}

} // namespace editor
