// Dates are Julian day numbers: the calendar is Julian up to 4 October 1582
// and Gregorian from 15 October 1582 (day 2299161). Years are signed and
// there is no year 0: the year before 1 is -1.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "symbols/value.h"

namespace zav {

struct Interp;
struct DateTime;

struct CalDate {
  std::int32_t day = 0, month = 0, year = 0;
};

// The calendar date of a day number (the inverse of julianDay in
// scan/numlit.h, which turns a date into its day number).
CalDate calendarDate(std::int32_t jd);

// The intrinsic functions.
std::int32_t dateDmyToJ(Interp& in, std::int32_t day, std::int32_t month, std::int32_t year);  // DMYTOJ
std::int32_t dateJulianD(std::int32_t jd);                                                     // JULIAND
std::int32_t dateJulianM(std::int32_t jd);                                                     // JULIANM
std::int32_t dateJulianY(std::int32_t jd);                                                     // JULIANY
std::int32_t dateWeekday(std::int32_t jd);                                      // WEEKDAY: Sunday = 1 .. Saturday = 7
std::int32_t dateYearDay(Interp& in, std::int32_t jd);                          // YEARDAY: 1 January = 1
std::int32_t dateMonthDays(Interp& in, std::int32_t month, std::int32_t year);  // MONTHDAYS
bool dateLeapYear(std::int32_t year);                                           // LEAPYEAR
std::string dateMonthName(std::int32_t i);                                      // MONTHNAME: -12..-1 full, 1..12 short
std::string dateWeekdayName(std::int32_t i);                                    // WEEKDAYNAME: -7..-1 full, 1..7 short
Real dateLunarPhase(std::int32_t jd);                               // LUNARPHASE: 1 at new moon, 0 at full moon
std::string dateFormat(std::int32_t jd, std::string_view picture);  // FORMATDATE

// TODAY and NOW read the clock of the operating-system layer; the *From forms
// take a clock reading, so they can be checked against fixed times.
std::int32_t dateToday(Interp& in);
Real dateNow(Interp& in);
std::int32_t dateTodayFrom(const DateTime& t);
// Seconds since midnight at the start of 1 January of the year before 1
// (astronomers' year 0), counting hundredths.
Real dateNowFrom(const DateTime& t);

// Hours, minutes and seconds as seconds.
Real secondsOfDay(Real hours, Real minutes, Real seconds);

// The picture words of FORMATDATE, for the help text of the function.
inline constexpr std::string_view kFormatDateHelp =
    "FORMATDATE(J, picture) writes day number J after the picture. Words:\n"
    "  YYYY  the year (\"-\" before years BC)     YY   its last two digits\n"
    "  MMMM  the month name                       MMM  its first three letters\n"
    "  MM    the month number, two digits         M    the month number\n"
    "  DD    the day of the month, two digits     D    the day of the month\n"
    "  DDD   the day of the year, three digits\n"
    "  WWWW  the weekday name                     WWW  its first three letters\n"
    "  W     the weekday number (Sunday = 1)\n"
    "Names follow the case of the word: MMMM gives JANUARY, Mmmm January,\n"
    "mmmm january (likewise WWWW, Wwww, wwww). Numbers accept either case.\n"
    "A backslash copies the next character as it is; other characters are\n"
    "copied. Example: FORMATDATE(2451545, \"Wwww, D Mmmm YYYY\") gives\n"
    "\"Saturday, 1 January 2000\".";

}  // namespace zav
