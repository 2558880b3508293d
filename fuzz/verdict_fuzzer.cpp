// The verdict of a reading against the pixel by pixel one: for every group of
// templates and every picture, the reader judges unread the places the
// definition names for the characters it read; the verdict of any
// characters at all (boxes anywhere, over the edges too) is the pixel by
// pixel one as well.
//
// Input: the number of templates, each as width, height and 32-bit rows; the
// mismatch bound; a byte of flags (dark background, raw picture, the
// processor's fast paths); the picture, either raw (as the other fuzzers
// read one) or drawn: its size, then glyphs of the group (template, left,
// top) and stray pixels (left, top, red) on plain paper; then characters to
// judge (template, column, row).
#include "AreaReader.h"
#include "CpuFeatures.h"
#include "FuzzInput.h"
#include "LiteralVerdict.h"
#include "Verdict.h"

#include <cmath>
#include <limits>

namespace {

using modTemp::ChrTemp;
using modTemp::ChrTempList;

// A picture of glyphs of the group on paper, ink and paper in shades that
// vary (only the red component below 128 makes a pixel dark).
engine::AreaImage Drawn(fuzzing::Input& in, const ChrTempList& list, bool darkPaper) {
    const int w = in.byte() % 131;
    const int h = in.byte() % 14;
    const std::uint32_t paper = darkPaper ? 0x00602010u : 0x00F0E0D0u;
    engine::AreaImage img(w, h, paper);
    for (int g = 0, n = in.byte() % 12; g < n; ++g) {
        const ChrTemp& t = list[in.byte() % list.size()];
        const int x0 = in.byte() % (w + 8) - 4;
        const int y0 = in.byte() % (h + 4) - 2;
        const std::uint32_t ink = darkPaper ? 0x00204080u + (g & 7u) : 0x000000107Fu - (g & 7u);
        for (int r = 0; r < t.height(); ++r)
            for (int c = 0; c < t.width(); ++c)
                if (t.dot(c, r) == 1.0f) img.setPixel(x0 + c, y0 + r, ink);
    }
    for (int k = 0, n = in.byte() % 4; k < n && w > 0 && h > 0; ++k) {
        const int x = in.byte() % w, y = in.byte() % h;
        img.setPixel(x, y, in.byte());
    }
    return img;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    ChrTempList list;
    const int count = 1 + in.byte() % 6;
    for (int i = 0; i < count; ++i) {
        const int w = 1 + in.byte() % 12;
        const int h = 1 + in.byte() % 9;
        std::vector<std::int32_t> rows(static_cast<std::size_t>(h));
        for (auto& r : rows)
            r = static_cast<std::int32_t>(in.u32());
        list.push_back(
            ChrTemp::FromRows(std::u16string(1, static_cast<char16_t>(u'a' + i)), w, rows));
    }
    static constexpr double kLimits[] = {3, 3, 3, 0, 1, 2, 2.5, 7};
    const double limit = kLimits[in.byte() % std::size(kLimits)];
    const std::uint8_t flags = in.byte();
    engine::cpu::AllowExtensions((flags & 4) == 0);
    const engine::AreaImage image = (flags & 2) ? in.image(130, 13) : Drawn(in, list, flags & 1);

    // The places of the reading are the ones the definition names, with a
    // fresh reader and with one that judged another picture before. (That
    // the reader finds the characters the literal scan finds is the matcher
    // fuzzer's property.)
    engine::AreaReader reader(list);
    const engine::JudgedRead judged = reader.readJudged(image, limit);
    const auto expected = literal::UnreadInk(image, list, judged.chars);
    FUZZ_CHECK(judged.unread == expected);
    FUZZ_CHECK(engine::UnreadInk(image, list, judged.chars) == expected);
    reader.readJudged(engine::AreaImage(image.height, image.width, 0), limit);
    const engine::JudgedRead again = reader.readJudged(image, limit);
    FUZZ_CHECK(again.unread == expected);
    FUZZ_CHECK(again.chars.size() == judged.chars.size());

    // Any characters, boxes over the edges or overlapping.
    std::vector<engine::ReadChar> chars;
    for (int k = 0, n = in.byte() % 8; k < n; ++k) {
        engine::ReadChar c;
        c.index = in.byte() % count;
        c.column = static_cast<std::int8_t>(in.byte());
        c.row = static_cast<std::int8_t>(in.byte()) / 8;
        chars.push_back(c);
    }
    FUZZ_CHECK(engine::UnreadInk(image, list, chars) == literal::UnreadInk(image, list, chars));
    engine::cpu::AllowExtensions(true);
    return 0;
}
