// The one number-literal parser: program text, data fields, switches.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "symbols/value.h"

namespace zav {

enum class NumType { Integer = 0, Real = 1, Complex = 2 };

struct NumLit {
  bool valid = false;
  NumType type = NumType::Integer;
  std::int32_t i = 0;
  Real r = 0;  // also set when the type is Integer
  Complex c;   // also set (imaginary part 0) when the type is Integer or Real
};

// Reads the whole text as one number in any of the language's forms; text
// with anything left over is not valid. Besides the single bytes 230 (micro)
// and 248 (degree) of the old console code page, the UTF-8 micro and degree
// signs are taken as those characters.
NumLit parseNumber(std::string_view text);

// Julian day number of a calendar date (Julian calendar up to 4 October 1582,
// Gregorian from 15 October 1582; no year 0, the year before 1 is -1).
// Empty when the year is 0, the month is outside 1..12, the day outside
// 1..31, or the result does not fit a 32-bit INTEGER. A day beyond the
// month's length is accepted and runs into the next month.
std::optional<std::int32_t> julianDay(std::int64_t day, std::int64_t month, std::int64_t year);

}  // namespace zav
