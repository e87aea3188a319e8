#include "core/predefined.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/interp.h"
#include "core/os.h"
#include "funcs/machine.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr std::uint32_t kC = kConst;

void boolean(Interp& in, std::string_view name, bool v, std::uint32_t flags = 0) {
  setBooleanByName(in, name, v, flags);
}
void integer(Interp& in, std::string_view name, std::int32_t v, std::uint32_t flags = 0) {
  setIntegerByName(in, name, v, flags);
}
void real(Interp& in, std::string_view name, Real v, std::uint32_t flags = 0) { setRealByName(in, name, v, flags); }
void str(Interp& in, std::string_view name, std::string_view v, std::uint32_t flags = 0) {
  setStringByName(in, name, v, flags);
}

void runStateAndSwitches(Interp& in) {
  Settings& s = in.set;
  bindBoolean(in, "SYMBOLINFIN", &s.symbolInfin, 0);
  bindBoolean(in, "BATCHMODE", &s.batchMode, 0);
  bindBoolean(in, "VERBOSE", &s.verbose, 0);
  bindBoolean(in, "TERMFILE", &s.termFile, 0);
  bindBoolean(in, "READSTARTFILE", &s.readStartFile, 0);
  bindBoolean(in, "WRITESTARTFILE", &s.writeStartFile, 0);
  bindBoolean(in, "PARSE_ONLY", &s.parseOnly, 0);
  bindInteger(in, "DEBUG", &s.debug, 0);
  bindBoolean(in, "DEBUG_SYM", &s.debugSym, 0);
  bindBoolean(in, "DEBUG_EXEC", &s.debugExec, 0);
  bindBoolean(in, "DEBUG_ECHO", &s.debugEcho, 0);
  bindBoolean(in, "DEBUG_PARSE", &s.debugParse, 0);
  bindBoolean(in, "DEBUG_DATA", &s.debugData, 0);
  bindBoolean(in, "DEBUG_INT", &s.debugInt, 0);
  bindBoolean(in, "DEBUG_LIK", &s.debugLik, 0);
  bindInteger(in, "D_IDX", &s.dIdx, 0);
  Dims one;
  one.lo = {1};
  one.hi = {1};
  Symbol* profile = declareStatic(in, "PROFILE", ValueType::Real, &one, 0);
  setReal(in, *profile, 1, 0);
  bindInteger(in, "PROFILE_INDEX", &s.profileIndex, 0);
  bindReal(in, "PROFILE_TIME", &s.profileTime, 0);
  s.maxChildren = processorCount();
  bindInteger(in, "MAX_CHILDREN", &s.maxChildren, 0);
  bindInteger(in, "WAIT_ON_CHILD", &s.waitOnChild, 0);
}

void identityAndSystem(Interp& in) {
  str(in, "PROGRAM_NAME", "zav", kC);
  integer(in, "VERSION", 2, kC);
  integer(in, "RELEASE", 2, kC);
  integer(in, "REVISION", 17, kC);
  str(in, "COPYRIGHT", "(c) 2026 zav developers", kC);
  str(in, "SYSTEM", in.os.systemName, kC);
  str(in, "OSSEP", in.os.separator, kC);
  str(in, "OSVERSION", std::to_string(in.os.version), kC);
  str(in, "GNUPLOT", in.os.gnuplot);
  integer(in, "MAX_CHARS", 2147483647, kC);
  integer(in, "MAX_BOOLEANS", 2147483647, kC);
  integer(in, "MAX_INTEGERS", 65535, kC);
  integer(in, "MAX_REALS", 65535, kC);
  integer(in, "MAX_STRINGS", 65535, kC);
}

void filesAndNames(Interp& in) {
  Settings& s = in.set;
  // ZAVFILE is left out on purpose: the driver prompts for a program exactly
  // when that symbol does not exist.
  str(in, "ZAVFILEBASE", "");
  str(in, "OUTFILENAME", "");
  str(in, "DATAFILENAME", "");
  str(in, "PLOTFILENAME", "");
  bindFile(in, "FDATA", &s.fData, 0);
  s.fInput.name = "stdin";
  s.fInput.mode = FileMode::Read;
  s.fInput.handle = stdin;
  s.fInput.ownsHandle = false;
  bindFile(in, "FINPUT", &s.fInput, kC);
  s.fOutput.name = "stdout";
  s.fOutput.mode = FileMode::Write;
  s.fOutput.handle = stdout;
  s.fOutput.ownsHandle = false;
  bindFile(in, "FOUTPUT", &s.fOutput, kC);
  bindFile(in, "FOUTFILE", &s.fOutFile, 0);
  bindFile(in, "FPLOT", &s.fPlot, 0);
  bindFile(in, "FPLOTDATA", &s.fPlotData, 0);
  str(in, "DATADELIMITERS", ", \t");
  bindString(in, "READDELIMITERS", &s.readDelimiters, 0);
  bindString(in, "WRITEDELIMITER", &s.writeDelimiter, 0);
  integer(in, "INPUT_SKIP", 0);
  str(in, "TITLE", "");
}

void dataResults(Interp& in) {
  Settings& s = in.set;
  bindInteger(in, "LINE_NUMB", &s.lineNumb, 0);
  bindInteger(in, "N_OBS", &s.nObs, 0);
  bindInteger(in, "DROPPED_OBS", &s.droppedObs, 0);
  bindInteger(in, "TOTAL_OBS", &s.totalObs, 0);
  bindInteger(in, "N_VARS", &s.nVars, 0);
  bindInteger(in, "CREATE_OBS", &s.createObs, 0);
}

void optimisation(Interp& in) {
  Settings& s = in.set;
  str(in, "METHOD", "DIRECT");
  boolean(in, "METHOD_LOOP", false);
  bindInteger(in, "MAXITER", &s.maxIter, 0);
  bindInteger(in, "MAXTIME", &s.maxTime, 0);
  bindInteger(in, "MAXEVALS", &s.maxEvals, 0);
  bindInteger(in, "MINIMUM_ITS", &s.minimumIts, 0);
  bindReal(in, "EPSILON", &s.epsilon, 0);
  bindInteger(in, "ITERATION_PRINT", &s.iterationPrint, 0);
  bindReal(in, "DIFF_DX", &s.diffDx, 0);
  bindInteger(in, "BRENT_ITS", &s.brentIts, 0);
  bindReal(in, "BRENT_MAGIC", &s.brentMagic, 0);
  bindReal(in, "LARGE_ZERO", &s.largeZero, 0);
  bindReal(in, "SA_COOLING", &s.saCooling, 0);
  bindInteger(in, "SA_ADJ_CYCLES", &s.saAdjCycles, 0);
  bindInteger(in, "SA_STEPS", &s.saSteps, 0);
  bindReal(in, "SA_TEMPERATURE", &s.saTemperature, 0);
  bindInteger(in, "SA_EPS_NUMBER", &s.saEpsNumber, 0);
  bindReal(in, "SA_STEPLENGTH", &s.saStepLength, 0);
  bindReal(in, "SA_STEPLENGTH_ADJ", &s.saStepLengthAdj, 0);
  bindReal(in, "SA_ADJ_LOWERBOUND", &s.saAdjLowerBound, 0);
  bindBoolean(in, "SA_ALT_ADJUSTMENT", &s.saAltAdjustment, 0);
  bindReal(in, "SIMPLEX_ALPHA", &s.simplexAlpha, 0);
  bindReal(in, "SIMPLEX_BETA", &s.simplexBeta, 0);
  bindReal(in, "SIMPLEX_GAMMA", &s.simplexGamma, 0);
  bindReal(in, "DX_START", &s.dxStart, 0);
  bindInteger(in, "DX_MAXITS", &s.dxMaxIts, 0);
  bindReal(in, "DX_TOOBIG", &s.dxTooBig, 0);
  bindReal(in, "DX_TOOSMALL", &s.dxTooSmall, 0);
  boolean(in, "INFO_METHOD1", true);
  boolean(in, "INFO_METHOD2", false);
  // INFINITY is e^LNINFINITY, so these are the largest number halved.
  real(in, "HIGH_DEFAULT", s.infinity / 2);
  real(in, "LOW_DEFAULT", -s.infinity / 2);
  real(in, "START_DEFAULT", 0);
  real(in, "TEST_DEFAULT", 0);
  bindInteger(in, "RANDOMSEED", &s.randomSeed, 0);
  // Each method name holds itself, so METHOD = NEWTON needs no quotes.
  for (std::string_view m : {"DIRECT", "POWELL", "NEWTON", "CGRADIENT1", "CGRADIENT2", "SIMPLEX", "ANNEALING"})
    str(in, m, m, kC);
}

void estimationResults(Interp& in) {
  Settings& s = in.set;
  bindReal(in, "LOGLIKELIHOOD", &s.logLikelihood, 0);
  bindInteger(in, "FREE_PARAMS", &s.freeParams, 0);
  s.deltaLL = s.infinity;
  bindReal(in, "DELTA_LL", &s.deltaLL, 0);
  bindBoolean(in, "INVERT_FLAG", &s.invertFlag, 0);
  bindInteger(in, "CONVERGE_FLAG", &s.convergeFlag, 0);
  bindInteger(in, "ITERATIONS", &s.iterations, 0);
  bindInteger(in, "EVALS", &s.evals, 0);
  bindInteger(in, "VCV_EVALS", &s.vcvEvals, 0);
  bindInteger(in, "CI_EVALS", &s.ciEvals, 0);
}

void likelihoodBounds(Interp& in) {
  Settings& s = in.set;
  s.largestLikelihood = s.infinity / 10;
  s.smallestLikelihood = std::exp(-s.lnInfinity / 10);
  s.largestLLikelihood = std::log(s.largestLikelihood);
  s.smallestLLikelihood = -s.largestLLikelihood;
  bindReal(in, "LARGEST_LIKELIHOOD", &s.largestLikelihood, 0);
  bindReal(in, "SMALLEST_LIKELIHOOD", &s.smallestLikelihood, 0);
  bindReal(in, "LARGEST_LLIKELIHOOD", &s.largestLLikelihood, 0);
  bindReal(in, "SMALLEST_LLIKELIHOOD", &s.smallestLLikelihood, 0);
}

void intervalsAndSelection(Interp& in) {
  Settings& s = in.set;
  real(in, "CI_CHISQ", 5.02389L);
  real(in, "CI_LIMIT_DELTA", s.machineEpsilon);
  real(in, "CI_CONVERGE", 0.000001L);
  integer(in, "CI_MAXITS", 30);
  bindBoolean(in, "AIC_SELECT", &s.aicSelect, 0);
  bindBoolean(in, "AICC_SELECT", &s.aiccSelect, 0);
  bindBoolean(in, "BIC_SELECT", &s.bicSelect, 0);
  bindReal(in, "IC_SAMPLE_SIZE", &s.icSampleSize, 0);
}

void printingAndPlotting(Interp& in) {
  Settings& s = in.set;
  for (std::string_view name : {"PRINT_LLIKS", "PRINT_CI", "PRINT_PARAMS", "PRINT_VCV", "PRINT_OBS", "PRINT_FIELDS",
                                "PRINT_SHORT", "PRINT_DISTS", "PLOT_DISTS", "PRINT_FREE_PARAMS"})
    boolean(in, name, false);
  for (std::string_view name : {"PRINT_SE", "PRINT_INFO", "PRINT_COUNTS", "PRINT_BASIC", "PRINT_DATA_STATS"})
    boolean(in, name, true);
  bindBoolean(in, "PRINT_REDUCED", &s.printReduced, 0);
  integer(in, "VCV_WIDTH", 5);
  integer(in, "MIN_SIGNIFICANT", 4);
  bindInteger(in, "REALWIDTH", &s.realWidth, 0);
  bindInteger(in, "REALDECIMALS", &s.realDecimals, 0);
  bindInteger(in, "COMPLEXWIDTH", &s.complexWidth, 0);
  bindInteger(in, "COMPLEXDECIMALS", &s.complexDecimals, 0);
  real(in, "DIST_T_START", 0);
  real(in, "DIST_T_END", 10);
  integer(in, "DIST_T_N", 100);
  bindReal(in, "DIST_ERR_C", &s.distErrC, 0);
  bindReal(in, "DIST_DX_SCALE", &s.distDxScale, 0);
  bindInteger(in, "PLOTPOINTS", &s.plotPoints, 0);
  integer(in, "SURFACE_POINTS", 20);
  str(in, "GNUPLOTINIT", gnuplotInitFor(in.os.systemName, in.os.systemName));
  str(in, "PLOTINIT", "");
  bindString(in, "MULTIPLOTINIT", &s.multiPlotInit, 0);
  str(in, "INTERMPLOT", "");
  bindReal(in, "MPLOTXSCALE", &s.mPlotXScale, 0);
  bindReal(in, "MPLOTYSCALE", &s.mPlotYScale, 0);
}

void numericalCalculus(Interp& in) {
  Settings& s = in.set;
  bindInteger(in, "INTEGRATE_N", &s.integrateN, 0);
  bindInteger(in, "INTEGRATE_METHOD", &s.integrateMethod, 0);
  bindReal(in, "INTEGRATE_TOL", &s.integrateTol, 0);
  bindInteger(in, "FIND_MAXITS", &s.findMaxIts, 0);
  bindReal(in, "FIND_EPS", &s.findEps, 0);
  bindReal(in, "DFTIMEO", &s.dfTimeO, 0);
  bindReal(in, "DFTIMEC", &s.dfTimeC, 0);
  integer(in, "I_SIMPSON", 0, kC);
  integer(in, "I_TRAP_CLOSED", 1, kC);
  integer(in, "I_TRAP_OPEN", 2, kC);
  integer(in, "I_AQUAD", 3, kC);
  integer(in, "I_ROMBERG", 4, kC);
}

void distributionSwitches(Interp& in) {
  Settings& s = in.set;
  bindBoolean(in, "ALT_LOGISTIC", &s.altLogistic, 0);
  bindBoolean(in, "ALT_VQUANTILE", &s.altVQuantile, 0);
  bindBoolean(in, "EXP_HAZARD", &s.expHazard, 0);
}

void mathematicalConstants(Interp& in) {
  Settings& s = in.set;
  constexpr Real pi = std::numbers::pi_v<Real>;
  real(in, "PI", pi, kC);
  real(in, "E", std::numbers::e_v<Real>, kC);
  real(in, "LOG_10", std::numbers::ln10_v<Real>, kC);
  real(in, "EULERSC", std::numbers::egamma_v<Real>, kC);
  integer(in, "MAXINT", 2147483647, kC);
  s.radiansPerDegree = pi / 180;
  s.degreesPerRadian = 180 / pi;
  s.secondsPerDay = 86400;
  bindReal(in, "RADIANSPERDEGREE", &s.radiansPerDegree, kC);
  bindReal(in, "DEGREESSPERRADIAN", &s.degreesPerRadian, kC);
  bindReal(in, "SECONDSPERDAY", &s.secondsPerDay, kC);
}

void physicalConstants(Interp& in) {
  real(in, "PLANCKSC", 6.62606876E-34L, kC);
  real(in, "PLACNKINV2PI", 1.054571596E-34L, kC);
  real(in, "AVOGADROSN", 6.02214199E23L, kC);
  real(in, "ATOMICMASSU", 1.66053873E-27L, kC);
  real(in, "BOHRMAGNETON", 9.27400899E-24L, kC);
  real(in, "BOHRRADIUS", 5.291772083E-11L, kC);
  real(in, "BOLTZMANNSC", 1.3806503E-23L, kC);
  real(in, "RYDBERGC", 10973731.568549L, kC);
  real(in, "LIGHTC", 299792458.0L, kC);
  real(in, "UNIVERSALGASC", 8.314472L, kC);
  real(in, "GRAVITATIONALC", 6.673E-11L, kC);
}

void machineConstants(Interp& in) {
  Settings& s = in.set;
  bindReal(in, "MACHINE_EPSILON", &s.machineEpsilon, kC);
  bindReal(in, "SQRT_EPSILON", &s.sqrtEpsilon, kC);
  bindReal(in, "SMALLEST_NUMBER", &s.smallestNumber, kC);
  bindReal(in, "LNINFINITY", &s.lnInfinity, 0);
  // Two names for one value: both share the one field.
  bindReal(in, "INFINITY", &s.infinity, 0);
  bindReal(in, "oo", &s.infinity, kC);
  bindReal(in, "NEGINFINITY", &s.negInfinity, 0);
  bindReal(in, "NAN", &s.nan, 0);
}

}  // namespace

std::string gnuplotInitFor(std::string_view system, std::string_view ownSystem) {
  constexpr std::string_view kTail = "reset; set data style lines; set autoscale; set nokey";
  if (system == "Win32" || system == "DOS" || system == "Windows" || system == "OS2")
    return "set terminal windows; " + std::string(kTail);
  if (system == "Apollo") return "set terminal apollo; " + std::string(kTail);
  if (system == "Macintosh") return "set terminal macintosh; " + std::string(kTail);
  // On the system we run on, gnuplot 5 refuses "set data style" and is not
  // always built with x11, so no terminal is named and the current syntax
  // is used; gnuplot's own default terminal applies.
  if (system == ownSystem) return "reset; set style data lines; set autoscale; set nokey";
  return "set terminal x11; " + std::string(kTail);
}

void createPredefined(Interp& in) {
  if (in.os.systemName.empty()) initOs(in.os);
  // The defaults below that derive from the machine constants need them now.
  initMachineConstants(in.set);
  in.drv.quiet = false;
  in.drv.includePath.clear();

  runStateAndSwitches(in);
  identityAndSystem(in);
  filesAndNames(in);
  dataResults(in);
  optimisation(in);
  estimationResults(in);
  likelihoodBounds(in);
  intervalsAndSelection(in);
  printingAndPlotting(in);
  numericalCalculus(in);
  distributionSwitches(in);
  mathematicalConstants(in);
  physicalConstants(in);
  machineConstants(in);
  // The literals TRUE and FALSE refer to these two symbols, so a program
  // must not be able to change them.
  boolean(in, "TRUE", true, kConst);
  boolean(in, "FALSE", false, kConst);
}

}  // namespace zav
