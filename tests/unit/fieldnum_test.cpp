// Numbers in data fields: the spellings of other tools' exports, read to the
// nearest REAL. Reference values are the compiler's own rounding of the same
// decimal literal, or exact powers of two.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/fieldnum.h"
#include "funcs/machine.h"

namespace zav {
namespace {

Settings machine() {
  Settings s;
  initMachineConstants(s);
  return s;
}

TEST(FieldNumber, ExportSpellingsReadToTheNearestReal) {
  const Settings s = machine();
  struct Case {
    const char* text;
    Real want;
  };
  const Case cases[] = {
      {"1e+05", 1e5L},
      {"1E-07", 1e-7L},
      {"1.5e+300", 1.5e300L},
      {"-2.5E+3", -2500.0L},
      {"3000000000", 3000000000.0L},
      {"1180591620717411303424", 1180591620717411303424.0L},  // 2^70, beyond 19 digits
      {"1.000000000000000056e-01", 1.000000000000000056e-01L},  // numpy's 0.1
      {"0.1", 0.1L},
      {"123456.75", 123456.75L},
      {"0.000000000000000000000000000001234", 1.234e-30L},  // past the exact powers of ten
      {"-0", 0.0L},
      {"12.5k", 12500.0L},  // the language's own forms stay
      {"1E", 1e18L},
  };
  for (const Case& c : cases) {
    Real x = -1;
    EXPECT_TRUE(readFieldNumber(s, c.text, x)) << c.text;
    EXPECT_EQ(x, c.want) << c.text;
    EXPECT_EQ(std::signbit(x), std::signbit(c.want)) << c.text;
  }
}

TEST(FieldNumber, InfinitiesAndNaN) {
  const Settings s = machine();
  Real x = 0;
  for (const char* t : {"Inf", "inf", "+oo", "oo"}) {
    ASSERT_TRUE(readFieldNumber(s, t, x)) << t;
    EXPECT_EQ(x, s.infinity) << t;
  }
  for (const char* t : {"-Inf", "-inf", "-oo"}) {
    ASSERT_TRUE(readFieldNumber(s, t, x)) << t;
    EXPECT_EQ(x, s.negInfinity) << t;
  }
  for (const char* t : {"NaN", "nan"}) {
    ASSERT_TRUE(readFieldNumber(s, t, x)) << t;
    EXPECT_TRUE(std::isnan(x)) << t;
  }
}

TEST(FieldNumber, NonNumbersAreRefused) {
  const Settings s = machine();
  Real x = 0;
  for (const char* t : {"", "1e", "1e+", "2i", "1.2.3", "e5", "1,5", "abc", "Infinity"})
    EXPECT_FALSE(readFieldNumber(s, t, x)) << t;
}

TEST(FieldNumber, MissingMarks) {
  for (const char* t : {"", "NA", "N/A", "."}) EXPECT_TRUE(isMissingField(t)) << t;
  for (const char* t : {"na", "NaN", "0", ".5", "-"}) EXPECT_FALSE(isMissingField(t)) << t;
}

}  // namespace
}  // namespace zav
