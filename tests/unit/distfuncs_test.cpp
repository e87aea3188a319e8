// Distribution functions and their inverses.
//
// Reference values: computed with python3 mpmath 1.3.0 at 40 significant
// digits from the defining integrals (mp.npdf, mp.ncdf, the regularised
// mp.betainc and mp.gammainc for the t, F and chi-square tails), and the
// quantiles by 200-step bisection of those functions in mpmath. A few rows
// are the familiar critical values of printed statistical tables (t 2.228 at
// 10 df, chi-square 3.841 at 1 df, F 3.48 at 4 and 10 df, z 1.95996).
#include "dists/distfuncs.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/beta.hpp>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/machine.h"
#include "support.h"

namespace zav {
namespace {

constexpr Real kEps = std::numeric_limits<Real>::epsilon();
constexpr Real kInf = std::numeric_limits<Real>::infinity();

struct Fixture : ::testing::Test {
  Interp in;
  Fixture() { initMachineConstants(in.set); }
};

using DistFuncs = Fixture;

void expectRel(Real got, Real want, Real tol, const std::string& what) {
  Real rel = std::fabs(got - want) / std::fabs(want);
  EXPECT_LE(rel, tol) << what << ": got " << static_cast<double>(got) << " want " << static_cast<double>(want)
                      << " rel " << static_cast<double>(rel);
}

TEST_F(DistFuncs, ForwardFunctionsMatchHighPrecisionValues) {
  struct Row {
    const char* fn;
    Real a, b, c, want;
  };
  // Arguments are exact binary fractions so the reference is for the very
  // input the function sees.
  const Row rows[] = {
      {"N", 0, 0, 0, 0.3989422804014326779399461L},           {"N", 1, 0, 0, 0.2419707245191433497978302L},
      {"N", -2.5L, 0, 0, 0.01752830049356853736215832L},      {"N", 10, 0, 0, 7.694598626706419346339034e-23L},
      {"N", -37.5L, 0, 0, 1.728233732284105220750793e-306L},  {"NC", 0, 0, 0, 0.5L},
      {"NC", 1.5L, 0, 0, 0.933192798731141933995506L},        {"NC", -5, 0, 0, 2.866515718791939116737523e-7L},
      {"NC", -12.25L, 0, 0, 8.399796063633417658918613e-35L}, {"NC", -37.5L, 0, 0, 4.605353009581954843827969e-308L},
      {"NC", 6, 0, 0, 0.9999999990134123549623019L},          {"T", 2, 5, 0, 0.05096973941492917812268055L},
      {"T", -1.5L, 10, 0, 0.9177463367772799095753696L},      {"T", 0.75L, 1, 0, 0.2951672353008665483508022L},
      {"T", 12, 3, 0, 0.0006225079003946683689974428L},       {"T", 3.5L, 30, 0, 0.0007384037188221265315961955L},
      {"T", 1, 2.5L, 0, 0.2020305136391367331809701L},        {"T", 50, 1, 0, 0.00636534910097279667929793L},
      {"T", 4, 0.5L, 0, 0.1596100414943357652414795L},        {"F", 3, 4, 10, 0.07232322228814023338739112L},
      {"F", 0.5L, 2, 7, 0.6266545330387997535425907L},        {"F", 10, 1, 1, 0.1949822290421366451594671L},
      {"F", 100, 5, 20, 1.905054426213450092545763e-13L},     {"F", 1.25L, 30, 40, 0.2521538184521154443546084L},
      {"C", 10, 5, 0, 0.07523524614651217872207687L},         {"C", 100, 10, 0, 5.449701982920529335093332e-17L},
      {"C", 0.5L, 2, 0, 0.7788007830714048682451703L},        {"C", 200, 150, 0, 0.003973185970821611325440786L},
  };
  for (const Row& r : rows) {
    std::string f = r.fn;
    Real got = f == "N"    ? distNormal(in, r.a)
               : f == "NC" ? distNormalCdf(in, r.a)
               : f == "T"  ? distStudentT(in, r.a, r.b)
               : f == "F"  ? distFDist(in, r.a, r.b, r.c)
                           : distChiSq(in, r.a, r.b);
    // 64 units in the last place: the tails above are at most moderately
    // conditioned, and the worst measured over a wide grid was 11 units.
    expectRel(got, r.want, 64 * kEps, f + "(" + std::to_string(static_cast<double>(r.a)) + ")");
  }
}

TEST_F(DistFuncs, PrintedTableCriticalValues) {
  EXPECT_NEAR(distStudentT(in, 2.228L, 10), 0.025L, 5e-5L);
  EXPECT_NEAR(distChiSq(in, 3.841L, 1), 0.05L, 5e-5L);
  EXPECT_NEAR(distFDist(in, 3.48L, 4, 10), 0.05L, 2e-4L);  // the table rounds 3.4780 to 3.48
  EXPECT_NEAR(distNormalCdf(in, -1.96L), 0.025L, 5e-5L);
}

TEST_F(DistFuncs, SpecialArguments) {
  EXPECT_EQ(distStudentT(in, 0, 7), 0.5L);
  EXPECT_EQ(distStudentT(in, 0, 0), 0.5L);
  EXPECT_EQ(distChiSq(in, 0, 3), 1);
  EXPECT_EQ(distChiSq(in, 0, 0), 1);
  EXPECT_EQ(distFDist(in, 0, 3, 4), 1);
  EXPECT_EQ(distChiSq(in, kInf, 3), 0);
  EXPECT_EQ(distFDist(in, kInf, 3, 4), 0);
  EXPECT_EQ(distStudentT(in, kInf, 3), 0);
  EXPECT_EQ(distStudentT(in, -kInf, 3), 1);
  EXPECT_EQ(distNormalCdf(in, -kInf), 0);
  EXPECT_EQ(distNormalCdf(in, kInf), 1);
  EXPECT_EQ(distNormal(in, kInf), 0);
  // Symmetry of t about 0, and a t of huge df is the normal.
  expectRel(distStudentT(in, -2, 5), 1 - distStudentT(in, 2, 5), 4 * kEps, "t symmetry");
  expectRel(distStudentT(in, 1, 1e50L), distNormalCdf(in, -1), 4 * kEps, "t limit");
  // F(1, df) is t^2 with df: P(F > t^2) = 2 P(T > t).
  expectRel(distFDist(in, 9, 1, 6), 2 * distStudentT(in, 3, 6), 16 * kEps, "F = t^2");
  // Chi-square with 2 df is exponential with mean 2.
  expectRel(distChiSq(in, 7, 2), std::exp(-3.5L), 8 * kEps, "chi-square 2 df");
}

TEST_F(DistFuncs, InversesMatchHighPrecisionQuantiles) {
  constexpr Real tol = 64 * kEps;
  expectRel(distInvNormal(in, 0.025L), -1.959963984540054235524594L, tol, "INVNORMAL .025");
  expectRel(distInvNormal(in, 0.999L), 3.0902323061678135415404L, tol, "INVNORMAL .999");
  expectRel(distInvNormal(in, 1e-20L), -9.262340089798407573717386L, tol, "INVNORMAL 1e-20");
  expectRel(distInvStudentT(in, 0.025L, 10), 2.228138851986274748395491L, tol, "INVSTUDENTT");
  expectRel(distInvStudentT(in, 0.1L, 1), 3.077683537175253402570291L, tol, "INVSTUDENTT 1 df");
  expectRel(distInvStudentT(in, 0.001L, 3), 10.2145318524073865498862L, tol, "INVSTUDENTT 3 df");
  expectRel(distInvStudentT(in, 0.975L, 10), -2.228138851986274748395491L, tol, "INVSTUDENTT lower");
  expectRel(distInvChiSq(in, 0.05L, 1), 3.841458820694125958361375L, tol, "INVCHISQ");
  expectRel(distInvChiSq(in, 0.5L, 7), 6.345811195521517535725073L, tol, "INVCHISQ median");
  expectRel(distInvChiSq(in, 1e-10L, 3), 49.54215592752366657201902L, tol, "INVCHISQ tail");
  expectRel(distInvFDist(in, 0.05L, 4, 10), 3.478049690765230175783737L, tol, "INVFDIST");
  expectRel(distInvFDist(in, 0.01L, 2, 30), 5.390345863177884343478964L, tol, "INVFDIST 2 30");
  expectRel(distInvFDist(in, 0.5L, 10, 10), 1.0L, tol, "INVFDIST median");
  expectRel(distInvBeta(in, 0.3L, 2, 5), 0.1818034713189491670975661L, tol, "INVBETA");
  expectRel(distInvBeta(in, 0.9L, 0.5L, 0.5L), 0.9755282581475767860582197L, tol, "INVBETA arcsine");
  expectRel(distInvBeta(in, 1e-6L, 3, 1.5L), 0.007710878043355445445809727L, tol, "INVBETA tail");
  // Near 1 the tail beyond p (2^-34, exact) decides; mpmath findroot on the
  // complementary tail at 40 digits.
  const Real nearOne = 1 - 0x1p-34L;
  expectRel(distInvNormal(in, nearOne), 6.443934526538564215306855L, tol, "INVNORMAL near 1");
  expectRel(distInvStudentT(in, nearOne, 4), -476.4661899022902007227728L, tol, "INVSTUDENTT near 1");
  expectRel(distInvChiSq(in, nearOne, 100), 33.84741723942227155218869740L, tol, "INVCHISQ near 1");
  expectRel(distInvFDist(in, nearOne, 5, 7), 0.00004342418288472744571665501643L, tol, "INVFDIST near 1");
  expectRel(distInvBeta(in, nearOne, 2, 3), 0.9997558444711096742429529023L, tol, "INVBETA near 1");
}

// Each inverse undoes its own family's function (for INVBETA the regularised
// incomplete beta, taken here from Boost.Math). The allowance grows with
// the conditioning |x F'(x) / F(x)|: one unit in x moves F by that many.
TEST_F(DistFuncs, InversesRoundTrip) {
  const Real ps[] = {1e-300L, 1e-30L, 1e-8L, 0.001L, 0.025L, 0.1L, 0.3L, 0.5L, 0.7L, 0.9L, 0.975L, 0.999L, 0.9999999L};
  auto check = [&](const std::function<Real(Real)>& F, const std::function<Real(Real)>& inv, Real p,
                   const std::string& what) {
    Real x = inv(p);
    ASSERT_TRUE(std::isfinite(x)) << what << " p=" << static_cast<double>(p);
    Real h = x == 0 ? 1e-9L : std::fabs(x) * 1e-7L;
    Real cond = std::fabs((F(x + h) - F(x - h)) / (2 * h) * x / p);
    Real rel = std::fabs(F(x) - p) / p;
    // Deep in a tail the incomplete beta and gamma come out of exp(a ln y),
    // whose argument is itself rounded: their values step by |ln p| units.
    Real allowance = 16 * kEps * std::max<Real>(1, cond) + 2 * kEps * std::fabs(std::log(p));
    EXPECT_LE(rel, allowance) << what << " p=" << static_cast<double>(p);
  };
  for (Real p : ps) {
    check([&](Real x) { return distNormalCdf(in, x); }, [&](Real q) { return distInvNormal(in, q); }, p, "normal");
    for (Real df : {0.5L, 1.0L, 3.0L, 12.5L, 200.0L}) {
      std::string tag = " df=" + std::to_string(static_cast<double>(df));
      if (p > 1e-100L)
        check([&](Real x) { return distStudentT(in, x, df); }, [&](Real q) { return distInvStudentT(in, q, df); }, p,
              "t" + tag);
      check([&](Real x) { return distChiSq(in, x, df); }, [&](Real q) { return distInvChiSq(in, q, df); }, p,
            "chi-square" + tag);
      check([&](Real x) { return distFDist(in, x, df, 7); }, [&](Real q) { return distInvFDist(in, q, df, 7); }, p,
            "F" + tag);
      check([&](Real x) { return boost::math::ibeta(df, 2.5L, x); },
            [&](Real q) { return distInvBeta(in, q, df, 2.5L); }, p, "beta" + tag);
    }
  }
}

TEST_F(DistFuncs, InverseEndpoints) {
  EXPECT_EQ(distInvNormal(in, 0), -kInf);
  EXPECT_EQ(distInvNormal(in, 1), kInf);
  EXPECT_EQ(distInvNormal(in, 0.5L), 0);
  EXPECT_EQ(distInvChiSq(in, 1, 4), 0);
  EXPECT_EQ(distInvChiSq(in, 0, 4), kInf);
  EXPECT_EQ(distInvStudentT(in, 0.5L, 4), 0);
  EXPECT_EQ(distInvStudentT(in, 0, 4), kInf);
  EXPECT_EQ(distInvStudentT(in, 1, 4), -kInf);
  EXPECT_EQ(distInvFDist(in, 1, 3, 4), 0);
  EXPECT_EQ(distInvFDist(in, 0, 3, 4), kInf);
  EXPECT_EQ(distInvBeta(in, 0, 2, 3), 0);
  EXPECT_EQ(distInvBeta(in, 1, 2, 3), 1);
}

TEST_F(DistFuncs, ArgumentFaultsStopTheRun) {
  struct Case {
    std::function<void(Interp&)> call;
    const char* message;  // the start of the message after the category
  };
  const Case cases[] = {
      {[](Interp& i) { distInvNormal(i, 1.5L); }, "Error (funct): INVNORMAL prob is > 0 or < 1"},
      {[](Interp& i) { distInvNormal(i, -0.1L); }, "Error (funct): INVNORMAL prob is > 0 or < 1"},
      {[](Interp& i) { distInvNormal(i, std::nanl("")); },
       "Error (math): Bad INVNORMAL parameter should be > 0 and < 1 but = "},
      {[](Interp& i) { distInvChiSq(i, 2, 3); }, "Error (funct): INVCHISQ prob is > 0 or < 1"},
      {[](Interp& i) { distInvChiSq(i, 0.5L, 0); }, "Error (funct): INVCHISQ df is <= 0"},
      {[](Interp& i) { distInvChiSq(i, std::nanl(""), 2); },
       "Error (math): Bad INVCHISQ argument should be > 0 and < 1 but = "},
      {[](Interp& i) { distStudentT(i, 1, -1); }, "Error (math): Bad df (arg2) in STUDENTT should be >= 0 but = "},
      {[](Interp& i) { distFDist(i, -1, 1, 1); }, "Error (math): Bad f-value (arg1) of FDIST should be >= 0 but = "},
      {[](Interp& i) { distFDist(i, 1, -1, 1); }, "Error (math): Bad df1 (arg2) in FDIST should be >= 0 but = "},
      {[](Interp& i) { distFDist(i, 1, 1, -1); }, "Error (math): Bad df2 (arg3) in FDIST should be >= 0 but = "},
      {[](Interp& i) { distChiSq(i, -1, 1); }, "Error (math): Bad X^2 (arg 1) of CHISQ should be >= 0 but = "},
      {[](Interp& i) { distChiSq(i, 1, -1); }, "Error (math): Bad df (arg2) in CHISQ should be >= 0 but = "},
      {[](Interp& i) { distInvBeta(i, 1.5L, 1, 1); },
       "Error (math): Bad INVBETA p (1st) parameter should be > 0 and < 1 but = "},
      {[](Interp& i) { distInvBeta(i, 0.5L, 0, 1); },
       "Error (math): Bad INVBETA df1 (2nd) parameter should be > 0 but = "},
      {[](Interp& i) { distInvBeta(i, 0.5L, 1, -2); },
       "Error (math): Bad INVBETA df2 (3rd) parameter should be > 0 but = "},
      {[](Interp& i) { distInvFDist(i, -0.5L, 1, 1); },
       "Error (math): Bad FINV p (1st) parameter should be > 0 and < 1 but = "},
      {[](Interp& i) { distInvFDist(i, 0.5L, -1, 1); },
       "Error (math): Bad FINV df1 (2nd) parameter should be >= 0 but = "},
      {[](Interp& i) { distInvFDist(i, 0.5L, 1, -1); },
       "Error (math): Bad FINV df2 (3rd) parameter should be >= 0 but = "},
      {[](Interp& i) { distInvStudentT(i, 1.5L, 3); },
       "Error (math): Bad INVSTUDENTT p (1st) parameter should be > 0 and < 1 but = "},
      {[](Interp& i) { distInvStudentT(i, 0.5L, 0); },
       "Error (math): Bad INVSTUDENTT df (2nd) parameter should be > 0 but = "},
  };
  for (const Case& c : cases) {
    std::string out = test::endedRun([&] { c.call(in); });
    EXPECT_NE(out.find(c.message), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace zav
