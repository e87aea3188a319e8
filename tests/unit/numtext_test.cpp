// Real to text. Every expected string is worked out by hand from the rules:
//   w > 0, d > 0, |x| >= 1: m = trunc(log10|x|) + 1 integer digits,
//     r = w - s - c (s = 1 when negative, c = 1 unless m = w);
//     r < m -> exponent form, else fixed with r - m decimals.
//   w > 0, d > 0, |x| < 1: r = w - 2 - s, e = trunc(log10|x|);
//     r + e < d -> exponent form, else fixed with r decimals.
//   exponent form: as many mantissa decimals p as fit:
//     w = s + 1 + 1 + p + 1 (E) + 1 (sign) + exponent digits (at least 2).
// Shown digits are rounded half away from zero from the decimal value.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "funcs/machine.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

struct Case {
  long double x;
  int w, d;
  const char* want;
};

class NumText : public ::testing::Test {
 protected:
  NumText() { initMachineConstants(s); }
  void check(const Case* cases, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
      const Case& c = cases[k];
      EXPECT_EQ(realToText(s, c.x, c.w, c.d), c.want) << "x=" << static_cast<double>(c.x) << " w=" << c.w
                                                        << " d=" << c.d;
    }
  }
  Settings s;
};

TEST_F(NumText, MachineConstants) {
  EXPECT_EQ(s.machineEpsilon, std::ldexp(1.0L, -63));
  EXPECT_NEAR(s.sqrtEpsilon, std::ldexp(1.0L, -31) / std::sqrt(2.0L), 1E-25L);
  EXPECT_EQ(s.smallestNumber, LDBL_MIN);
  // ln(LDBL_MAX) = 16384 ln 2 + ln(1 - 2^-64) = 11356.52340629414394949...
  // (python3 decimal, 50 digits)
  EXPECT_NEAR(s.lnInfinity, 11356.52340629414394949L, 1E-14L);
  EXPECT_TRUE(std::isfinite(s.infinity));
  EXPECT_GT(s.infinity, LDBL_MAX / 1.0000001L);
  EXPECT_EQ(s.oo, s.infinity);
  EXPECT_EQ(s.negInfinity, -s.infinity);
  EXPECT_TRUE(std::isnan(s.nan));
}

TEST_F(NumText, WidthDecidesTheDigits) {
  const Case cases[] = {
      {3.5L, 12, 5, "3.5000000000"},        // m=1, r=11: 10 decimals
      {3.5L, 12, 1, "3.5000000000"},        // d only picks the path
      {-3.5L, 12, 5, "-3.500000000"},       // s=1, r=10: 9 decimals
      {1.0L, 12, 5, "1.0000000000"},        // log10 1 = 0: m=1
      {10.0L, 12, 5, "10.000000000"},       // m=2, 9 decimals
      {100.0L, 12, 5, "100.00000000"},      // m=3, 8 decimals
      {123456.789L, 12, 5, "123456.78900"}, // m=6, 5 decimals
      // pi = 3.14159265358979...: 10 decimals, the 11th digit 8 rounds up
      {3.14159265358979323846L, 12, 5, "3.1415926536"},
      {12345678901.0L, 12, 5, " 12345678901"},   // m=11, r=11: no decimals
      {123456789012.0L, 12, 5, "123456789012"},  // m=w, so c=0 and r=12
      {1.5L, 15, 8, "1.5000000000000"},          // the -pn width: 13 decimals
      {-1.0L, 15, 8, "-1.000000000000"},
      {5.0L, 1, 5, "5"},                         // m=w=1: r=1, 0 decimals
      {99.5L, 3, 5, "100"},                      // m=2, r=2: 0 decimals, rounds half away
      // 9.99999999999 with 10 decimals carries into a 13th column
      {9.99999999999L, 12, 5, "10.0000000000"},
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, LargeValuesUseExponentForm) {
  const Case cases[] = {
      // m=13 > r=11; p = 12-2-2-2 = 6: 1.234567|89 -> 1.234568
      {1234567890123.0L, 12, 5, "1.234568E+12"},
      // s=1, m=13; p = 12-1-2-2-2 = 5: 1.23456|789 -> 1.23457
      {-1234567890123.0L, 12, 5, "-1.23457E+12"},
      // m=w but negative: r = 12-1-0 = 11 < 12; p=5
      {-123456789012.0L, 12, 5, "-1.23457E+11"},
      // four exponent digits: p = 12-2-2-4 = 4
      {1E4000L, 12, 5, "1.0000E+4000"},
      {-2.5E-4000L, 12, 5, "-2.500E-4000"},  // |x| < 1: r=9, e=-3999
      // 9.9999999e99 to 7 digits carries to 1.000000E+100; three exponent
      // digits leave p = 12-2-2-3 = 5
      {9.9999999E99L, 12, 5, "1.00000E+100"},
      {9.99996E99L, 12, 5, "9.999960E+99"},
      // the -pn width: p = 15-2-2-2 = 9
      {1E18L, 15, 8, "1.000000000E+18"},
      // p = 1-2-2-2 < 1: no decimals at all; the text is wider than asked
      {-5.0L, 1, 5, "-5E+00"},
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, SmallValues) {
  const Case cases[] = {
      {0.5L, 12, 5, "0.5000000000"},       // r=10, e=0
      {-0.5L, 12, 5, "-0.500000000"},      // r=9
      {0.001234L, 12, 5, "0.0012340000"},  // e=trunc(-2.91)=-2: 8 >= 5
      {-0.001234L, 12, 5, "-0.001234000"}, // r=9, e=-2: 7 >= 5
      {1.234E-5L, 12, 5, "0.0000123400"},  // e=-4: 6 >= 5
      {1.234E-6L, 12, 5, "0.0000012340"},  // e=-5: 5 >= 5, still fixed
      // e=-6: 4 < 5; p=6: 1.234000E-07
      {1.234E-7L, 12, 5, "1.234000E-07"},
      {1E-7L, 12, 5, "1.000000E-07"},      // log10 = -7 exactly: e=-7
      {-1E-7L, 12, 5, "-1.00000E-07"},     // p=5
      // the requested decimals move the switch point: e=-2, r=10, 8 < 9
      {0.001234L, 12, 9, "1.234000E-03"},
      {2.0L / 3, 12, 5, "0.6666666667"},
      {0.99999999999L, 12, 5, "1.0000000000"},  // rounding reaches 1
      {5E-6L, 15, 8, "0.0000050000000"},   // r=13, e=-5: 8 >= 8
      {5E-7L, 15, 8, "5.000000000E-07"},   // e=-6: 7 < 8; p=9
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, ZeroAndTinyPrintAsZero) {
  const long double tiny = LDBL_MIN / 4;  // subnormal
  const Case cases[] = {
      {0.0L, 12, 5, "0.0000000000"},  // w-2 = 10 decimals
      {-0.0L, 12, 5, "0.0000000000"},
      {tiny, 12, 5, "0.0000000000"},
      {-tiny, 12, 5, "0.0000000000"},
      {LDBL_MIN, 12, 5, "0.0000000000"},   // at SMALLEST_NUMBER itself
      {-LDBL_MIN, 12, 5, "0.0000000000"},
      {0.0L, 15, 8, "0.0000000000000"},
      {0.0L, 2, 5, " 0"},  // w-2 = 0 decimals
      {0.0L, 1, 5, "0"},
      // 2 * LDBL_MIN = 6.72420628622418701E-4932: e=-4931, p = 12-2-2-4 = 4
      {LDBL_MIN * 2, 12, 5, "6.7242E-4932"},
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, DecimalsNotPositive) {
  const Case cases[] = {
      {3.5L, 8, 0, "       4"},   // fixed, no decimals; 3.5 rounds away from zero
      {2.5L, 5, 0, "    3"},      // not to even
      {-2.5L, 5, 0, "   -3"},
      {-0.3L, 4, 0, "   0"},      // no minus on a zero
      {1234567.0L, 3, 0, "1234567"},  // wider than asked
      // d < 0: exponent form filling the width: p = 12-2-2-2 = 6
      {1234.5L, 12, -1, "1.234500E+03"},
      {0.0L, 10, -3, "0.0000E+00"},   // p = 10-2-2-2 = 4
      {-0.015625L, 10, -1, "-1.563E-02"},  // p=3: 1.5625 rounds half away
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, NegativeWidthLeftJustifies) {
  const Case cases[] = {
      {3.5L, -8, 2, "3.50    "},
      {3.5L, -8, 0, "3.500000"},      // d <= 0: |w|-2 = 6 decimals
      {-3.5L, -10, 3, "-3.500    "},
      {3.5L, -3, 2, "3.50"},          // wider than |w|: no padding, nothing cut
      {1234.5L, -4, 1, "1234.5"},
      {0.0L, -6, 2, "0.00  "},        // no SMALLEST_NUMBER rule here
      // decimals decide here, rounded from the decimal value half away
      {0.125L, -4, 2, "0.13"},
      {0.15L, -3, 1, "0.2"},
      {1.005L, -4, 2, "1.01"},
      {2.675L, -4, 2, "2.68"},
      {-0.125L, -5, 2, "-0.13"},
      // |w| < 2 and d <= 0: negative decimals mean exponent form in 1 column
      {3.5L, -1, 0, "4E+00"},
      {3.5L, 0, 2, "3.50"},
  };
  check(cases, std::size(cases));
}

TEST_F(NumText, InfinitiesAndNaN) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const Case cases[] = {
      {inf, 12, 5, "         +oo"},
      {-inf, 12, 5, "         -oo"},
      {LDBL_MAX, 12, 5, "         +oo"},   // >= INFINITY
      {-LDBL_MAX, 12, 5, "         -oo"},
      {inf, 15, 8, "            +oo"},
      {inf, -6, 2, "+oo   "},
      {-inf, -2, 2, "-oo"},
      {inf, 0, 0, "+oo"},
      {inf, 2, 5, "+oo"},
      {nan, 12, 5, "NaN"},
      {-nan, 12, 5, "NaN"},
      {nan, -8, 2, "NaN"},
  };
  check(cases, std::size(cases));
  // a value at INFINITY (not only beyond) is +oo
  EXPECT_EQ(realToText(s, s.infinity, 5, 2), "  +oo");
  EXPECT_EQ(realToText(s, s.negInfinity, 5, 2), "  -oo");
  // below it is a number: LDBL_MAX/2 = 5.9486574767861588E+4931, p=4
  EXPECT_EQ(realToText(s, LDBL_MAX / 2, 12, 5), "5.9487E+4931");
}

TEST_F(NumText, InfinitiesWithoutSymbols) {
  s.symbolInfin = false;
  const long double inf = std::numeric_limits<long double>::infinity();
  // The largest number stands in: INFINITY ~ 1.18973149535723177E+4932.
  // +: p = 12-2-2-4 = 4; -: p = 3.
  EXPECT_EQ(realToText(s, inf, 12, 5), "1.1897E+4932");
  EXPECT_EQ(realToText(s, -inf, 12, 5), "-1.190E+4932");
  EXPECT_EQ(realToText(s, LDBL_MAX, 15, 8), "1.1897315E+4932");  // p = 15-2-2-4 = 7
}

TEST_F(NumText, Complex) {
  // both parts with the -pn width 15 and 8 decimals
  EXPECT_EQ(complexToText(s, Complex{0, 3}, 15, 8), "0.0000000000000+3.0000000000000i");
  EXPECT_EQ(complexToText(s, Complex{1.5L, -2}, 15, 8), "1.5000000000000-2.0000000000000i");
  EXPECT_EQ(complexToText(s, Complex{-1, -0.5L}, 15, 8), "-1.000000000000-0.5000000000000i");
  EXPECT_EQ(complexToText(s, Complex{0, -0.0L}, 15, 8), "0.0000000000000+0.0000000000000i");
  EXPECT_EQ(complexToText(s, Complex{2, 1E-7L}, 12, 5), "2.0000000000+1.000000E-07i");
  EXPECT_EQ(complexToText(s, Complex{1, -1E20L}, 12, 5), "1.0000000000-1.000000E+20i");
}

}  // namespace
}  // namespace zav
