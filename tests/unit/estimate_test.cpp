// The numerical pieces of the estimation layer: Brent's line minimiser on
// functions with known minima, and the Gauss-Jordan inversion against
// inverses worked out by hand (exact rational arithmetic).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "driver/driver.h"
#include "estimate/estimate.h"
#include "estimate/powell.h"

namespace zav {
namespace {

struct Fixture : ::testing::Test {
  Interp in;
  void SetUp() override {
    in.set.brentIts = 200;
    in.set.brentMagic = 0.381966L;
    in.set.largeZero = 1e-20L;
    in.set.maxEvals = 100000;
    in.set.evals = 0;
  }
};

using Brent = Fixture;

TEST_F(Brent, FindsKnownMinima) {
  struct Case {
    Real a, b, start, xmin;
    Real (*f)(Real);
  };
  // (x - 2)^2 + 1 at 2; cosh(x - 0.5) at 0.5; x^4 - 3x at (3/4)^(1/3);
  // -x exp(-x) at 1 (closed forms from setting the derivative to 0).
  const Case cases[] = {
      {-10, 10, 7, 2, [](Real x) { return (x - 2) * (x - 2) + 1; }},
      {5, -5, 0, 0.5L, [](Real x) { return std::cosh(x - 0.5L); }},
      {0, 3, 0.1L, std::cbrt(0.75L), [](Real x) { return x * x * x * x - 3 * x; }},
      {0, 20, 10, 1, [](Real x) { return -x * std::exp(-x); }},
  };
  for (const Case& c : cases) {
    const LineMin r = lineMinimise(in, c.a, c.b, c.start, c.start, 1, 1e-12L, [&](Real u) { return c.f(u); });
    EXPECT_NEAR(static_cast<double>(r.x), static_cast<double>(c.xmin), 1e-8);
    EXPECT_EQ(r.f, c.f(r.x));
  }
}

TEST_F(Brent, BracketsFirstWhenTheBoundsAreHuge) {
  // The default bounds are +-INFINITY/2; Brent over them alone never gets
  // back from its first probes. Minima as in FindsKnownMinima; the last two
  // lie on or near the one finite bound.
  constexpr Real kHuge = 1e4000L;
  struct Case {
    Real a, b, here, xmin;
    Real (*f)(Real);
  };
  const Case cases[] = {
      {-kHuge, kHuge, 7, 2, [](Real x) { return (x - 2) * (x - 2) + 1; }},
      {kHuge, -kHuge, 0, 0.5L, [](Real x) { return std::cosh(x - 0.5L); }},
      {-kHuge, kHuge, 1e6L, 1, [](Real x) { return std::log(x * x) + 1 / (x * x); }},
      {0, kHuge, 10, 1, [](Real x) { return -x * std::exp(-x); }},
      {1, kHuge, 2, 1, [](Real x) { return (x + 3) * (x + 3); }},
  };
  for (const Case& c : cases) {
    const Real scale = std::fabs(c.here) > 1 ? std::fabs(c.here) : 1;
    const LineMin r = lineMinimise(in, c.a, c.b, c.here, c.here, scale, 1e-12L, [&](Real u) { return c.f(u); });
    EXPECT_NEAR(static_cast<double>(r.x), static_cast<double>(c.xmin), 1e-8) << static_cast<double>(c.here);
    EXPECT_EQ(r.f, c.f(r.x));
  }
}

TEST_F(Brent, StaysInsideTheInterval) {
  // The minimum of (x + 3)^2 lies left of [1, 4]: the search ends at the bound.
  const LineMin r = lineMinimise(in, 1, 4, 2, 2, 1, 1e-12L, [](Real u) { return (u + 3) * (u + 3); });
  EXPECT_GE(r.x, 1);
  EXPECT_NEAR(static_cast<double>(r.x), 1.0, 1e-9);
}

TEST_F(Brent, EqualBoundsAndSingleRound) {
  int calls = 0;
  auto f = [&](Real u) {
    ++calls;
    return u * u;
  };
  LineMin r = lineMinimise(in, 3, 3, 3, 3, 1, 1e-10L, f);
  EXPECT_EQ(r.x, 3);
  EXPECT_EQ(calls, 1);  // the start only: the interval is empty
  in.set.brentIts = 1;
  calls = 0;
  r = lineMinimise(in, -1, 1, 0.5L, 0.5L, 1, 1e-10L, f);
  EXPECT_EQ(calls, 2);  // the start and one probe
}

TEST_F(Brent, StopsAtMaxEvals) {
  in.set.maxEvals = 5;
  int calls = 0;
  lineMinimise(in, -100, 100, 50, 50, 1, 1e-15L, [&](Real u) {
    ++calls;
    ++in.set.evals;
    return (u - 1) * (u - 1);
  });
  EXPECT_EQ(calls, 5);
}

using Inversion = Fixture;

TEST_F(Inversion, MatchesHandInverses) {
  // [[4, 7], [2, 6]]^-1 = [[0.6, -0.7], [-0.2, 0.4]] (determinant 10).
  std::vector<Real> a = {4, 7, 2, 6};
  ASSERT_TRUE(invertMatrix(in, a.data(), 2));
  const Real want2[] = {0.6L, -0.7L, -0.2L, 0.4L};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(static_cast<double>(a[i]), static_cast<double>(want2[i]), 1e-15);
  // [[2, -1, 0], [-1, 2, -1], [0, -1, 2]]^-1 = [[3, 2, 1], [2, 4, 2], [1, 2, 3]] / 4;
  // a zero first pivot forces the row and column exchanges.
  std::vector<Real> b = {2, -1, 0, -1, 2, -1, 0, -1, 2};
  ASSERT_TRUE(invertMatrix(in, b.data(), 3));
  const Real want3[] = {3, 2, 1, 2, 4, 2, 1, 2, 3};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(static_cast<double>(b[i]), static_cast<double>(want3[i] / 4), 1e-15);
  std::vector<Real> c = {0, 1, 1, 0};  // its own inverse
  ASSERT_TRUE(invertMatrix(in, c.data(), 2));
  EXPECT_EQ(c[0], 0);
  EXPECT_EQ(c[1], 1);
  EXPECT_EQ(c[2], 1);
  EXPECT_EQ(c[3], 0);
}

TEST_F(Inversion, SingularMatrixWarns) {
  std::vector<Real> a = {1, 2, 2, 4};
  testing::internal::CaptureStdout();
  const bool ok = invertMatrix(in, a.data(), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning: the matrix is singular\n");
  EXPECT_FALSE(ok);
  std::vector<Real> z = {0};
  testing::internal::CaptureStdout();
  EXPECT_FALSE(invertMatrix(in, z.data(), 1));
  testing::internal::GetCapturedStdout();
}

}  // namespace
}  // namespace zav
