// Calendar functions.
//
// Reference values: Julian day numbers of the astronomical almanacs (day
// 2451545 is 1 January 2000, day 2400001 is 17 November 1858, the day after
// the epoch of modified Julian dates, day 0 is 1 January 4713 BC in the
// Julian calendar), the calendar reform (4 October 1582 was followed by
// 15 October 1582, a Friday), weekdays from python3's datetime, and the
// phases of the moon of January 2000 (new moon 6 January 18:14 UT, full moon
// 21 January 04:40 UT) and of the eclipse of 11 August 1999 (new moon).
#include "funcs/dates.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "support.h"

namespace zav {
namespace {

using test::endedRun;
using test::kAnyStatus;

TEST(Dates, KnownDayNumbers) {
  Interp in;
  struct Row {
    int d, m, y;
    std::int32_t jd;
  } rows[] = {
      {1, 1, 2000, 2451545},  {17, 11, 1858, 2400001}, {30, 6, 1961, 2437481}, {1, 1, 1970, 2440588},
      {4, 10, 1582, 2299160}, {15, 10, 1582, 2299161}, {1, 1, 1, 1721424},     {1, 1, -1, 1721058},
      {1, 1, -4713, 0},       {31, 12, 1999, 2451544},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(dateDmyToJ(in, r.d, r.m, r.y), r.jd) << r.d << "." << r.m << "." << r.y;
    EXPECT_EQ(dateJulianD(r.jd), r.d);
    EXPECT_EQ(dateJulianM(r.jd), r.m);
    EXPECT_EQ(dateJulianY(r.jd), r.y);
  }
}

TEST(Dates, Weekdays) {
  Interp in;
  EXPECT_EQ(dateWeekday(2451545), 7);                     // Saturday 1 January 2000
  EXPECT_EQ(dateWeekday(dateDmyToJ(in, 4, 7, 1776)), 5);  // Thursday
  EXPECT_EQ(dateWeekday(2299161), 6);                     // Friday 15 October 1582
  EXPECT_EQ(dateWeekday(2299160), 5);                     // and the Thursday before it
  EXPECT_EQ(dateWeekday(-1), 1);                          // the Sunday before; the cycle goes on below 0
  EXPECT_EQ(dateWeekday(0), 2);                           // 1 January 4713 BC, a Monday
}

// Every day number is followed by the next calendar day: the Julian leap rule
// (every 4th year, counting 1 BC, 5 BC, ... as leap years since there is no
// year 0) up to 4 October 1582, the Gregorian rule afterwards.
TEST(Dates, ConsecutiveDaysFollowTheCalendar) {
  Interp in;
  auto leap = [](int y, bool gregorian) {
    int astro = y < 0 ? y + 1 : y;
    if (!gregorian) return astro % 4 == 0;
    return astro % 4 == 0 && (astro % 100 != 0 || astro % 400 == 0);
  };
  auto length = [&](int m, int y, bool gregorian) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y, gregorian) ? 29 : kDays[m - 1];
  };
  auto check = [&](std::int32_t from, std::int32_t to) {
    CalDate d = calendarDate(from);
    for (std::int32_t j = from + 1; j <= to; ++j) {
      CalDate n = calendarDate(j);
      CalDate want = d;
      bool gregorian = j > 2299160;
      if (j == 2299161) {
        want = {15, 10, 1582};
      } else if (d.day < length(d.month, d.year, gregorian)) {
        want.day = d.day + 1;
      } else if (d.month < 12) {
        want = {1, d.month + 1, d.year};
      } else {
        want = {1, 1, d.year == -1 ? 1 : d.year + 1};
      }
      ASSERT_TRUE(n.day == want.day && n.month == want.month && n.year == want.year)
          << "day " << j << ": " << n.day << "." << n.month << "." << n.year;
      ASSERT_EQ(dateDmyToJ(in, n.day, n.month, n.year), j);
      d = n;
    }
  };
  check(-800000, -700000);  // around 6900 BC
  check(1680000, 1760000);  // around the change of era
  check(2290000, 2310000);  // the calendar reform
  check(2410000, 2500000);  // the 20th and 21st centuries
}

TEST(Dates, YearDayMonthDaysLeapYear) {
  Interp in;
  EXPECT_EQ(dateYearDay(in, 2451545), 1);
  EXPECT_EQ(dateYearDay(in, dateDmyToJ(in, 31, 12, 2000)), 366);
  EXPECT_EQ(dateYearDay(in, dateDmyToJ(in, 1, 3, 2001)), 60);
  EXPECT_EQ(dateYearDay(in, dateDmyToJ(in, 1, 3, 1900)), 60);
  EXPECT_EQ(dateMonthDays(in, 2, 1900), 28);
  EXPECT_EQ(dateMonthDays(in, 2, 2000), 29);
  EXPECT_EQ(dateMonthDays(in, 2, 1500), 29);  // Julian calendar: every 4th year
  EXPECT_EQ(dateMonthDays(in, 4, 2023), 30);
  EXPECT_EQ(dateMonthDays(in, 12, -1), 31);
  EXPECT_TRUE(dateLeapYear(2000));
  EXPECT_FALSE(dateLeapYear(1900));
  EXPECT_TRUE(dateLeapYear(2024));
  EXPECT_FALSE(dateLeapYear(2023));
}

TEST(Dates, Faults) {
  Interp in;
  for (auto bad : {std::array{13, 2000}, std::array{0, 2000}, std::array{2, 0}}) {
    std::string out = endedRun([&] { dateMonthDays(in, bad[0], bad[1]); }, kAnyStatus);
    EXPECT_NE(out.find("Error (math): Invalid month/year combination in MONTHDAYS"), std::string::npos) << out;
  }
  for (auto bad : {std::array{1, 13, 2000}, std::array{0, 1, 2000}, std::array{32, 1, 2000}, std::array{1, 1, 0}}) {
    std::string out = endedRun([&] { dateDmyToJ(in, bad[0], bad[1], bad[2]); }, kAnyStatus);
    EXPECT_NE(out.find("Error (math): Invalid day/month/year combination in DMYTOJ"), std::string::npos) << out;
  }
  // A day past the month's end runs on into the next month.
  EXPECT_EQ(dateDmyToJ(in, 31, 2, 2001), dateDmyToJ(in, 3, 3, 2001));
  // 1 January of the year of the lowest day numbers lies below the 32-bit
  // range, so the day of the year has no valid start to count from.
  std::string out = endedRun([&] { dateYearDay(in, -2147483647); }, kAnyStatus);
  EXPECT_NE(out.find("Error (math): Bad result in YEARDAY for -2147483647 returned "), std::string::npos) << out;
}

TEST(Dates, Names) {
  EXPECT_EQ(dateMonthName(-1), "January");
  EXPECT_EQ(dateMonthName(-12), "December");
  EXPECT_EQ(dateMonthName(1), "Jan");
  EXPECT_EQ(dateMonthName(12), "Dec");
  EXPECT_EQ(dateMonthName(0), "---");
  EXPECT_EQ(dateMonthName(13), "---");
  EXPECT_EQ(dateMonthName(-13), "---");
  EXPECT_EQ(dateWeekdayName(0), "---");
  EXPECT_EQ(dateWeekdayName(-1), "Sunday");
  EXPECT_EQ(dateWeekdayName(-7), "Saturday");
  EXPECT_EQ(dateWeekdayName(1), "Sun");
  EXPECT_EQ(dateWeekdayName(7), "Sat");
  EXPECT_EQ(dateWeekdayName(8), "---");
}

TEST(Dates, LunarPhase) {
  EXPECT_GT(dateLunarPhase(2451550), 0.95L);  // 6 January 2000, new moon
  EXPECT_LT(dateLunarPhase(2451565), 0.05L);  // 21 January 2000, full moon
  EXPECT_GT(dateLunarPhase(2451402), 0.95L);  // 11 August 1999, eclipse
  for (std::int32_t j : {-5000000, -1, 0, 1000000, 2460000}) {
    Real v = dateLunarPhase(j);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 1);
  }
}

TEST(Dates, FormatDate) {
  const std::int32_t j = 2451545;  // Saturday 1 January 2000
  struct Row {
    const char* picture;
    const char* want;
  } rows[] = {
      {"Wwww, D Mmmm YYYY", "Saturday, 1 January 2000"},
      {"WWWW MMMM", "SATURDAY JANUARY"},
      {"wwww mmmm", "saturday january"},
      {"DD/MM/YY", "01/01/00"},
      {"dd.mm.yyyy", "01.01.2000"},
      {"Www Mmm MMM mmm WWW www", "Sat Jan JAN jan SAT sat"},
      {"DDD W M", "001 7 1"},
      {"\\Day: D", "Day: 1"},
      {"plain text!", "plain text!"},
      {"YYYYY", "2000Y"},
  };
  for (const Row& r : rows) EXPECT_EQ(dateFormat(j, r.picture), r.want) << r.picture;
  Interp in;
  EXPECT_EQ(dateFormat(dateDmyToJ(in, 15, 3, -44), "D Mmmm YYYY"), "15 March -44");
  EXPECT_EQ(dateFormat(dateDmyToJ(in, 31, 12, 2000), "DDD"), "366");
  EXPECT_EQ(dateFormat(j, std::string(300, 'x')).size(), 255u);
}

TEST(Dates, TodayAndNowFromTheClock) {
  DateTime t;
  t.year = 2000, t.month = 1, t.day = 1;
  t.hour = 12, t.minute = 30, t.second = 15, t.hundredths = 25;
  EXPECT_EQ(dateTodayFrom(t), 2451545);
  // From 1 January 1 BC to 1 January 2000: 366 days of 1 BC and the 730121
  // days from 1 January AD 1 (Julian) to 1 January 2000.
  EXPECT_EQ(dateNowFrom(t), (366.0L + 730121) * 86400 + 12 * 3600 + 30 * 60 + 15.25L);
  EXPECT_EQ(secondsOfDay(1, 2, 3.5L), 3723.5L);
  Interp in;
  std::int32_t today = dateToday(in);
  EXPECT_GT(today, 2451545);  // later than 2000
  EXPECT_GT(dateNow(in), (366.0L + 730121) * 86400);
}

}  // namespace
}  // namespace zav
