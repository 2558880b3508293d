// Number and text conversions shared by every reader of the profile file.
//
// Values are stored as text and turned into numbers with one lenient rule, so
// that hand-edited or half-typed values never stop the program: leading blanks
// are skipped, the longest decimal-number prefix is taken, and anything else
// (the empty text included) is 0. Integers are taken from those numbers with
// rounding half to even (2.5 -> 2, 3.5 -> 4).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Numeric value of the leading decimal number of text (sign, digits, point,
// fraction, exponent), after leading blanks; 0 when there is none. A number
// too large for a double gives plus or minus infinity.
double NumberValue(std::u16string_view text);

// x rounded half to even, or nothing when x is not finite or out of range.
std::optional<std::int32_t> RoundToInt32(double x);
std::optional<std::int16_t> RoundToInt16(double x);

// RoundToInt32, with fallback for values that have no 32-bit integer.
std::int32_t RoundToInt32Or(double x, std::int32_t fallback);

// Nearest integer, halves away from zero: 2.5 -> 3, -2.5 -> -3, 0 -> 0.
double RoundOff(double x);

// The default text of a double: shortest form with up to 15 significant
// digits, no leading blank ("0.5", "12", "1E+15"). Negative zero reads "0".
std::u16string DoubleText(double x);

// The same for a single-precision value: up to 7 significant digits.
std::u16string SingleText(float x);

// The text without any U+0020 or U+3000.
std::u16string SpaceCut(std::u16string_view text);

// Ascending comb sort by UTF-16 code units (upper and lower case distinct).
void CombSort(std::vector<std::u16string>& items);
void StrSwap(std::u16string& a, std::u16string& b);

} // namespace settings
