// The fast exp, log and log1p against an independent reference over dense
// deterministic grids of each domain, and bit for bit against std:: on the
// special values. With GCC the reference is libquadmath's binary128 expq,
// logq and log1pq (113-bit significand, so the long double error is measured
// to a small fraction of an ulp) and the bound is one ulp of the exact value.
// Elsewhere it is the C library's long double function; glibc's expl and logl
// are within about one ulp, its log1pl within about 2.5 (measured against
// binary128), so the bounds are 2, 2 and 3 ulp there.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "funcs/fastexp.h"

#ifdef ZAV_HAVE_QUADMATH
#include <quadmath.h>
#endif

namespace zav {
namespace {

#ifdef ZAV_HAVE_QUADMATH
using Ref = __float128;
Ref refExp(Real x) { return expq(x); }
Ref refLog(Real x) { return logq(x); }
Ref refLog1p(Real x) { return log1pq(x); }
constexpr double kBound[3] = {1, 1, 1};
#else
using Ref = Real;
Ref refExp(Real x) { return std::exp(x); }
Ref refLog(Real x) { return std::log(x); }
Ref refLog1p(Real x) { return std::log1p(x); }
constexpr double kBound[3] = {2, 2, 3};
#endif

// |got - want| in units of the long double spacing at want (subnormal
// spacing below the normal range).
double ulpError(Real got, Ref want) {
  if (got == want) return 0;
  int e;
  std::frexp(static_cast<Real>(want), &e);
  const Ref ulp = std::ldexp(Real(1), std::max(e - 64, LDBL_MIN_EXP - 64));
  const Ref diff = got > want ? Ref(got) - want : want - Ref(got);
  return static_cast<double>(diff / ulp);
}

struct Grid {
  const char* name;
  Real (*fast)(Real);
  Ref (*ref)(Real);
  double bound;
  std::vector<Real> args;
};

// n points from lo to hi; the odd step keeps them off any round grid.
void span(std::vector<Real>& v, Real lo, Real hi, int n) {
  for (int i = 0; i < n; ++i) v.push_back(lo + (hi - lo) * (i + 0.37L) / n);
}

// n points spread evenly in ln |x| between lo and hi (same sign).
void logSpan(std::vector<Real>& v, Real lo, Real hi, int n) {
  std::vector<Real> t;
  span(t, std::log(std::fabs(lo)), std::log(std::fabs(hi)), n);
  for (Real u : t) v.push_back(std::copysign(std::exp(u), lo));
}

std::vector<Grid> grids() {
  std::vector<Grid> g = {{"exp", fastExp, refExp, kBound[0], {}},
                         {"log", fastLog, refLog, kBound[1], {}},
                         {"log1p", fastLog1p, refLog1p, kBound[2], {}}};
  // exp: the whole range from underflow to overflow, then [-1, 1] densely.
  span(g[0].args, -11410, 11360, 100000);
  span(g[0].args, -1, 1, 30000);
  logSpan(g[0].args, 1e-30L, 1e-3L, 10000);
  logSpan(g[0].args, -1e-30L, -1e-3L, 10000);
  // log: every binade from the smallest subnormal up, then around 1.
  logSpan(g[1].args, LDBL_TRUE_MIN, LDBL_MAX, 100000);
  span(g[1].args, 0.97L, 1.03L, 30000);
  logSpan(g[1].args, 1 + 1e-19L, 1 + 1e-3L, 10000);
  logSpan(g[1].args, 1 - 1e-19L, 1 - 1e-3L, 10000);
  // log1p: from just above -1 to the largest value, then around 0.
  logSpan(g[2].args, 1e-19L, 1, 20000);
  for (int i = 0; i < 20000; ++i) g[2].args[i] -= 1;  // -1 + 1e-19 .. 0
  logSpan(g[2].args, 1e-3L, LDBL_MAX, 80000);
  span(g[2].args, -0.03L, 0.03L, 30000);
  logSpan(g[2].args, 1e-40L, 1e-2L, 10000);
  logSpan(g[2].args, -1e-40L, -1e-2L, 10000);
  return g;
}

TEST(FastExp, GridsWithinBound) {
  for (const Grid& g : grids()) {
    double worst = 0;
    Real worstAt = 0;
    for (Real x : g.args) {
      const double err = ulpError(g.fast(x), g.ref(x));
      if (err > worst) worst = err, worstAt = x;
    }
    EXPECT_LE(worst, g.bound) << g.name << " at " << static_cast<double>(worstAt) << " over "
                              << g.args.size() << " points";
  }
}

// Hard cases by hand: the ends of each fast path, the thresholds of
// overflow, subnormal results and underflow, and the neighbours of 1 and 0.
TEST(FastExp, HardCasesWithinBound) {
  const Real one = 1, e8 = 0x1p-8L;
  const Real exps[] = {11354.6L, -11354.6L, 11355, -11355, 11356.5L, 11356.52L, -11355.13L, -11355.14L,
                       -11390, -11399.4L, 709.78L, -708.4L, 710, -745, std::ldexp(one, -64),
                       -std::ldexp(one, -64), 0.0054152123481245L, -0.0054152123481245L};
  const Real logs[] = {std::nextafter(one, 0), std::nextafter(one, 2), 1 + 0x1p-63L, 1 - 0x1p-64L,
                       1 + e8 / 2, 1 - e8 / 2, 1.4140625L, 1.41421356237309504880L, 2 - 0x1p-63L,
                       LDBL_MIN, std::nextafter(LDBL_MIN, 0), 0x1p-1022L, 0x1p1023L, 0x1.fffffffffffffffep1022L,
                       LDBL_MAX, std::nextafter(one, 0) * 0x1p-1022L};
  const Real log1ps[] = {e8, -e8, std::nextafter(e8, 0), std::nextafter(-e8, 0), 0x1p-64L, -0x1p-64L,
                         LDBL_TRUE_MIN, -LDBL_TRUE_MIN, LDBL_MIN, std::nextafter(Real(-1), 0),
                         -1 + 0x1p-54L, -1 + 0x1p-52L, -0.5L, 0x1p64L, std::nextafter(0x1p64L, 0),
                         0x1p64L + 0x1p12L, 1, 2, LDBL_MAX};
  for (Real x : exps) EXPECT_LE(ulpError(fastExp(x), refExp(x)), kBound[0]) << static_cast<double>(x);
  for (Real x : logs) EXPECT_LE(ulpError(fastLog(x), refLog(x)), kBound[1]) << static_cast<double>(x);
  for (Real x : log1ps) EXPECT_LE(ulpError(fastLog1p(x), refLog1p(x)), kBound[2]) << static_cast<double>(x);
}

bool sameBits(Real a, Real b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

TEST(FastExp, SpecialValuesAsStd) {
  const Real inf = std::numeric_limits<Real>::infinity(), nan = std::numeric_limits<Real>::quiet_NaN();
  const Real tiny = LDBL_TRUE_MIN;
  // Signed zeros, infinities, NaN, overflow, subnormal and zero results,
  // arguments whose result rounds to 1 or to themselves, logarithms of
  // negative numbers and subnormals.
  const Real exps[] = {0, -0.0L, inf, -inf, nan, -nan, 11357, 12000, -11400, -12000, LDBL_MAX, -LDBL_MAX, tiny, -tiny};
  const Real logs[] = {0, -0.0L, -1, -tiny, -inf, inf, nan, -nan, tiny, LDBL_MIN / 2, 1};
  const Real log1ps[] = {0, -0.0L, -1, -2, -inf, inf, nan, -nan, tiny, -tiny, LDBL_MIN, -LDBL_MIN};
  for (Real x : exps) EXPECT_TRUE(sameBits(fastExp(x), std::exp(x))) << static_cast<double>(x);
  for (Real x : logs) EXPECT_TRUE(sameBits(fastLog(x), std::log(x))) << static_cast<double>(x);
  for (Real x : log1ps) EXPECT_TRUE(sameBits(fastLog1p(x), std::log1p(x))) << static_cast<double>(x);
  // The exact values the callers rely on.
  EXPECT_TRUE(sameBits(fastExp(0), 1));
  EXPECT_TRUE(sameBits(fastExp(-0.0L), 1));
  EXPECT_TRUE(sameBits(fastLog(1), 0));
  EXPECT_TRUE(sameBits(fastLog1p(0), 0));
  EXPECT_TRUE(sameBits(fastLog1p(-0.0L), -0.0L));
}

}  // namespace
}  // namespace zav
