// What a solved run prints: the estimates table, the table with standard
// errors and t statistics, the per-observation likelihood table with the
// information criteria, and the model selection over a model's runs.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "estimate/estimate.h"
#include "exec/procs.h"
#include "funcs/numtext.h"
#include "parse/forms.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

void out(Interp& in, const std::string& text) {
  putText(in, in.set.fOutFile, text);
  if (in.set.fOutFile.handle) std::fflush(in.set.fOutFile.handle);
}

std::string rt(const Interp& in, Real x, int w, int d) { return realToText(in.set, x, w, d); }

Real realOf(const Symbol& s) { return *static_cast<const Real*>(elementBlock(s)); }

std::string padLeft(const std::string& t, std::size_t w) {
  return t.size() < w ? std::string(w - t.size(), ' ') + t : t;
}

// Whole numbers (counts of observations) print without decimals.
std::string count(const Interp& in, Real n) {
  if (n == std::trunc(n) && std::fabs(n) < 1e15L) return std::to_string(static_cast<long long>(n));
  return rt(in, n, 0, 4);
}

// The short line that PRINT_SHORT puts before each table.
void shortLine(Interp& in, const std::vector<Real>& values, int digits) {
  if (!getBooleanByName(in, "PRINT_SHORT")) return;
  std::string line = rt(in, -in.set.logLikelihood, 15, 6) + " " + std::to_string(in.set.iterations) + " " +
                     std::to_string(in.set.evals);
  for (Real v : values) {
    line += ' ';
    line += rt(in, v, 14, digits);
  }
  out(in, line + "\n");
}

std::string tableHead(const Interp& in, const std::string& title, const char* header) {
  const int n = in.set.freeParams;
  return "\n" + title + "\nSolution with " + std::to_string(n) + " free parameter" + (n > 1 ? "s" : "") + "\n" +
         header + "\n";
}

// The hazard multiplier has no name of its own in the program: it shows
// under the keyword of the clause that made it.
std::string paramName(const ModelParam& p) {
  return p.form == static_cast<int>(ParamForm::HazardMultiplier) ? "HAZARD" : p.symbol->name;
}

std::string rowStart(const Interp& in, const ModelParam& p, int digits) {
  return padLeft(paramName(p), 13) + " " + formLabel(p.form) + " " + rt(in, realOf(*p.symbol), 14, digits);
}

// A number in a column of `width` that another number may touch: a blank,
// then the number in one character less, so the digits never run together.
std::string column(const Interp& in, Real x, int width, int decimals) {
  std::string text(1, ' ');
  text += rt(in, x, width - 1, decimals);
  return text;
}

// Rows of every model parameter: free ones with `tail(k)` after the
// estimate, the others (with PRINT_REDUCED) marked as reduced.
template <class Tail>
void paramRows(Interp& in, const Model& m, int digits, Tail&& tail) {
  const RunWork& w = in.models.work;
  for (const auto& p : m.params) {
    std::size_t k = 0;
    while (k < w.free.size() && w.free[k] != p.get()) ++k;
    if (k < w.free.size()) out(in, rowStart(in, *p, digits) + tail(k) + "\n");
    else if (in.set.printReduced) out(in, rowStart(in, *p, digits) + "  Reduced \n");
  }
}

std::vector<Real> freeValues(Interp& in) {
  std::vector<Real> v;
  for (std::size_t k = 0; k < in.models.work.free.size(); ++k) v.push_back(paramValue(in, k));
  return v;
}

// The value parameter p was held at in run r: the value of its reduction,
// which is a constant, its TEST value, a program variable, or another
// parameter (that one's estimate in the run, or its own held value).
Real heldValue(const Model& m, const ModelRun& r, const ModelParam* p, int depth = 0) {
  for (const auto& [param, value] : r.reductions) {
    if (param != p) continue;
    for (const auto& q : m.params) {
      if (q->symbol != value) continue;
      for (const RunParamVars& v : r.vars)
        if (v.param == q.get()) return realOf(*v.est);
      if (depth < 8 && q->state != ParamState::Constant) return heldValue(m, r, q.get(), depth + 1);
    }
    return realOf(*value);
  }
  return realOf(*p->test);
}

Real sampleSize(const Interp& in, Real fallback) { return in.set.icSampleSize > 0 ? in.set.icSampleSize : fallback; }

}  // namespace

std::string formLabel(int form) {
  std::string label(form == static_cast<int>(ParamForm::NUMBER) ? "" : paramFormName(form));
  label.resize(8, ' ');
  return label;
}

void printFreeParamsTable(Interp& in) {
  const RunWork& w = in.models.work;
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  std::string text = "\nFree parameters: " + std::to_string(w.free.size()) + "\n" + "         Name Form" +
                     padLeft("Start", 19) + padLeft("Low", 17) + padLeft("High", 17) + "\n";
  for (std::size_t k = 0; k < w.free.size(); ++k) {
    const ModelParam& p = *w.free[k];
    text += padLeft(paramName(p), 13);
    text += ' ';
    text += formLabel(p.form);
    text += ' ';
    text += rt(in, w.start[k], 14, digits);
    for (const Real v : {w.low[k], w.high[k]}) {
      text += "   ";
      text += rt(in, v, 14, digits);
    }
    text += '\n';
  }
  out(in, text);
}

void printEstimatesTable(Interp& in, const Model& m) {
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  shortLine(in, freeValues(in), digits);
  out(in, tableHead(in, "Results.  (" + std::to_string(in.set.evals) + " evals)",
                    "         Name Form       Estimate"));
  paramRows(in, m, digits, [](std::size_t) { return std::string(); });
}

void printSETable(Interp& in, const Model& m) {
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  std::vector<Real> se(n, 0);
  for (std::size_t k = 0; k < n; ++k)
    if (in.set.invertFlag) se[k] = std::sqrt(w.matrix[k * n + k]);
  shortLine(in, se, digits);
  out(in, tableHead(in, "Results with estimated standard errors.  (" + std::to_string(in.set.vcvEvals) + " evals)",
                    "         Name Form       Estimate         Std Error          t        against"));
  paramRows(in, m, digits, [&](std::size_t k) {
    const Symbol& testSym = *w.free[k]->test;
    if (!elementBlock(testSym)) ReportError(in, ErrCat::RunTime, "Variable " + testSym.name + " is not defined here");
    const Real test = realOf(testSym);
    Real t;
    if (se[k] == 0) t = in.set.infinity;
    else if (std::isinf(se[k]) || se[k] >= in.set.infinity) t = 0;
    else t = (paramValue(in, k) - test) / se[k];
    return "   " + rt(in, se[k], 14, digits) + "    " + rt(in, t, 13, digits) + " " + rt(in, test, 0, 5);
  });
}

void printCITable(Interp& in, const Model& m) {
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  const RunWork& w = in.models.work;
  std::vector<Real> limits;
  for (const ModelParam* p : w.free) {
    limits.push_back(realOf(*p->lciSym));
    limits.push_back(realOf(*p->uciSym));
  }
  shortLine(in, limits, digits);
  out(in, tableHead(in, "Likelihood CI Results:  (" + std::to_string(in.set.ciEvals) + " evals)",
                    "         Name Form       Estimate          Lower CI          Upper CI"));
  paramRows(in, m, digits, [&](std::size_t k) {
    return "   " + rt(in, limits[2 * k], 14, digits) + "    " + rt(in, limits[2 * k + 1], 14, digits);
  });
}

void printObservationTable(Interp& in) {
  enableObsRecord(in, true);
  const Real ll = -objective(in);
  const ObsRecord& rec = in.models.record;
  std::string text = "    i Freq  ilik         Ln(lik)      Entropy\n";
  Real freqSum = 0, entropySum = 0;
  for (std::size_t i = 0; i < rec.term.size(); ++i) {
    const Real t = rec.term[i], w = rec.freq[i];
    Real lik, ln;
    if (t >= 0) {
      lik = t;
      ln = t == 0 ? in.set.negInfinity : std::log(t);
    } else {
      ln = t;
      lik = std::exp(t);
    }
    const Real entropy = -lik * ln;
    char index[32];
    std::snprintf(index, sizeof index, "%5zu", i + 1);
    text += index + column(in, w, 5, 1) + column(in, lik, 12, 6) + column(in, ln, 12, 6) + column(in, entropy, 12, 6) +
            "\n";
    freqSum += w;
    entropySum += w * entropy;
  }
  enableObsRecord(in, false);
  const Real n = sampleSize(in, freqSum);
  const Real k = in.set.freeParams;
  text += "SUM Ln(lik) = " + rt(in, ll, 9, 4) + "\n";
  text += "AIC = " + rt(in, -2 * ll + 2 * k, 9, 4) + "\n";
  text += "AICC = " + rt(in, -2 * ll + 2 * k + 2 * k * (k + 1) / (n - k - 1), 9, 4) + " (" + count(in, n) + " obs)\n";
  text += "BIC = " + rt(in, -2 * ll + k * std::log(n), 9, 4) + "\n";
  if (freqSum > 0) {
    text += "Mean LN(lik)=" + rt(in, ll / freqSum, 9, 4) + "\n";
    text += "Geometric mean lik =" + rt(in, std::pow(std::exp(ll), 1 / freqSum), 9, 4) + "\n";
    text += "Mean entropy =" + rt(in, entropySum / freqSum, 9, 4) + "\n";
  }
  out(in, text);
}

void modelSelection(Interp& in, const Model& m) {
  struct Criterion {
    bool on;
    const char* name;
  };
  const Criterion criteria[] = {{in.set.aicSelect, "AIC"}, {in.set.aiccSelect, "AICC"}, {in.set.bicSelect, "BIC"}};
  if (!in.set.aicSelect && !in.set.aiccSelect && !in.set.bicSelect) return;
  const std::size_t runs = m.runs.size();
  if (runs == 0) return;
  const Real n = sampleSize(in, in.set.totalObs);
  out(in, "IC Sample size is " + count(in, n) + "\n");
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  for (const Criterion& c : criteria) {
    if (!c.on) continue;
    const std::string name = c.name;
    std::vector<Real> ll(runs), ic(runs), pr(runs);
    std::vector<int> params(runs);
    std::size_t best = 0;
    for (std::size_t r = 0; r < runs; ++r) {
      ll[r] = realOf(*m.runs[r].logLik);
      params[r] = *static_cast<const std::int32_t*>(m.runs[r].freeParams->block);
      const Real k = params[r];
      const Real aic = -2 * ll[r] + 2 * k;
      ic[r] = name == "AIC" ? aic : name == "AICC" ? aic + 2 * k * (k + 1) / (n - k - 1) : -2 * ll[r] + k * std::log(n);
      if (ic[r] < ic[best]) best = r;
    }
    // exp(-IC/2) normalised; taken relative to the best run so that large
    // criteria do not underflow every weight to 0.
    Real total = 0;
    for (std::size_t r = 0; r < runs; ++r) total += pr[r] = std::exp(-(ic[r] - ic[best]) / 2);
    for (Real& p : pr) p /= total;
    std::string text = "\n" + name + " model selection\n";
    text += "Best model is number " + std::to_string(m.runs[best].number) + " with " + name + " = " +
            rt(in, ic[best], 0, 2) + "\n";
    text += "Model        LL        " + name + "    Delta  PR(M) Odds ratio   Params\n";
    for (std::size_t r = 0; r < runs; ++r) {
      char head[16], tail[16];
      std::snprintf(head, sizeof head, "%3d", m.runs[r].number);
      std::snprintf(tail, sizeof tail, "%9d", params[r]);
      const Real delta = ic[r] - ic[best];
      text += head + column(in, ll[r], 11, 2) + column(in, ic[r], 11, 2) + column(in, delta, 8, 2) +
              column(in, pr[r], 6, 3) + column(in, std::exp(delta / 2), 10, 2) + tail + (r == best ? " *" : "") + "\n";
    }
    text += "\nBayesian Model Average estimates\n";
    text += "Param       Param Best model   Best model   BMA          BMA          Number\n";
    text += "   #         name estimate     SE           estimate     SE           averaged\n";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
      const ModelParam* p = m.params[i].get();
      if (p->state == ParamState::Constant) continue;
      Real weight = 0, sum = 0, bestEst = heldValue(m, m.runs[best], p), bestSe = 0;
      int averaged = 0;
      std::vector<std::pair<Real, Real>> fits(runs, {0, 0});
      std::vector<bool> freeIn(runs, false);
      for (std::size_t r = 0; r < runs; ++r) {
        for (const RunParamVars& v : m.runs[r].vars) {
          if (v.param != p) continue;
          freeIn[r] = true;
          fits[r] = {realOf(*v.est), realOf(*v.se)};
          weight += pr[r];
          sum += pr[r] * fits[r].first;
          ++averaged;
          if (r == best) {
            bestEst = fits[r].first;
            bestSe = fits[r].second;
          }
        }
      }
      const Real bma = sum / weight;
      Real bmaSe = 0;
      for (std::size_t r = 0; r < runs; ++r)
        if (freeIn[r]) {
          const Real dev = fits[r].first - bma;
          bmaSe += pr[r] / weight * std::sqrt(dev * dev + fits[r].second * fits[r].second);
        }
      char head[48], tail[16];
      std::snprintf(head, sizeof head, "%5zu%12s", i + 1, paramName(*p).c_str());
      std::snprintf(tail, sizeof tail, "%9d", averaged);
      text += head;
      for (Real v : {bestEst, bestSe, bma, bmaSe}) {
        text += ' ';
        text += rt(in, v, 12, digits);
      }
      text += std::string(tail) + "\n";
    }
    out(in, text);
  }
}

}  // namespace zav
