// The fast likelihood: log densities and log survivals against the
// high-precision references of densities_ref.h (mpmath at 40 digits) and
// against the logarithm of the density and survival routines; the guarded
// logarithm in log space; powers without the library pow; and a 100,000
// observation log-likelihood that must not depend on the thread count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/settings.h"
#include "dists/densities.h"
#include "dists/lnlaw.h"
#include "dists/lnscore.h"
#include "dists/pdfcatalog.h"
#include "dists/pdfeval.h"
#include "dists/powr.h"
#include "pdfrefs.h"
#include "support.h"

namespace zav {
namespace {


// The families with log routines of their own.
const char* const kLogFamilies[] = {"EXPONENTIAL", "WEIBULL",  "SHIFTWEIBULL", "GOMPERTZ",      "MAKEHAM",
                                    "SILER",       "LINEARHAZARD", "GAMMA",    "GENGAMMA",      "NORMAL",
                                    "GAUSSIAN",    "LNNORMAL", "LOGNORMAL",    "LOGISTIC",      "LNLOGISTIC",
                                    "SMALLEXTREME1", "POISSON", "BINOMIAL",    "NEGBINOMIAL"};

// |got - want| within rel of the larger of |want| and 1: a log near 0
// carries the absolute error of the terms it was formed from.
void expectLogNear(Real got, Real want, Real rel, const std::string& what) {
  if (std::isinf(want)) {
    EXPECT_EQ(got, want) << what;
    return;
  }
  const Real scale = std::max<Real>(1, std::fabs(want));
  EXPECT_LE(std::fabs(got - want), rel * scale)
      << what << ": got " << static_cast<double>(got) << ", want " << static_cast<double>(want);
}

TEST(LogLaws, MatchReferencesAndTheDensityRoutines) {
  int rows = 0;
  for (const char* family : kLogFamilies) {
    const int pdf = pdfNumber(family);
    ASSERT_GT(pdf, 0) << family;
    int found = 0;
    for (const RefRow& r : kRefs) {
      if (std::string_view(r.name) != family) continue;
      Real p[kMaxPdfParams] = {};
      for (std::size_t i = 0; i < r.params.size(); ++i) p[i] = r.params[i];
      LogLaw law;
      prepareLogLaw(pdf, p, law);
      const std::string at = std::string(family) + " at t = " + std::to_string(static_cast<double>(r.t));
      Real lnF, lnS;
      lawLnBoth(law, r.t, lnF, lnS);
      // The references carry 64-bit rounding of 40-digit values.
      expectLogNear(lawLnDensity(law, r.t), std::log(r.f), 1e-17L, "ln f, reference, " + at);
      expectLogNear(lawLnSurvival(law, r.t), std::log(r.s), 1e-17L, "ln S, reference, " + at);
      expectLogNear(lawLnDensity(law, r.t), std::log(pdfBaseDensity(pdf, r.t, p)), 1e-17L, "ln f, routine, " + at);
      expectLogNear(lawLnSurvival(law, r.t), std::log(pdfBaseSurvival(pdf, r.t, p)), 1e-17L, "ln S, routine, " + at);
      EXPECT_EQ(lnF, lawLnDensity(law, r.t)) << at;
      EXPECT_EQ(lnS, lawLnSurvival(law, r.t)) << at;
      ++found;
    }
    EXPECT_GT(found, 0) << family;
    rows += found;
  }
  EXPECT_GT(rows, 40);
}

TEST(LogLaws, AgreeWithTheDensityRoutinesAcrossTheSupport) {
  // With each family's reference parameters, a grid of times from near 0
  // to far in the upper tail (whole numbers for the counts); where the old
  // routine underflows to 0 only the log-space value is meaningful.
  for (const char* family : kLogFamilies) {
    const int pdf = pdfNumber(family);
    const RefRow* row = nullptr;
    for (const RefRow& r : kRefs)
      if (std::string_view(r.name) == family && !row) row = &r;
    ASSERT_TRUE(row) << family;
    Real p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < row->params.size(); ++i) p[i] = row->params[i];
    LogLaw law;
    prepareLogLaw(pdf, p, law);
    const bool discrete = pdfInfo(pdf)->discrete;
    for (int j = 0; j <= 60; ++j) {
      const Real t = discrete ? j / 2 : -2 + static_cast<Real>(j) * j / 200;
      const Real f = pdfBaseDensity(pdf, t, p), sv = pdfBaseSurvival(pdf, t, p);
      const std::string at = std::string(family) + " at t = " + std::to_string(static_cast<double>(t));
      if (f > 0) expectLogNear(lawLnDensity(law, t), std::log(f), 1e-17L, "ln f " + at);
      if (f == 0 && t < 0) {
        EXPECT_EQ(lawLnDensity(law, t), -dens::kInf) << at;
      }
      if (sv > 0) expectLogNear(lawLnSurvival(law, t), std::log(sv), 1e-17L, "ln S " + at);
    }
  }
}

TEST(LogLaws, ScoresAgreeWithCentralDifferences) {
  // Each family's d ln f / dp and d ln S / dp at the reference points and at
  // half and twice their times, against central differences of the log
  // routines with steps of 1e-6 of each parameter (truncation about 1e-12).
  int points = 0;
  for (const char* family : kLogFamilies) {
    const int pdf = pdfNumber(family);
    if (!lawHasScore(pdf)) continue;
    for (const RefRow& r : kRefs) {
      if (std::string_view(r.name) != family) continue;
      const int n = static_cast<int>(r.params.size());
      for (Real scale : {0.5L, 1.0L, 2.0L}) {
        Real p[kMaxPdfParams] = {};
        for (int i = 0; i < n; ++i) p[i] = r.params[static_cast<std::size_t>(i)];
        const Real t = r.t * scale;
        LogLaw law;
        prepareLogLaw(pdf, p, law);
        Real lnF, lnS;
        lawLnBoth(law, t, lnF, lnS);
        if (!std::isfinite(lnF) || !std::isfinite(lnS) || lnS == 0 || !pdfParamsInRange(pdf, p)) continue;
        Real dF[kMaxPdfParams] = {}, dS[kMaxPdfParams] = {};
        lawScores(law, t, lnS, dF, dS);
        // The same with the hazard that comes beside ln S for the normal laws.
        Real hazard, dFh[kMaxPdfParams] = {}, dSh[kMaxPdfParams] = {};
        EXPECT_EQ(lawLnSurvivalHazard(law, t, hazard), lnS) << family;
        lawScores(law, t, lnS, dFh, dSh, true, {}, hazard);
        for (int j = 0; j < n; ++j) {
          const Real h = 1e-6L * std::max<Real>(std::fabs(p[j]), 1e-3L);
          Real q[kMaxPdfParams];
          std::copy(p, p + kMaxPdfParams, q);
          LogLaw up, down;
          q[j] = p[j] + h;
          prepareLogLaw(pdf, q, up);
          q[j] = p[j] - h;
          prepareLogLaw(pdf, q, down);
          const Real wantF = (lawLnDensity(up, t) - lawLnDensity(down, t)) / (2 * h);
          const Real wantS = (lawLnSurvival(up, t) - lawLnSurvival(down, t)) / (2 * h);
          const std::string at = std::string(family) + " p" + std::to_string(j) + " t = " + std::to_string(static_cast<double>(t));
          EXPECT_LE(std::fabs(dF[j] - wantF), 1e-8L * std::max<Real>(1, std::fabs(wantF))) << "ln f " << at;
          EXPECT_LE(std::fabs(dS[j] - wantS), 1e-8L * std::max<Real>(1, std::fabs(wantS))) << "ln S " << at;
          EXPECT_LE(std::fabs(dSh[j] - wantS), 1e-8L * std::max<Real>(1, std::fabs(wantS))) << "ln S, hazard " << at;
        }
        ++points;
      }
    }
  }
  EXPECT_GT(points, 60);
}

TEST(LogLaws, OutsideTheSupport) {
  // Before 0 a lifetime law has f = 0 and S = 1; a count below 0 likewise.
  const Real p[kMaxPdfParams] = {2, 1.5L};
  for (const char* family : {"EXPONENTIAL", "WEIBULL", "GOMPERTZ", "LINEARHAZARD", "GAMMA", "POISSON"}) {
    LogLaw law;
    prepareLogLaw(pdfNumber(family), p, law);
    EXPECT_EQ(lawLnDensity(law, -1), -dens::kInf) << family;
    EXPECT_EQ(lawLnSurvival(law, -1), 0) << family;
  }
}

TEST(LogGuard, KeepsTheMeaningOfTheGuardedLogarithm) {
  // The defaults of the likelihood settings: SMALLEST_LIKELIHOOD = e^-1000,
  // LARGEST_LIKELIHOOD = e^1000, their logs -/+ 1000 here by construction.
  Settings s;
  s.smallestLikelihood = std::exp(-1000.0L);
  s.largestLikelihood = std::exp(1000.0L);
  s.smallestLLikelihood = -5000;
  s.largestLLikelihood = 5000;
  const LnGuard g = lnGuard(s);
  struct Case {
    Real lnx, want;
  };
  const Case cases[] = {
      {-dens::kInf, -5000},  // a zero contribution
      {-1000.5L, -5000},     // below SMALLEST_LIKELIHOOD
      {-999.5L, -999.5L},
      {0, 0},
      {999.5L, 999.5L},
      {1000.5L, 5000},        // above LARGEST_LIKELIHOOD
      {dens::kInf, 5000},     // an empty truncation window
  };
  for (const Case& c : cases) EXPECT_EQ(guardLn(g, c.lnx), c.want) << static_cast<double>(c.lnx);
  EXPECT_TRUE(std::isnan(guardLn(g, dens::kNaN)));
}

TEST(Powr, KeepsTheEdgesOfPow) {
  // Each against the library pow, whose edges are those of C99 Annex F.
  const Real inf = dens::kInf;
  const Real cases[][2] = {{0, 2},   {0, -1.5L}, {-0.0L, -3}, {-0.0L, 3}, {inf, 0.5L}, {inf, -2},  {-2, 3},
                           {-2, 2},  {-2, 0.5L}, {1, inf},    {2, 0},     {0.5L, inf}, {2, -inf},  {3, 1},
                           {-inf, 3}, {-inf, 2}, {7, 2}};
  for (const auto& c : cases) {
    const Real want = std::pow(c[0], c[1]), got = dens::powr(c[0], c[1]);
    if (std::isnan(want)) {
      EXPECT_TRUE(std::isnan(got)) << static_cast<double>(c[0]) << "^" << static_cast<double>(c[1]);
    } else {
      EXPECT_EQ(got, want) << static_cast<double>(c[0]) << "^" << static_cast<double>(c[1]);
      EXPECT_EQ(std::signbit(got), std::signbit(want)) << static_cast<double>(c[0]) << "^" << static_cast<double>(c[1]);
    }
  }
  EXPECT_EQ(dens::powr(dens::kNaN, 0), 1);
  // Ordinary powers: exp(y) carries the rounding of y = c ln x, a unit of
  // its last place, so the bound grows with |y|.
  for (Real x : {0.3L, 1.7L, 12.5L, 1e-30L})
    for (Real c : {0.37L, 1.5L, -2.25L, 7.0L}) {
      const Real y = std::fabs(c * std::log(x));
      EXPECT_LE(std::fabs(dens::powr(x, c) / std::pow(x, c) - 1), 2e-19L * (2 + y))
          << static_cast<double>(x) << "^" << static_cast<double>(c);
    }
}

// A program in a file of its own for as long as the case runs.
struct ProgramFile {
  std::string path;
  explicit ProgramFile(const std::string& text) {
    char name[] = "/tmp/zav_likXXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
    path = name;
  }
  ~ProgramFile() { unlink(path.c_str()); }

  // The run with ZAV_THREADS set.
  test::Outcome run(int threads) const {
    setenv("ZAV_THREADS", std::to_string(threads).c_str(), 1);
    test::Outcome o = test::runArgs({"-q", path});
    unsetenv("ZAV_THREADS");
    return o;
  }
};

// Right-censored Weibull times with a covariate in the scale, from a fixed
// seed.
const std::string kData = R"(ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  CREATE_OBS = 100000
  SEED(20261208)
  DATA
    x = RAND
    u = RAND
    t0 = 2.1 * EXP(LN(-LN(u)) / 1.4 - 0.6 * x / 1.4)
    c = 3 * RAND
    t = MIN(t0, c)
    tc = IF t0 > c THEN INFINITY ELSE t END
    bad = IF N_OBS + 1 >= 50000 THEN -(N_OBS + 1) ELSE 1 END
  END
  REALWIDTH = 25
)";

TEST(FastLikelihood, SameValueForAnyThreadCount) {
  const ProgramFile program(kData + "  WRITELN(DATA PDF WEIBULL(t, tc) 2.1 * EXP(-0.6 * x / 1.4), 1.4 END END)\nEND\n");
  // Printed by the interpreter before the likelihood took logs directly and
  // summed in blocks (the per-observation loop of the density and survival
  // routines, each term through the guarded logarithm).
  const Real before = -79453.2565147637781L;
  std::string first;
  for (int threads : {1, 2, 3, 7}) {
    const test::Outcome o = program.run(threads);
    ASSERT_EQ(o.status, 0) << o.out;
    const std::string value = o.out.substr(o.out.find_last_of('\n', o.out.size() - 2) + 1);
    if (first.empty()) first = value;
    EXPECT_EQ(value, first) << threads << " threads";
    const Real v = std::strtold(value.c_str(), nullptr);
    EXPECT_LE(std::fabs(v / before - 1), 1e-15L) << value;
  }
}

TEST(FastLikelihood, DomainErrorReportedAtTheFirstFailingObservation) {
  // Every observation from 50,000 on fails; the report names observation
  // 50,000's value whichever thread met a failure first.
  const ProgramFile program(kData + "  WRITELN(DATA PDF WEIBULL(t, tc) 2 * SQRT(bad), 1.4 END END)\nEND\n");
  const test::Outcome one = program.run(1);
  const test::Outcome four = program.run(4);
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(four.status, 1);
  EXPECT_NE(one.out.find("Error (funct): Attempted the square root of a negative number: -50000.00\n"),
            std::string::npos)
      << one.out;
  EXPECT_EQ(four.out, one.out);
}

TEST(FastLikelihood, ObservationRecordMatchesTheGeneralLoop) {
  // The same model twice: as one PDF term (the compiled plan, on the worker
  // threads) and with a pre-block, which keeps it on the general loop. The
  // standard errors and the per-observation table, frequencies 0, 1 and 2
  // included, must print alike.
  const std::string model = R"(  MODEL
    DATA PRE PDF WEIBULL(t, tc) PARAM a# LOW = 0.1 HIGH = 10 START = 2.1 END,
      PARAM s# LOW = 0.1 HIGH = 10 START = 1.4 END,
      HAZARD COVAR x PARAM b# LOW = -5 HIGH = 5 START = 0.55 END END END
  RUN FULL END
)";
  auto numbered = [&](const char* n, const char* pre) {
    std::string m = model;
    for (std::size_t at; (at = m.find('#')) != std::string::npos;) m.replace(at, 1, n);
    return m.replace(m.find("PRE"), 3, pre);
  };
  std::string data = kData.substr(0, kData.find("    bad"));
  data.replace(data.find("100000"), 6, "9000");
  const ProgramFile program(data + "    FREQUENCY = FLOOR(3 * RAND)\n  END\n  z: REAL\n  PRINT_LLIKS = TRUE\n" +
                            "  MAXITER = 0\n" + numbered("1", "") + numbered("2", "BEGIN z = 1 END,") + "END\n");
  const test::Outcome o = program.run(2);
  ASSERT_EQ(o.status, 0) << o.out;
  const std::size_t second = o.out.find("METHOD", o.out.find("METHOD") + 1);
  ASSERT_NE(second, std::string::npos) << o.out;
  std::string fast = o.out.substr(0, second), general = o.out.substr(second);
  fast = fast.substr(fast.find("METHOD"));
  for (char& c : general)
    if (c == '2' && (&c)[-1] >= 'a' && (&c)[-1] <= 's') c = '1';
  // The elapsed time of each run is its own.
  for (std::string* text : {&fast, &general})
    for (std::size_t at = 0; (at = text->find(" Time: ", at)) != std::string::npos; ++at)
      text->erase(at, text->find('\n', at) - at);
  general.resize(general.find_last_not_of('\n') + 1);
  fast.resize(fast.find_last_not_of('\n') + 1);
  ASSERT_NE(fast.find("\n 9000 "), std::string::npos) << fast.substr(0, 2000);
  const auto differ = std::mismatch(fast.begin(), fast.end(), general.begin(), general.end());
  const std::size_t at = static_cast<std::size_t>(differ.first - fast.begin());
  EXPECT_EQ(fast.size(), general.size());
  EXPECT_EQ(fast.substr(at, 200), general.substr(at, 200)) << "from character " << at;
}

TEST(FastLikelihood, StandardErrorsEvaluateEveryTimeWhereTheObjectiveHasEffects) {
  // A pure objective's standard errors reuse the terms at each step (the
  // case above compares them with the general loop's); one that calls a
  // routine must run it at every evaluation VCV_EVALS counts.
  std::string data = kData.substr(0, kData.find("    bad"));
  data.replace(data.find("100000"), 6, "200");
  const ProgramFile program(data + R"(  END
  calls = 0
  FUNCTION counted(v:REAL):REAL
    calls = calls + 1
    RETURN = v
  END
  PRINT_SE = TRUE
  MODEL
    DATA PDF WEIBULL(t, tc) counted(PARAM a LOW = 0.1 HIGH = 10 START = 2.1 END),
      PARAM s LOW = 0.1 HIGH = 10 START = 1.4 END,
      HAZARD COVAR x PARAM b LOW = -5 HIGH = 5 START = 0.55 END END END
  RUN FULL END
  WRITELN("calls ", calls = N_OBS * (EVALS + VCV_EVALS))
END
)");
  const test::Outcome o = program.run(1);
  ASSERT_EQ(o.status, 0) << o.out;
  EXPECT_NE(o.out.find("calls TRUE\n"), std::string::npos) << o.out;
}

// A program's two fits, with the plan's gradient and with differences, each
// printing its `params` estimates and EVALS after the data report: the same
// estimates to 1e-7, and the first in under half the evaluations.
void expectSameFitFewerEvals(const ProgramFile& program, int params, const std::string& what) {
  const test::Outcome o = program.run(2);
  ASSERT_EQ(o.status, 0) << o.out;
  std::vector<Real> est[2];
  std::istringstream lines(o.out.substr(o.out.find("dropped.") + 8));
  for (auto& row : est) {
    row.resize(static_cast<std::size_t>(params) + 1);
    for (Real& v : row) lines >> v;
  }
  for (std::size_t j = 0; j < static_cast<std::size_t>(params); ++j)
    EXPECT_LE(std::fabs(est[0][j] / est[1][j] - 1), 1e-7L) << what << " " << j << "\n" << o.out;
  EXPECT_LT(est[0].back(), est[1].back() / 2) << what << "\n" << o.out;
}

TEST(FastLikelihood, AnalyticGradientFindsTheSameEstimates) {
  // BFGS on a right- and interval-censored Weibull with a covariate in the
  // hazard and weights, without and with truncation windows (left, and
  // left and right):
  // with the plan's gradient, and with differences (a block before the
  // likelihood keeps the model off the analytic path). The estimates agree
  // to well within the convergence tolerance; the gradient costs one
  // evaluation instead of six.
  std::string data = kData.substr(0, kData.find("    bad"));
  data.replace(data.find("100000"), 6, "20000");
  // A third of the censored times closed at 3.5: interval-censored.
  data.replace(data.find("THEN INFINITY"), 13, "THEN (IF x < 0.3 THEN 3.5 ELSE INFINITY END)");
  const std::string model = R"(  MODEL PRE
    DATA PDF WEIBULL(TIMES) PARAM a# LOW = 0.1 HIGH = 10 START = 1 END,
      PARAM s# LOW = 0.1 HIGH = 10 START = 1 END,
      HAZARD COVAR x PARAM b# LOW = -5 HIGH = 5 START = 0 END END END
  RUN FULL END
  WRITELN(a#.#.1, " ", s#.#.1, " ", b#.#.1, " ", EVALS.#.1)
)";
  for (const char* times : {"t, tc", "t, tc, tl", "t, tc, tl, tr"}) {
    auto numbered = [&](const char* n, const char* pre) {
      std::string m = model;
      for (std::size_t at; (at = m.find('#')) != std::string::npos;) m.replace(at, 1, n);
      m.replace(m.find("TIMES"), 5, times);
      return m.replace(m.find("PRE"), 3, pre);
    };
    const ProgramFile program(data + "    FREQUENCY = 1 + FLOOR(2 * RAND)\n    tl = 0.5 * t * x\n" +
                              "    tr = t + 1 + x\n  END\n  z: REAL\n" +
                              "  PRINT_BASIC = FALSE\n  PRINT_INFO = FALSE\n  PRINT_SE = FALSE\n  PRINT_PARAMS = FALSE\n" +
                              "  METHOD = \"BFGS\"\n  EPSILON = 1E-10\n  REALWIDTH = 24\n" + numbered("1", "") +
                              numbered("2", "BEGIN z = 1 END") + "END\n");
    expectSameFitFewerEvals(program, 3, times);
  }
}

TEST(FastLikelihood, AnalyticGradientThroughParameterForms) {
  // Law parameters that vary through their forms' covariates (and a form
  // without covariates), fitted by BFGS with the plan's gradient and with
  // differences (a block before the likelihood): the same estimates, in
  // well under half the evaluations.
  const std::string data = R"(ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  CREATE_OBS = 3000
  SEED(11)
  DATA
    x = RAND
    g = FLOOR(2 * RAND)
    t0 = EXP(1 + 0.5 * x - 0.3 * g + 0.7 * INVNORMAL(RAND))
    c = 8 * RAND
    t = MIN(t0, c)
    tc = IF t0 > c THEN INFINITY ELSE t END
  END
  z: REAL
  PRINT_INFO = FALSE
  PRINT_PARAMS = FALSE
  PRINT_SE = FALSE
  METHOD = "BFGS"
  EPSILON = 1E-10
  REALWIDTH = 24
)";
  const char* const laws[] = {
      "LNNORMAL(t, tc) PARAM p1# FORM = ADD COVAR x PARAM p2# LOW = -5 HIGH = 5 START = 0 END COVAR g PARAM p3# "
      "LOW = -5 HIGH = 5 START = 0 END LOW = -10 HIGH = 10 START = 2 END, PARAM p4# LOW = 0.01 HIGH = 10 START = 1 END",
      "WEIBULL(t, tc) PARAM p1# FORM = LOGLIN COVAR x PARAM p2# LOW = -5 HIGH = 5 START = 0 END COVAR g PARAM p3# "
      "LOW = -5 HIGH = 5 START = 0 END LOW = 0.01 HIGH = 100 START = 2 END, PARAM p4# LOW = 0.05 HIGH = 20 START = 1 END",
      "GAMMA(t, tc) PARAM p1# FORM = INVLOGLIN COVAR x PARAM p2# LOW = -5 HIGH = 5 START = 0 END COVAR g PARAM p3# "
      "LOW = -5 HIGH = 5 START = 0 END LOW = 0.01 HIGH = 100 START = 1 END, PARAM p4# FORM = LOGLIN LOW = 0.05 HIGH = 20 "
      "START = 1 END",
  };
  for (const char* law : laws) {
    std::string program = data;
    for (const char* run : {"1", "2"}) {
      std::string m = std::string("  MODEL ") + (run[0] == '2' ? "BEGIN z = 1 END " : "") + "DATA PDF " + law +
                      " END END RUN FULL END\n  WRITELN(p1#.#.1, \" \", p2#.#.1, \" \", p3#.#.1, \" \", p4#.#.1, \" \", "
                      "EVALS.#.1)\n";
      for (std::size_t at; (at = m.find('#')) != std::string::npos;) m.replace(at, 1, run);
      program += m;
    }
    expectSameFitFewerEvals(ProgramFile(program + "END\n"), 4, law);
  }
}

// The parameter vectors of the path comparison: the reference row's values
// (inside every range), each parameter on the edge of its range and just
// beyond it, and a negative value for the parameters the catalog leaves
// unchecked (a negative rate makes a negative density).
std::vector<std::vector<Real>> trialParams(int pdf, const std::vector<Real>& ref) {
  std::vector<std::vector<Real>> out{ref};
  const PdfInfo& info = *pdfInfo(pdf);
  for (int i = 0; i < info.paramCount; ++i) {
    std::vector<Real> edge;
    switch (info.paramRange[static_cast<std::size_t>(i)]) {
      case 0: case 1: edge = {0, -0.5L}; break;
      case 2: edge = {0, 1, -0.25L, 1.25L}; break;
      case 3: edge = {-1, 1, 1.5L}; break;
      case 4: case 15: edge = {1, 0.5L}; break;
      default: edge = {0, -1}; break;
    }
    for (Real v : edge) {
      out.push_back(ref);
      out.back()[static_cast<std::size_t>(i)] = v;
    }
  }
  return out;
}

std::string realText(Real x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", x);
  return buf;
}

TEST(FastLikelihood, SameTermsAsTheInterpreterForEveryPdf) {
  // Each PDF with a log-space term, inside a model (where a parameter
  // outside its range makes the observation impossible rather than an
  // error), over times before, inside and beyond the usual supports, exact,
  // right-censored and interval-censored. The compiled path (a DATA form
  // whose body is the PDF term) must give what the interpreter's path gives
  // (the same term with "+ 0", which takes the guarded logarithm of the
  // likelihood): the same value up to the rounding of working in logs, the
  // same guard, and never NaN where the interpreter has a number.
  std::string prog = R"(ZAV
  PRINT_BASIC = FALSE
  PRINT_INFO = FALSE
  PRINT_SE = FALSE
  PRINT_DATA_STATS = FALSE
  CREATE_OBS = 9
  DATA
    t = IF N_OBS < 6 THEN -1 + 0.6 * N_OBS * N_OBS ELSE 0.7 + N_OBS - 6 END
    tc = IF N_OBS < 6 THEN t ELSEIF N_OBS = 6 THEN INFINITY ELSE t + 1 END
  END
  REALWIDTH = 30
)";
  std::vector<std::string> labels;
  int model = 0;
  for (int pdf = 1; pdf <= kPdfCount; ++pdf) {
    if (!pdfHasLogTerm(pdf)) continue;
    const PdfInfo& info = *pdfInfo(pdf);
    const RefRow* row = nullptr;
    for (const RefRow& r : kRefs)
      if (std::string_view(r.name) == info.name && !row) row = &r;
    if (!row) continue;
    const auto trials = trialParams(pdf, row->params);
    for (const char* tail : {"", " + 0"}) {
      ++model;
      std::string params, runs;
      for (int i = 0; i < info.paramCount; ++i)
        params += std::string(i ? ", " : "") + "PARAM q" + std::to_string(i) + "_" + std::to_string(model) + " END";
      for (const auto& v : trials) {
        runs += "    REDUCE";
        for (int i = 0; i < info.paramCount; ++i)
          runs += " q" + std::to_string(i) + "_" + std::to_string(model) + " = " + realText(v[static_cast<std::size_t>(i)]);
        runs += "\n";
      }
      prog += "  MODEL\n    DATA PDF " + std::string(info.name) + "(t, tc) " + params + " END" + tail +
              " END\n  RUN\n" + runs + "  END\n";
      for (std::size_t r = 1; r <= trials.size(); ++r)
        prog += "  WRITELN(LOGLIKELIHOOD." + std::to_string(model) + "." + std::to_string(r) + ")\n";
    }
    for (std::size_t r = 0; r < trials.size(); ++r) {
      std::string at = std::string(info.name) + " (";
      for (Real x : trials[r]) at += realText(x) + " ";
      labels.push_back(at + ")");
    }
  }
  prog += "END\n";
  const ProgramFile program(prog);
  const test::Outcome o = program.run(1);
  ASSERT_EQ(o.status, 0) << o.out;
  std::vector<std::string> lines;
  for (std::size_t b = 0, e; (e = o.out.find('\n', b)) != std::string::npos; b = e + 1) {
    const std::string line = o.out.substr(b, e - b);
    if (line.find_first_not_of(' ') != std::string::npos && line.find("created") == std::string::npos &&
        line.find("kept") == std::string::npos && line.rfind("Warning", 0) == std::string::npos)
      lines.push_back(line);
  }
  // Per PDF: the compiled values, then the interpreter's.
  ASSERT_EQ(lines.size(), 2 * labels.size());
  std::size_t at = 0, row = 0;
  while (row < labels.size()) {
    const std::string name = labels[row].substr(0, labels[row].find(' '));
    std::size_t n = 0;
    while (row + n < labels.size() && labels[row + n].substr(0, labels[row + n].find(' ')) == name) ++n;
    for (std::size_t j = 0; j < n; ++j) {
      const std::string& fast = lines[at + j];
      const std::string& slow = lines[at + n + j];
      const Real a = std::strtold(fast.c_str(), nullptr), b = std::strtold(slow.c_str(), nullptr);
      if (slow.find("NaN") != std::string::npos) continue;  // no number to keep
      EXPECT_EQ(fast.find("NaN"), std::string::npos) << labels[row + j] << ": " << fast << " vs " << slow;
      EXPECT_LE(std::fabs(a - b), 1e-13L * std::max<Real>(1, std::fabs(b)))
          << labels[row + j] << ": " << fast << " vs " << slow;
    }
    at += 2 * n;
    row += n;
  }
}

}  // namespace
}  // namespace zav
