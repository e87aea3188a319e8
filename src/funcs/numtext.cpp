// Real to text. The value is first rounded to 18 significant decimal digits
// (what the extended type reliably carries) and that decimal is then rounded
// half away from zero to the digits shown, so 0.125 shows as 0.13 and 0.15 as
// 0.2, as a reader of the decimal literal expects, whatever the binary tail.
#include "funcs/numtext.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings.h"

namespace zav {
namespace {

constexpr int kSignificant = 18;
// Widths and decimals beyond this are taken as this: a field wider than any
// text line is a mistake, and an unbounded one would exhaust memory.
constexpr int kMaxField = 8192;

// |x| as digits d[0] d[1] ... with value d[0].d[1]d[2]... * 10^exp10.
struct Decimal {
  std::string digits;
  int exp10 = 0;
};

Decimal toDecimal(Real ax) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Le", kSignificant - 1, ax);
  Decimal d;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits += *p;
  }
  if (*p == 'e') d.exp10 = std::atoi(p + 1);
  return d;
}

// Keeps n >= 1 significant digits, rounding half up; a carry out of the first
// digit raises the exponent.
Decimal roundTo(const Decimal& d, int n) {
  Decimal r;
  r.exp10 = d.exp10;
  if (n >= static_cast<int>(d.digits.size())) {
    r.digits = d.digits;
    r.digits.append(n - d.digits.size(), '0');
    return r;
  }
  r.digits = d.digits.substr(0, n);
  if (d.digits[n] >= '5') {
    int k = n - 1;
    while (k >= 0 && r.digits[k] == '9') r.digits[k--] = '0';
    if (k >= 0) {
      ++r.digits[k];
    } else {
      r.digits.insert(r.digits.begin(), '1');
      r.digits.pop_back();
      ++r.exp10;
    }
  }
  return r;
}

std::string padLeft(std::string t, int width) {
  if (static_cast<int>(t.size()) < width) t.insert(0, width - t.size(), ' ');
  return t;
}

// Fixed form with `dec` decimals, right-aligned in `width`.
std::string fixedForm(Real x, int width, int dec) {
  const Decimal d = toDecimal(std::fabs(x));
  // Digits of |x| * 10^dec left of the point, before rounding.
  const int keep = d.exp10 + 1 + dec;
  std::string n;  // |x| * 10^dec rounded to an integer, as digits
  if (keep > 0) {
    Decimal r = roundTo(d, keep);
    n = r.digits;
    if (r.exp10 > d.exp10) n += '0';  // the carry added one digit in front
  } else if (keep == 0 && d.digits[0] >= '5') {
    n = "1";
  } else {
    n = "0";
  }
  bool zero = n.find_first_not_of('0') == std::string::npos;
  if (static_cast<int>(n.size()) <= dec) n.insert(0, dec + 1 - n.size(), '0');
  std::string t;
  if (x < 0 && !zero) t += '-';
  t.append(n, 0, n.size() - dec);
  if (dec > 0) {
    t += '.';
    t.append(n, n.size() - dec, dec);
  }
  return padLeft(std::move(t), width);
}

std::string exponentText(const Decimal& r, int decimals) {
  std::string t(1, r.digits[0]);
  if (decimals > 0) {
    t += '.';
    t.append(r.digits, 1, decimals);
  }
  char e[16];
  std::snprintf(e, sizeof e, "E%c%02d", r.exp10 < 0 ? '-' : '+', std::abs(r.exp10));
  t += e;
  return t;
}

int expDigits(int exp10) {
  int a = std::abs(exp10);
  return a >= 1000 ? 4 : a >= 100 ? 3 : 2;
}

// Exponent form with as many mantissa digits as fit in `width`:
// [-]d.ddd E sign exponent (at least two exponent digits).
std::string exponentForm(Real x, int width) {
  const int sign = x < 0 ? 1 : 0;
  const Decimal d = toDecimal(std::fabs(x));
  auto decimalsFor = [&](int exp10) {
    // [-] d . decimals E s digits
    int p = width - sign - 2 - 2 - expDigits(exp10);
    return p < 1 ? 0 : p;
  };
  int p = decimalsFor(d.exp10);
  Decimal r = roundTo(d, p + 1);
  if (expDigits(r.exp10) != expDigits(d.exp10)) {
    // The carry added an exponent digit: one mantissa digit fewer.
    p = decimalsFor(r.exp10);
    r = roundTo(d, p + 1);
  }
  if (r.digits[0] == '0') r.exp10 = 0;  // zero shows as 0.000E+00
  std::string t = sign ? "-" : "";
  t += exponentText(r, p);
  return padLeft(std::move(t), width);
}

std::string formatFinite(const Settings& s, Real x, int w, int d) {
  if (w <= 0) {
    const int aw = -w;
    const int dd = d > 0 ? d : aw - 2;
    std::string t = dd < 0 ? exponentForm(x, aw) : fixedForm(x, aw, dd);
    t.erase(0, t.find_first_not_of(' '));
    if (static_cast<int>(t.size()) < aw) t.append(aw - t.size(), ' ');
    return t;
  }
  if (d <= 0) return d == 0 ? fixedForm(x, w, 0) : exponentForm(x, w);
  const Real ax = std::fabs(x);
  if (ax <= s.smallestNumber) return fixedForm(0, w, w - 2 > 0 ? w - 2 : 0);
  const int sign = x < 0 ? 1 : 0;
  if (ax >= 1) {
    // The width decides: as many decimals as fit after the integer digits.
    const int m = static_cast<int>(std::trunc(std::log10(ax))) + 1;
    const int r = w - sign - (m == w ? 0 : 1);
    return r < m ? exponentForm(x, w) : fixedForm(x, w, r - m);
  }
  const int r = w - 2 - sign;
  const int e = static_cast<int>(std::trunc(std::log10(ax)));
  return r + e < d ? exponentForm(x, w) : fixedForm(x, w, r);
}

int clampField(int v) { return v > kMaxField ? kMaxField : v < -kMaxField ? -kMaxField : v; }

}  // namespace

std::string realToText(const Settings& s, Real x, int width, int decimals) {
  width = clampField(width);
  decimals = clampField(decimals);
  if (std::isnan(x)) return "NaN";
  const bool posInf = (std::isinf(x) && x > 0) || x >= s.infinity;
  const bool negInf = !posInf && ((std::isinf(x) && x < 0) || x <= s.negInfinity);
  if (posInf || negInf) {
    if (s.symbolInfin) {
      std::string t = posInf ? "+oo" : "-oo";
      const int aw = width < 0 ? -width : width;
      if (static_cast<int>(t.size()) < aw) {
        if (width < 0) t.append(aw - t.size(), ' ');
        else t.insert(0, aw - t.size(), ' ');
      }
      return t;
    }
    // The largest finite number stands in for the infinity.
    x = posInf ? s.infinity : s.negInfinity;
    if (!std::isfinite(x)) x = posInf ? LDBL_MAX : -LDBL_MAX;
  }
  return formatFinite(s, x, width, decimals);
}

std::string complexToText(const Settings& s, Complex c, int width, int decimals) {
  std::string t = realToText(s, c.re, width, decimals);
  if (c.im < 0) {
    t += '-';
    t += realToText(s, -c.im, width, decimals);
  } else {
    t += '+';
    t += realToText(s, c.im, width, decimals);
  }
  t += 'i';
  return t;
}

}  // namespace zav
