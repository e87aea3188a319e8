#include "funcs/strings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/numtext.h"
#include "scan/numlit.h"

namespace zav {
namespace {

std::string capped(std::string s) {
  if (s.size() > kMaxText) s.resize(kMaxText);
  return s;
}

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Start (0-based) and length of the window pos..pos+n-1 clamped to s.
struct Window {
  std::size_t start, count;
};
Window clampWindow(std::size_t size, std::int32_t pos, std::int32_t n) {
  std::int64_t p = std::max<std::int64_t>(pos, 1) - 1;
  if (p >= static_cast<std::int64_t>(size) || n <= 0) return {std::min<std::size_t>(p, size), 0};
  std::int64_t c = std::min<std::int64_t>(n, static_cast<std::int64_t>(size) - p);
  return {static_cast<std::size_t>(p), static_cast<std::size_t>(c)};
}

}  // namespace

void stringLibError(Interp& in, std::string_view message) {
  std::printf("Error (string lib): %.*s\n", static_cast<int>(message.size()), message.data());
  errorFileStepAndEnd(in);
}

std::string strInt2Str(std::int32_t n) { return std::to_string(n); }

std::string strPadInt(std::int32_t n, std::int32_t width, char pad) {
  std::string s = std::to_string(n);
  std::int32_t w = std::min<std::int32_t>(width, static_cast<std::int32_t>(kMaxText));
  if (static_cast<std::int32_t>(s.size()) < w) s.insert(0, w - s.size(), pad);
  return capped(s);
}

std::string strToBase(Interp& in, std::int32_t n, std::int32_t base) {
  if (base < 2 || base > 36) stringLibError(in, "Can't convert a number to base " + std::to_string(base));
  constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::int64_t v = n;
  std::uint64_t m = v < 0 ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v);
  std::string out;
  do {
    out += kDigits[m % base];
    m /= base;
  } while (m != 0);
  if (n < 0) out += '-';
  std::reverse(out.begin(), out.end());
  return out;
}

std::string strBool2Str(bool b) { return b ? "TRUE" : "FALSE"; }

char strChr(Interp& in, std::int32_t n) {
  if (n < 0 || n > 255) stringLibError(in, "value out of range for conversion to a character");
  return static_cast<char>(static_cast<unsigned char>(n));
}

std::int32_t strOrd(char c) { return static_cast<unsigned char>(c); }

std::string strReal2Str(const Settings& s, Real x, std::int32_t width, std::int32_t decimals) {
  // Wider fields than a string can hold would only be cut again.
  std::int32_t w = std::clamp<std::int32_t>(width, -static_cast<std::int32_t>(kMaxText), kMaxText);
  std::int32_t d = std::clamp<std::int32_t>(decimals, -static_cast<std::int32_t>(kMaxText), kMaxText);
  return capped(realToText(s, x, w, d));
}

std::string strToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upperAscii(c);
  return out;
}

std::string strToLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

std::string strTrimL(std::string_view s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::string strTrimR(std::string_view s) {
  std::size_t i = s.find_last_not_of(' ');
  return i == std::string_view::npos ? std::string() : std::string(s.substr(0, i + 1));
}

std::string strTrim(std::string_view s) { return strTrimL(strTrimR(s)); }

std::string strLeft(std::string_view s, std::int32_t n) {
  return std::string(s.substr(0, clampWindow(s.size(), 1, n).count));
}

std::string strRight(std::string_view s, std::int32_t n) {
  std::size_t c = n <= 0 ? 0 : std::min<std::size_t>(n, s.size());
  return std::string(s.substr(s.size() - c));
}

std::string strSub(std::string_view s, std::int32_t pos, std::int32_t n) {
  Window w = clampWindow(s.size(), pos, n);
  return std::string(s.substr(w.start, w.count));
}

std::string strDelete(std::string_view s, std::int32_t pos, std::int32_t n) {
  Window w = clampWindow(s.size(), pos, n);
  std::string out(s);
  out.erase(w.start, w.count);
  return out;
}

std::string strInsert(std::string_view s, std::string_view t, std::int32_t pos) {
  std::size_t p = static_cast<std::size_t>(std::clamp<std::int64_t>(std::int64_t{pos} - 1, 0, s.size()));
  std::string out(s);
  out.insert(p, t);
  return capped(out);
}

std::int32_t strPos(std::string_view s, std::string_view t) {
  if (t.empty()) return 0;
  std::size_t i = s.find(t);
  return i == std::string_view::npos ? 0 : static_cast<std::int32_t>(i + 1);
}

std::int32_t strLen(std::string_view s) { return static_cast<std::int32_t>(s.size()); }

std::string strConcat(std::string_view s, std::string_view t) {
  std::string out(s);
  out.append(t.substr(0, kMaxText > out.size() ? kMaxText - out.size() : 0));
  return capped(out);
}

std::string strReplace(std::string_view s, std::string_view old, std::string_view repl, bool firstOnly,
                       bool caseSensitive) {
  if (old.empty()) return capped(std::string(s));
  std::string hay = caseSensitive ? std::string(s) : strToUpper(s);
  std::string needle = caseSensitive ? std::string(old) : strToUpper(old);
  std::string out;
  std::size_t from = 0;
  while (true) {
    std::size_t at = hay.find(needle, from);
    if (at == std::string::npos) break;
    out.append(s.substr(from, at - from));
    out.append(repl);
    from = at + old.size();
    if (firstOnly || out.size() > kMaxText) break;
  }
  out.append(s.substr(std::min(from, s.size())));
  return capped(out);
}

std::int32_t strToInt(Interp& in, std::string_view s) {
  NumLit n = parseNumber(s);
  if (!n.valid || n.type != NumType::Integer)
    ReportError(in, ErrCat::RunTime, "Bad string \"" + std::string(s) + "\" in STRING2INT");
  return n.i;
}

Real strToReal(Interp& in, std::string_view s) {
  NumLit n = parseNumber(s);
  if (!n.valid || n.type == NumType::Complex)
    ReportError(in, ErrCat::RunTime, "Bad string \"" + std::string(s) + "\" in STRING2REAL");
  return n.r;
}

int strCompare(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string durationText(Real seconds) {
  bool negative = seconds < 0;
  Real whole = std::floor(std::fabs(seconds));
  if (!(whole < 9.0e18L)) whole = 0;  // not a duration a clock can show
  auto total = static_cast<std::int64_t>(whole);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%02lld:%02lld:%02lld", negative ? "-" : "", static_cast<long long>(total / 3600),
                static_cast<long long>(total / 60 % 60), static_cast<long long>(total % 60));
  return buf;
}

std::string stripExtension(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::string(name);
  return std::string(name.substr(0, dot));
}

}  // namespace zav
