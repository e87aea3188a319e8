// The variance-covariance matrix of the free parameters: an information
// matrix from numeric derivatives of the objective (outer products of the
// per-observation scores, or the Hessian by central differences), inverted
// in place by Gauss-Jordan elimination with full pivoting.
#include <algorithm>
#include <cmath>
#include <utility>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "exec/procs.h"
#include "funcs/catalog.h"
#include "funcs/numtext.h"
#include "parse/node.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// The objective with parameter k moved by dx, then put back exactly.
Real shiftedObjective(Interp& in, std::size_t k, Real dx) {
  Real& x = paramValue(in, k);
  const Real saved = x;
  x = saved + dx;
  const Real f = objective(in);
  x = saved;
  return f;
}

void dxTrace(Interp& in, std::size_t k, int count, Real dx, Real dll) {
  const Settings& s = in.set;
  std::printf("DX: param=%zu its=%d dx=%s d_llik=%s\n", k + 1, count,
              realToText(s, dx, s.realWidth, s.realDecimals).c_str(),
              realToText(s, dll, s.realWidth, s.realDecimals).c_str());
}

// A step for parameter k that changes the whole log-likelihood by an amount
// within [DX_TOOSMALL, DX_TOOBIG], turned round at a bound. `atStep` tells
// whether the last evaluation was made with the step returned.
Real stepFor(Interp& in, std::size_t k, Real f0, bool& atStep) {
  const Settings& s = in.set;
  const RunWork& w = in.models.work;
  const Real x = paramValue(in, k);
  Real dx = s.dxStart;
  Real dll = 0;
  int count = 0;
  for (;;) {
    ++count;
    while ((x + dx < w.low[k] || x + dx > w.high[k]) && dx != 0) dx = -0.9L * dx;
    dll = f0 - shiftedObjective(in, k, dx);
    const Real d = std::fabs(dll);
    bool stop = false;
    if (d > s.dxTooBig) {
      dx /= 2;
      // The floor keeps the step's sign: a step turned round at HIGH must
      // not be sent back across the bound.
      if (std::fabs(dx) <= s.sqrtEpsilon) {
        dx = std::copysign(s.sqrtEpsilon, dx);
        stop = true;
      }
    } else if (d < s.dxTooSmall) {
      dx *= 1.5L;
    } else {
      stop = true;
    }
    atStep = stop && d <= s.dxTooBig;
    if (s.debug > 10) dxTrace(in, k, count, dx, dll);
    if (monitorPoll(in)) runMonitor(in, "Computing dx array for param " + std::to_string(k + 1) + " iteration " + std::to_string(count));
    if (stop || count > s.dxMaxIts) break;
  }
  if (s.debug > 5) dxTrace(in, k, count, dx, dll);
  return dx;
}

// At most this much memory holds kept scores (a million observations of
// sixteen parameters); parameters beyond it are evaluated at each element.
constexpr std::size_t kKeptScoresBytes = std::size_t(256) << 20;

// Whether evaluating e only computes: no user routine, statement block,
// output, process, randomness or clock, whose effects a repeated
// evaluation would repeat or change.
bool computesOnly(const ExprNode* e) {
  if (!e) return true;
  if (e->kind == NodeKind::UserFunction || e->kind == NodeKind::PreAssign || e->kind == NodeKind::PostAssign)
    return false;
  for (const StmtNode* b : e->blocks)
    if (b) return false;
  if (e->kind == NodeKind::Function) {
    const auto f = static_cast<Fn>(e->index);
    if (functionInfo(f).argCount == 0 || f == Fn::EXEC || f == Fn::FINDFIRST || f == Fn::IRAND || f == Fn::RRAND ||
        f == Fn::PUT)
      return false;
  }
  for (const ExprNode* c : e->children)
    if (!computesOnly(c)) return false;
  return true;
}

void fillMatrixStart(Interp& in, std::size_t n) { in.models.work.matrix.assign(n * n, in.set.infinity); }

}  // namespace

bool informationMethod1(Interp& in) {
  RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  fillMatrixStart(in, n);
  if (n == 0) return true;
  ObsRecord& rec = in.models.record;
  enableObsRecord(in, true);
  const Real f0 = objective(in);
  const std::vector<Real> t0 = rec.term;
  const std::vector<Real> freq = rec.freq;
  const std::size_t nObs = t0.size();
  // The terms at x_k + dx_k are the same at every element that reads them,
  // so where the objective runs nothing beside the terms, each parameter's
  // scores are kept from the first evaluation at its step (most often the
  // step search's last). An element then costs no evaluation, yet
  // VCV_EVALS still counts every evaluation of the method as laid out, and
  // the sums are the same quotients in the same order.
  const Model& m = *in.models.running;
  const bool pure = !m.pre && !m.post && in.set.debug < 5 && !in.set.debugLik && computesOnly(m.likelihood.get());
  const std::size_t rowsKept = !pure || nObs == 0 ? 0 : std::min(n, kKeptScoresBytes / (nObs * sizeof(Real)));
  std::vector<Real> scores(rowsKept * nObs);
  std::vector<char> kept(n, 0);
  auto keep = [&](std::size_t k, Real dx) {
    Real* row = scores.data() + k * nObs;
    for (std::size_t o = 0; o < nObs; ++o) row[o] = (rec.term[o] - t0[o]) / dx;
    kept[k] = 1;
  };
  // Parameter k's scores: kept, or from an evaluation at its step.
  std::vector<Real> evaluated(nObs);
  auto scoresOf = [&](std::size_t k, Real dx) -> const Real* {
    if (kept[k]) {
      ++in.set.evals;
      return scores.data() + k * nObs;
    }
    shiftedObjective(in, k, dx);
    if (k < rowsKept) {
      keep(k, dx);
      return scores.data() + k * nObs;
    }
    for (std::size_t o = 0; o < nObs; ++o) evaluated[o] = (rec.term[o] - t0[o]) / dx;
    return evaluated.data();
  };
  std::vector<Real> dx(n);
  for (std::size_t k = 0; k < n; ++k) {
    bool atStep = false;
    dx[k] = stepFor(in, k, f0, atStep);
    if (atStep && k < rowsKept) keep(k, dx[k]);
  }
  // Row i's scores, copied only where the next element's evaluation would
  // overwrite them.
  std::vector<Real> rowCopy;
  Real* a = w.matrix.data();
  for (std::size_t i = 0; i < n; ++i) {
    const Real* si = scoresOf(i, dx[i]);
    if (si == evaluated.data()) {
      rowCopy.assign(si, si + nObs);
      si = rowCopy.data();
    }
    for (std::size_t j = 0; j <= i; ++j) {
      const Real* sj = j < i ? scoresOf(j, dx[j]) : si;
      Real sum = 0;
      for (std::size_t o = 0; o < nObs; ++o)
        if (freq[o] > 0) sum += freq[o] * si[o] * sj[o];
      a[i * n + j] = sum;
      a[j * n + i] = sum;
      if (monitorPoll(in)) {
        runMonitor(in, "Computing COV[" + std::to_string(i + 1) + "," + std::to_string(j + 1) + "]");
        // The monitor may change what the objective depends on.
        std::fill(kept.begin(), kept.end(), 0);
      }
    }
  }
  enableObsRecord(in, false);
  return invertMatrix(in, a, static_cast<int>(n));
}

bool informationMethod2(Interp& in) {
  RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  fillMatrixStart(in, n);
  if (n == 0) return true;
  const Real scale = std::pow(in.set.machineEpsilon, 0.25L);
  Real* a = w.matrix.data();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      Real& xi = paramValue(in, i);
      Real& xj = paramValue(in, j);
      const Real si = xi, sj = xj;
      const Real hi = scale * (si > 0.1L ? si : 0.1L);
      const Real hj = scale * (sj > 0.1L ? sj : 0.1L);
      // For i = j both moves fall on one coordinate: x + 2h, x, x - 2h, x.
      xi += hi;
      xj += hj;
      const Real fpp = objective(in);
      xi -= 2 * hi;
      const Real fmp = objective(in);
      xj -= 2 * hj;
      const Real fmm = objective(in);
      xi += 2 * hi;
      const Real fpm = objective(in);
      xi = si;
      xj = sj;
      const Real v = (fpp - fmp + fmm - fpm) / (4 * hi * hj);
      a[i * n + j] = v;
      a[j * n + i] = v;
      if (monitorPoll(in)) runMonitor(in, "Computing COV2[" + std::to_string(i + 1) + "," + std::to_string(j + 1) + "]");
    }
  }
  return invertMatrix(in, a, static_cast<int>(n));
}

bool invertMatrix(Interp& in, Real* a, int n) {
  (void)in;
  const auto N = static_cast<std::size_t>(n);
  std::vector<std::size_t> indxc(N), indxr(N);
  std::vector<int> used(N, 0);
  auto at = [&](std::size_t r, std::size_t c) -> Real& { return a[r * N + c]; };
  for (std::size_t pass = 0; pass < N; ++pass) {
    Real big = 0;
    std::size_t irow = 0, icol = 0;
    bool found = false;
    for (std::size_t j = 0; j < N; ++j) {
      if (used[j]) continue;
      for (std::size_t k = 0; k < N; ++k) {
        if (used[k]) continue;
        if (std::fabs(at(j, k)) > big) {
          big = std::fabs(at(j, k));
          irow = j;
          icol = k;
          found = true;
        }
      }
    }
    if (!found || big == 0) {
      std::printf("Warning: the matrix is singular\n");
      return false;
    }
    used[icol] = 1;
    if (irow != icol)
      for (std::size_t c = 0; c < N; ++c) std::swap(at(irow, c), at(icol, c));
    indxr[pass] = irow;
    indxc[pass] = icol;
    const Real pivinv = 1 / at(icol, icol);
    at(icol, icol) = 1;
    for (std::size_t c = 0; c < N; ++c) at(icol, c) *= pivinv;
    for (std::size_t r = 0; r < N; ++r) {
      if (r == icol) continue;
      const Real dum = at(r, icol);
      at(r, icol) = 0;
      for (std::size_t c = 0; c < N; ++c) at(r, c) -= at(icol, c) * dum;
    }
  }
  for (std::size_t l = N; l-- > 0;)
    if (indxr[l] != indxc[l])
      for (std::size_t r = 0; r < N; ++r) std::swap(at(r, indxr[l]), at(r, indxc[l]));
  return true;
}

void printMatrix(Interp& in, const Real* a, int n, bool inverted) {
  std::string text = "\nVariance/covariance matrix:\n\n";
  if (!inverted) {
    text += "        The Matrix was singular\n";
  } else {
    const int perLine = std::max<std::int32_t>(1, getIntegerByName(in, "VCV_WIDTH"));
    const int digits = getIntegerByName(in, "MIN_SIGNIFICANT");
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j <= i; ++j) {
        if (j > 0 && j % perLine == 0) text += "\n  ";
        // A blank and one column less: neighbours never run together.
        text += ' ';
        text += realToText(in.set, a[i * n + j], 12, digits);
      }
      text += '\n';
    }
  }
  putText(in, in.set.fOutFile, text);
}

}  // namespace zav
