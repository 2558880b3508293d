// An area sampled once into bit rows: bit x of row y is set when pixel (x, y)
// is dark (red below 128). Everything outside the picture reads as 0, like
// the background, so windows that reach past the edges need no special case.
#pragma once

#include "AreaImage.h"

#include <bit>
#include <cstdint>
#include <vector>

namespace engine {

// Rows are read as bytes, and several bytes at once as one word.
static_assert(std::endian::native == std::endian::little);

class BitPlane {
public:
    BitPlane() = default;
    // extraColumns: zero columns kept after the right edge for word reads.
    explicit BitPlane(const AreaImage& image, int extraColumns = 64) {
        assign(image, extraColumns);
    }

    // Samples another image, reusing the storage.
    void assign(const AreaImage& image, int extraColumns = 64);

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t wordsPerRow() const { return wordsPerRow_; }
    const std::uint64_t* row(int y) const {
        return bits_.data() + static_cast<std::size_t>(y) * wordsPerRow_;
    }
    // The same rows as bytes: bit x of a row is bit x % 8 of its byte x / 8.
    const std::uint8_t* bytes() const {
        return reinterpret_cast<const std::uint8_t*>(bits_.data());
    }
    std::size_t bytesPerRow() const { return wordsPerRow_ * 8; }

    // The 64 bits starting at column x of row y (x may be negative or past the
    // right edge; rows outside read as 0).
    std::uint64_t bitsAt(long long x, long long y) const {
        if (y < 0 || y >= height_) return 0;
        const long long wi = x >= 0 ? x / 64 : -((63 - x) / 64);
        const int shift = static_cast<int>(x - wi * 64);
        std::uint64_t lo = word(y, wi) >> shift;
        if (shift != 0) lo |= word(y, wi + 1) << (64 - shift);
        return lo;
    }

    // Mismatching pixels of template rows (each `width` bits wide) placed with
    // its top-left at (x, y); counting stops once the count reaches `stopAt`.
    int mismatches(const std::uint32_t* rows, int rowCount, int width, long long x, long long y,
                   int stopAt) const {
        const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
        int score = 0;
        for (int j = 0; j < rowCount; ++j) {
            score += std::popcount((bitsAt(x, y + j) & mask) ^ rows[j]);
            if (score >= stopAt) return score;
        }
        return score;
    }

private:
    std::uint64_t word(long long y, long long wi) const {
        if (wi < 0 || wi >= static_cast<long long>(wordsPerRow_)) return 0;
        return bits_[static_cast<std::size_t>(y) * wordsPerRow_ + static_cast<std::size_t>(wi)];
    }

    int width_ = 0;
    int height_ = 0;
    std::size_t wordsPerRow_ = 0;
    std::vector<std::uint64_t> bits_;
};

} // namespace engine
