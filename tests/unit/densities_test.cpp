// The PDF catalog's densities, survivals, quantiles and observation
// likelihood.
//
// Reference values: densities_ref.h is written by densities_ref.py (mpmath
// at 40 digits): f(t) from each law's defining formula, S(t) by numerical
// integration (continuous) or summation (discrete) of that f beyond t, so
// the survival references also check that f and S agree. bivnormal_ref.py
// gives the bivariate normal orthants by a conditional-form integral.
// Other values are closed forms, written out where they are used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "dists/bivnormal.h"
#include "dists/densities.h"
#include "dists/lnlaw.h"
#include "dists/pdfcatalog.h"
#include "dists/pdfeval.h"
#include "funcs/eval.h"
#include "pdfrefs.h"
#include "support.h"

namespace zav {
namespace {


// Parameters padded to the kMaxPdfParams values the routines may read.
struct Params {
  Real v[kMaxPdfParams] = {};
  Params(std::initializer_list<Real> list) {
    std::size_t i = 0;
    for (Real x : list) v[i++] = x;
  }
  operator const Real*() const { return v; }
};

Real dens_pi() { return 3.141592653589793238462643383279502884L; }

Real relErr(Real got, Real want) {
  if (want == 0) return std::fabs(got);
  return std::fabs(got - want) / std::fabs(want);
}

// Laws whose reference S rests on a slowly converging numerical integral
// or whose routine sums a series get a looser bound; the rest are held to
// a few units of the double-precision epsilon.
Real tolerance(std::string_view name) {
  if (name == "DANIELS" || name == "VONMISES" || name == "ASYMPTOTICRANGE") return 1e-14L;
  return 2e-15L;
}

TEST(Densities, MatchHighPrecisionReferences) {
  std::map<std::string, Real> worst;
  for (const RefRow& r : kRefs) {
    const int pdf = pdfNumber(r.name);
    ASSERT_GT(pdf, 0) << r.name;
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
    const Real f = pdfBaseDensity(pdf, r.t, p);
    const Real s = pdfBaseSurvival(pdf, r.t, p);
    const Real ef = relErr(f, r.f), es = relErr(s, r.s);
    EXPECT_LE(ef, tolerance(r.name)) << r.name << " f(" << static_cast<double>(r.t) << ") = " << static_cast<double>(f)
                                     << ", want " << static_cast<double>(r.f);
    EXPECT_LE(es, tolerance(r.name)) << r.name << " S(" << static_cast<double>(r.t) << ") = " << static_cast<double>(s)
                                     << ", want " << static_cast<double>(r.s);
    Real& w = worst[r.name];
    w = std::max({w, ef, es});
  }
  // Every law with routines has reference rows.
  for (int i = 1; i <= kPdfCount; ++i) {
    if (pdfHasDensity(i)) {
      EXPECT_TRUE(worst.count(std::string(pdfInfo(i)->name))) << pdfInfo(i)->name;
    }
  }
  if (std::getenv("ZAV_DENSITY_REPORT")) {
    for (const auto& [name, e] : worst) std::printf("%-18s %.2Le\n", name.c_str(), e);
  }
}

// Across each reference law's support: 0 <= S <= 1, S never rises, f >= 0.
TEST(Densities, SurvivalsAreMonotoneProbabilities) {
  std::string last;
  for (const RefRow& r : kRefs) {
    if (r.name == last) continue;
    last = r.name;
    const int pdf = pdfNumber(r.name);
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
    Real prev = 1;
    for (Real t = -20; t <= 60; t += 0.125L) {
      const Real s = pdfBaseSurvival(pdf, t, p), f = pdfBaseDensity(pdf, t, p);
      ASSERT_TRUE(s >= 0 && s <= 1) << r.name << " S(" << static_cast<double>(t) << ") = " << static_cast<double>(s);
      ASSERT_LE(s, prev + 1e-18L) << r.name << " rises at " << static_cast<double>(t);
      ASSERT_TRUE(f >= 0) << r.name << " f(" << static_cast<double>(t) << ") = " << static_cast<double>(f);
      prev = s;
    }
  }
}

// Parameters at the edge of their ranges end in a value, not a hang.
TEST(Densities, EdgeParametersStayBounded) {
  const int logSeries = pdfNumber("LOGSERIES"), zipf = pdfNumber("ZIPF"), polya = pdfNumber("POLYAEGGENBERGER"),
            thomas = pdfNumber("THOMAS"), vonMises = pdfNumber("VONMISES");
  const Params one{1}, zero{0};
  EXPECT_EQ(pdfBaseSurvival(logSeries, 1e15L, one), 1);
  EXPECT_EQ(pdfBaseDensity(logSeries, 1, zero), 1);
  EXPECT_EQ(pdfBaseSurvival(logSeries, 1, zero), 0);
  // ZIPF with a huge exponent: all mass on 1.
  const Params steep{1e7L};
  EXPECT_NEAR(pdfBaseDensity(zipf, 1, steep), 1, 1e-18L);
  EXPECT_EQ(pdfBaseSurvival(zipf, 1, steep), 0);
  // A Polya urn that draws almost without replacement: sums to 1.
  const Params urn{0.5L, 2000, -1e-4L};
  Real total = 0;
  for (int t = 0; t <= 2000; ++t) total += pdfBaseDensity(polya, t, urn);
  EXPECT_NEAR(total, 1, 1e-12L);
  EXPECT_NEAR(pdfBaseSurvival(polya, 999, urn), 0.5L + pdfBaseDensity(polya, 1000, urn) / 2, 1e-12L);  // symmetric about 1000
  const Params many{400, 0.5L};
  EXPECT_GT(pdfBaseDensity(thomas, 600, many), 0);
  const Params flat{1, 0};  // concentration 0 is the uniform law on the circle
  EXPECT_NEAR(pdfBaseSurvival(vonMises, dens_pi(), flat), 0.5L, 1e-18L);
}

TEST(Densities, SpecialLawsHaveNoRoutines) {
  for (Pdf p : {Pdf::ATRESIA, Pdf::BIVNORMAL, Pdf::FAILED, Pdf::FDEPLETE, Pdf::IMMUNE, Pdf::STERILE})
    EXPECT_FALSE(pdfHasDensity(static_cast<int>(p)));
  EXPECT_TRUE(pdfHasDensity(static_cast<int>(Pdf::NORMAL)));
}

// Each test gets a fresh interpreter; messages are read from stdout.
class PdfEval : public ::testing::Test {
 protected:
  Interp in;
  PdfEval() { test::prepareInterp(in); }
  int num(Pdf p) { return static_cast<int>(p); }
  Support sup(Pdf p, const Real* par) { return supportBounds(in, pdfInfo(p).timeRange, par); }
  Real lik(Pdf p, std::initializer_list<Real> vars, const Real* par, Real k = 1) {
    std::vector<Real> v(vars);
    return observationLikelihood(in, num(p), k, sup(p, par), v.data(), static_cast<int>(v.size()), par);
  }
  template <class F>
  std::string errorOf(F f) {
    return test::stopText(f);
  }
  // Parses and evaluates an expression of the language.
  Real value(const std::string& text) {
    std::unique_ptr<ExprNode> n(test::parseInline(in, text));
    return evalReal(in, n.get());
  }
};

TEST_F(PdfEval, HazardMultiplierActsOnTheHazard) {
  // WEIBULL a = 2, b = 1.5 with k = 3: S_k = exp(-3 (t/2)^1.5),
  // f_k = 3 (1.5/2) (t/2)^0.5 exp(-3 (t/2)^1.5) (closed forms).
  const Params p{2, 1.5L};
  const Real t = 1.3L;
  const Real z = std::pow(t / 2, 1.5L);
  EXPECT_NEAR(pdfSurvival(in, num(Pdf::WEIBULL), t, p, 3), std::exp(-3 * z), 1e-18L);
  EXPECT_NEAR(pdfDensity(in, num(Pdf::WEIBULL), t, p, 3), 3 * 0.75L * std::sqrt(t / 2) * std::exp(-3 * z), 1e-18L);
  EXPECT_EQ(pdfDensity(in, num(Pdf::WEIBULL), t, p, 1), pdfBaseDensity(num(Pdf::WEIBULL), t, p));
  EXPECT_NEAR(pdfHazard(in, num(Pdf::WEIBULL), t, p, 3), 3 * 0.75L * std::sqrt(t / 2), 1e-17L);
}

TEST_F(PdfEval, ExponentialObservations) {
  // f = h exp(-h t), S = exp(-h t) with h = 0.5.
  const Params h{0.5L};
  const Real inf = in.set.infinity;
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2}, h), 0.5L * std::exp(-1.0L), 1e-18L);
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2, inf}, h), std::exp(-1.0L), 1e-18L);
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {1, 3}, h), std::exp(-0.5L) - std::exp(-1.5L), 1e-18L);
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2, 2}, h), 0.5L * std::exp(-1.0L), 1e-18L);  // exact when equal
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {-1}, h), 0);                                    // below the support
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {inf}, h), 0);
  // A hazard multiplier of 1 is no multiplier.
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {1, 3}, h, 1), lik(Pdf::EXPONENTIAL, {1, 3}, h));
  // Left truncated at 1: [S(2) - 0]/S(1) = exp(-0.5).
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2, inf, 1}, h), std::exp(-0.5L), 1e-18L);
  // Exact at 2, truncated to (1, 4]: f(2)/(S(1) - S(4)).
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2, 2, 1, 4}, h),
              0.5L * std::exp(-1.0L) / (std::exp(-0.5L) - std::exp(-2.0L)), 1e-18L);
  // Exact outside the truncation window contributes nothing.
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {5, 5, 1, 4}, h), 0);
  // Censored with the right truncation at or before t(open): 0.
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {3, 6, 1, 2}, h), 0);
  // Censored beyond the right truncation is cut there: [S(2) - S(4)]/(S(1) - S(4)).
  EXPECT_NEAR(lik(Pdf::EXPONENTIAL, {2, 9, 1, 4}, h),
              (std::exp(-1.0L) - std::exp(-2.0L)) / (std::exp(-0.5L) - std::exp(-2.0L)), 1e-18L);
  // A truncation window of no probability gives +oo: S(1e5) = S(2e5) = 0
  // in extended precision.
  EXPECT_EQ(lik(Pdf::EXPONENTIAL, {1.5e5L, 1.5e5L, 1e5L, 2e5L}, h), inf);
}

TEST_F(PdfEval, WeibullBelowSupportAndDiscreteTruncation) {
  const Params w{2, 1.5L};
  EXPECT_EQ(lik(Pdf::WEIBULL, {-0.5L}, w), 0);
  // POISSON a = 2 left-truncated at 1: f(1)/S(0) = 2 e^-2 / (1 - e^-2).
  const Params a{2};
  EXPECT_NEAR(lik(Pdf::POISSON, {1, 1, 1}, a), 2 * std::exp(-2.0L) / (1 - std::exp(-2.0L)), 1e-18L);
  // The discrete routines round t: 2.4 is the count 2, 2 e^-2.
  EXPECT_NEAR(lik(Pdf::POISSON, {2.4L}, a), 2 * std::exp(-2.0L), 1e-18L);
  // Interval-censored count: P(1 < T <= 3) = S(1) - S(3) = f(2) + f(3).
  EXPECT_NEAR(lik(Pdf::POISSON, {1, 3}, a), std::exp(-2.0L) * (2 + 8.0L / 6), 1e-18L);
}

TEST_F(PdfEval, UniformTakesItsBoundsFromTheTruncation) {
  const Params none{};
  EXPECT_EQ(lik(Pdf::UNIFORM, {0.3L}, none), 1);
  EXPECT_EQ(lik(Pdf::UNIFORM, {1.3L}, none), 0);
  EXPECT_NEAR(lik(Pdf::UNIFORM, {0.3L, 0.8L}, none), 0.5L, 1e-18L);
  EXPECT_NEAR(lik(Pdf::RECTANGULAR, {3, 3, 2, 6}, none), 0.25L, 1e-18L);  // on [2, 6]
  EXPECT_NEAR(lik(Pdf::RECTANGULAR, {2.5L, 2.5L, 2.25L}, none), 1 / 0.75L, 1e-17L);  // on [2.25, 3]
}

TEST_F(PdfEval, Quantiles) {
  const Params n01{0, 1};
  const Real inf = in.set.infinity, ninf = in.set.negInfinity;
  // The standard normal 0.975 quantile, 1.959963984540054 (published tables).
  EXPECT_NEAR(pdfQuantile(in, num(Pdf::NORMAL), 0.975L, ninf, inf, 1e-5L, 100, n01, 1), 1.959963984540054L, 1e-14L);
  // EXPONENTIAL h = 2 truncated to (1, 3]: S(t) = S(1) - q (S(1) - S(3)).
  const Params h{2};
  const Real q = 0.4L;
  const Real want = -std::log(std::exp(-2.0L) - q * (std::exp(-2.0L) - std::exp(-6.0L))) / 2;
  EXPECT_NEAR(pdfQuantile(in, num(Pdf::EXPONENTIAL), q, 1, 3, 1e-5L, 100, h, 1), want, 1e-17L);
  // With k = 4 the exponential's hazard is 4 h: the median is ln 2 / 8.
  EXPECT_NEAR(pdfQuantile(in, num(Pdf::EXPONENTIAL), 0.5L, ninf, inf, 1e-5L, 100, h, 4), std::log(2.0L) / 8, 1e-18L);
  // MAKEHAM has no explicit inverse: the search meets its tolerance.
  const Params mk{0.01L, 0.02L, 0.1L};
  const Real t = pdfQuantile(in, num(Pdf::MAKEHAM), 0.3L, ninf, inf, 1e-12L, 100, mk, 1);
  EXPECT_NEAR(pdfBaseSurvival(num(Pdf::MAKEHAM), t, mk), 0.7L, 1e-12L);
  // A count's quantile is the least whole t with P(T <= t) >= q: POISSON 2.5
  // has P(T <= 1) = 0.2873 and P(T <= 2) = 0.5438.
  const Params po{2.5L};
  EXPECT_EQ(pdfQuantile(in, num(Pdf::POISSON), 0.5L, ninf, inf, 1e-5L, 100, po, 1), 2);
  EXPECT_EQ(pdfQuantile(in, num(Pdf::POISSON), 0.25L, ninf, inf, 1e-5L, 100, po, 1), 1);
  // UNIFORM takes its interval from the truncation arguments: [2, 6].
  EXPECT_NEAR(value("QUANTILE UNIFORM(0.25, 2, 6) END"), 3, 1e-18L);
  EXPECT_NEAR(value("PPDF UNIFORM(0.25, 2, 6) END"), 0.25L, 1e-18L);
  EXPECT_NEAR(value("QUANTILE UNIFORM(0.25) END"), 0.25L, 1e-18L);  // [0, 1]
  // SMALLEXTREME2 (t <= a) has no search bracket below: found by stepping out.
  const Params se{1, 2, 3};
  const Real ts = pdfQuantile(in, num(Pdf::SMALLEXTREME2), 0.5L, ninf, inf, 1e-5L, 100, se, 1);
  EXPECT_NEAR(ts, 1 - 2 * std::pow(std::log(2.0L), -1 / 3.0L), 1e-17L);  // the explicit inverse
  // DANIELS has none: the search meets the median of the Kolmogorov law,
  // 0.82757355518990769011 (mpmath findroot on its series, 30 digits).
  const Params none{};
  EXPECT_NEAR(pdfQuantile(in, num(Pdf::DANIELS), 0.5L, ninf, inf, 1e-12L, 100, none, 1), 0.8275735551899077L, 1e-11L);
}

// Laws without an explicit inverse are solved to full precision whatever
// the search's tolerance: references by mpmath's findroot on F(t) = q at 50
// digits (bench/dists_reference.py quantiles).
TEST_F(PdfEval, SearchedQuantilesToFullPrecision) {
  struct Row {
    const char* name;
    std::vector<Real> params;
    Real q, t;
  };
  const Row rows[] = {
      {"HYPER2EXP", {0.3L, 2, 0.5L}, 0.001L, 0.001053434158438095163636483L},
      {"HYPER2EXP", {0.3L, 2, 0.5L}, 0.5L, 0.8874482017036018488026382L},
      {"HYPER2EXP", {0.3L, 2, 0.5L}, 0.999L, 13.10216067258576810253462L},
      {"SILER", {0.1L, 0.5L, 0.01L, 0.001L, 0.1L}, 0.001L, 0.009031824627850104807675205L},
      {"SILER", {0.1L, 0.5L, 0.01L, 0.001L, 0.1L}, 0.5L, 30.07598525056351889049834L},
      {"SILER", {0.1L, 0.5L, 0.01L, 0.001L, 0.1L}, 0.999L, 64.09646879283755151820895L},
      {"MAKEHAM", {0.01L, 0.02L, 0.1L}, 0.3L, 8.565772789171734672845863L},
  };
  for (const Row& r : rows) {
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
    const Real t = pdfQuantile(in, pdfNumber(r.name), r.q, in.set.negInfinity, in.set.infinity, 1e-5L, 100, p, 1);
    EXPECT_LE(relErr(t, r.t), 1e-15L) << r.name << " q=" << static_cast<double>(r.q);
    if (std::getenv("ZAV_DENSITY_REPORT")) std::printf("%-10s q=%-6g %.2Le\n", r.name, static_cast<double>(r.q), relErr(t, r.t));
  }
}

// For every continuous law with an explicit inverse, S(t(s)) = s.
TEST(Densities, ExplicitQuantilesInvertTheSurvival) {
  int checked = 0;
  for (const RefRow& r : kRefs) {
    const int pdf = pdfNumber(r.name);
    if (pdfInfo(pdf)->discrete) continue;
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
    for (Real s : {0.9L, 0.5L, 0.03L}) {
      Real t;
      if (!pdfBaseQuantile(pdf, s, p, t)) break;
      EXPECT_NEAR(pdfBaseSurvival(pdf, t, p), s, 1e-15L) << r.name << " s=" << static_cast<double>(s);
      ++checked;
    }
  }
  EXPECT_GT(checked, 150);
}

TEST_F(PdfEval, ParameterChecks) {
  const Params bad{0, -1};
  EXPECT_EQ(errorOf([&] { checkPdfParams(in, num(Pdf::NORMAL), bad); }),
            "(0,0) Error (math): Bad NORMAL b should be > 0 but = -1.000000000\n");
  const Params p2{1.5L, 3};
  EXPECT_NE(errorOf([&] { checkPdfParams(in, num(Pdf::BINOMIAL), p2); }).find("Bad BINOMIAL p should be > 0 and < 1"),
            std::string::npos);
  const Params bv{0, 1, 0, 1, 1.5L};
  EXPECT_NE(errorOf([&] { checkPdfParams(in, num(Pdf::BIVNORMAL), bv); }).find("Bad BIVNORMAL param r  should be"),
            std::string::npos);
  const Params ok{-3, 0.5L};  // EXPONENTIAL's hazard may be any number
  EXPECT_EQ(errorOf([&] { checkPdfParams(in, num(Pdf::EXPONENTIAL), ok); }), "");
}

TEST_F(PdfEval, Failures) {
  const Params p{};
  EXPECT_NE(errorOf([&] { pdfDensity(in, num(Pdf::ATRESIA), 1, p, 1); }).find("Error (funct):  couldn't call PDF ATRESIA"),
            std::string::npos);
  EXPECT_NE(errorOf([&] { pdfSurvival(in, num(Pdf::FAILED), 1, p, 1); }).find("Error (funct):  couldn't call SDF FAILED"),
            std::string::npos);
  EXPECT_NE(errorOf([&] { supportBounds(in, 5, p); }).find("Error (funct): Internal error finding constraints"),
            std::string::npos);
  const Params n01{0, 1};
  EXPECT_NE(errorOf([&] { pdfQuantile(in, num(Pdf::NORMAL), 1.5L, -in.set.infinity, in.set.infinity, 1e-5L, 100, n01, 1); })
                .find("Error (math): Bad QUANTILE probability should be > 0 and < 1 but = 1.500000000"),
            std::string::npos);
}

TEST_F(PdfEval, SupportBounds) {
  const Params p{0.5L, 4, 10};  // HYPERGEOMETRIC p, m, n: 5 marked of 10, 4 drawn
  const Support s = supportBounds(in, 16, p);
  EXPECT_EQ(s.low, 0);  // a sample without a marked ball is possible
  EXPECT_EQ(s.high, 4);
  const Params q{1, 2};
  EXPECT_EQ(supportBounds(in, 12, q).high, 9);
  EXPECT_EQ(supportBounds(in, 7, q).low, in.set.negInfinity);
  EXPECT_EQ(supportBounds(in, 0, q).high, in.set.infinity);
}

TEST_F(PdfEval, NodeSlotsAndParseTrace) {
  // m bracketed slots (the variables, or five for the quantile forms), the
  // parameters, and a hazard slot when the law allows one.
  std::unique_ptr<ExprNode> pdf(test::parseInline(in, "PDF NORMAL(1) 0, 1 END"));
  EXPECT_EQ(pdf->kind, NodeKind::Pdf);
  EXPECT_EQ(pdf->index, static_cast<int>(Pdf::NORMAL));
  ASSERT_EQ(pdf->childCount(), 4 + 2 + 1);
  EXPECT_NE(pdf->children[0], nullptr);
  EXPECT_EQ(pdf->children[1], nullptr);
  EXPECT_NE(pdf->children[4], nullptr);
  EXPECT_EQ(pdf->children[6], nullptr);
  std::unique_ptr<ExprNode> q(test::parseInline(in, "QUANTILE WEIBULL(0.5, 0) 2 1.5 END"));
  EXPECT_EQ(q->childCount(), 5 + 2 + 1);
  EXPECT_EQ(q->resultType, ValueType::Real);
  std::unique_ptr<ExprNode> u(test::parseInline(in, "PDF UNIFORM(0.3) END"));
  EXPECT_EQ(u->childCount(), 4);  // no parameters, no hazard
  in.set.debugParse = true;
  const std::string out = test::captured([&] { delete test::parseInline(in, "PPDF GAMMA(0.5) 1, 2 END"); });
  in.set.debugParse = false;
  EXPECT_NE(out.find("Reading arg 1 of 2 for GAMMA\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Reading arg 2 of 2 for GAMMA\n"), std::string::npos) << out;
}

TEST_F(PdfEval, ContributionTrace) {
  in.set.debug = 26;
  const std::string out = test::captured([&] { value("PDF EXPONENTIAL(2) 0.5 END"); });
  in.set.debug = 0;
  // 0.5 exp(-1) = 0.18393972058572116...
  EXPECT_NE(out.find("EXPONENTIAL=0.1839397206 leftt=1.0000000000 rightt=0.0000000000 \n"), std::string::npos) << out;
}

TEST_F(PdfEval, DepletionLikelihood) {
  // FDEPLETE age 2, 3 survivors, n0 = 5, nm = 2, r = 0.3, with S(2) = exp(-0.6):
  // d = 0: comb(5, 3) (1 - S)^2 S^3; d = 1: S(am) = nm/n0 = 0.4 enters as
  // comb(5, 3) (1 - S)^2 (S - 0.4)^3 / (1 - 0.4).
  const Real s = std::exp(-0.6L);
  EXPECT_NEAR(value("PDF FDEPLETE(2, 3, 0) 5, 2, 0.3 END"), 10 * (1 - s) * (1 - s) * s * s * s, 1e-18L);
  EXPECT_NEAR(value("PDF FDEPLETE(2, 3, 1) 5, 2, 0.3 END"),
              10 * (1 - s) * (1 - s) * (s - 0.4L) * (s - 0.4L) * (s - 0.4L) / 0.6L, 1e-18L);
}

TEST_F(PdfEval, NodeFunctionsForTheDistributionTables) {
  // NORMAL a = 1, b = 2 at t = 2: S = 1 - Phi(0.5) = 0.30853753872598689636...,
  // f = phi(0.5)/2 = 0.17603266338214973...
  std::unique_ptr<ExprNode> n(test::parseInline(in, "PDF NORMAL(0) 1, 2 END"));
  Real S, f, h;
  pdfNodeFunctions(in, n.get(), 2, S, f, h);
  EXPECT_NEAR(S, 0.30853753872598689636L, 1e-18L);
  EXPECT_NEAR(f, 0.17603266338214973449L, 1e-18L);
  EXPECT_NEAR(h, f / S, 1e-18L);
}

struct BvnRef {
  Real h, k, r, p;
};
const BvnRef kBvn[] = {
    {0L, 0L, 0.5L, 0.333333333333333333333333333333L},
    {0.3L, -0.2L, 0.5L, 0.297546724265669159767353094679L},
    {-1L, 1.5L, -0.3L, 0.0446601986189391053177554544887L},
    {1L, 2L, 0.9L, 0.0225015729164108042868191549687L},
    {2L, 2.5L, 0.95L, 0.00597492979787077098434544899595L},
    {-0.5L, -0.7L, 0.99L, 0.689785951158213518091464782423L},
    {1.2L, -0.4L, -0.95L, 0.000167951974285773050439829485715L},
    {-2L, -1L, -0.999L, 0.818594614120363741384949908466L},
    {3L, 3.5L, 0.2L, 0.00000253958196650731779963057402809L},
    {-1.5L, 0.5L, 0.93L, 0.308537537666996114303279818805L},
    {0.5L, 0.5L, -0.6L, 0.0253763314180301117935226674668L},
};

TEST(BivNormal, UpperOrthant) {
  Real worst = 0;
  for (const BvnRef& c : kBvn) {
    const Real got = bvnUpper(c.h, c.k, c.r);
    EXPECT_LE(relErr(got, c.p), 1e-14L) << c.h << " " << c.k << " " << c.r;
    worst = std::max(worst, relErr(got, c.p));
  }
  if (std::getenv("ZAV_DENSITY_REPORT")) std::printf("%-18s %.2Le\n", "BIVNORMAL", worst);
  // Infinite limits reduce to one variable; r = +-1 to the degenerate laws.
  EXPECT_EQ(bvnUpper(-INFINITY, -INFINITY, 0.3L), 1);
  EXPECT_NEAR(bvnUpper(0.5L, -INFINITY, 0.3L), 0.30853753872598689636229538939166L, 1e-18L);
  EXPECT_NEAR(bvnUpper(0.5L, 1, 1), 0.15865525393145705141476745436796L, 1e-18L);  // P(Z > 1)
  EXPECT_EQ(bvnUpper(0.5L, 1, -1), 0);
  EXPECT_EQ(bvnRectangle(1, 0, -1, 1, 0.2L), 0);  // empty
}

TEST_F(PdfEval, BivariateObservations) {
  // ux = 1, sx = 2, uy = -1, sy = 0.5, r = 0.6 (bivnormal_ref.py): the
  // density at (1.5, -0.8), the line integral at x = 1.5 over (-1.2, -0.4],
  // and the window P(X > 0, Y > -2).
  const Real dens = 0.183633815018235379818988711224L, line = 0.127492290081495459956542358988L,
             window = 0.688479840547464323128777191329L;
  auto eval = [&](const std::string& vars) { return value("PDF BIVNORMAL(" + vars + ") 1, 2, -1, 0.5, 0.6 END"); };
  EXPECT_LE(relErr(eval("1.5, -0.8"), dens), 1e-16L);
  EXPECT_LE(relErr(eval("1.5, -1.2, 1.5, -0.4"), line), 1e-16L);
  EXPECT_LE(relErr(eval("1.5, -1.2, 1.5, -0.4, 0, -2"), line / window), 1e-14L);
  EXPECT_LE(relErr(eval("1.5, -0.8, 1.5, -0.8, 0, -2"), dens / window), 1e-14L);
  EXPECT_EQ(eval("-0.5, -0.8, -0.5, -0.8, 0, -2"), 0);  // outside the window
}

}  // namespace
}  // namespace zav

// Upper tails near the end of the support, where S is a small difference of
// O(1) terms: f and S from the laws' formulas in mpmath at 80 digits
// (bench/dists_reference.py tails), at exactly representable times.
namespace zav {
TEST(Densities, UpperTailsWithoutCancellation) {
  const RefRow rows[] = {
      {"DISK", {0, 1}, 3.9990234375L, 0.000009155919892696719003262389L, 3.576818176580022901558415e-9L},
      {"DISK", {0, 1}, 3.999999940395355224609375L, 4.367108828975002987038735e-12L, 1.041199886883923192322004e-19L},
      {"RAISEDCOSINE", {0, 1}, 3.140625L, 7.451263578894066369454047e-8L, 2.403414058552322219901418e-11L},
      {"RAISEDCOSINE", {0, 1}, 3.141592653589793115997963L, 1.193470914305306312752282e-33L, 4.871934450264861385921201e-50L},
      {"ALPHA", {0.125L, 1}, 100000000.0L, 7.20047596402584841901724e-17L, 7.200475959525551183392074e-9L},
      {"RINGINGEXP180", {0, 1, 0x1p-20L}, 3.0L, 0.2240418076554386846163003L, 0.4231900811264869268595938L},
      {"RINGINGEXP180", {0, 1, 0x1p-20L}, 40.0L, 3.398683403824217674278326e-15L, 3.572865928246867277885662e-15L},
      {"VONMISES", {2, 50}, 3, 2.931498292824351897359432e-10L, 6.869235154586915768877058e-12L},
      {"VONMISES", {2, 50}, 6, 3.474427566295752834337454e-36L, 1.109426269710345619120383e-32L},
  };
  for (const RefRow& r : rows) {
    const int pdf = pdfNumber(r.name);
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
    EXPECT_LE(relErr(pdfBaseDensity(pdf, r.t, p), r.f), 1e-15L) << r.name << " f(" << static_cast<double>(r.t) << ")";
    EXPECT_LE(relErr(pdfBaseSurvival(pdf, r.t, p), r.s), 1e-15L) << r.name << " S(" << static_cast<double>(r.t) << ")";
    if (std::getenv("ZAV_DENSITY_REPORT"))
      std::printf("%-14s %.2Le %.2Le\n", r.name, relErr(pdfBaseDensity(pdf, r.t, p), r.f),
                  relErr(pdfBaseSurvival(pdf, r.t, p), r.s));
  }
}
}  // namespace zav

// ---------------------------------------------------------------- sweep
namespace zav {
namespace {

// Values of a parameter at the ends of its range (1e20 standing for +oo)
// and one between.
std::vector<Real> rangeValues(int code) {
  switch (code) {
    case 0: return {1e-300L, 1, 1e20L};
    case 1: return {0, 1e-300L, 1, 1e20L};
    case 2: return {0, 0.5L, 1};
    case 3: return {-1, 0, 1};
    case 4: return {1, 1e20L};
    case 5:
    case 23: return {-1e20L, -1, 0, 1, 1e20L};
    case 17: return {0, 3.14159L, 6.28318L};
    default: return {1};
  }
}

}  // namespace

// No density, survival or log of either is NaN for parameters inside their
// ranges, at times from the ends of the support out to 1e300: a single NaN
// would make a whole log-likelihood NaN.
TEST(Densities, NoNaNAtTheEndsOfTheRanges) {
  Interp in;
  test::prepareInterp(in);
  const std::vector<Real> offsets = {-1e300L, -1, 0, 1e-300L, 1e-8L, 1, 1e3L, 1e300L};
  int bad = 0;
  for (int pdf = 1; pdf <= kPdfCount; ++pdf) {
    if (!pdfHasDensity(pdf)) continue;
    const PdfInfo& info = *pdfInfo(pdf);
    std::vector<std::vector<Real>> choices;
    for (int i = 0; i < info.paramCount; ++i) {
      std::vector<Real> v = rangeValues(info.paramRange[static_cast<std::size_t>(i)]);
      // A count's probabilities are sums over its values: keep them short.
      if (info.discrete) std::erase_if(v, [](Real x) { return std::fabs(x) > 1e3L; });
      // The circular law's series has about 10 sqrt(b) terms.
      // and the incomplete beta function takes long over shapes near 1e20.
      if (pdf == static_cast<int>(Pdf::VONMISES) || pdf == static_cast<int>(Pdf::F) ||
          pdf == static_cast<int>(Pdf::INVBETA1))
        std::erase_if(v, [](Real x) { return x > 1e4L; });
      if (v.size() > 1 && info.paramCount > 3) v.erase(v.begin() + 1);  // five-parameter laws: the ends only
      choices.push_back(v);
    }
    std::vector<std::size_t> idx(choices.size(), 0);
    for (;;) {
      Real p[kMaxPdfParams] = {};
      for (std::size_t i = 0; i < idx.size(); ++i) p[i] = choices[i][idx[i]];
      if (info.timeRange == 9) p[0] = 0, p[1] = 1;
      if (pdfParamsInRange(pdf, p) && !(pdf == static_cast<int>(Pdf::HYPERGEOMETRIC) && p[1] > p[2])) {
        const Support sup = supportBounds(in, info.timeRange, p);
        std::vector<Real> ts;
        for (Real o : offsets) {
          ts.push_back(o);
          if (std::isfinite(sup.low) && std::fabs(sup.low) < 1e4000L) ts.push_back(sup.low + std::fabs(o));
          if (std::isfinite(sup.high) && std::fabs(sup.high) < 1e4000L) ts.push_back(sup.high - std::fabs(o));
        }
        for (Real t : ts) {
          const Real f = pdfBaseDensity(pdf, t, p), s = pdfBaseSurvival(pdf, t, p);
          LogLaw law;
          prepareLogLaw(pdf, p, law);
          const Real lnF = lawLnDensity(law, t), lnS = lawLnSurvival(law, t);
          if (!(std::isnan(f) || std::isnan(s) || std::isnan(lnF) || std::isnan(lnS))) continue;
          if (++bad <= 10) {
            std::ostringstream args;
            for (int i = 0; i < info.paramCount; ++i) args << " " << static_cast<double>(p[i]);
            ADD_FAILURE() << info.name << "(" << static_cast<double>(t) << ")" << args.str() << ": f " << static_cast<double>(f)
                          << " S " << static_cast<double>(s) << " ln f " << static_cast<double>(lnF) << " ln S "
                          << static_cast<double>(lnS);
          }
        }
      }
      std::size_t i = 0;
      while (i < idx.size() && ++idx[i] == choices[i].size()) idx[i++] = 0;
      if (i == idx.size()) break;
    }
  }
  EXPECT_EQ(bad, 0);
}

}  // namespace zav
