// The production matcher and scan against the literal ones: the same answer
// for every group of templates, every picture, every mismatch bound and every
// scan window.
//
// Input: the number of templates, each as width, height and 32-bit rows; the
// mismatch bound; a picture; then windows to probe (left, top, width, height
// in half pixels, so that halves meet the rounding, and a template index).
#include "AreaReader.h"
#include "CpuFeatures.h"
#include "FuzzInput.h"
#include "LiteralMatcher.h"
#include "modTemp.h"

#include <cmath>
#include <limits>

namespace {

using modTemp::ChrTemp;
using modTemp::ChrTempList;

// The picture again, with the same pixels laid out at another width.
engine::AreaImage Reshaped(const engine::AreaImage& img, int width) {
    if (width <= 0) return engine::AreaImage(0, 0);
    engine::AreaImage out(width, static_cast<int>(img.pixels.size()) / width);
    std::copy_n(img.pixels.begin(), out.pixels.size(), out.pixels.begin());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    ChrTempList list;
    const int count = in.byte() % 9;
    for (int i = 0; i < count; ++i) {
        // Sizes as the loader gives them (it skips a width or height of 0).
        const int w = 1 + in.byte() % modTemp::kMaxTemplateWidth;
        const int h = 1 + in.byte() % 19;
        std::vector<std::int32_t> rows(static_cast<std::size_t>(h));
        for (auto& r : rows)
            r = static_cast<std::int32_t>(in.u32());
        std::u16string name(1, static_cast<char16_t>(u'a' + i));
        if (i % 3 == 2) name += u"\u3042"; // names of two characters are appended whole
        list.push_back(ChrTemp::FromRows(name, w, rows));
    }
    static constexpr double kLimits[] = {
        3,   3, 3, 0,  0.5, 1,     2,   2.5,
        3.5, 4, 7, 50, -1,  1e300, 1e9, std::numeric_limits<double>::quiet_NaN()};
    const double limit = kLimits[in.byte() % std::size(kLimits)];
    const engine::AreaImage image = in.image(56, 24);
    // The processor's fast paths or the plain ones.
    engine::cpu::AllowExtensions(in.byte() % 2 == 0);

    // The scan, with a fresh reader and with one that read other pictures before.
    const std::u16string expected = literal::Run(image, list, limit);
    FUZZ_CHECK(engine::ReadArea(image, list, limit) == expected);
    engine::AreaReader reader(list);
    const engine::AreaImage other = Reshaped(image, in.byte() % 64);
    FUZZ_CHECK(reader.read(other, limit) == literal::Run(other, list, limit));
    FUZZ_CHECK(reader.read(image, limit) == expected);

    // ChrSearch and TempMatch on windows anywhere, the edges and beyond included.
    for (int probe = 0; probe < 8 && in.remaining() >= 5; ++probe) {
        const float left = static_cast<float>(static_cast<std::int8_t>(in.byte())) / 2;
        const float top = static_cast<float>(static_cast<std::int8_t>(in.byte())) / 4;
        const float width = static_cast<float>(in.byte()) / 2;
        const float height = static_cast<float>(in.byte() % 64) / 2;
        const int t = in.byte();

        modTemp::ScanRect r{left, top, 0, height};
        literal::ScanRect lr{left, top, 0, height};
        float score = 0, literalScore = 0;
        const int index = modTemp::ChrSearch(list, r, image, limit, score);
        const int literalIndex = literal::ChrSearch(list, lr, image, limit, literalScore);
        FUZZ_CHECK(index == literalIndex);
        FUZZ_CHECK(score == literalScore);
        FUZZ_CHECK(r.Width == lr.Width);
        FUZZ_CHECK(r.Left == left && r.Top == top && r.Height == height);

        if (list.empty()) continue;
        const int ti = t % static_cast<int>(list.size());
        const modTemp::ScanRect w{left, top, width, height};
        std::int16_t s1 = 0, s2 = 0;
        const bool f1 = modTemp::TempMatch(list, ti, w, image, limit, s1);
        const bool f2 = literal::TempMatch(list, ti, {left, top, width, height}, image, limit, s2);
        FUZZ_CHECK(f1 == f2);
        FUZZ_CHECK(s1 == s2);
    }
    return 0;
}
