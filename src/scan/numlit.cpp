// Number literals. The text is read left to right once: a leading integer or
// real, then whatever is left decides the form (multiplier suffix, exponent,
// base, Roman numeral, date, clock time, angle, fraction). Decimal scalings
// are done by handing the digits and a power of ten to strtold together, so
// "1.1k" is the double nearest 1100 and not 1.1 rounded and then multiplied.
#include "scan/numlit.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zav {
namespace {

constexpr std::int64_t kInt32Max = 2147483647;
constexpr std::int64_t kInt32Min = -2147483647 - 1;
// pi/180 rounded to the 64-bit mantissa.
constexpr Real kRadPerDeg = 0.0174532925199432957692369076848861271344L;

constexpr unsigned char kMicro = 230;   // the micro sign of the old console code page
constexpr unsigned char kDegree = 248;  // the degree sign of the same page

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
char lower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

// Converts decimal text that strtold understands. The buffer keeps the
// common case off the heap; numbers are at most a line long.
Real toReal(std::string_view text) {
  char buf[320];
  if (text.size() < sizeof buf) {
    std::memcpy(buf, text.data(), text.size());
    buf[text.size()] = '\0';
    return std::strtold(buf, nullptr);
  }
  std::string copy(text);
  return std::strtold(copy.c_str(), nullptr);
}

// mantissa text times 10^power, rounded once.
Real scaledReal(std::string_view mantissa, std::int64_t power) {
  char buf[340];
  if (mantissa.size() + 24 < sizeof buf) {
    std::memcpy(buf, mantissa.data(), mantissa.size());
    std::snprintf(buf + mantissa.size(), sizeof buf - mantissa.size(), "e%lld", static_cast<long long>(power));
    return std::strtold(buf, nullptr);
  }
  std::string copy(mantissa);
  copy += 'e';
  copy += std::to_string(power);
  return std::strtold(copy.c_str(), nullptr);
}

// A run of digits as a non-negative value; false when there is none or the
// value passes `limit`.
bool readDigits(std::string_view t, std::size_t& pos, std::int64_t limit, std::int64_t& value) {
  std::size_t start = pos;
  value = 0;
  bool over = false;
  while (pos < t.size() && isDigit(t[pos])) {
    if (!over) {
      value = value * 10 + (t[pos] - '0');
      if (value > limit) over = true;
    }
    ++pos;
  }
  return pos > start && !over;
}

// One field of a clock time or angle: [-]digits[.digits].
struct Field {
  Real value = 0;   // signed
  bool negative = false;
  bool decimals = false;
};

bool readField(std::string_view t, std::size_t& pos, bool allowSign, Field& f) {
  std::size_t start = pos;
  f = Field{};
  if (allowSign && pos < t.size() && t[pos] == '-') {
    f.negative = true;
    ++pos;
  }
  std::size_t digits = pos;
  while (pos < t.size() && isDigit(t[pos])) ++pos;
  if (pos == digits) return false;
  if (pos < t.size() && t[pos] == '.') {
    f.decimals = true;
    ++pos;
    while (pos < t.size() && isDigit(t[pos])) ++pos;
  }
  f.value = toReal(t.substr(start, pos - start));
  return true;
}

NumLit makeInteger(std::int64_t v) {
  NumLit n;
  if (v < kInt32Min || v > kInt32Max) return n;
  n.valid = true;
  n.type = NumType::Integer;
  n.i = static_cast<std::int32_t>(v);
  n.r = static_cast<Real>(n.i);
  n.c = Complex{n.r, 0};
  return n;
}

NumLit makeReal(Real v) {
  NumLit n;
  n.valid = true;
  n.type = NumType::Real;
  n.r = v;
  n.c = Complex{v, 0};
  return n;
}

NumLit makeImaginary(Real v) {
  NumLit n;
  n.valid = true;
  n.type = NumType::Complex;
  n.r = 0;
  n.c = Complex{0, v};
  return n;
}

NumLit makeDate(std::int64_t day, std::int64_t month, std::int64_t year) {
  auto j = julianDay(day, month, year);
  return j ? makeInteger(*j) : NumLit{};
}

// The multiplier pairs; power-of-two factors are exact, so they multiply.
bool pairFactor(std::string_view rest, int& decimalPower, int& binaryPower) {
  static constexpr struct {
    const char* text;
    int ten, two;
  } kPairs[] = {{"da", 1, 0},  {"Ki", 0, 10}, {"Mi", 0, 20}, {"Gi", 0, 30},
                {"Ti", 0, 40}, {"Pi", 0, 50}, {"Ei", 0, 60}};
  for (const auto& p : kPairs) {
    if (rest == p.text) {
      decimalPower = p.ten;
      binaryPower = p.two;
      return true;
    }
  }
  return false;
}

// Power of ten of a one-character SI suffix.
bool siPower(unsigned char ch, int& power) {
  switch (ch) {
    case 'Y': power = 24; return true;
    case 'Z': power = 21; return true;
    case 'E': power = 18; return true;
    case 'P': power = 15; return true;
    case 'T': power = 12; return true;
    case 'G': power = 9; return true;
    case 'M': power = 6; return true;
    case 'k': power = 3; return true;
    case 'h': power = 2; return true;
    case 'd': power = -1; return true;
    case 'c': case '%': power = -2; return true;
    case 'm': power = -3; return true;
    case 'u': case kMicro: power = -6; return true;
    case 'n': power = -9; return true;
    case 'p': power = -12; return true;
    case 'f': power = -15; return true;
    case 'a': power = -18; return true;
    case 'z': power = -21; return true;
    case 'y': power = -24; return true;
    default: return false;
  }
}

int monthIndex(std::string_view t) {
  static constexpr const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                            "jul", "aug", "sep", "oct", "nov", "dec"};
  if (t.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    if (lower(t[0]) == kMonths[m][0] && lower(t[1]) == kMonths[m][1] && lower(t[2]) == kMonths[m][2]) return m + 1;
  }
  return 0;
}

// Degrees, minutes and seconds, with the sign rule: only the first non-zero
// field may carry the sign, which then applies to the whole value.
bool combineDms(const Field& a, const Field& b, const Field& c, Real& out) {
  if (a.value != 0 && (b.negative || c.negative)) return false;
  if (a.value == 0 && b.value != 0 && c.negative) return false;
  Real mag = std::fabs(a.value) + (std::fabs(b.value) + std::fabs(c.value) / 60) / 60;
  out = (a.negative || b.negative || c.negative) ? -mag : mag;
  return true;
}

// x H y' [z"] and the same with a degree mark. `first` is the leading integer.
NumLit hourOrDegree(std::string_view t, std::size_t pos, const Field& first, bool degrees) {
  Field mins, secs;
  if (!readField(t, pos, true, mins)) return {};
  if (pos >= t.size() || t[pos] != '\'') return {};
  ++pos;
  if (pos < t.size()) {
    if (mins.decimals) return {};
    if (!readField(t, pos, true, secs)) return {};
    if (pos + 1 != t.size() || t[pos] != '"') return {};
  }
  Real v;
  if (!combineDms(first, mins, secs, v)) return {};
  return makeReal(degrees ? v * kRadPerDeg : v);
}

// x:y or x:y:z, optionally ending in am or pm.
NumLit clockTime(std::string_view t, std::size_t pos, bool negative, std::int64_t hour) {
  // A time of day has no sign; "-0:30" would otherwise lose it silently.
  if (negative) return {};
  Field mins, secs;
  if (!readField(t, pos, false, mins)) return {};
  if (pos < t.size() && t[pos] == ':' && !mins.decimals) {
    ++pos;
    if (!readField(t, pos, false, secs)) return {};
  }
  if (pos + 2 == t.size()) {
    char a = lower(t[pos]), m = lower(t[pos + 1]);
    if ((a != 'a' && a != 'p') || m != 'm') return {};
    if (hour > 12) return {};
    if (hour == 12) hour = 0;
    if (a == 'p') hour += 12;
    pos += 2;
  }
  if (pos != t.size()) return {};
  if (hour > 24) return {};
  if (hour == 24) hour = 0;
  if (mins.value > 60 || secs.value > 60) return {};
  return makeReal(static_cast<Real>(hour) + mins.value / 60 + secs.value / 3600);
}

// xDyMzY, xMyDzY, xYyMzD: three unsigned integers and three letters, the last
// ending the text. `order` names the field of each letter.
NumLit letterDate(std::string_view t, std::size_t pos, std::int64_t first, const char* order) {
  std::int64_t f[3] = {first, 0, 0};
  for (int k = 1; k < 3; ++k) {
    if (!readDigits(t, pos, kInt32Max, f[k])) return {};
    if (pos >= t.size() || lower(t[pos]) != order[k]) return {};
    ++pos;
  }
  if (pos != t.size()) return {};
  std::int64_t day = 0, month = 0, year = 0;
  for (int k = 0; k < 3; ++k) {
    switch (order[k]) {
      case 'd': day = f[k]; break;
      case 'm': month = f[k]; break;
      default: year = f[k]; break;
    }
  }
  return makeDate(day, month, year);
}

NumLit baseForm(std::string_view t, std::size_t pos, bool negative, std::int64_t lead) {
  std::int64_t base = lead < 0 ? -lead : lead;
  if (base < 2 || base > 36 || pos >= t.size()) return {};
  std::int64_t v = 0;
  for (; pos < t.size(); ++pos) {
    char ch = lower(t[pos]);
    int digit;
    if (isDigit(ch)) digit = ch - '0';
    else if (ch >= 'a' && ch <= 'z') digit = ch - 'a' + 10;
    else return {};
    if (digit >= base) return {};
    v = v * base + digit;
    if (v > kInt32Max + 1) return {};
  }
  return makeInteger(negative ? -v : v);
}

// Roman numerals, read from the right. A letter smaller than the one it is
// compared with is subtracted; after a subtraction the comparison value stays
// the larger one, so "XIIX"-like runs are taken as written.
NumLit romanForm(std::string_view t, std::size_t pos, bool negative, std::int64_t lead) {
  if (lead != 0 || pos >= t.size()) return {};
  std::int64_t total = 0, compare = 0;
  for (std::size_t k = t.size(); k > pos; --k) {
    char ch = t[k - 1];
    std::int64_t v;
    switch (lower(ch)) {
      case 'i': v = 1; break;
      case 'v': v = 5; break;
      case 'x': v = 10; break;
      case 'l': v = 50; break;
      case 'c': v = 100; break;
      case 'd': v = 500; break;
      case 'm': v = 1000; break;
      default: return {};
    }
    if (v < compare) {
      // Upper-case V, L and D are never subtracted; the lower-case letters
      // are, as the number rules have always read them.
      if (ch == 'V' || ch == 'L' || ch == 'D') return {};
      if (compare > 10 * v) return {};
      total -= v;
    } else {
      total += v;
      compare = v;
    }
  }
  return makeInteger(negative ? -total : total);
}

NumLit fraction(std::string_view t, std::size_t pos, bool negative, std::int64_t lead) {
  std::int64_t num, den;
  if (!readDigits(t, pos, kInt32Max, num)) return {};
  if (pos >= t.size() || t[pos] != '/') return {};
  ++pos;
  if (!readDigits(t, pos, kInt32Max, den)) return {};
  if (pos != t.size() || den == 0) return {};
  // |lead|*den + num stays below 2^63, so one division rounds once.
  std::int64_t whole = lead < 0 ? -lead : lead;
  Real v = static_cast<Real>(whole * den + num) / static_cast<Real>(den);
  return makeReal(negative ? -v : v);
}

// The UTF-8 micro and degree signs become the single bytes the rest of the
// parser knows, so "5µ" and "90°" are two-character texts as on the console.
std::string_view foldSigns(std::string_view text, std::string& store) {
  if (text.find('\xC2') == std::string_view::npos) return text;
  store.clear();
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\xC2' && k + 1 < text.size() && (text[k + 1] == '\xB5' || text[k + 1] == '\xB0')) {
      store += static_cast<char>(text[k + 1] == '\xB5' ? kMicro : kDegree);
      ++k;
    } else {
      store += text[k];
    }
  }
  return store;
}

}  // namespace

std::optional<std::int32_t> julianDay(std::int64_t day, std::int64_t month, std::int64_t year) {
  if (year == 0 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  // Far beyond any 32-bit day number; keeps the arithmetic below in range.
  if (year > 10000000 || year < -10000000) return std::nullopt;
  // There is no year 0: 1 BC follows 1 AD directly. Shifting negative years
  // by one and rounding down (not toward zero) keeps BC dates on the same
  // day count as AD ones; for AD years this is the plain formula.
  std::int64_t y = year < 0 ? year + 1 : year;
  std::int64_t jy, jm;
  if (month > 2) {
    jy = y;
    jm = month + 1;
  } else {
    jy = y - 1;
    jm = month + 13;
  }
  auto floorDiv = [](std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  // 365.25*jy and 30.6001*jm in exact integer arithmetic.
  std::int64_t j = floorDiv(1461 * jy, 4) + (306001 * jm) / 10000 + day + 1720995;
  // The Gregorian calendar starts on 15 October 1582.
  if (day + 31 * (month + 12 * year) >= 588829) {
    std::int64_t ja = jy / 100;
    j += 2 - ja + ja / 4;
  }
  if (j < kInt32Min || j > kInt32Max) return std::nullopt;
  return static_cast<std::int32_t>(j);
}

NumLit parseNumber(std::string_view text) {
  std::string store;
  const std::string_view t = foldSigns(text, store);
  if (t.empty()) return {};

  // 1. Leading part: [-]digits[.digits]
  std::size_t pos = 0;
  const bool negative = t[0] == '-';
  if (negative) ++pos;
  const std::size_t digitsStart = pos;
  while (pos < t.size() && isDigit(t[pos])) ++pos;
  if (pos == digitsStart) return {};
  bool isReal = false;
  if (pos < t.size() && t[pos] == '.') {
    isReal = true;
    ++pos;
    while (pos < t.size() && isDigit(t[pos])) ++pos;
  }
  const std::string_view lead = t.substr(0, pos);
  std::int64_t leadInt = 0;
  if (!isReal) {
    std::size_t p = digitsStart;
    if (!readDigits(t, p, kInt32Max + 1, leadInt)) return {};
    if (negative) leadInt = -leadInt;
    if (leadInt > kInt32Max) return {};
  }
  const std::string_view rest = t.substr(pos);

  // 2. Nothing left.
  if (rest.empty()) return isReal ? makeReal(toReal(lead)) : makeInteger(leadInt);

  // 3. Multiplier pairs.
  if (int ten, two; rest.size() == 2 && pairFactor(rest, ten, two)) {
    return makeReal(std::ldexp(scaledReal(lead, ten), two));
  }

  // 4. One-character suffixes.
  if (rest.size() == 1) {
    const auto ch = static_cast<unsigned char>(rest[0]);
    if (int power; siPower(ch, power)) return makeReal(scaledReal(lead, power));
    const Real v = toReal(lead);
    switch (ch) {
      case 'i': return makeImaginary(v);
      case '"': return makeReal(v / 3600 * kRadPerDeg);
      case '\'': return makeReal(v / 60 * kRadPerDeg);
      case '`': case kDegree: return makeReal(v * kRadPerDeg);
      default: return {};
    }
  }

  // 5. Exponent, optionally imaginary.
  if (rest[0] == 'E' || rest[0] == 'e') {
    std::size_t p = pos + 1;
    const bool expNegative = p < t.size() && t[p] == '-';
    if (expNegative) ++p;
    std::int64_t power;
    if (!readDigits(t, p, kInt32Max, power)) return {};
    const Real v = scaledReal(lead, expNegative ? -power : power);
    if (p == t.size()) return makeReal(v);
    if (p + 1 == t.size() && t[p] == 'i') return makeImaginary(v);
    return {};
  }

  // 6. Forms that need an integer leading part.
  if (isReal) return {};
  if (!negative && rest.size() > 2) {
    if (int month = monthIndex(rest)) {
      std::size_t p = pos + 3;
      std::int64_t year = 0;
      if (p < t.size() && !readDigits(t, p, kInt32Max, year)) return {};
      if (p != t.size()) return {};
      return makeDate(leadInt, month, year);
    }
  }
  const std::size_t next = pos + 1;
  const auto sel = static_cast<unsigned char>(rest[0]);
  Field first;
  first.value = static_cast<Real>(leadInt);
  first.negative = negative;
  switch (sel) {
    case 'X': case 'x': return baseForm(t, next, negative, leadInt);
    case 'R': case 'r': return romanForm(t, next, negative, leadInt);
    case ':': return clockTime(t, next, negative, leadInt);
    case 'D': case 'd': return negative ? NumLit{} : letterDate(t, next, leadInt, "dmy");
    case 'M': case 'm': return negative ? NumLit{} : letterDate(t, next, leadInt, "mdy");
    case 'Y': case 'y': return negative ? NumLit{} : letterDate(t, next, leadInt, "ymd");
    case 'H': case 'h': return hourOrDegree(t, next, first, false);
    case '`': case kDegree: return hourOrDegree(t, next, first, true);
    case '\'': {
      // minutes'seconds": the degrees are an implicit 0.
      Field secs;
      std::size_t p = next;
      if (!readField(t, p, true, secs)) return {};
      if (p + 1 != t.size() || t[p] != '"') return {};
      Real v;
      if (!combineDms(Field{}, first, secs, v)) return {};
      return makeReal(v * kRadPerDeg);
    }
    case '_': return fraction(t, next, negative, leadInt);
    default: return {};
  }
}

}  // namespace zav
