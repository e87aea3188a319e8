// Data-field numbers. Exports from statistics tools and spreadsheets are
// mostly plain decimals, so those are read here directly: up to 19
// significant digits and a power of ten up to 27 are both exact in a long
// double, and one multiplication or division of exact operands rounds once,
// giving the value strtold would. Longer digit strings and larger powers go
// to strtold; every other form goes to the number-literal reader.
#include "data/fieldnum.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/settings.h"
#include "scan/numlit.h"

namespace zav {
namespace {

constexpr int kExactPow10 = 27;       // 5^27 < 2^64
constexpr int kExactDigits = 19;      // 10^19 - 1 < 2^64

constexpr std::array<Real, kExactPow10 + 1> kPow10 = [] {
  std::array<Real, kExactPow10 + 1> p{};
  p[0] = 1;
  for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
  return p;
}();

bool isDigit(char c) { return c >= '0' && c <= '9'; }

Real viaStrtold(std::string_view text) {
  const std::string copy(text);
  return std::strtold(copy.c_str(), nullptr);
}

// Digits ["." digits] [("e" | "E") ["+" | "-"] digits] after an optional
// "-"; false (and x untouched) for any other shape.
bool readPlainDecimal(std::string_view t, Real& x) {
  std::size_t i = 0;
  const std::size_t n = t.size();
  const bool negative = n > 0 && t[0] == '-';
  if (negative) ++i;
  if (i == n || !isDigit(t[i])) return false;
  std::uint64_t mantissa = 0;
  int digits = 0;          // significant digits taken into the mantissa
  std::int64_t scale = 0;  // power of ten the mantissa is to be multiplied by
  bool inexact = false;    // a non-zero digit did not fit
  auto take = [&](char c, bool fraction) {
    if (digits == 0 && c == '0') {
      if (fraction) --scale;
      return;
    }
    if (digits < kExactDigits) {
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      ++digits;
      if (fraction) --scale;
    } else {
      if (c != '0') inexact = true;
      if (!fraction) ++scale;
    }
  };
  for (; i < n && isDigit(t[i]); ++i) take(t[i], false);
  const bool whole = i == n;
  if (i < n && t[i] == '.')
    for (++i; i < n && isDigit(t[i]); ++i) take(t[i], true);
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) expNegative = t[i++] == '-';
    if (i == n || !isDigit(t[i])) return false;
    std::int64_t e = 0;
    for (; i < n && isDigit(t[i]); ++i)
      if (e < 100000) e = e * 10 + (t[i] - '0');
    scale += expNegative ? -e : e;
  }
  if (i != n) return false;
  if (inexact || scale > kExactPow10 || scale < -kExactPow10) {
    x = viaStrtold(t);
    return true;
  }
  Real m = static_cast<Real>(mantissa);
  m = scale < 0 ? m / kPow10[static_cast<std::size_t>(-scale)] : m * kPow10[static_cast<std::size_t>(scale)];
  // "-0" is the INTEGER 0 the literal reader makes of it, not a negative zero.
  x = negative && !(whole && mantissa == 0) ? -m : m;
  return true;
}

bool readSpecial(const Settings& s, std::string_view t, Real& x) {
  if (t == "Inf" || t == "inf" || t == "+oo" || t == "oo") x = s.infinity;
  else if (t == "-Inf" || t == "-inf" || t == "-oo") x = s.negInfinity;
  else if (t == "NaN" || t == "nan") x = s.nan;
  else return false;
  return true;
}

}  // namespace

bool readFieldNumber(const Settings& s, std::string_view text, Real& x) {
  if (readPlainDecimal(text, x)) return true;
  const NumLit lit = parseNumber(text);
  if (lit.valid && lit.type != NumType::Complex) {
    x = lit.r;
    return true;
  }
  return readSpecial(s, text, x);
}

bool isMissingField(std::string_view text) { return text.empty() || text == "NA" || text == "N/A" || text == "."; }

}  // namespace zav
