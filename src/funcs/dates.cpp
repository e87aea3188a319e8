#include "funcs/dates.h"

#include <array>
#include <cctype>
#include <cmath>
#include <limits>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "scan/numlit.h"

namespace zav {
namespace {

constexpr std::int32_t kFirstGregorianDay = 2299161;  // 15 October 1582
// The day number of 1 January of the year before 1 (astronomers' year 0).
constexpr std::int64_t kYearZeroDay = 1721058;

constexpr std::array<std::string_view, 12> kMonthFull = {"January",   "February", "March",    "April",
                                                         "May",       "June",     "July",     "August",
                                                         "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 12> kMonthShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kDayFull = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 7> kDayShort = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Mean synodic month and a new moon (6 January 2000, 18:14 UT, as a day
// number counted from noon like the calendar's day numbers).
constexpr Real kSynodicMonth = 29.530588853L;
constexpr Real kNewMoonDay = 2451550.26L;

// Floor division and remainder: the calendar formulas are written for
// non-negative values, where truncation and floor agree; floor keeps them
// right for day numbers and years before the epochs as well.
inline std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
inline std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - b * floorDiv(a, b); }
inline std::int64_t floorOf(long double x) { return static_cast<std::int64_t>(std::floor(x)); }

std::string numberText(std::int64_t v, int width) {
  std::string digits = std::to_string(v < 0 ? -v : v);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return v < 0 ? "-" + digits : digits;
}

// Cases a stored name after the picture word that asked for it.
std::string casedName(std::string_view name, std::string_view word) {
  std::string out(name);
  bool firstUpper = std::isupper(static_cast<unsigned char>(word[0])) != 0;
  bool secondUpper = word.size() > 1 && std::isupper(static_cast<unsigned char>(word[1])) != 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    bool upper = firstUpper && (i == 0 || secondUpper);
    out[i] = static_cast<char>(upper ? std::toupper(c) : std::tolower(c));
  }
  return out;
}

}  // namespace

CalDate calendarDate(std::int32_t jd) {
  std::int64_t j = jd;
  std::int64_t ja = j;
  if (j >= kFirstGregorianDay) {
    std::int64_t a = floorOf(((j - 1867216) - 0.25L) / 36524.25L);
    ja = j + 1 + a - floorDiv(a, 4);
  }
  std::int64_t jb = ja + 1524;
  std::int64_t jc = floorOf(6680 + ((jb - 2439870) - 122.1L) / 365.25L);
  std::int64_t jdays = 365 * jc + floorDiv(jc, 4);
  std::int64_t je = floorOf((jb - jdays) / 30.6001L);
  CalDate d;
  d.day = static_cast<std::int32_t>(jb - jdays - floorOf(30.6001L * je));
  std::int64_t month = je - 1;
  if (month > 12) month -= 12;
  std::int64_t year = jc - 4715;
  if (month > 2) --year;
  if (year <= 0) --year;
  d.month = static_cast<std::int32_t>(month);
  d.year = static_cast<std::int32_t>(year);
  return d;
}

std::int32_t dateDmyToJ(Interp& in, std::int32_t day, std::int32_t month, std::int32_t year) {
  auto jd = julianDay(day, month, year);
  if (!jd) ReportError(in, ErrCat::Math, "Invalid day/month/year combination in DMYTOJ");
  return *jd;
}

std::int32_t dateJulianD(std::int32_t jd) { return calendarDate(jd).day; }
std::int32_t dateJulianM(std::int32_t jd) { return calendarDate(jd).month; }
std::int32_t dateJulianY(std::int32_t jd) { return calendarDate(jd).year; }

std::int32_t dateWeekday(std::int32_t jd) { return static_cast<std::int32_t>(floorMod(std::int64_t{jd} + 1, 7) + 1); }

std::int32_t dateYearDay(Interp& in, std::int32_t jd) {
  auto first = julianDay(1, 1, calendarDate(jd).year);
  std::int64_t result = first ? std::int64_t{jd} - *first + 1 : 0;
  if (!first || result < 1 || result > 366)
    ReportError(in, ErrCat::Math,
                "Bad result in YEARDAY for " + std::to_string(jd) + " returned " + std::to_string(result));
  return static_cast<std::int32_t>(result);
}

std::int32_t dateMonthDays(Interp& in, std::int32_t month, std::int32_t year) {
  for (std::int32_t day = 28; day <= 31; ++day) {
    auto jd = julianDay(day, month, year);
    if (!jd || *jd == std::numeric_limits<std::int32_t>::max()) break;
    if (calendarDate(*jd + 1).day == 1) return day;
  }
  ReportError(in, ErrCat::Math, "Invalid month/year combination in MONTHDAYS");
}

bool dateLeapYear(std::int32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

std::string dateMonthName(std::int32_t i) {
  if (i >= 1 && i <= 12) return std::string(kMonthShort[i - 1]);
  if (i <= -1 && i >= -12) return std::string(kMonthFull[-i - 1]);
  return "---";
}

std::string dateWeekdayName(std::int32_t i) {
  if (i >= 1 && i <= 7) return std::string(kDayShort[i - 1]);
  if (i <= -1 && i >= -7) return std::string(kDayFull[-i - 1]);
  return "---";
}

Real dateLunarPhase(std::int32_t jd) {
  Real cycles = (jd - kNewMoonDay) / kSynodicMonth;
  Real frac = cycles - std::floor(cycles);  // in [0, 1) on either side of the epoch
  return std::fabs(2 * frac - 1);
}

std::string dateFormat(std::int32_t jd, std::string_view picture) {
  CalDate d = calendarDate(jd);
  std::int32_t weekday = dateWeekday(jd);
  std::string out;
  std::size_t i = 0;
  while (i < picture.size() && out.size() < kMaxText) {
    char c = picture[i];
    if (c == '\\') {
      if (i + 1 < picture.size()) out += picture[i + 1];
      i += 2;
      continue;
    }
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::size_t run = 0;
    while (i + run < picture.size() && std::toupper(static_cast<unsigned char>(picture[i + run])) == letter) ++run;
    std::size_t len = 0;  // length of the word taken from the run; 0 copies the character
    // The words: YYYY YY, MMMM MMM MM M, DDD DD D, WWWW WWW W.
    switch (letter) {
      case 'Y':
        len = run >= 4 ? 4 : run >= 2 ? 2 : 0;
        break;
      case 'M':
        len = run >= 4 ? 4 : run;
        break;
      case 'D':
        len = run >= 3 ? 3 : run;
        break;
      case 'W':
        len = run >= 4 ? 4 : run >= 3 ? 3 : 1;
        break;
      default:
        break;
    }
    if (len == 0) {
      out += c;
      ++i;
      continue;
    }
    std::string_view word = picture.substr(i, len);
    i += len;
    switch (letter) {
      case 'Y': {
        std::int64_t y = d.year;
        out += len == 4 ? std::to_string(y) : numberText((y < 0 ? -y : y) % 100, 2);
        break;
      }
      case 'M':
        if (len == 4)
          out += casedName(kMonthFull[d.month - 1], word);
        else if (len == 3)
          out += casedName(kMonthShort[d.month - 1], word);
        else
          out += numberText(d.month, static_cast<int>(len));
        break;
      case 'D':
        if (len == 3) {
          auto first = julianDay(1, 1, d.year);
          out += numberText(first ? std::int64_t{jd} - *first + 1 : 0, 3);
        } else {
          out += numberText(d.day, static_cast<int>(len));
        }
        break;
      case 'W':
        if (len == 4)
          out += casedName(kDayFull[weekday - 1], word);
        else if (len == 3)
          out += casedName(kDayShort[weekday - 1], word);
        else
          out += std::to_string(weekday);
        break;
    }
  }
  if (out.size() > kMaxText) out.resize(kMaxText);
  return out;
}

std::int32_t dateTodayFrom(const DateTime& t) {
  auto jd = julianDay(t.day, t.month, t.year);
  return jd ? *jd : t.julianDay;
}

Real dateNowFrom(const DateTime& t) {
  Real days = static_cast<Real>(dateTodayFrom(t) - kYearZeroDay);
  return days * 86400 + secondsOfDay(t.hour, t.minute, t.second) + t.hundredths / 100.0L;
}

std::int32_t dateToday(Interp&) { return dateTodayFrom(now()); }
Real dateNow(Interp&) { return dateNowFrom(now()); }

Real secondsOfDay(Real hours, Real minutes, Real seconds) { return hours * 3600 + minutes * 60 + seconds; }

}  // namespace zav
