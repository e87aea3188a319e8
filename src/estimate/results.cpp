// The results file of --results=FILE: each solved run appended as CSV rows
// (one per parameter) or as one JSON object per line, flushed at once so that
// a run killed later leaves every finished run readable.
#include <cmath>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "estimate/estimate.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// 17 significant digits round-trip a double; non-finite values take the
// spelling each format's readers know.
std::string number(Real x, bool json) {
  if (std::isnan(x)) return json ? "null" : "NaN";
  if (std::isinf(x)) return json ? "null" : x > 0 ? "Inf" : "-Inf";
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.17Lg", x);
  return buf;
}

std::string jsonString(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      q += esc;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

// A CSV field in quotes when it holds a separator, a quote or a line end.
std::string csvText(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

Real cell(const Symbol* s) { return *static_cast<const Real*>(elementBlock(*s)); }

struct ParamRow {
  std::string name;
  Real estimate, se, lci, uci;
  bool held;
};

struct RunSummary {
  Real logLik, aic, aicc, bic, observations;
  int freeParams, evals, converge;
};

}  // namespace

bool resultsFileNameValid(const std::string& name) { return endsWith(name, ".csv") || endsWith(name, ".json"); }

void appendResults(Interp& in, const Model& m, const ModelRun& r, const std::vector<Real>& se) {
  const std::string& name = in.opts.resultsFile;
  if (name.empty()) return;
  const Settings& s = in.set;
  const RunWork& w = in.models.work;
  const bool json = endsWith(name, ".json");
  const bool intervals = getBooleanByName(in, "PRINT_CI");
  const Real nan = std::nanl("");

  std::vector<ParamRow> rows;
  for (const auto& p : m.params) {
    if (p->state == ParamState::Free) {
      std::size_t k = 0;
      while (k < w.free.size() && w.free[k] != p.get()) ++k;
      rows.push_back({p->symbol->name, cell(p->symbol), s.invertFlag && k < se.size() ? se[k] : nan,
                      intervals ? cell(p->lciSym) : nan, intervals ? cell(p->uciSym) : nan, false});
    } else if (p->state == ParamState::Reduced) {
      rows.push_back({p->symbol->name, cell(p->symbol), nan, nan, nan, true});
    }
  }
  RunSummary sum{};
  sum.logLik = -s.logLikelihood;
  sum.freeParams = s.freeParams;
  sum.observations = s.icSampleSize > 0 ? s.icSampleSize : static_cast<Real>(s.totalObs);
  const Real k = sum.freeParams, n = sum.observations;
  sum.aic = -2 * sum.logLik + 2 * k;
  sum.aicc = sum.aic + 2 * k * (k + 1) / (n - k - 1);
  sum.bic = -2 * sum.logLik + k * std::log(n);
  sum.evals = s.evals;
  sum.converge = s.convergeFlag;

  std::FILE* f = std::fopen(name.c_str(), "a");
  if (!f) ReportError(in, ErrCat::RunTime, "opening results file " + name);
  std::string text;
  if (json) {
    text = "{\"model\":" + std::to_string(m.number) + ",\"run\":" + std::to_string(r.number) +
           ",\"loglik\":" + number(sum.logLik, true) + ",\"aic\":" + number(sum.aic, true) +
           ",\"aicc\":" + number(sum.aicc, true) + ",\"bic\":" + number(sum.bic, true) +
           ",\"free_params\":" + std::to_string(sum.freeParams) + ",\"observations\":" + number(n, true) +
           ",\"evals\":" + std::to_string(sum.evals) + ",\"converge\":" + std::to_string(sum.converge) +
           ",\"reason\":" + jsonString(reasonText(sum.converge)) + ",\"parameters\":[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const ParamRow& p = rows[i];
      if (i) text += ',';
      text += "{\"name\":" + jsonString(p.name) + ",\"estimate\":" +
              number(p.estimate, true) + ",\"se\":" + number(p.se, true) + ",\"lci\":" + number(p.lci, true) +
              ",\"uci\":" + number(p.uci, true) + ",\"held\":" + (p.held ? "true" : "false") + "}";
    }
    text += "]";
    if (s.invertFlag) {
      const std::size_t nf = w.free.size();
      text += ",\"vcv\":[";
      for (std::size_t i = 0; i < nf; ++i) {
        text += i ? ",[" : "[";
        for (std::size_t j = 0; j < nf; ++j) {
          if (j) text += ',';
          text += number(w.matrix[i * nf + j], true);
        }
        text += "]";
      }
      text += "]";
    }
    text += "}\n";
  } else {
    if (std::ftell(f) == 0)
      text = "model,run,parameter,estimate,se,lci,uci,held,loglik,aic,aicc,bic,free_params,observations,evals,"
             "converge,reason\n";
    const std::string tail = number(sum.logLik, false) + "," + number(sum.aic, false) + "," +
                             number(sum.aicc, false) + "," + number(sum.bic, false) + "," +
                             std::to_string(sum.freeParams) + "," + number(n, false) + "," +
                             std::to_string(sum.evals) + "," + std::to_string(sum.converge) + "," +
                             csvText(reasonText(sum.converge)) + "\n";
    for (const ParamRow& p : rows)
      text += std::to_string(m.number) + "," + std::to_string(r.number) + "," + csvText(p.name) + "," +
              number(p.estimate, false) + "," + number(p.se, false) + "," + number(p.lci, false) + "," +
              number(p.uci, false) + "," + (p.held ? "1" : "0") + "," + tail;
  }
  const bool ok = std::fputs(text.c_str(), f) >= 0 && std::fflush(f) == 0;
  if (std::fclose(f) != 0 || !ok) ReportError(in, ErrCat::RunTime, "writing results file " + name);
}

}  // namespace zav
