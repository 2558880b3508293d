// The engine's picture: a captured area in screen pixels.
//
// Colours are 0x00BBGGRR (the low byte is red), as the screen grab delivers
// them. A read outside the picture gives -1, whose red byte is 255, so
// everything beyond the edges counts as background.
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

struct AreaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // row-major, width * height

    AreaImage() = default;
    AreaImage(int w, int h, std::uint32_t fill = 0x00FFFFFF)
        : width(w < 0 ? 0 : w), height(h < 0 ? 0 : h),
          pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    bool contains(long long x, long long y) const {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    std::int32_t pixel(long long x, long long y) const {
        if (!contains(x, y)) return -1;
        return static_cast<std::int32_t>(pixels[static_cast<std::size_t>(y) * width + x]);
    }
    void setPixel(long long x, long long y, std::uint32_t colour) {
        if (contains(x, y)) pixels[static_cast<std::size_t>(y) * width + x] = colour;
    }
};

// The recognition's one two-level rule: a pixel is dark when its red
// component is below 128 (green and blue do not count).
inline bool IsDark(std::int32_t colour) {
    return (colour & 0xFF) < 128;
}

} // namespace engine
