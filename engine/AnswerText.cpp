#include "AnswerText.h"

#include "Numbers.h"

#include <cmath>
#include <vector>

namespace engine {

std::u16string SnapToStep(std::u16string_view answer, std::u16string_view kugiri, double step) {
    if (answer.empty() || step == 0 || !std::isfinite(step)) return std::u16string(answer);
    std::vector<std::u16string_view> pieces;
    if (kugiri.empty()) {
        pieces.push_back(answer);
    } else {
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = answer.find(kugiri, start);
            if (at == std::u16string_view::npos) {
                pieces.push_back(answer.substr(start));
                break;
            }
            pieces.push_back(answer.substr(start, at - start));
            start = at + kugiri.size();
        }
    }
    std::u16string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) out += kugiri;
        const double v = settings::NumberValue(pieces[i]);
        const double snapped = step * settings::RoundOff(v / step);
        out += std::isfinite(snapped) ? settings::DoubleText(snapped) : std::u16string(pieces[i]);
    }
    return out;
}

std::u16string KugiriChg(std::u16string_view text, std::u16string_view kugiri) {
    std::u16string out(text);
    if (kugiri.size() != 1) return out;
    for (auto& c : out)
        if (c == kugiri[0]) c = u',';
    return out;
}

std::u16string AssembleResultLine(std::u16string_view answer, std::u16string_view comment,
                                  std::u16string_view kugiri, bool commentBefore, bool csv) {
    std::u16string line;
    if (commentBefore)
        line = std::u16string(comment) + std::u16string(kugiri) + std::u16string(answer);
    else
        line = std::u16string(answer) + std::u16string(kugiri) + std::u16string(comment);
    return csv ? KugiriChg(line, kugiri) : line;
}

std::u16string DefaultResultFile(std::u16string_view programDir, bool csv) {
    return std::u16string(programDir) + (csv ? u"Kavoren.csv" : u"Kavoren.txt");
}

std::u16string FallbackResultFile(std::u16string_view programDir) {
    return std::u16string(programDir) + u"Kavoren.txt";
}

} // namespace engine
