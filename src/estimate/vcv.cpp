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
#include "funcs/numtext.h"
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
// within [DX_TOOSMALL, DX_TOOBIG], turned round at a bound.
Real stepFor(Interp& in, std::size_t k, Real f0) {
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
    if (s.debug > 10) dxTrace(in, k, count, dx, dll);
    if (monitorPoll(in)) runMonitor(in, "Computing dx array for param " + std::to_string(k + 1) + " iteration " + std::to_string(count));
    if (stop || count > s.dxMaxIts) break;
  }
  if (s.debug > 5) dxTrace(in, k, count, dx, dll);
  return dx;
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
  std::vector<Real> dx(n);
  for (std::size_t k = 0; k < n; ++k) dx[k] = stepFor(in, k, f0);
  // Row i's scores are kept, so that each element reads the other
  // parameter's terms straight from the record: the same quotients as
  // taking both from copies of the terms, in the same order.
  std::vector<Real> si(t0.size());
  Real* a = w.matrix.data();
  for (std::size_t i = 0; i < n; ++i) {
    shiftedObjective(in, i, dx[i]);
    for (std::size_t o = 0; o < t0.size(); ++o) si[o] = (rec.term[o] - t0[o]) / dx[i];
    for (std::size_t j = 0; j <= i; ++j) {
      if (j < i) shiftedObjective(in, j, dx[j]);
      Real sum = 0;
      if (j < i) {
        const Real* tj = rec.term.data();
        for (std::size_t o = 0; o < t0.size(); ++o)
          if (freq[o] > 0) sum += freq[o] * si[o] * ((tj[o] - t0[o]) / dx[j]);
      } else {
        for (std::size_t o = 0; o < t0.size(); ++o)
          if (freq[o] > 0) sum += freq[o] * si[o] * si[o];
      }
      a[i * n + j] = sum;
      a[j * n + i] = sum;
      if (monitorPoll(in)) runMonitor(in, "Computing COV[" + std::to_string(i + 1) + "," + std::to_string(j + 1) + "]");
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
