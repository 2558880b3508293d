#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

namespace settings {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string FormatG(double x, int digits) {
    if (x == 0.0 || std::isnan(x)) return u"0"; // also turns -0 into "0"
    if (std::isinf(x)) return x > 0 ? u"1.#INF" : u"-1.#INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, x);
    std::u16string out;
    for (const char* p = buf; *p; ++p)
        out.push_back(static_cast<char16_t>(*p));
    return out;
}

// The power of ten of the first significant digit of a number written as
// digits with an optional point and exponent ("0.05e3" gives 1); the number
// is not zero.
long long DecimalExponent(std::string_view number) {
    const auto e = number.find('e');
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::size_t i = e + 1;
        const bool negative = number[i] == '-';
        if (number[i] == '-' || number[i] == '+') ++i;
        for (; i < number.size(); ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    const std::string_view mantissa = number.substr(0, e);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos) return exponent;
    return exponent + (first < point ? static_cast<long long>(point - first) - 1
                                     : -static_cast<long long>(first - point));
}

} // namespace

double NumberValue(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;

    std::string digits; // ASCII copy of the prefix, for from_chars
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        digits.push_back(static_cast<char>(text[i++]));
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == u'.') {
        digits.push_back('.');
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            digits.push_back(static_cast<char>(text[i++]));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return 0.0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent.push_back(static_cast<char>(text[j++]));
        std::size_t expDigits = 0;
        while (j < text.size() && IsDigit(text[j])) {
            exponent.push_back(static_cast<char>(text[j++]));
            ++expDigits;
        }
        if (expDigits > 0) digits += exponent; // "1e" or "1e+" keep only the 1
    }
    if (digits.front() == '.') digits.insert(digits.begin(), '0');

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Either too large or too small: the place of the first significant
        // digit tells which (the exponent's sign alone does not: 1 and 400 zeros,
        // times 1e-20, is still too large).
        value = DecimalExponent(digits) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> RoundToInt32(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double r = std::nearbyint(x); // the default rounding mode is half to even
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::optional<std::int16_t> RoundToInt16(double x) {
    const auto r = RoundToInt32(x);
    if (!r || *r < -32768 || *r > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*r);
}

std::int32_t RoundToInt32Or(double x, std::int32_t fallback) {
    return RoundToInt32(x).value_or(fallback);
}

double RoundOff(double x) {
    if (x == 0.0) return 0.0;
    if (x > 0) return std::floor(x + 0.5);
    return -std::floor(0.5 - x);
}

std::u16string DoubleText(double x) {
    return FormatG(x, 15);
}

std::u16string SingleText(float x) {
    return FormatG(static_cast<double>(x), 7);
}

std::u16string SpaceCut(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text)
        if (c != u' ' && c != u'\u3000') out.push_back(c);
    return out;
}

void StrSwap(std::u16string& a, std::u16string& b) {
    a.swap(b);
}

void CombSort(std::vector<std::u16string>& items) {
    const long long u = static_cast<long long>(items.size()) - 1;
    long long gap = static_cast<long long>(std::trunc(static_cast<double>(u) / 1.3));
    bool swapped = false;
    do {
        if (gap <= 0) gap = 1;
        if (gap == 9 || gap == 10) gap = 11;
        swapped = false;
        for (long long i = 0; i <= u - gap; ++i) {
            auto& a = items[static_cast<std::size_t>(i)];
            auto& b = items[static_cast<std::size_t>(i + gap)];
            if (a > b) {
                StrSwap(a, b);
                swapped = true;
            }
        }
        gap = static_cast<long long>(std::trunc(static_cast<double>(gap) / 1.3));
    } while (gap != 0 || swapped);
}

} // namespace settings
