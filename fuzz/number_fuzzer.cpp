// The number rule, the half-to-even conversions and the sort of names,
// against references written another way:
// - NumberValue: the longest prefix of the form [+-]digits[.digits][e[+-]digits]
//   (or [+-].digits[...]) after blanks, found by a plain scan, converted by
//   the C library's strtod;
// - RoundToInt32/16: floor, the distance to it, and the even neighbour for
//   an exact half, with the range checked in doubles;
// - DoubleText/SingleText read back by NumberValue within their digits;
// - CombSort: std::sort.
//
// Input: the first 8 bytes as a double for the conversions; the rest as a text
// for the number rule, and split at 0xFF as texts for the sort.
#include "FuzzInput.h"
#include "Numbers.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

double ReferenceNumber(std::u16string_view text) {
    std::string ascii;
    for (char16_t c : text)
        ascii.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '\x01'); // never part of one
    std::size_t i = ascii.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return 0.0;
    const std::size_t start = i;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9')
            ++i;
        return i - from;
    };
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < ascii.size() && ascii[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    // An exponent only when digits follow it.
    if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
        const std::size_t mark = i++;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
        if (digits() == 0) i = mark;
    }
    return std::strtod(ascii.substr(start, i - start).c_str(), nullptr);
}

std::optional<std::int64_t> ReferenceHalfEven(double x, double lo, double hi) {
    if (!std::isfinite(x)) return std::nullopt;
    const double f = std::floor(x);
    const double d = x - f; // exact
    double r = f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) r = f + 1;
    if (r < lo || r > hi) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

void CheckConversions(double x) {
    const auto r32 = settings::RoundToInt32(x);
    const auto ref32 = ReferenceHalfEven(x, -2147483648.0, 2147483647.0);
    FUZZ_CHECK(r32.has_value() == ref32.has_value());
    if (r32) FUZZ_CHECK(*r32 == *ref32);
    const auto r16 = settings::RoundToInt16(x);
    const auto ref16 = ReferenceHalfEven(x, -32768.0, 32767.0);
    FUZZ_CHECK(r16.has_value() == ref16.has_value());
    if (r16) FUZZ_CHECK(*r16 == *ref16);
    FUZZ_CHECK(settings::RoundToInt32Or(x, 12345) == (ref32 ? *ref32 : 12345));

    // The texts of a number read back to it within their digits.
    if (std::isfinite(x)) {
        // (15 digits round the largest doubles up, past the range.)
        const double d = settings::NumberValue(settings::DoubleText(x));
        FUZZ_CHECK(std::fabs(d - x) <= std::fabs(x) * 1e-14 || std::fabs(x) < 1e-300 ||
                   (std::isinf(d) && std::fabs(x) > 1.79769313486231e308));
        const float f = static_cast<float>(x);
        if (std::isfinite(f)) {
            const double g = settings::NumberValue(settings::SingleText(f));
            FUZZ_CHECK(std::fabs(g - f) <= std::fabs(f) * 1e-6 || std::fabs(f) < 1e-37);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C"); // the reference's strtod reads '.' as the point
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    CheckConversions(in.f64());
    const std::string rest = in.rest();

    // The number rule: bytes as characters, with a few that must not count
    // as digits or blanks.
    std::u16string text;
    for (const char c : rest) {
        const auto b = static_cast<std::uint8_t>(c);
        static constexpr char16_t kOther[] = {u'\u3000', u'０',     u'９', u'．',     u'－',
                                              u'\u00A0', u'\u2212', u'Ｅ', u'\uFFFD', u'\u0660'};
        text.push_back(b < 0xF0 ? (b < 0x80 ? b : u'0' + b % 10) : kOther[b % 10]);
    }
    const double v = settings::NumberValue(text);
    const double ref = ReferenceNumber(text);
    if (!SameDouble(v, ref)) {
        std::fprintf(stderr, "NumberValue %.17g, reference %.17g\n", v, ref);
        FUZZ_CHECK(SameDouble(v, ref));
    }
    CheckConversions(v);

    // The sort of names.
    std::vector<std::u16string> items(1);
    for (const char c : rest) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b != 0xFF)
            items.back().push_back(b < 0xC0 ? b : static_cast<char16_t>(0x3000 + b));
        else if (items.size() < 40)
            items.emplace_back();
    }
    auto sorted = items;
    std::sort(sorted.begin(), sorted.end());
    settings::CombSort(items);
    FUZZ_CHECK(items == sorted);
    return 0;
}
