// The MODEL statement at run time: each run's reductions, the maximiser that
// METHOD names (or a sequence METHOD1, METHOD2, ...), the stop rules and
// progress lines they share, the method header and summary, and what follows
// a solve: standard errors, the reports, THEN blocks and model variables.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "dists/densities.h"
#include "dists/pdfcatalog.h"
#include "estimate/estimate.h"
#include "estimate/model.h"
#include "exec/exec.h"
#include "exec/procs.h"
#include "funcs/eval.h"
#include "funcs/numtext.h"
#include "parse/node.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr const char* kReasons[] = {"Not done",
                                    "Stopped after maximum function evaluations",
                                    "Stopped after maximum number of iterations",
                                    "Stopped after maximum time",
                                    "Stopped by termination file",
                                    "Converged normally",
                                    "Trouble converging in one dimension",
                                    "Starting value is not within min and max bounds",
                                    "Starting temperature is not positive",
                                    "Did not converge"};

void out(Interp& in, const std::string& text) {
  putText(in, in.set.fOutFile, text);
  if (in.set.fOutFile.handle) std::fflush(in.set.fOutFile.handle);
}

std::string rt(const Interp& in, Real x, int w, int d) { return realToText(in.set, x, w, d); }

Real secondsOfDay(const DateTime& t) {
  return t.hour * 3600.0L + t.minute * 60.0L + t.second + t.hundredths / 100.0L;
}

Real elapsedSeconds(const Interp& in) {
  const DateTime t = now();
  const RunWork& w = in.models.work;
  return static_cast<Real>(t.julianDay - w.startJulian) * 86400 + secondsOfDay(t) - w.startSeconds;
}

std::string clockTime(Real seconds) {
  const long total = seconds > 0 ? static_cast<long>(seconds) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  return text;
}

// Undoes what a MODEL statement changed, also when a run ends in an error:
// a reduced parameter must never be left bound to another symbol's storage.
class ModelScope {
 public:
  ModelScope(Interp& in, Model& m) : in_(in), m_(m), outer_(in.models.running), outerRunning_(in.modelRunning) {
    in.models.running = &m;
    in.modelRunning = true;
    ++in.models.runSerial;
    undoRuns(in, m);
  }
  ~ModelScope() {
    undoRuns(in_, m_);
    in_.models.running = outer_;
    in_.modelRunning = outerRunning_;
    in_.models.record.enabled = false;
  }
  ModelScope(const ModelScope&) = delete;
  ModelScope& operator=(const ModelScope&) = delete;

 private:
  Interp& in_;
  Model& m_;
  Model* outer_;
  bool outerRunning_;
};

void methodHeader(Interp& in, const std::string& method) {
  const Settings& s = in.set;
  std::string text = "\nMETHOD = " + method + "  MAXITER = " + std::to_string(s.maxIter) +
                     "  MAXEVALS = " + std::to_string(s.maxEvals) + "\n";
  text += s.maxTime > 0 ? " MAXTIME = " + std::to_string(s.maxTime) + "\n" : "\n";
  text += "Convergence at EPSILON = " + rt(in, s.epsilon, 12, 1) + "\n";
  out(in, text);
}

void methodSummary(Interp& in) {
  const Settings& s = in.set;
  const Real ll = -s.logLikelihood;
  std::string text = "LogLikelihood: " + rt(in, ll, 9, 3) + " AIC: " + rt(in, -2 * ll + 2 * s.freeParams, 9, 3) +
                     " Del(LL): " + rt(in, s.deltaLL, 12, 1) + "\n";
  text += "Iterations: " + std::to_string(s.iterations) + " Function evals: " + std::to_string(s.evals) +
          " Time: " + clockTime(elapsedSeconds(in)) + "\n";
  const int reason = s.convergeFlag >= 0 && s.convergeFlag <= 9 ? s.convergeFlag : 0;
  text += std::string(kReasons[reason]) + "\n";
  out(in, text);
}

// Step k of the method sequence: METHODk and its limits, when they exist.
// Returns false when the sequence has ended.
bool methodStep(Interp& in, int& k) {
  const std::string step = std::to_string(k);
  const Symbol* method = lookup(in, "METHOD" + step);
  if (!method) {
    if (k == 1) return true;
    if (getBooleanByName(in, "METHOD_LOOP") && lookup(in, "METHOD1")) {
      k = 1;
      return methodStep(in, k);
    }
    return false;
  }
  setStringByName(in, "METHOD", getStringByName(in, "METHOD" + step), 0);
  if (lookup(in, "MAXITER" + step)) in.set.maxIter = getIntegerByName(in, "MAXITER" + step);
  if (lookup(in, "MAXEVALS" + step)) in.set.maxEvals = getIntegerByName(in, "MAXEVALS" + step);
  if (lookup(in, "EPSILON" + step)) in.set.epsilon = getRealByName(in, "EPSILON" + step);
  return true;
}

int runMethod(Interp& in, const std::string& method) {
  std::string key = method.substr(0, 12);
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (key == "POWELL" || key == "DIRECT") return directSearch(in);
  if (key == "CGRADIENT1") return conjugateGradient(in, 1);
  if (key == "CGRADIENT2") return conjugateGradient(in, 2);
  if (key == "SIMPLEX") return simplexSearch(in);
  if (key == "BFGS") return bfgs(in);
  if (key == "ANNEALING") return annealing(in);
  ReportError(in, ErrCat::RunTime, "Unimplemented or unknown METHOD: " + method);
}

// Whether the current point has an impossible observation: a term at the
// floor of the guarded logarithm. The evaluation that tells is not counted.
bool flooredTerm(Interp& in) {
  const std::int32_t evals = in.set.evals;
  enableObsRecord(in, true);
  objective(in);
  in.set.evals = evals;
  const ObsRecord& r = in.models.record;
  bool floored = false;
  for (std::size_t i = 0; i < r.term.size() && !floored; ++i)
    floored = r.freq[i] > 0 && r.term[i] <= in.set.smallestLLikelihood;
  enableObsRecord(in, false);
  return floored;
}

// Names each PDF parameter of the likelihood that lies outside its catalog
// range at the current point (at the first observation): inside a model
// such a parameter makes every observation impossible.
void reportOutOfRange(Interp& in, const ExprNode* e) {
  if (!e) return;
  if (e->kind == NodeKind::Pdf) {
    const PdfInfo& info = *pdfInfo(e->index);
    Real p[kMaxPdfParams] = {};
    const ExprNode* node[kMaxPdfParams] = {};
    bool known = true;
    for (int i = 0; i < info.paramCount; ++i) {
      const auto slot = static_cast<std::size_t>(info.varCount + i);
      node[i] = slot < e->children.size() ? e->children[slot] : nullptr;
      if (!node[i]) known = false;
      else p[i] = evalReal(in, node[i]);
    }
    const int bad = known ? pdfParamOutOfRange(e->index, p) : -1;
    if (bad >= 0) {
      const auto i = static_cast<std::size_t>(bad);
      std::string what = std::string(info.paramNames[i]) + " of " + std::string(info.name);
      if (node[i]->kind == NodeKind::Param && node[i]->symbol) what = "parameter " + node[i]->symbol->name + " (" + what + ")";
      std::printf("Warning: %s = %s lies outside its range\n", what.c_str(),
                  realToText(in.set, p[i], in.set.realWidth, in.set.realDecimals).c_str());
    }
  }
  for (const ExprNode* c : e->children) reportOutOfRange(in, c);
}

// A maximiser's "converged" stands only where the objective could be
// evaluated: not at a log-likelihood that is not a number, nor on a plateau
// of impossible observations that the run never left (every trial point as
// impossible as the start, so that no step changed anything). Such a run
// ends as one whose objective cannot be evaluated.
int checkedReason(Interp& in, int reason) {
  if (reason != 5) return reason;
  const Real f = in.set.logLikelihood;
  const RunWork& w = in.models.work;
  if (std::isnan(f)) return 6;
  if (w.evaluated && f < w.firstObjective) return reason;
  if (!flooredTerm(in)) return reason;
  in.set.dIdx = 1;
  reportOutOfRange(in, in.models.running->likelihood.get());
  return 6;
}

// One information method: the matrix, the variances and the tables.
void covariance(Interp& in, const Model& m, bool second) {
  if (in.set.verbose) std::printf(second ? "Computing alternative covariance matrix\n" : "Computing covariance matrix\n");
  const std::int32_t evals = in.set.evals;
  in.set.invertFlag = false;  // SETRANSFORM must not read a matrix being built
  const bool inverted = second ? informationMethod2(in) : informationMethod1(in);
  in.set.vcvEvals = in.set.evals - evals;
  in.set.evals = evals;
  in.set.invertFlag = inverted;
  RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  for (std::size_t k = 0; k < n; ++k)
    *static_cast<Real*>(elementBlock(*w.free[k]->varSym)) = inverted ? w.matrix[k * n + k] : in.set.infinity;
  if (getBooleanByName(in, "PRINT_SE")) printSETable(in, m);
  if (getBooleanByName(in, "PRINT_VCV")) printMatrix(in, w.matrix.data(), static_cast<int>(n), inverted);
  reportDistributions(in, m);
}

void solveRun(Interp& in, Model& m, const ModelRun& r) {
  Settings& s = in.set;
  s.logLikelihood = 0;
  s.deltaLL = s.infinity;
  s.iterations = s.evals = s.vcvEvals = s.ciEvals = 0;
  s.convergeFlag = 0;
  s.invertFlag = false;
  in.models.work.evaluated = false;
  setupBoundsAndStart(in, m);
  RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  s.freeParams = static_cast<std::int32_t>(n);
  w.matrix.assign(n * n, s.infinity);
  if (s.verbose) std::printf("Free params = %zu\n", n);
  prepareRestartFile(in, m, r);
  if (getBooleanByName(in, "PRINT_FREE_PARAMS")) printFreeParamsTable(in);
  checkStartValues(in);
  const bool printInfo = getBooleanByName(in, "PRINT_INFO");
  // The parameters at the start of each pass of a METHOD_LOOP: a pass that
  // changes none of them would be repeated for ever.
  std::vector<Real> passStart(n);
  for (std::size_t i = 0; i < n; ++i) passStart[i] = paramValue(in, i);
  for (int k = 1;; ++k) {
    const int asked = k;
    if (!methodStep(in, k)) break;
    if (k < asked) {
      bool changed = false;
      for (std::size_t i = 0; i < n; ++i) {
        changed = changed || paramValue(in, i) != passStart[i];
        passStart[i] = paramValue(in, i);
      }
      if (!changed) break;
    }
    const std::string method = getStringByName(in, "METHOD");
    if (printInfo) methodHeader(in, method);
    s.convergeFlag = checkedReason(in, runMethod(in, method));
    if (printInfo) methodSummary(in);
    // MAXTIME and the termination file end the whole sequence.
    if (s.convergeFlag == 5 || s.convergeFlag == 3 || s.convergeFlag == 4) break;
  }
  if (getBooleanByName(in, "PRINT_PARAMS")) printEstimatesTable(in, m);
  if (getBooleanByName(in, "PRINT_VCV") || getBooleanByName(in, "PRINT_SE") || s.aicSelect || s.aiccSelect ||
      s.bicSelect) {
    if (getBooleanByName(in, "INFO_METHOD1")) covariance(in, m, false);
    if (getBooleanByName(in, "INFO_METHOD2")) covariance(in, m, true);
  }
  if (getBooleanByName(in, "PRINT_CI")) {
    if (s.verbose) std::printf("Computing likelihood confidence intervals\n");
    const std::int32_t evals = s.evals;
    confidenceLimits(in);
    s.ciEvals = s.evals - evals;
    s.evals = evals;
    if (in.opts.profileCi) out(in, profileLevelLine(getRealByName(in, "CI_CHISQ")));
    printCITable(in, m);
  }
  if (getBooleanByName(in, "PRINT_LLIKS")) printObservationTable(in);
  if (r.surface[0]) plotSurface(in, m, r);
  // The run's model variables are written before its THEN blocks, which
  // may read them.
  std::vector<Real> se(n, 0);
  for (std::size_t k = 0; k < n; ++k)
    if (s.invertFlag) se[k] = std::sqrt(w.matrix[k * n + k]);
  storeRunVariables(in, r, se);
  appendResults(in, m, r, se);
  execList(in, r.then);
  execList(in, m.then);
}

}  // namespace

const char* reasonText(int reason) { return kReasons[reason >= 0 && reason <= 9 ? reason : 0]; }

int stopCheck(Interp& in, int reason) {
  const Settings& s = in.set;
  if (s.iterations >= s.maxIter) reason = 2;
  else if (s.evals >= s.maxEvals) reason = 1;
  else if (s.maxTime > 0) {
    if (reason == 0 && elapsedSeconds(in) > s.maxTime) reason = 3;
  } else if (reason == 0 && s.termFile && fileExists(terminationFileName(in))) {
    reason = 4;
  }
  if (s.writeStartFile) writeRestartFile(in);
  return reason;
}

bool iterationDue(const Interp& in, int iteration) {
  if (in.set.verbose) return true;
  return in.set.iterationPrint > 0 && iteration % in.set.iterationPrint == 0;
}

void iterationTrace(Interp& in, int iteration, Real f, Real delta) {
  std::string line = std::to_string(iteration) + " (" + std::to_string(in.set.evals) + ") ll: " + rt(in, -f, 10, 2) +
                     " del: " + rt(in, delta, 10, 4) + "\n P: ";
  for (std::size_t k = 0; k < in.models.work.free.size(); ++k) {
    if (k > 0) line += ' ';
    line += rt(in, paramValue(in, k), 9, 3);
  }
  std::printf("%s\n", line.c_str());
}

void runModelStatement(Interp& in, const StmtNode& st) {
  Model& m = *static_cast<Model*>(st.record);
  ModelScope scope(in, m);
  const std::string& termFile = terminationFileName(in);
  if (in.set.verbose && in.set.termFile) std::printf("Termination file is %s\n", termFile.c_str());
  const DateTime start = now();
  in.models.work.startJulian = start.julianDay;
  in.models.work.startSeconds = secondsOfDay(start);
  for (const ModelRun& r : m.runs) {
    MonitorTask task(in, m.number, r.number);
    applyRun(in, m, r);
    if (getBooleanByName(in, "PRINT_BASIC")) {
      const std::string line = "Model " + std::to_string(m.number) + " Run " + std::to_string(r.number) + " : " +
                               getStringByName(in, "TITLE");
      out(in, "\n" + line + "\n");
      if (in.set.verbose && in.set.fOutFile.handle != stdout) std::printf("%s\n", line.c_str());
    }
    solveRun(in, m, r);
    undoRuns(in, m);
  }
  modelSelection(in, m);
}

}  // namespace zav
