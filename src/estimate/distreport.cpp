// The distributions a fit implies: for every PDF term of the likelihood, its
// survival, density and hazard over a grid of times with the data variables
// at their means and the parameters at their estimates, each with a
// delta-method standard error; printed as a table and plotted for gnuplot.
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "dists/pdfeval.h"
#include "estimate/estimate.h"
#include "exec/fileio.h"
#include "exec/plot.h"
#include "exec/procs.h"
#include "funcs/intrinsics.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// One grid point: t, then S, SE[S], f, SE[f], h, SE[h].
using Row = std::array<Real, 7>;

std::string rt(const Interp& in, Real x, int w, int d) { return realToText(in.set, x, w, d); }

std::string padLeft(const std::string& t, std::size_t w) {
  return t.size() < w ? std::string(w - t.size(), ' ') + t : t;
}

// The PDF terms in the order the likelihood is written; the statement
// blocks of the assignment forms hold no terms of the likelihood. Terms
// without a density (the indicators of a mixture, the bivariate normal)
// have no distribution to show.
void collectPdfs(const ExprNode* n, std::vector<const ExprNode*>& out) {
  if (!n) return;
  if (n->kind == NodeKind::Pdf && pdfHasDensity(n->index)) out.push_back(n);
  for (const ExprNode* c : n->children) collectPdfs(c, out);
}

struct Grid {
  Real start, end;
  std::int32_t count;
  Real errC, dxScale;
};

// A setting's value as the heading shows it: the shortest form that keeps
// ten significant digits ("0", "2.5", "1.96").
std::string settingText(const Interp& in, Real x) {
  if (!std::isfinite(x)) return rt(in, x, 0, 4);
  char text[48];
  std::snprintf(text, sizeof text, "%.10Lg", x);
  return text;
}

std::string settingsText(const Interp& in, const Grid& g) {
  return "DIST_T_START=" + settingText(in, g.start) + " DIST_T_END=" + settingText(in, g.end) +
         " DIST_T_N=" + std::to_string(g.count) + " DIST_ERR_C=" + settingText(in, g.errC);
}

// The rows of one PDF term. The data variables read their MEAN element
// while the term is evaluated; D_IDX is put back afterwards.
std::vector<Row> distributionRows(Interp& in, const ExprNode* pdf, const Grid& g) {
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  const bool inverted = in.set.invertFlag && w.matrix.size() == n * n;
  std::vector<Real> step(n, 0);
  for (std::size_t k = 0; k < n && inverted; ++k) {
    const Real v = w.matrix[k * n + k];
    if (v > 0 && !std::isinf(v)) step[k] = g.dxScale * std::sqrt(v);
  }
  struct Means {
    Interp& in;
    std::int32_t savedIdx;
    ~Means() {
      in.set.dIdx = savedIdx;
      in.drv.dataSummaries = false;
    }
  } means{in, in.set.dIdx};
  in.set.dIdx = in.set.nObs + 3;
  in.drv.dataSummaries = true;
  std::vector<Row> rows;
  std::vector<std::array<Real, 3>> grad(n);
  for (std::int32_t i = 0; i < g.count; ++i) {
    // A one-point grid sits at its start.
    const Real t = g.count > 1 ? g.start + static_cast<Real>(i) * (g.end - g.start) / (g.count - 1) : g.start;
    std::array<Real, 3> v{};
    pdfNodeFunctions(in, pdf, t, v[0], v[1], v[2]);
    Row row{t, v[0], in.set.infinity, v[1], in.set.infinity, v[2], in.set.infinity};
    if (inverted) {
      for (std::size_t k = 0; k < n; ++k) {
        grad[k] = {0, 0, 0};
        if (step[k] == 0) continue;
        Real& x = paramValue(in, k);
        const Real saved = x;
        x = saved + step[k];
        std::array<Real, 3> s{};
        pdfNodeFunctions(in, pdf, t, s[0], s[1], s[2]);
        x = saved;
        for (std::size_t f = 0; f < 3; ++f) grad[k][f] = (s[f] - v[f]) / step[k];
      }
      for (std::size_t f = 0; f < 3; ++f) {
        Real var = 0;
        for (std::size_t a = 0; a < n; ++a)
          for (std::size_t b = 0; b < n; ++b) var += grad[a][f] * w.matrix[a * n + b] * grad[b][f];
        row[2 + 2 * f] = g.errC * std::sqrt(var > 0 ? var : 0);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

void printTable(Interp& in, const std::string& name, const Grid& g, const std::vector<Row>& rows) {
  const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
  std::string text = "\n" + name + " distributions at mean covariate values\n" + settingsText(in, g) + "\n";
  text += padLeft("t", 8) + "\t" + padLeft("S(t)", 10) + padLeft("SE[S(t)]", 10) + "\t" + padLeft("f(t)", 10) +
          padLeft("SE[f(t)]", 10) + "\t" + padLeft("h(t)", 10) + padLeft("SE[h(t)]", 10) + "\n";
  for (const Row& r : rows) {
    text += rt(in, r[0], 8, 3);
    for (std::size_t f = 0; f < 3; ++f) {
      text += '\t';
      text += rt(in, r[1 + 2 * f], 10, digits);
      // The error stands next to its value: a blank and one column less.
      text += ' ';
      text += rt(in, r[2 + 2 * f], 9, digits);
    }
    text += '\n';
  }
  putText(in, in.set.fOutFile, text);
  if (in.set.fOutFile.handle) std::fflush(in.set.fOutFile.handle);
}

void plotDistributions(Interp& in, const std::string& name, const Grid& g, const std::vector<Row>& rows) {
  const std::string dataName = nextPlotDataName(in);
  TextFile& data = in.set.fPlotData;
  fileOperation(in, data, FileOp::Write, dataName, true);
  std::string line;
  for (const Row& r : rows) {
    line.clear();
    for (std::size_t c = 0; c < r.size(); ++c) {
      if (c > 0) line += ' ';
      line += rt(in, r[c], in.set.realWidth, in.set.realDecimals);
    }
    line += '\n';
    putText(in, data, line);
  }
  fileOperation(in, data, FileOp::Close, data.name, true);

  const Symbol* init = lookup(in, "PLOTINIT");
  std::string text = (init && init->type == ValueType::String ? getString(in, *init, 1) : std::string()) + "\n";
  text += "# " + name + " distributions at mean covariate values " + settingsText(in, g) + "\n";
  struct Panel {
    const char* title;
    const char* rest;
  };
  const Panel panels[] = {
      {"Survival Function", " using 1:2:3 with errorbars, \"\" using 1:2 notitle with lines"},
      {"Probability Density Function", " using 1:4:5 with errorbars, \"\" using 1:4 notitle with lines"},
      {"Hazard Function", " using 1:6:7 title \"HF\" with errorbars, \"\" using 1:6 notitle with lines"},
  };
  for (const Panel& p : panels)
    text += std::string("set title \"") + p.title + "\"\nplot " + gnuplotQuoted(dataName) + p.rest + "\npause -1\n";
  putText(in, in.set.fPlot, text);
}

}  // namespace

void reportDistributions(Interp& in, const Model& m) {
  const bool print = getBooleanByName(in, "PRINT_DISTS");
  const bool plot = getBooleanByName(in, "PLOT_DISTS") && in.set.fPlot.handle;
  if (!print && !plot) return;
  const Grid g{getRealByName(in, "DIST_T_START"), getRealByName(in, "DIST_T_END"),
               getIntegerByName(in, "DIST_T_N"), in.set.distErrC, in.set.distDxScale};
  std::vector<const ExprNode*> pdfs;
  collectPdfs(m.likelihood.get(), pdfs);
  for (const ExprNode* pdf : pdfs) {
    const std::vector<Row> rows = distributionRows(in, pdf, g);
    const std::string name = pdfNameOf(pdf->index);
    if (print) printTable(in, name, g, rows);
    if (plot) plotDistributions(in, name, g, rows);
  }
}

}  // namespace zav
