// Number literals: every form, and the texts each form refuses.
// Expected reals are C++ long double literals of the decimal value the form
// stands for (the compiler rounds those correctly), or closed forms written
// out below. Julian day numbers are published reference values (JD 0 is
// 1 January 4713 BC, 2451545 is 1 January 2000, 2299161 is 15 October 1582)
// and, for Gregorian dates, python3's date.toordinal() + 1721425.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "scan/numlit.h"

namespace zav {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kDeg = kPi / 180;

struct IntCase {
  const char* text;
  std::int32_t value;
};

struct RealCase {
  const char* text;
  long double value;
  long double tol;  // 0: must be the correctly rounded value
};

void expectReal(const RealCase& c, NumType type) {
  NumLit n = parseNumber(c.text);
  ASSERT_TRUE(n.valid) << c.text;
  ASSERT_EQ(n.type, type) << c.text;
  long double got = type == NumType::Complex ? n.c.im : n.r;
  if (type == NumType::Complex) {
    EXPECT_EQ(n.c.re, 0.0L) << c.text;
  }
  if (c.tol == 0) {
    EXPECT_EQ(got, c.value) << c.text;
  } else {
    EXPECT_NEAR(got, c.value, c.tol) << c.text;
  }
}

TEST(NumLit, Integers) {
  const IntCase cases[] = {
      {"0", 0},           {"12", 12},
      {"-7", -7},         {"-0", 0},
      {"00012", 12},      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : cases) {
    NumLit n = parseNumber(c.text);
    ASSERT_TRUE(n.valid) << c.text;
    EXPECT_EQ(n.type, NumType::Integer) << c.text;
    EXPECT_EQ(n.i, c.value) << c.text;
    EXPECT_EQ(n.r, static_cast<long double>(c.value)) << c.text;  // REAL value set too
    EXPECT_EQ(n.c.re, static_cast<long double>(c.value)) << c.text;
    EXPECT_EQ(n.c.im, 0.0L) << c.text;
  }
}

TEST(NumLit, PlainRealsAndExponents) {
  const RealCase cases[] = {
      {"12.0", 12.0L, 0},       {"12.", 12.0L, 0},         {"-0.5", -0.5L, 0},
      {"3.14159", 3.14159L, 0}, {"1E3", 1000.0L, 0},       {"1e3", 1000.0L, 0},
      {"1E-3", 1E-3L, 0},       {"1.5E-3", 1.5E-3L, 0},    {"12E0", 12.0L, 0},
      {"-2.5E2", -250.0L, 0},   {"1E0003", 1000.0L, 0},    {"1E-5000", 0.0L, 0},
      // 0.1 * 10^-4 rounded once, not 0.1 rounded and then scaled
      {"0.1E-4", 1E-5L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
  NumLit big = parseNumber("1E5000");  // beyond the largest extended value
  ASSERT_TRUE(big.valid);
  EXPECT_TRUE(std::isinf(big.r) && big.r > 0);
}

TEST(NumLit, MultiplierSuffixes) {
  const RealCase cases[] = {
      {"7Y", 7E24L, 0},  {"7Z", 7E21L, 0},   {"7E", 7E18L, 0},   {"7P", 7E15L, 0},   {"7T", 7E12L, 0},
      {"7G", 7E9L, 0},   {"7M", 7E6L, 0},    {"5k", 5000.0L, 0}, {"7h", 700.0L, 0},  {"7d", 0.7L, 0},
      {"7c", 0.07L, 0},  {"5%", 0.05L, 0},   {"7m", 7E-3L, 0},   {"7u", 7E-6L, 0},   {"7n", 7E-9L, 0},
      {"7p", 7E-12L, 0}, {"7f", 7E-15L, 0},  {"7a", 7E-18L, 0},  {"7z", 7E-21L, 0},  {"7y", 7E-24L, 0},
      {"3da", 30.0L, 0}, {"1.1k", 1100.0L, 0}, {"0.3m", 3E-4L, 0}, {"-2.5G", -2.5E9L, 0},
      // binary multipliers are exact
      {"2Ki", 2048.0L, 0}, {"1Mi", 1048576.0L, 0}, {"1Gi", 1073741824.0L, 0},
      {"1Ti", 1099511627776.0L, 0}, {"1Pi", 1125899906842624.0L, 0},
      {"1Ei", 1152921504606846976.0L, 0}, {"1.5Ki", 1536.0L, 0},
      // the pair wins over an exponent followed by "i": 2 * 2^60
      {"2Ei", 2305843009213693952.0L, 0},
      // micro sign: the old console byte and the UTF-8 sign
      {"7\xE6", 7E-6L, 0}, {"7\xC2\xB5", 7E-6L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
}

TEST(NumLit, Imaginary) {
  const RealCase cases[] = {
      {"3i", 3.0L, 0}, {"-2i", -2.0L, 0}, {"2.5i", 2.5L, 0}, {"1.5E-3i", 1.5E-3L, 0}, {"1E3i", 1000.0L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Complex);
}

TEST(NumLit, AnglesInRadians) {
  const long double ulp = 1E-18L;
  const RealCase cases[] = {
      {"90`", kPi / 2, ulp},
      {"-90`", -kPi / 2, ulp},
      {"180\xF8", kPi, ulp},
      {"180\xC2\xB0", kPi, ulp},
      {"30'", 0.5L * kDeg, ulp},            // 30 minutes of arc
      {"1800\"", 0.5L * kDeg, ulp},         // 1800 seconds of arc
      {"1.5'", 0.025L * kDeg, ulp},
      {"90`30'", 90.5L * kDeg, ulp},
      {"90`30'36\"", 90.51L * kDeg, ulp},   // 30' 36" = 0.51 degrees
      {"90\xF8" "30'", 90.5L * kDeg, ulp},
      {"90\xC2\xB0" "30'", 90.5L * kDeg, ulp},
      {"90`30.6'", 90.51L * kDeg, ulp},
      {"10`0'1.8\"", 10.0005L * kDeg, ulp},
      {"-10`30'", -10.5L * kDeg, ulp},
      {"0`-30'", -0.5L * kDeg, ulp},
      {"5'30\"", (5.5L / 60) * kDeg, ulp},  // minutes and seconds only
      {"-5'30\"", -(5.5L / 60) * kDeg, ulp},
      {"0'-36\"", -0.01L * kDeg, ulp},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
}

TEST(NumLit, HoursMinutesSeconds) {
  const long double tol = 1E-17L;
  const RealCase cases[] = {
      {"1H30'", 1.5L, 0},
      {"1h30'", 1.5L, 0},
      {"1H30'36\"", 1.51L, tol},
      {"1H30.6'", 1.51L, tol},
      {"2H0'9\"", 2.0025L, tol},
      {"-1H30'", -1.5L, 0},
      // the sign of a leading -0 is kept
      {"-0H30'", -0.5L, 0},
      {"0H-30'", -0.5L, 0},
      {"0H-30'36\"", -0.51L, tol},
      {"0H0'-36\"", -0.01L, tol},
      {"0H0'36.5\"", 36.5L / 3600, tol},
      // no range check on the minutes of this form
      {"1H90'", 2.5L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
}

TEST(NumLit, ClockTimes) {
  const long double tol = 1E-17L;
  const RealCase cases[] = {
      {"12:30", 12.5L, 0},      {"12:30pm", 12.5L, 0},     {"1:15pm", 13.25L, 0},
      {"1:15PM", 13.25L, 0},    {"1:15Pm", 13.25L, 0},     {"12:00am", 0.0L, 0},
      {"12:15AM", 0.25L, 0},    {"0:30am", 0.5L, 0},       {"0:30pm", 12.5L, 0},
      {"11:45pm", 23.75L, 0},   {"24:00", 0.0L, 0},        {"24:30", 0.5L, 0},
      {"12:60", 13.0L, 0},      {"1:2", 1.0L + 2.0L / 60, tol},
      {"12:30:36", 12.51L, tol}, {"12:30:60", 12.0L + 31.0L / 60, tol},
      {"12:30.6", 12.51L, tol}, {"8:00:36.5pm", 20.0L + 36.5L / 3600, tol},
      {"12:30.", 12.5L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
}

TEST(NumLit, Fractions) {
  const RealCase cases[] = {
      {"3_1/2", 3.5L, 0}, {"-3_1/2", -3.5L, 0}, {"-0_1/2", -0.5L, 0}, {"0_3/4", 0.75L, 0},
      {"3_5/2", 5.5L, 0},
      // rounded once: 4/3, not 1 + (1/3 rounded)
      {"1_1/3", 4.0L / 3.0L, 0}, {"-1_1/3", -4.0L / 3.0L, 0},
  };
  for (const auto& c : cases) expectReal(c, NumType::Real);
}

TEST(NumLit, BasesAndRomanNumerals) {
  const IntCase cases[] = {
      {"16XFF", 255},       {"16Xff", 255},          {"16xFf", 255},        {"2X1011", 11},
      {"16X1F", 31},        {"-16XFF", -255},        {"36XZZ", 1295},       {"8X777", 511},
      {"10X0", 0},          {"16X7FFFFFFF", 2147483647}, {"-16X80000000", -2147483647 - 1},
      {"36Xi", 18},
      {"0RXIV", 14},        {"0RXLII", 42},          {"0RMCMXC", 1990},     {"0rmcmxc", 1990},
      {"0RMMXXIV", 2024},   {"0RIX", 9},             {"0RXC", 90},          {"0RCM", 900},
      {"0RIV", 4},          {"0RIII", 3},            {"-0RXIV", -14},       {"00RX", 10},
      // Only upper-case V, L and D refuse to be subtracted.
      {"0rvx", 5},          {"0rlc", 50},            {"0rdm", 500},
      {"0RMMMCMXCIX", 3999},
      // after a subtraction the comparison stays with the larger letter
      {"0RIIX", 8},
  };
  for (const auto& c : cases) {
    NumLit n = parseNumber(c.text);
    ASSERT_TRUE(n.valid) << c.text;
    EXPECT_EQ(n.type, NumType::Integer) << c.text;
    EXPECT_EQ(n.i, c.value) << c.text;
  }
}

TEST(NumLit, Dates) {
  const IntCase cases[] = {
      {"30jun1961", 2437481},   {"30JUN1961", 2437481},   {"30Jun1961", 2437481},
      {"30D6M1961Y", 2437481},  {"6M30D1961Y", 2437481},  {"1961Y6M30D", 2437481},
      {"30d6m1961y", 2437481},  {"1jan1970", 2440588},    {"1jan2000", 2451545},
      {"1D1M2000Y", 2451545},   {"15oct1582", 2299161},   {"4oct1582", 2299160},
      {"29feb2024", 2460370},   {"1mar2001", 2451970},
      // a day beyond the month's length runs into the next month
      {"29feb2001", 2451970},   {"31apr2001", 2452031},   {"1may2001", 2452031},
      {"1jan1", 1721424},       {"31dec1999", 2451544},   {"1dec2000", 2451880},
      {"1sep2000", 2451789},    {"1mar2000", 2451605},
  };
  for (const auto& c : cases) {
    NumLit n = parseNumber(c.text);
    ASSERT_TRUE(n.valid) << c.text;
    EXPECT_EQ(n.type, NumType::Integer) << c.text;
    EXPECT_EQ(n.i, c.value) << c.text;
  }
}

TEST(NumLit, JulianDayFunction) {
  EXPECT_EQ(julianDay(30, 6, 1961), 2437481);
  EXPECT_EQ(julianDay(1, 1, 1970), 2440588);
  EXPECT_EQ(julianDay(15, 10, 1582), 2299161);
  EXPECT_EQ(julianDay(4, 10, 1582), 2299160);  // the Julian day before the reform
  // No year 0: 31 December 1 BC is the day before 1 January 1 AD, and the
  // Julian period starts on 1 January 4713 BC.
  EXPECT_EQ(julianDay(1, 1, 1), 1721424);
  EXPECT_EQ(julianDay(31, 12, -1), 1721423);
  EXPECT_EQ(julianDay(1, 1, -1), 1721058);  // 1 BC is a leap year: 366 days
  EXPECT_EQ(julianDay(1, 1, -4713), 0);
  EXPECT_EQ(julianDay(1, 3, -4713), 60);
  // refusals
  EXPECT_FALSE(julianDay(1, 1, 0));
  EXPECT_FALSE(julianDay(0, 1, 2000));
  EXPECT_FALSE(julianDay(32, 1, 2000));
  EXPECT_FALSE(julianDay(1, 0, 2000));
  EXPECT_FALSE(julianDay(1, 13, 2000));
  EXPECT_FALSE(julianDay(1, 1, 2147483647));  // beyond a 32-bit day number
}

TEST(NumLit, RefusedTexts) {
  const char* bad[] = {
      // leading part
      "", "-", ".", ".5", "-.5", "+5", " 5", "5 ", "--5", "abc", "1..2", "1.2.3", "x12",
      "2147483648", "-2147483649", "99999999999",
      // suffixes and exponents
      "5q", "1e", "5K", "5ki", "5Da", "1E-", "1E+3", "1E3.5", "1E3k", "1Ex", "1E3ii", "3ii", "1.5ik",
      "1E99999999999", "3000000000k", "5\xC2", "5\xC2\xB6",
      // forms that need an integer leading part
      "1.5X3", "1.5R", "1.5:30", "1.5_1/2", "1.5jan2000", "1.5H30'", "1.5D6M1961Y",
      // bases
      "37X1", "1X0", "0X1", "-1X1", "16X", "16XFG", "2X102", "16X80000000", "16X1 ", "10X-1",
      // Roman numerals
      "5RX", "0R", "0RXIVA", "0RIC", "0RXM", "0RVX", "0RLC", "0RDM", "0RIL", "0RVV5",
      // dates
      "1jan", "0jan2000", "32jan2000", "-1jan2000", "1jan2000x", "1janx", "1ja2000",
      "30D13M1961Y", "30D6M1961", "30D6M1961YX", "30D6Y1961M", "0D6M1961Y", "30D0M1961Y",
      "30D6M0Y", "-30D6M1961Y", "6M-30D1961Y", "30D6.5M1961Y", "1jan99999999999",
      // clock times
      "13:00pm", "25:00", "12:61", "1:2:61", "12:", "12:30:", ":30", "1:30xm", "1:30p",
      "-1:30", "-0:30", "12:30.5:10", "1:30 pm", "12:-30", "1:30pmx", "1::30",
      // hours and degrees with minutes and seconds
      "1H30", "1H30'10", "1H'", "1H30.5'10\"", "1H-30'", "0H30'-10\"", "-1H30'10\"x",
      "1H30'10\"5", "1`30", "1`-30'", "5'30", "5'-30\"", "1'30'", "1H", "1``",
      // fractions
      "3_1/0", "3_1/", "3_/2", "3_1", "3_1/2/3", "3_-1/2", "3_1/-2", "3_1.5/2",
  };
  for (const char* t : bad) {
    EXPECT_FALSE(parseNumber(t).valid) << '"' << t << '"';
  }
}

}  // namespace
}  // namespace zav
