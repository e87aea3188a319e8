// Numbers in data-file fields: every form of the number-literal reader, and
// the spellings other tools write into their exports.
#pragma once
#include <string_view>

#include "symbols/value.h"

namespace zav {

struct Settings;

// A field's value, or false when the text is no number. Plain decimals
// (digits, an optional fraction, an exponent with an optional sign: "1e+05",
// "-2.5E+3") of any length are read whole and rounded once; "Inf", "-Inf",
// "inf", "+oo", "oo", "-oo" are the infinities and "NaN", "nan" not a number.
// A complex value is not a field's value.
bool readFieldNumber(const Settings& s, std::string_view text, Real& x);

// True for the texts that mark a value as missing: the empty field, "NA",
// "N/A" and ".".
bool isMissingField(std::string_view text);

}  // namespace zav
