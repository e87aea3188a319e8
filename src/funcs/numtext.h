// Real to text with a width and decimals: every message and output routine
// that shows a number goes through here.
#pragma once
#include <string>

#include "symbols/value.h"

namespace zav {

struct Settings;

// Width w > 0 is the field width and, with decimals d > 0, decides how many
// digits show (d only chooses between fixed and exponent form); d = 0 gives
// fixed form without decimals, d < 0 exponent form. w <= 0 formats in |w|
// columns with d decimals (|w| - 2 when d <= 0) and left-justifies. Values at
// or beyond INFINITY / NEGINFINITY print "+oo" / "-oo" while SYMBOLINFIN is on,
// a not-a-number prints "NaN".
std::string realToText(const Settings& s, Real x, int width, int decimals);

// The real part, then "+" and the imaginary part (or "-" and the magnitude of
// a negative imaginary part), then "i"; both parts with the same width and
// decimals.
std::string complexToText(const Settings& s, Complex c, int width, int decimals);

}  // namespace zav
