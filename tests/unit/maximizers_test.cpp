// The fixed arithmetic of the simplex and annealing steps, the root search
// of the likelihood confidence limits, and the restart file's numbers and
// names. Expected values are worked by hand in the comments.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/settings.h"
#include "estimate/estimate.h"
#include "estimate/intervals.h"
#include "scan/numlit.h"

namespace zav {
namespace {

TEST(SimplexStep, RankKeepsEarlierBestOnTies) {
  struct Case {
    std::vector<Real> y;
    std::size_t best, worst, nextWorst;
  };
  const Case cases[] = {
      {{1, 9}, 0, 1, 0},
      {{9, 1}, 1, 0, 1},
      {{1, 1}, 0, 1, 0},        // all equal: the first vertex is best
      {{3, 1, 1, 7}, 1, 3, 0},  // tie for best: the earlier stays
      {{5, 8, 2, 8}, 2, 1, 3},
  };
  for (const Case& c : cases) {
    std::size_t best = 99, worst = 99, nextWorst = 99;
    simplexRank(c.y, best, worst, nextWorst);
    EXPECT_EQ(best, c.best);
    EXPECT_EQ(worst, c.worst);
    EXPECT_EQ(nextWorst, c.nextWorst);
  }
}

TEST(SimplexStep, TrialPointReflectsExtendsContracts) {
  // Two dimensions, vertices (0,0), (2,0), worst (1,4): psum = (3,4), the
  // centroid of the others c = (1,0). Trial = c (1 - factor) + worst factor.
  const Real psum[] = {3, 4}, worst[] = {1, 4};
  struct Case {
    Real factor, x, y;
  };
  const Case cases[] = {{-1, 1, -4}, {2, 1, 8}, {0.5L, 1, 2}, {-2, 1, -8}};
  for (const Case& c : cases) {
    Real trial[2];
    simplexTrialPoint(psum, worst, 2, c.factor, trial);
    EXPECT_NEAR(static_cast<double>(trial[0]), static_cast<double>(c.x), 1e-15);
    EXPECT_NEAR(static_cast<double>(trial[1]), static_cast<double>(c.y), 1e-15);
  }
}

TEST(SimplexStep, FirstVertexHalfwayFromLow) {
  EXPECT_EQ(simplexFirstVertex(4, 0, 10), 2);
  EXPECT_EQ(simplexFirstVertex(4, 2, 10), 3);
  EXPECT_EQ(simplexFirstVertex(-1, -3, 10), -2);
  // A start on LOW goes halfway towards HIGH instead of repeating the start.
  EXPECT_EQ(simplexFirstVertex(0, 0, 10), 5);
}

TEST(AnnealingStep, StepLengthAdjustment) {
  Settings s;
  s.saStepLengthAdj = 2;
  s.saAdjLowerBound = 0.4L;  // L = 0.4, U = 0.6
  // r = 0.8 > U: v (1 + 2 (0.8 - 0.6)/0.4) = 2v.
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1.5L, 0.8L)), 3.0, 1e-15);
  // r = 0.2 < L: v / (1 + 2 (0.4 - 0.2)/0.4) = v/2.
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1.5L, 0.2L)), 0.75, 1e-15);
  // Within [L, U] nothing changes.
  EXPECT_EQ(annealStepLength(s, 1.5L, 0.5L), 1.5L);
  EXPECT_EQ(annealStepLength(s, 1.5L, 0.4L), 1.5L);
  // Alternative: exp(1.5 c (r - L)) above U, exp(1.5 c (r - U)) below L.
  s.saAltAdjustment = true;
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1, 0.8L)), std::exp(1.2), 1e-15);
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1, 0.2L)), std::exp(-1.2), 1e-15);
  // A lower bound above 0.5 is clamped to 0.5: only r = 0.5 leaves v alone.
  s.saAltAdjustment = false;
  s.saAdjLowerBound = 0.7L;
  EXPECT_EQ(annealStepLength(s, 1, 0.5L), 1);
  // r = 0.55: v (1 + 2 (0.05)/0.5) = 1.2 v; r = 0.45: v / 1.2.
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1, 0.55L)), 1.2, 1e-15);
  EXPECT_NEAR(static_cast<double>(annealStepLength(s, 1, 0.45L)), 1 / 1.2, 1e-15);
}

TEST(CiSearch, LinearResidualInOneStep) {
  // Residual 2 (3 - t): the secant between 0 and 10 lands on the root 3.
  int calls = 0;
  auto r = [&](Real t) {
    ++calls;
    return 2 * (3 - t);
  };
  const CiSearch s = ciSearch(0, r(0), 10, r(10), 1e-6L, 30, r);
  EXPECT_EQ(s.status, 5);
  EXPECT_NEAR(static_cast<double>(s.limit), 3.0, 1e-15);
  EXPECT_EQ(s.iterations, 1);
  EXPECT_EQ(calls, 3);
}

TEST(CiSearch, CurvedResidualConvergesFromBothSides) {
  // Residual 2 (5 - (t - 1)^2): roots 1 -+ sqrt 5. The Illinois rule keeps
  // the count of steps small even though plain regula falsi would creep.
  auto r = [](Real t) { return 2 * (5 - (t - 1) * (t - 1)); };
  const CiSearch up = ciSearch(1, 10, 100, r(100), 1e-10L, 60, r);
  EXPECT_EQ(up.status, 5);
  EXPECT_NEAR(static_cast<double>(up.limit), 1 + std::sqrt(5.0), 1e-10);
  EXPECT_LT(up.iterations, 30);
  const CiSearch down = ciSearch(1, 10, -100, r(-100), 1e-10L, 60, r);
  EXPECT_EQ(down.status, 5);
  EXPECT_NEAR(static_cast<double>(down.limit), 1 - std::sqrt(5.0), 1e-10);
}

TEST(CiSearch, NotBracketedAndOutOfIterations) {
  auto flat = [](Real) { return Real(1); };
  const CiSearch none = ciSearch(0, 2, 7, 1, 1e-6L, 30, flat);
  EXPECT_EQ(none.status, 6);
  EXPECT_EQ(none.limit, 7);
  // A residual that is not a number is no sign change either.
  const CiSearch nan = ciSearch(0, 2, 7, std::nanl(""), 1e-6L, 30, flat);
  EXPECT_EQ(nan.status, 6);
  // One iteration on 2 (5 - (t-1)^2) between 1 and 100: the first secant
  // point is 1 + 10 * 99 / (10 + 2 (99^2 - 5)), short of the root.
  auto r = [](Real t) { return 2 * (5 - (t - 1) * (t - 1)); };
  const CiSearch one = ciSearch(1, 10, 100, r(100), 1e-6L, 1, r);
  EXPECT_EQ(one.status, 2);
  EXPECT_NEAR(static_cast<double>(one.limit), 1 + 990.0 / (10 + 2 * (9801 - 5)), 1e-15);
}

// The quasi-Newton matrix arithmetic on A = [[4, 2, 0], [2, 3, 1], [0, 1, 2]]
// (positive definite: leading minors 4, 8, 12).
TEST(QuasiNewtonMatrix, SweepingEveryPivotInverts) {
  const std::vector<Real> a = {4, 2, 0, 2, 3, 1, 0, 1, 2};
  std::vector<Real> inv = a;
  ASSERT_TRUE(invertPositive(inv, 3));
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) {
      Real v = 0;
      for (std::size_t k = 0; k < 3; ++k) v += a[i * 3 + k] * inv[k * 3 + j];
      EXPECT_NEAR(static_cast<double>(v), i == j ? 1.0 : 0.0, 1e-15) << i << "," << j;
    }
  // [[1, 2], [2, 1]] has the second pivot 1 - 4 < 0.
  std::vector<Real> indefinite = {1, 2, 2, 1};
  EXPECT_FALSE(invertPositive(indefinite, 2));
}

TEST(QuasiNewtonMatrix, SweepLeavesSchurComplement) {
  // Sweeping pivot 0 leaves A11 - a10 a01 / a00 = [[3 - 4/4, 1], [1, 2]] in
  // the other block: the inverse Hessian of the others when 0 is held.
  std::vector<Real> a = {4, 2, 0, 2, 3, 1, 0, 1, 2};
  sweepPivot(a, 3, 0);
  EXPECT_NEAR(static_cast<double>(a[4]), 2.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(a[5]), 1.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(a[7]), 1.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(a[8]), 2.0, 1e-18);
}

TEST(QuasiNewtonMatrix, UpdateMeetsSecantOrIsSkipped) {
  // From the identity, the step s = (1, 0, 2) with y = A s = (4, 3, 4): the
  // updated matrix maps y back onto s and stays symmetric.
  std::vector<Real> h = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const Real s[] = {1, 0, 2}, y[] = {4, 3, 4};
  Real scratch[3];
  ASSERT_TRUE(bfgsUpdate(h, 3, s, y, scratch));
  for (std::size_t i = 0; i < 3; ++i) {
    Real v = 0;
    for (std::size_t j = 0; j < 3; ++j) v += h[i * 3 + j] * y[j];
    EXPECT_NEAR(static_cast<double>(v), static_cast<double>(s[i]), 1e-15);
    for (std::size_t j = 0; j < 3; ++j) EXPECT_NEAR(static_cast<double>(h[i * 3 + j] - h[j * 3 + i]), 0.0, 1e-18);
  }
  // s'y <= 0 (negative curvature along s): the matrix stays as it was.
  const std::vector<Real> before = h;
  const Real yDown[] = {-1, 0, 0};
  EXPECT_FALSE(bfgsUpdate(h, 3, s, yDown, scratch));
  EXPECT_EQ(h, before);
}

TEST(RestartFile, NumbersReadBackExactly) {
  const Real values[] = {0, 1, -2.5L, 1.0L / 3, 2e-300L, -7.123456789012345678e250L, 1.99999858356847519706L};
  for (Real v : values) {
    const std::string text = restartNumber(v);
    EXPECT_EQ(text.find('+'), std::string::npos) << text;
    const NumLit n = parseNumber(text);
    ASSERT_TRUE(n.valid) << text;
    EXPECT_EQ(n.r, v) << text;
  }
}

TEST(RestartFile, Names) {
  EXPECT_EQ(restartFileName("fit.zav", 1, 1), "fit_1.1");
  EXPECT_EQ(restartFileName("fit", 2, 3), "fit_2.3");
  EXPECT_EQ(restartFileName("d/sub.dir/estimate.zav", 12, 3), "d/sub.dir/estimate_12.3");
  EXPECT_EQ(restartFileName("/abs/a.b.zav", 1, 10), "/abs/a.b_1.10");
}

}  // namespace
}  // namespace zav
