// Reading a fuzzer's bytes as small structured inputs: numbers, texts with
// the characters that matter to the profile file, two-level-ish pictures.
// Everything is taken from the front; an exhausted input reads as zeros, so
// every input decodes to something.
#pragma once

#include "AreaImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// A property that must hold for every input; a failure ends the run with a
// crash report, and the input that caused it is saved by the fuzzer.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);       \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzzing {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t u16() {
        const std::uint16_t lo = byte();
        return static_cast<std::uint16_t>(lo | (byte() << 8));
    }
    std::uint32_t u32() {
        const std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u16()) << 16);
    }
    double f64() {
        std::uint64_t bits = u32();
        bits |= static_cast<std::uint64_t>(u32()) << 32;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    // Up to n raw bytes.
    std::string bytes(std::size_t n) {
        n = std::min(n, remaining());
        std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }
    std::string rest() { return bytes(remaining()); }

    // A text of up to 31 parts. Bytes below 0x80 are themselves (line
    // breaks, NUL, brackets, '=', quotes and blanks included); 0x80..0xDF pick
    // a character that the profile file treats specially; 0xE0..0xEF repeat
    // an earlier text, so that operations meet on the same names; 0xF0..0xFF
    // take any code unit from the next two bytes. A repeat that would make
    // the text longer than kLongestText is left out: repeats of repeats grow
    // texts to megabytes, which find nothing more than texts past the 254
    // bytes a profile read gives, and took a second a run.
    static constexpr std::size_t kLongestText = 600;
    std::u16string text() {
        static constexpr char16_t kSpecial[] = {
            u'\u3000',
            u'エ',
            u'ト',
            u'コ',
            u'メ',
            u'ン',
            u'前',
            u'認',
            u'識',
            u'区',
            u'切',
            u'り',
            u'刻',
            u'み',
            u'Ａ',
            u'ａ',
            u'\uFF5E',
            u'\u301C',
            u'\u00A5',
            u'\u203E',
            u'\u2225',
            u'\uFFE2',
            u'\u00AC',
            u'\u00E9',
            u'\uD55C',
            u'\uFFFD',
            char16_t(0xD83D),
            char16_t(0xDE00),
            u'\u0080',
            u'\u00A0',
            u'\u2028',
            u'\uFEFF',
            u'ソ',
            u'表',
            u'能',
            u'ゾ',
            u'ゼ',
            u'ー',
            u'脳',
            u'\u30FB',
            u'\uFF61',
            u'\uFF9F',
            u'\u2460',
            u'\u2160',
            u'\u7E8A',
        };
        const std::size_t n = byte() % 32;
        std::u16string out;
        for (std::size_t i = 0; i < n && !empty(); ++i) {
            const std::uint8_t c = byte();
            if (c < 0x80) {
                out.push_back(c);
            } else if (c < 0xE0) {
                out.push_back(kSpecial[(c - 0x80) % std::size(kSpecial)]);
            } else if (c < 0xF0) {
                if (history_.empty()) continue;
                const std::u16string& earlier = history_[(c - 0xE0) % history_.size()];
                if (out.size() + earlier.size() <= kLongestText) out += earlier;
            } else {
                out.push_back(static_cast<char16_t>(u16()));
            }
        }
        history_.push_back(out);
        return out;
    }

    // A picture of up to maxW x maxH pixels, one byte each: the byte is the
    // red component (below 128 is dark), green and blue vary so that they are
    // seen not to matter.
    engine::AreaImage image(int maxW, int maxH) {
        const int w = byte() % (maxW + 1);
        const int h = byte() % (maxH + 1);
        engine::AreaImage img(w, h);
        for (auto& p : img.pixels) {
            const std::uint32_t red = empty() ? 255 : byte();
            p = red | (((red * 37u) & 0xFFu) << 8) | (((red * 101u) & 0xFFu) << 16);
        }
        return img;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::vector<std::u16string> history_;
};

} // namespace fuzzing
