// The calculus forms end to end: parsed from text, then evaluated.
//
// Reference values are closed forms: the integral of x^2 over [0, 1] is 1/3,
// of 1 is 1, of exp over [0, 1] is e - 1, of sin over [0, pi] is 2, of
// sqrt over [0, 1] is 2/3; d/dx sin x at 0 is 1, (x^3)'' at 2 is 12,
// (e^x)'' at 1 is e; the zero of x^2 - 2 is sqrt 2 and the minimum of
// (x - 1)^2 lies at 1. The sum of 1/k^2 over k = 1 .. 70711 is
// zeta(2) - zeta(2, 70712) = 1.644919924876977299716... (mpmath, 40 digits);
// 70711 is the first k with 1/k^2 below the criterion 2e-10 (70710 gives
// 2.00004e-10, far enough above it for rounding not to matter). The Simpson
// estimate after three refinements of sqrt over [0, 1] is worked by hand:
// T1 = 1/2, T2 = (T1 + sqrt(1/2))/2, T3 = (T2 + (sqrt(1/4) + sqrt(3/4))/2)/2,
// S3 = (4 T3 - T2)/3.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::captured;
using test::expectError;

constexpr Real kE = 2.718281828459045235360287471352662497757L;
constexpr Real kPi = 3.141592653589793238462643383279502884197L;

class Calculus : public ::testing::Test {
 protected:
  Interp in;
  std::vector<std::unique_ptr<ExprNode>> trees;

  void SetUp() override {
    test::prepareInterp(in);
    in.drv.staticCreation = true;  // variables made by the forms get storage at once
  }

  const ExprNode* parse(const std::string& text) {
    trees.emplace_back(test::parseInline(in, text));
    return trees.back().get();
  }

  Real value(const std::string& text) { return evalReal(in, parse(text)); }

  Real realVar(const char* name) { return getReal(in, *lookup(in, name), 1); }
};

TEST_F(Calculus, EveryMethodIntegratesClosedForms) {
  struct Case {
    const char* text;
    Real exact;
  };
  const Case cases[] = {
      {"INTEGRATE x (0, 1) x^2 END", 1.0L / 3},
      {"INTEGRATE x (0, 1) 1 END", 1},
      {"INTEGRATE x (0, 1) EXP(x) END", kE - 1},
      {"INTEGRATE x (0, PI) SIN(x) END", 2},
      {"INTEGRATE x (2, 2) x END", 0},
      {"INTEGRATE x (1, 0) x END", -0.5L},
  };
  // The extended trapezoid rules are exact for polynomials of low degree
  // and of order h^4 otherwise (h = 1/99 or pi/99 with 100 points); Romberg
  // stops on an absolute change below 1e-8.
  const Real tolerance[6] = {1e-9L, 1e-6L, 1e-6L, 1e-12L, 1e-10L, 1e-12L};
  for (int method = 0; method <= 5; ++method) {
    in.set.integrateMethod = method;
    for (const Case& c : cases) EXPECT_NEAR(value(c.text), c.exact, tolerance[method]) << c.text << " method " << method;
  }
}

TEST_F(Calculus, PolynomialsAreExactForTheTrapezoidRules) {
  for (int method : {1, 2}) {
    in.set.integrateMethod = method;
    EXPECT_NEAR(value("INTEGRATE x (0, 1) x^2 END"), 1.0L / 3, 1e-15L) << method;
  }
}

TEST_F(Calculus, ThirdArgumentIsCountAboveOneElseTolerance) {
  in.set.integrateMethod = 4;
  // Romberg with at most 2 rows: R(2,2) of sqrt, worked from the trapezoid
  // sums T0 = 1/2, T1 = 1/4 + sqrt(1/2)/2, T2 = T1/2 + (1/2 + sqrt(3)/2)/4.
  const Real t0 = 0.5L, t1 = t0 / 2 + std::sqrt(0.5L) / 2, t2 = t1 / 2 + (0.5L + std::sqrt(3.0L) / 2) / 4;
  const Real r11 = (4 * t1 - t0) / 3, r21 = (4 * t2 - t1) / 3, r22 = (16 * r21 - r11) / 15;
  EXPECT_NEAR(value("INTEGRATE x (0, 1, 2) SQRT(x) END"), r22, 1e-17L);
  // A tolerance: the result is within it of 2/3.
  EXPECT_NEAR(value("INTEGRATE x (0, 1, 1.0E-4) SQRT(x) END"), 2.0L / 3, 1e-3L);
}

TEST_F(Calculus, SimpsonWarnsAndGivesZeroWithoutConvergence) {
  in.set.integrateMethod = 0;
  Real v = 1;
  const std::string out = captured([&] { v = value("INTEGRATE x (0, 1, 3) SQRT(x) END"); });
  EXPECT_EQ(v, 0);
  const Real t2 = (0.5L + std::sqrt(0.5L)) / 2, t3 = (t2 + (0.5L + std::sqrt(0.75L)) / 2) / 2;
  const Real s3 = (4 * t3 - t2) / 3;  // 0.65652626...
  EXPECT_NEAR(s3, 0.6565262648L, 1e-10L);
  EXPECT_EQ(out, "Warning: 3 iterations in S Integrate(0.0000000000 1.0000000000) =0.6565262648\n");
}

TEST_F(Calculus, UnknownMethodStopsTheRun) {
  in.set.integrateMethod = 6;
  const ExprNode* n = parse("INTEGRATE x (0, 1) x END");
  expectError([&] { evalReal(in, n); }, "run time", "Unimplemented integration method: 6");
}

TEST_F(Calculus, DerivativesAndTheVariableComesBack) {
  value("PREASSIGN x = 7.5, 0 END");
  EXPECT_NEAR(value("DERIVATIVE x = 0, SIN(x) END"), 1, 1e-12L);
  EXPECT_NEAR(value("DERIVATIVE x = 3 x^2 END"), 6, 1e-12L);
  EXPECT_NEAR(value("DERIVATIVE (2) x = 2, x^3 END"), 12, 1e-7L);
  EXPECT_NEAR(value("DERIVATIVE (2) x = 1, EXP(x), 0.01 END"), kE, 1e-8L);
  EXPECT_EQ(realVar("x"), 7.5L);
}

TEST_F(Calculus, DerivativeTraceCountsEvaluations) {
  in.set.debugInt = true;
  std::string out = captured([&] { value("DERIVATIVE x = 0, x END"); });
  // A straight line through 0: every difference quotient is exactly 1, so
  // the first extrapolation has error 0 and its test stops the loop.
  EXPECT_EQ(out, "DERIVATIVE converged in 4 evals.\n");
}

TEST_F(Calculus, SearchesLeaveTheVariableAtTheAnswer) {
  EXPECT_NEAR(value("FINDZERO x (0, 3, 1.0E-15) x^2 - 2 END"), std::sqrt(2.0L), 1e-14L);
  EXPECT_NEAR(realVar("x"), std::sqrt(2.0L), 1e-14L);
  EXPECT_NEAR(value("FINDZERO x (0, 3) x - 1 END"), 1, 1e-5L);
  EXPECT_NEAR(value("FINDMIN y (0, 3) (y - 1)^2 END"), 1, 1e-4L);
  EXPECT_NEAR(realVar("y"), 1, 1e-4L);
  EXPECT_NEAR(value("FINDMIN y (0, 3, 2.5, 1.0E-10) (y - 1)^2 END"), 1, 1e-8L);
  // The bracket may be given in either order.
  EXPECT_NEAR(value("FINDMIN y (5, 0) (y - 2)^2 END"), 2, 1e-4L);
  EXPECT_NEAR(value("FINDMIN y (0, 2 * PI) COS(y) END"), kPi, 1e-4L);
}

TEST_F(Calculus, SearchesWarnAtTheIterationLimit) {
  std::string out = captured([&] { value("FINDZERO x (0, 3, 1.0E-15, 2) x^2 - 2 END"); });
  EXPECT_EQ(out, "Warning: FINDZERO reached max iterations\n");
  out = captured([&] { value("FINDMIN x (0, 5, 0.5, 1.0E-12, 2) (x - 2)^2 + x^4 END"); });
  EXPECT_EQ(out, "Warning FINDMIN reached maximum iterations\n");
  in.set.findMaxIts = 1;
  out = captured([&] { value("FINDZERO x (0, 3) EXP(x) - 2 END"); });
  EXPECT_EQ(out, "Warning: FINDZERO reached max iterations\n");
}

TEST_F(Calculus, SumsAndProducts) {
  EXPECT_EQ(value("SUMMATION i (1, 10) i END"), 55);
  EXPECT_EQ(value("PRODUCT i (1, 10) i END"), 3628800);
  EXPECT_EQ(getInteger(in, *lookup(in, "i"), 1), 11);
  EXPECT_EQ(value("SUMMATION i (1, 0) i END"), 0);
  EXPECT_EQ(getInteger(in, *lookup(in, "i"), 1), 1);
  EXPECT_EQ(value("PRODUCT i (1, 0) i END"), 1);
  // With a criterion the loop stops after the first term that changes the
  // result by less than it.
  EXPECT_EQ(value("SUMMATION i (1, 100, 5.5) 10 - i END"), 9 + 8 + 7 + 6 + 5);
  EXPECT_NEAR(value("SUMMATION k (1, 1000000000, 2.0E-10) 1 / k^2 END"), 1.644919924876977299716L, 1e-14L);
  EXPECT_EQ(getInteger(in, *lookup(in, "k"), 1), 70712);
}

TEST_F(Calculus, SumTrace) {
  in.set.debugInt = true;
  EXPECT_EQ(captured([&] { value("PRODUCT j (2, 4) j END"); }), "PRODUCT(2 4)= 24.000000000\n");
  EXPECT_EQ(captured([&] { value("SUMMATION j (-1, 1) j END"); }), "SUM(-1 1)= 0.0000000000\n");
}

TEST_F(Calculus, ParseErrors) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"INTEGRATE x (0) x END", "Wrong number of parameters. Called with 1, expected from 2 to 3"},
      {"FINDMIN x (0, 1, 2, 3, 4, 5) x END", "Wrong number of parameters. Called with 6, expected from 2 to 5"},
      {"FINDZERO x (0, 1, 2, 3, 4) x END", "Wrong number of parameters. Called with 5, expected from 2 to 4"},
      {"SUMMATION i 1 END", "Wrong number of parameters. Called with 0, expected from 2 to 3"},
      {"INTEGRATE x (0, 1) \"s\" END", "Bad argument type to INTEGRATE. Found:  STRING . Expected:  INTEGER REAL "},
      {"DERIVATIVE x = TRUE, x END", "Bad argument type to DERIVATIVE. Found:  BOOLEAN . Expected:  INTEGER REAL "},
      {"PREASSIGN n = 1, INTEGRATE n (0, 1) n END END", "Can't assign value of type REAL to variable of type INTEGER"},
      {"SUMMATION PI (1, 2) 1 END", "Can't assign to constant PI"},
  };
  for (const Case& c : cases) expectError([&] { parse(c.text); }, "parser", c.message);
}

}  // namespace
}  // namespace zav
