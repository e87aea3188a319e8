// The predefined symbols: every one exists with its type and flags, in the
// group order, with its default; bound ones share storage with Settings.
#include "core/predefined.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "core/interp.h"
#include "help/settinghelp.h"
#include "core/os.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using VT = ValueType;
enum Kind { Plain, Bound, Const, BoundConst };

struct Pre {
  const char* name;
  VT type;
  Kind kind;
};

// Every predefined symbol in the order the groups are created.
const std::vector<Pre>& allPredefined() {
  static const std::vector<Pre> list = {
      // run state and switches
      {"SYMBOLINFIN", VT::Boolean, Bound}, {"BATCHMODE", VT::Boolean, Bound}, {"VERBOSE", VT::Boolean, Bound},
      {"TERMFILE", VT::Boolean, Bound}, {"READSTARTFILE", VT::Boolean, Bound},
      {"WRITESTARTFILE", VT::Boolean, Bound}, {"PARSE_ONLY", VT::Boolean, Bound}, {"DEBUG", VT::Integer, Bound},
      {"DEBUG_SYM", VT::Boolean, Bound}, {"DEBUG_EXEC", VT::Boolean, Bound}, {"DEBUG_ECHO", VT::Boolean, Bound},
      {"DEBUG_PARSE", VT::Boolean, Bound}, {"DEBUG_DATA", VT::Boolean, Bound}, {"DEBUG_INT", VT::Boolean, Bound},
      {"DEBUG_LIK", VT::Boolean, Bound}, {"D_IDX", VT::Integer, Bound}, {"PROFILE", VT::Real, Plain},
      {"PROFILE_INDEX", VT::Integer, Bound}, {"PROFILE_TIME", VT::Real, Bound},
      {"MAX_CHILDREN", VT::Integer, Bound}, {"WAIT_ON_CHILD", VT::Integer, Bound},
      // identity and system
      {"PROGRAM_NAME", VT::String, Const}, {"VERSION", VT::Integer, Const}, {"RELEASE", VT::Integer, Const},
      {"REVISION", VT::Integer, Const}, {"COPYRIGHT", VT::String, Const}, {"SYSTEM", VT::String, Const},
      {"OSSEP", VT::String, Const}, {"OSVERSION", VT::String, Const}, {"GNUPLOT", VT::String, Plain},
      {"MAX_CHARS", VT::Integer, Const}, {"MAX_BOOLEANS", VT::Integer, Const},
      {"MAX_INTEGERS", VT::Integer, Const}, {"MAX_REALS", VT::Integer, Const},
      {"MAX_STRINGS", VT::Integer, Const},
      // files
      {"ZAVFILEBASE", VT::String, Plain}, {"OUTFILENAME", VT::String, Plain},
      {"DATAFILENAME", VT::String, Plain}, {"PLOTFILENAME", VT::String, Plain}, {"FDATA", VT::File, Bound},
      {"FINPUT", VT::File, BoundConst}, {"FOUTPUT", VT::File, BoundConst}, {"FOUTFILE", VT::File, Bound},
      {"FPLOT", VT::File, Bound}, {"FPLOTDATA", VT::File, Bound}, {"DATADELIMITERS", VT::String, Plain},
      {"READDELIMITERS", VT::String, Bound}, {"WRITEDELIMITER", VT::String, Bound},
      {"INPUT_SKIP", VT::Integer, Plain}, {"TITLE", VT::String, Plain},
      // data results
      {"LINE_NUMB", VT::Integer, Bound}, {"N_OBS", VT::Integer, Bound}, {"DROPPED_OBS", VT::Integer, Bound},
      {"TOTAL_OBS", VT::Integer, Bound}, {"N_VARS", VT::Integer, Bound}, {"CREATE_OBS", VT::Integer, Bound},
      // optimisation
      {"METHOD", VT::String, Plain}, {"METHOD_LOOP", VT::Boolean, Plain}, {"MAXITER", VT::Integer, Bound},
      {"MAXTIME", VT::Integer, Bound}, {"MAXEVALS", VT::Integer, Bound}, {"MINIMUM_ITS", VT::Integer, Bound},
      {"EPSILON", VT::Real, Bound}, {"ITERATION_PRINT", VT::Integer, Bound}, {"DIFF_DX", VT::Real, Bound},
      {"BRENT_ITS", VT::Integer, Bound}, {"BRENT_MAGIC", VT::Real, Bound}, {"LARGE_ZERO", VT::Real, Bound},
      {"SA_COOLING", VT::Real, Bound}, {"SA_ADJ_CYCLES", VT::Integer, Bound}, {"SA_STEPS", VT::Integer, Bound},
      {"SA_TEMPERATURE", VT::Real, Bound}, {"SA_EPS_NUMBER", VT::Integer, Bound},
      {"SA_STEPLENGTH", VT::Real, Bound}, {"SA_STEPLENGTH_ADJ", VT::Real, Bound},
      {"SA_ADJ_LOWERBOUND", VT::Real, Bound}, {"SA_ALT_ADJUSTMENT", VT::Boolean, Bound},
      {"SIMPLEX_ALPHA", VT::Real, Bound}, {"SIMPLEX_BETA", VT::Real, Bound}, {"SIMPLEX_GAMMA", VT::Real, Bound},
      {"DX_START", VT::Real, Bound}, {"DX_MAXITS", VT::Integer, Bound}, {"DX_TOOBIG", VT::Real, Bound},
      {"DX_TOOSMALL", VT::Real, Bound}, {"INFO_METHOD1", VT::Boolean, Plain},
      {"INFO_METHOD2", VT::Boolean, Plain}, {"HIGH_DEFAULT", VT::Real, Plain}, {"LOW_DEFAULT", VT::Real, Plain},
      {"START_DEFAULT", VT::Real, Plain}, {"TEST_DEFAULT", VT::Real, Plain}, {"RANDOMSEED", VT::Integer, Bound},
      {"DIRECT", VT::String, Const}, {"POWELL", VT::String, Const}, {"NEWTON", VT::String, Const},
      {"CGRADIENT1", VT::String, Const}, {"CGRADIENT2", VT::String, Const}, {"SIMPLEX", VT::String, Const},
      {"ANNEALING", VT::String, Const},
      // results of estimation
      {"LOGLIKELIHOOD", VT::Real, Bound}, {"FREE_PARAMS", VT::Integer, Bound}, {"DELTA_LL", VT::Real, Bound},
      {"INVERT_FLAG", VT::Boolean, Bound}, {"CONVERGE_FLAG", VT::Integer, Bound},
      {"ITERATIONS", VT::Integer, Bound}, {"EVALS", VT::Integer, Bound}, {"VCV_EVALS", VT::Integer, Bound},
      {"CI_EVALS", VT::Integer, Bound},
      // likelihood bounds
      {"LARGEST_LIKELIHOOD", VT::Real, Bound}, {"SMALLEST_LIKELIHOOD", VT::Real, Bound},
      {"LARGEST_LLIKELIHOOD", VT::Real, Bound}, {"SMALLEST_LLIKELIHOOD", VT::Real, Bound},
      // intervals and model selection
      {"CI_CHISQ", VT::Real, Plain}, {"CI_LIMIT_DELTA", VT::Real, Plain}, {"CI_CONVERGE", VT::Real, Plain},
      {"CI_MAXITS", VT::Integer, Plain}, {"AIC_SELECT", VT::Boolean, Bound}, {"AICC_SELECT", VT::Boolean, Bound},
      {"BIC_SELECT", VT::Boolean, Bound}, {"IC_SAMPLE_SIZE", VT::Real, Bound},
      // printing and plotting
      {"PRINT_LLIKS", VT::Boolean, Plain}, {"PRINT_CI", VT::Boolean, Plain}, {"PRINT_PARAMS", VT::Boolean, Plain},
      {"PRINT_VCV", VT::Boolean, Plain}, {"PRINT_OBS", VT::Boolean, Plain}, {"PRINT_FIELDS", VT::Boolean, Plain},
      {"PRINT_SHORT", VT::Boolean, Plain}, {"PRINT_DISTS", VT::Boolean, Plain}, {"PLOT_DISTS", VT::Boolean, Plain},
      {"PRINT_FREE_PARAMS", VT::Boolean, Plain}, {"PRINT_SE", VT::Boolean, Plain},
      {"PRINT_INFO", VT::Boolean, Plain}, {"PRINT_COUNTS", VT::Boolean, Plain},
      {"PRINT_BASIC", VT::Boolean, Plain}, {"PRINT_DATA_STATS", VT::Boolean, Plain},
      {"PRINT_REDUCED", VT::Boolean, Bound}, {"VCV_WIDTH", VT::Integer, Plain},
      {"MIN_SIGNIFICANT", VT::Integer, Plain}, {"REALWIDTH", VT::Integer, Bound},
      {"REALDECIMALS", VT::Integer, Bound}, {"COMPLEXWIDTH", VT::Integer, Bound},
      {"COMPLEXDECIMALS", VT::Integer, Bound}, {"DIST_T_START", VT::Real, Plain}, {"DIST_T_END", VT::Real, Plain},
      {"DIST_T_N", VT::Integer, Plain}, {"DIST_ERR_C", VT::Real, Bound}, {"DIST_DX_SCALE", VT::Real, Bound},
      {"PLOTPOINTS", VT::Integer, Bound}, {"SURFACE_POINTS", VT::Integer, Plain},
      {"GNUPLOTINIT", VT::String, Plain}, {"PLOTINIT", VT::String, Plain}, {"MULTIPLOTINIT", VT::String, Bound},
      {"INTERMPLOT", VT::String, Plain}, {"MPLOTXSCALE", VT::Real, Bound}, {"MPLOTYSCALE", VT::Real, Bound},
      // numerical calculus
      {"INTEGRATE_N", VT::Integer, Bound}, {"INTEGRATE_METHOD", VT::Integer, Bound},
      {"INTEGRATE_TOL", VT::Real, Bound}, {"FIND_MAXITS", VT::Integer, Bound}, {"FIND_EPS", VT::Real, Bound},
      {"DFTIMEO", VT::Real, Bound}, {"DFTIMEC", VT::Real, Bound}, {"I_SIMPSON", VT::Integer, Const},
      {"I_TRAP_CLOSED", VT::Integer, Const}, {"I_TRAP_OPEN", VT::Integer, Const}, {"I_AQUAD", VT::Integer, Const},
      {"I_ROMBERG", VT::Integer, Const},
      // distribution switches
      {"ALT_LOGISTIC", VT::Boolean, Bound}, {"ALT_VQUANTILE", VT::Boolean, Bound},
      {"EXP_HAZARD", VT::Boolean, Bound},
      // mathematical constants
      {"PI", VT::Real, Const}, {"E", VT::Real, Const}, {"LOG_10", VT::Real, Const}, {"EULERSC", VT::Real, Const},
      {"MAXINT", VT::Integer, Const}, {"RADIANSPERDEGREE", VT::Real, BoundConst},
      {"DEGREESSPERRADIAN", VT::Real, BoundConst}, {"SECONDSPERDAY", VT::Real, BoundConst},
      // physical constants
      {"PLANCKSC", VT::Real, Const}, {"PLACNKINV2PI", VT::Real, Const}, {"AVOGADROSN", VT::Real, Const},
      {"ATOMICMASSU", VT::Real, Const}, {"BOHRMAGNETON", VT::Real, Const}, {"BOHRRADIUS", VT::Real, Const},
      {"BOLTZMANNSC", VT::Real, Const}, {"RYDBERGC", VT::Real, Const}, {"LIGHTC", VT::Real, Const},
      {"UNIVERSALGASC", VT::Real, Const}, {"GRAVITATIONALC", VT::Real, Const},
      // machine constants
      {"MACHINE_EPSILON", VT::Real, BoundConst}, {"SQRT_EPSILON", VT::Real, BoundConst},
      {"SMALLEST_NUMBER", VT::Real, BoundConst}, {"LNINFINITY", VT::Real, Bound}, {"INFINITY", VT::Real, Bound},
      {"oo", VT::Real, BoundConst}, {"NEGINFINITY", VT::Real, Bound}, {"NAN", VT::Real, Bound},
      // truth values
      {"TRUE", VT::Boolean, Const}, {"FALSE", VT::Boolean, Const},
  };
  return list;
}

class Predefined : public ::testing::Test {
 protected:
  void SetUp() override {
    initOs(in.os);
    createPredefined(in);
  }
  Interp in;
};

TEST_F(Predefined, EverySymbolWithTypeAndFlags) {
  for (const Pre& p : allPredefined()) {
    Symbol* s = lookup(in, p.name);
    ASSERT_NE(s, nullptr) << p.name;
    EXPECT_EQ(s->name, p.name);
    EXPECT_EQ(s->type, p.type) << p.name;
    EXPECT_TRUE(s->has(kStatic)) << p.name;
    EXPECT_EQ(s->has(kConst), p.kind == Const || p.kind == BoundConst) << p.name;
    EXPECT_EQ(s->has(kBound), p.kind == Bound || p.kind == BoundConst) << p.name;
    EXPECT_EQ(s->count, 1) << p.name;
  }
  // Nothing more: the global table holds exactly these.
  std::size_t n = 0;
  for (Symbol* chain : in.global->buckets)
    for (Symbol* s = chain; s; s = s->next) ++n;
  EXPECT_EQ(n, allPredefined().size());
  // The driver relies on ZAVFILE being absent until a program is named.
  EXPECT_EQ(lookup(in, "ZAVFILE"), nullptr);
}

TEST_F(Predefined, GroupOrderSeenInTheDump) {
  testing::internal::CaptureStdout();
  dumpTables(in, "");
  std::string out(1, '\n');
  out += testing::internal::GetCapturedStdout();
  // Within one hash bucket the dump lists the newest symbol first, so the
  // creation order shows there as the reverse order.
  std::map<int, std::vector<std::string>> byBucket;
  for (const Pre& p : allPredefined()) byBucket[hashName(p.name)].push_back(p.name);
  int pairs = 0;
  for (const auto& [bucket, names] : byBucket) {
    for (std::size_t i = 1; i < names.size(); ++i) {
      auto older = out.find("\n" + names[i - 1] + "{");
      auto newer = out.find("\n" + names[i] + "{");
      ASSERT_NE(older, std::string::npos) << names[i - 1];
      ASSERT_NE(newer, std::string::npos) << names[i];
      EXPECT_LT(newer, older) << names[i] << " should be created after " << names[i - 1];
      ++pairs;
    }
  }
  EXPECT_GT(pairs, 100);
}

TEST_F(Predefined, Defaults) {
  struct IntCase {
    const char* name;
    std::int32_t v;
  } ints[] = {{"DEBUG", 0},         {"MAX_CHILDREN", 1},     {"WAIT_ON_CHILD", 1000}, {"VERSION", 2},
              {"RELEASE", 2},       {"REVISION", 17},        {"MAX_CHARS", 2147483647}, {"MAX_INTEGERS", 65535},
              {"INPUT_SKIP", 0},    {"N_OBS", 0},            {"MAXITER", 100},        {"MAXTIME", 0},
              {"MAXEVALS", 100000}, {"MINIMUM_ITS", 1},      {"BRENT_ITS", 200},      {"SA_ADJ_CYCLES", 20},
              {"SA_STEPS", 5},      {"SA_EPS_NUMBER", 4},    {"DX_MAXITS", 12},       {"RANDOMSEED", -1},
              {"CI_MAXITS", 30},    {"VCV_WIDTH", 5},        {"MIN_SIGNIFICANT", 4},  {"REALWIDTH", 12},
              {"REALDECIMALS", 5},  {"COMPLEXWIDTH", 7},     {"COMPLEXDECIMALS", 2},  {"DIST_T_N", 100},
              {"PLOTPOINTS", 100},  {"SURFACE_POINTS", 20},  {"INTEGRATE_N", 100},    {"INTEGRATE_METHOD", 4},
              {"FIND_MAXITS", 100}, {"I_SIMPSON", 0},        {"I_TRAP_CLOSED", 1},    {"I_TRAP_OPEN", 2},
              {"I_AQUAD", 3},       {"I_ROMBERG", 4},        {"MAXINT", 2147483647}};
  for (const auto& c : ints) EXPECT_EQ(getIntegerByName(in, c.name), c.v) << c.name;

  struct RealCase {
    const char* name;
    Real v;
  } reals[] = {{"PROFILE_TIME", 0},         {"EPSILON", 0.00001L},     {"DIFF_DX", 0.001L},
               {"BRENT_MAGIC", 0.381966L},  {"LARGE_ZERO", 1E-20L},    {"SA_COOLING", 0.85L},
               {"SA_TEMPERATURE", 1000},    {"SA_STEPLENGTH", 1},      {"SA_STEPLENGTH_ADJ", 2},
               {"SA_ADJ_LOWERBOUND", 0.4L}, {"SIMPLEX_ALPHA", 1},      {"SIMPLEX_BETA", 0.5L},
               {"SIMPLEX_GAMMA", 2},        {"DX_START", 0.05L},       {"DX_TOOBIG", 0.3L},
               {"DX_TOOSMALL", 0.01L},      {"START_DEFAULT", 0},      {"CI_CHISQ", 5.02389L},
               {"CI_CONVERGE", 0.000001L},  {"DIST_T_END", 10},        {"DIST_ERR_C", 1},
               {"DIST_DX_SCALE", 0.25L},    {"MPLOTXSCALE", 1},        {"INTEGRATE_TOL", 1E-8L},
               {"FIND_EPS", 0.00001L},      {"DFTIMEO", 0},            {"SECONDSPERDAY", 86400},
               {"PLANCKSC", 6.62606876E-34L}, {"PLACNKINV2PI", 1.054571596E-34L},
               {"AVOGADROSN", 6.02214199E23L}, {"BOHRRADIUS", 5.291772083E-11L},
               {"RYDBERGC", 10973731.568549L}, {"LIGHTC", 299792458}, {"GRAVITATIONALC", 6.673E-11L}};
  for (const auto& c : reals) EXPECT_EQ(getRealByName(in, c.name), c.v) << c.name;

  struct BoolCase {
    const char* name;
    bool v;
  } bools[] = {{"SYMBOLINFIN", true},   {"BATCHMODE", false},   {"PARSE_ONLY", false}, {"DEBUG_EXEC", false},
               {"METHOD_LOOP", false},  {"INFO_METHOD1", true}, {"INFO_METHOD2", false}, {"PRINT_LLIKS", false},
               {"PRINT_FREE_PARAMS", false}, {"PRINT_SE", true}, {"PRINT_DATA_STATS", true},
               {"PRINT_REDUCED", false}, {"EXP_HAZARD", true},  {"ALT_LOGISTIC", false}, {"TRUE", true},
               {"FALSE", false}};
  for (const auto& c : bools) EXPECT_EQ(getBooleanByName(in, c.name), c.v) << c.name;

  struct StrCase {
    const char* name;
    const char* v;
  } strs[] = {{"PROGRAM_NAME", "zav"},     {"OSSEP", "/"},           {"METHOD", "DIRECT"},
              {"DIRECT", "DIRECT"},        {"POWELL", "POWELL"},     {"NEWTON", "NEWTON"},
              {"CGRADIENT1", "CGRADIENT1"}, {"CGRADIENT2", "CGRADIENT2"}, {"SIMPLEX", "SIMPLEX"},
              {"ANNEALING", "ANNEALING"},  {"ZAVFILEBASE", ""},      {"OUTFILENAME", ""},
              {"DATADELIMITERS", ", \t"},  {"READDELIMITERS", " \t,\n\r"}, {"WRITEDELIMITER", ""},
              {"TITLE", ""},               {"PLOTINIT", ""},         {"INTERMPLOT", ""},
              {"MULTIPLOTINIT", "set size 1,1; set origin 0,0"}};
  for (const auto& c : strs) EXPECT_EQ(getStringByName(in, c.name), c.v) << c.name;
  EXPECT_FALSE(getStringByName(in, "COPYRIGHT").empty());
}

TEST_F(Predefined, SystemIdentity) {
  struct utsname u;
  ASSERT_EQ(::uname(&u), 0);
  EXPECT_EQ(getStringByName(in, "SYSTEM"), u.sysname);
  EXPECT_EQ(getStringByName(in, "OSVERSION"), std::to_string(in.os.version));
  EXPECT_EQ(getStringByName(in, "GNUPLOT"), searchPath("gnuplot"));
  EXPECT_EQ(getStringByName(in, "GNUPLOTINIT"), "reset; set style data lines; set autoscale; set nokey");
}

TEST_F(Predefined, ProfileIsAOneElementArray) {
  Symbol* s = lookup(in, "PROFILE");
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(s->dims);
  EXPECT_EQ(s->dims->count(), 1);
  EXPECT_EQ(s->dims->lo[0], 1);
  EXPECT_EQ(s->dims->hi[0], 1);
  EXPECT_EQ(getReal(in, *s, 1), 0);
}

TEST_F(Predefined, StandardFiles) {
  const TextFile& fin = element<ValueType::File>(in, *lookup(in, "FINPUT"), 1);
  EXPECT_EQ(fin.handle, stdin);
  EXPECT_EQ(fin.mode, FileMode::Read);
  EXPECT_FALSE(fin.ownsHandle);
  const TextFile& fout = element<ValueType::File>(in, *lookup(in, "FOUTPUT"), 1);
  EXPECT_EQ(fout.handle, stdout);
  EXPECT_EQ(fout.mode, FileMode::Write);
  EXPECT_FALSE(fout.ownsHandle);
}

TEST_F(Predefined, BoundSymbolsShareStorage) {
  Settings& s = in.set;
  struct Case {
    const char* name;
    const void* field;
  } cases[] = {{"BATCHMODE", &s.batchMode},       {"DEBUG", &s.debug},          {"D_IDX", &s.dIdx},
               {"FDATA", &s.fData},               {"FINPUT", &s.fInput},        {"FOUTFILE", &s.fOutFile},
               {"READDELIMITERS", &s.readDelimiters}, {"N_OBS", &s.nObs},      {"MAXITER", &s.maxIter},
               {"EPSILON", &s.epsilon},           {"SIMPLEX_GAMMA", &s.simplexGamma},
               {"DELTA_LL", &s.deltaLL},          {"SMALLEST_LLIKELIHOOD", &s.smallestLLikelihood},
               {"IC_SAMPLE_SIZE", &s.icSampleSize}, {"MULTIPLOTINIT", &s.multiPlotInit},
               {"DFTIMEC", &s.dfTimeC},           {"EXP_HAZARD", &s.expHazard},
               {"RADIANSPERDEGREE", &s.radiansPerDegree}, {"MACHINE_EPSILON", &s.machineEpsilon},
               {"INFINITY", &s.infinity},         {"oo", &s.infinity},          {"NAN", &s.nan}};
  for (const auto& c : cases) EXPECT_EQ(lookup(in, c.name)->block, c.field) << c.name;

  // Both directions: the interpreter's change is seen by name, and a change
  // by name is seen by the interpreter.
  s.maxIter = 7;
  EXPECT_EQ(getIntegerByName(in, "MAXITER"), 7);
  setRealByName(in, "EPSILON", 0.5L, 0);
  EXPECT_EQ(s.epsilon, 0.5L);
  setBooleanByName(in, "VERBOSE", true, 0);
  EXPECT_TRUE(s.verbose);
  setStringByName(in, "WRITEDELIMITER", ",", 0);
  EXPECT_EQ(s.writeDelimiter, ",");
  s.infinity = 123;
  EXPECT_EQ(getRealByName(in, "oo"), 123);
}

TEST_F(Predefined, ConstantsAndTheirRelations) {
  // Reference values to 36 digits from published tables (pi, e, ln 10,
  // Euler's constant), compared to within a few units of the last place.
  const Real tol = 4 * std::numeric_limits<Real>::epsilon();
  EXPECT_NEAR(getRealByName(in, "PI"), 3.14159265358979323846264338327950288L, tol * 4);
  EXPECT_NEAR(getRealByName(in, "E"), 2.71828182845904523536028747135266250L, tol * 3);
  EXPECT_NEAR(getRealByName(in, "LOG_10"), 2.30258509299404568401799145468436421L, tol * 3);
  EXPECT_NEAR(getRealByName(in, "EULERSC"), 0.577215664901532860606512090082402431L, tol);
  EXPECT_NEAR(getRealByName(in, "RADIANSPERDEGREE") * 180, getRealByName(in, "PI"), tol * 4);
  EXPECT_NEAR(getRealByName(in, "DEGREESSPERRADIAN") * getRealByName(in, "RADIANSPERDEGREE"), 1, tol);

  const Real inf = getRealByName(in, "INFINITY");
  const Real lnInf = getRealByName(in, "LNINFINITY");
  const Real eps = getRealByName(in, "MACHINE_EPSILON");
  EXPECT_TRUE(std::isfinite(inf));
  EXPECT_GT(inf, 1e4000L);
  EXPECT_EQ(getRealByName(in, "oo"), inf);
  EXPECT_EQ(getRealByName(in, "NEGINFINITY"), -inf);
  EXPECT_TRUE(std::isnan(getRealByName(in, "NAN")));
  EXPECT_NEAR(lnInf, std::log(inf), 1e-12L);
  EXPECT_GT(eps, 0);
  EXPECT_LT(eps, 1e-18L);
  EXPECT_NEAR(getRealByName(in, "SQRT_EPSILON") * getRealByName(in, "SQRT_EPSILON"), eps, eps * 1e-15L);

  // Defaults derived from the machine constants.
  EXPECT_EQ(getRealByName(in, "DELTA_LL"), inf);
  EXPECT_EQ(getRealByName(in, "CI_LIMIT_DELTA"), eps);
  EXPECT_EQ(getRealByName(in, "HIGH_DEFAULT"), inf / 2);
  EXPECT_EQ(getRealByName(in, "LOW_DEFAULT"), -inf / 2);
  EXPECT_EQ(getRealByName(in, "LARGEST_LIKELIHOOD"), inf / 10);
  // ln(INFINITY / 10) = LNINFINITY - ln 10, and ln(SMALLEST) = -LNINFINITY / 10.
  const Real largestLL = getRealByName(in, "LARGEST_LLIKELIHOOD");
  EXPECT_NEAR(largestLL, lnInf - 2.30258509299404568401799145468436421L, 1e-12L);
  EXPECT_NEAR(std::log(getRealByName(in, "SMALLEST_LIKELIHOOD")), -lnInf / 10, 1e-12L);
  EXPECT_EQ(getRealByName(in, "SMALLEST_LLIKELIHOOD"), -largestLL);
}

TEST(PredefinedGnuplot, InitBySystem) {
  const std::string tail = "reset; set data style lines; set autoscale; set nokey";
  struct Case {
    const char* system;
    std::string init;
  } cases[] = {
      {"Win32", "set terminal windows; " + tail},      {"DOS", "set terminal windows; " + tail},
      {"Windows", "set terminal windows; " + tail},    {"OS2", "set terminal windows; " + tail},
      {"Apollo", "set terminal apollo; " + tail},      {"Macintosh", "set terminal macintosh; " + tail},
      {"SunOS", "set terminal x11; " + tail},
      {"Linux", "reset; set style data lines; set autoscale; set nokey"},
  };
  for (const auto& c : cases) EXPECT_EQ(gnuplotInitFor(c.system, "Linux"), c.init) << c.system;
}

// The help says what every predefined symbol is for.
TEST(PredefinedHelp, EverySymbolHasItsText) {
  Interp in;
  createPredefined(in);
  for (const auto& [key, sym] : in.global->index) EXPECT_FALSE(settingHelp(sym->name).empty()) << sym->name;
  const std::string lines = settingHelpLines("epsilon");
  EXPECT_EQ(lines.rfind("  Convergence: ", 0), 0u) << lines;
  EXPECT_TRUE(settingHelp("NO_SUCH_SETTING").empty());
}

}  // namespace
}  // namespace zav
