#include "BitPlane.h"

#include "CpuFeatures.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TIRELMA_AVX2_DISPATCH 1
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

#if defined(TIRELMA_AVX2_DISPATCH)
// The same for processors with AVX2, 32 pixels per step; chosen at run time.
__attribute__((target("avx2"))) std::uint64_t SampleWordAvx2(const std::uint32_t* p, int count) {
    std::uint64_t bits = 0;
    int i = 0;
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (; i + 32 <= count; i += 32) {
        const __m256i* q = reinterpret_cast<const __m256i*>(p + i);
        const __m256i a = _mm256_slli_epi32(_mm256_loadu_si256(q), 24);
        const __m256i b = _mm256_slli_epi32(_mm256_loadu_si256(q + 1), 24);
        const __m256i c = _mm256_slli_epi32(_mm256_loadu_si256(q + 2), 24);
        const __m256i d = _mm256_slli_epi32(_mm256_loadu_si256(q + 3), 24);
        // The packs work within 128-bit lanes; the permutation puts the
        // groups of four pixels back in order.
        const __m256i packed = _mm256_permutevar8x32_epi32(
            _mm256_packs_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, d)), order);
        const auto light = static_cast<std::uint32_t>(_mm256_movemask_epi8(packed));
        bits |= static_cast<std::uint64_t>(~light) << i;
    }
    return bits | (i < count ? SampleWord(p + i, count - i) << i : 0);
}

__attribute__((target("avx2"))) void SampleRowAvx2(const std::uint32_t* src, int width,
                                                   std::uint64_t* dst) {
    for (int x = 0; x < width; x += 64)
        dst[x / 64] = SampleWordAvx2(src + x, std::min(64, width - x));
}
#endif

} // namespace

void BitPlane::assign(const AreaImage& image, int extraColumns) {
    width_ = image.width;
    height_ = image.height;
    const long long columns =
        static_cast<long long>(width_) + (extraColumns > 0 ? extraColumns : 0);
    wordsPerRow_ = static_cast<std::size_t>((columns + 63) / 64) + 1;
    // Every word is written below: the sampled ones, then the zero padding.
    bits_.resize(wordsPerRow_ * static_cast<std::size_t>(height_));
    const std::size_t sampled = static_cast<std::size_t>((width_ + 63) / 64);
    [[maybe_unused]] const bool wide = cpu::HasAvx2();
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* src = image.pixels.data() + static_cast<std::size_t>(y) * width_;
        std::uint64_t* dst = bits_.data() + static_cast<std::size_t>(y) * wordsPerRow_;
#if defined(TIRELMA_AVX2_DISPATCH)
        if (wide)
            SampleRowAvx2(src, width_, dst);
        else
#endif
            for (int x = 0; x < width_; x += 64)
                dst[x / 64] = SampleWord(src + x, std::min(64, width_ - x));
        std::fill(dst + sampled, dst + wordsPerRow_, 0);
    }
}

} // namespace engine
