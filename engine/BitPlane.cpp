#include "BitPlane.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

namespace {

// Dark bits of 64 consecutive pixels (fewer at the end of a row).
std::uint64_t SampleWord(const std::uint32_t* p, int count) {
    std::uint64_t bits = 0;
    int i = 0;
#if defined(__SSE2__)
    // Shift each pixel's red byte to the top, so its high bit (red >= 128)
    // becomes the sign; two saturating packs keep the signs; one movemask
    // gives 16 "not dark" bits.
    for (; i + 16 <= count; i += 16) {
        const __m128i* q = reinterpret_cast<const __m128i*>(p + i);
        const __m128i a = _mm_slli_epi32(_mm_loadu_si128(q), 24);
        const __m128i b = _mm_slli_epi32(_mm_loadu_si128(q + 1), 24);
        const __m128i c = _mm_slli_epi32(_mm_loadu_si128(q + 2), 24);
        const __m128i d = _mm_slli_epi32(_mm_loadu_si128(q + 3), 24);
        const __m128i packed = _mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        const auto light = static_cast<std::uint32_t>(_mm_movemask_epi8(packed));
        bits |= static_cast<std::uint64_t>(~light & 0xFFFFu) << i;
    }
#endif
    for (; i < count; ++i)
        if ((p[i] & 0x80u) == 0) bits |= std::uint64_t{1} << i;
    return bits;
}

} // namespace

void BitPlane::assign(const AreaImage& image, int extraColumns) {
    width_ = image.width;
    height_ = image.height;
    const long long columns = static_cast<long long>(width_) + (extraColumns > 0 ? extraColumns : 0);
    wordsPerRow_ = static_cast<std::size_t>((columns + 63) / 64) + 1;
    bits_.assign(wordsPerRow_ * static_cast<std::size_t>(height_), 0);
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* src = image.pixels.data() + static_cast<std::size_t>(y) * width_;
        std::uint64_t* dst = bits_.data() + static_cast<std::size_t>(y) * wordsPerRow_;
        for (int x = 0; x < width_; x += 64) dst[x / 64] = SampleWord(src + x, std::min(64, width_ - x));
    }
}

} // namespace engine
