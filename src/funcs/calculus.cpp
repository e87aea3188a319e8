#include "funcs/calculus.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/brent.h"
#include "funcs/eval.h"
#include "funcs/mathlib.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

constexpr Real kOo = std::numeric_limits<Real>::infinity();

// Integration method codes of INTEGRATE_METHOD.
enum IntegrateMethod : std::int32_t {
  kSimpson = 0,
  kTrapClosed = 1,
  kTrapOpen = 2,
  kAdaptive = 3,
  kRomberg = 4,
  kAdaptiveToo = 5,
};

// Romberg's table holds 26 rows. Simpson's refinements stop at the same
// count: each round doubles the points, and a body that never converges
// would otherwise run to INTEGRATE_N (100 by default) rounds, which no
// machine finishes.
constexpr int kMaxRefinements = 25;

std::string num(const Interp& in, Real x) { return realToText(in.set, x, in.set.realWidth, in.set.realDecimals); }

const ExprNode* child(const ExprNode* n, int i) {
  return i < n->childCount() ? n->children[static_cast<std::size_t>(i)] : nullptr;
}

// The body of a form as a function of its variable.
struct Body {
  Interp& in;
  Symbol& var;
  const ExprNode* expr;

  void set(Real x) {
    switch (var.type) {
      case ValueType::Integer: setInteger(in, var, 1, static_cast<std::int32_t>(x)); break;
      case ValueType::Complex: setComplex(in, var, 1, Complex{x, 0}); break;
      default: setReal(in, var, 1, x); break;
    }
  }
  Real operator()(Real x) {
    spendStep(in);
    set(x);
    return evalReal(in, expr);
  }
};

// The body is the last child, but for DERIVATIVE, whose body comes second.
Body bodyOf(Interp& in, const ExprNode* n) {
  return Body{in, *n->symbol, n->kind == NodeKind::Derivative ? n->children[1] : n->children.back()};
}

// An argument that counts something (iterations, order): integers as they
// are, reals rounded, both kept inside the 32-bit range.
std::int32_t toCount(Real x) {
  if (std::isnan(x)) return 0;
  constexpr Real lo = std::numeric_limits<std::int32_t>::min();
  constexpr Real hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(x), lo, hi));
}

std::int32_t countArg(Interp& in, const ExprNode* e) {
  return e->resultType == ValueType::Integer ? evalInteger(in, e) : toCount(evalReal(in, e));
}

// ---- Integration --------------------------------------------------------

// Simpson's rule from successive trapezoid refinements.
Real simpson(Body& f, Real a, Real b, int n, Real tol) {
  Interp& in = f.in;
  const int limit = std::min(n, kMaxRefinements);
  Real t = 0, tPrev = 0, s = 0, sPrev = 0;
  for (int j = 1; j <= limit; ++j) {
    if (a == b) {
      f(a);
      t = 0;
    } else if (j == 1) {
      t = (b - a) * (f(a) + f(b)) / 2;
    } else {
      const std::int64_t points = std::int64_t{1} << (j - 2);
      const Real del = (b - a) / static_cast<Real>(points);
      Real sum = 0;
      for (std::int64_t k = 0; k < points; ++k) sum += f(a + (static_cast<Real>(k) + 0.5L) * del);
      t = (t + (b - a) * sum / static_cast<Real>(points)) / 2;
    }
    if (j >= 2) {
      s = (4 * t - tPrev) / 3;
      // Two exact zeros in a row have converged too: a relative test alone
      // would refine a vanishing integral forever.
      if (j >= 3 && (std::fabs(s - sPrev) < tol * std::fabs(sPrev) || (s == 0 && sPrev == 0))) {
        if (in.set.debugInt)
          std::printf("S Integrate(%s %s)= %s its= %d\n", num(in, a).c_str(), num(in, b).c_str(), num(in, s).c_str(), j);
        return s;
      }
      sPrev = s;
    }
    tPrev = t;
  }
  std::printf("Warning: %d iterations in S Integrate(%s %s) =%s\n", limit, num(in, a).c_str(), num(in, b).c_str(),
              num(in, s).c_str());
  return 0;
}

// The weight of point i of n in the extended trapezoid formulas: the table
// gives the weights from each end inwards, 1 for the rest.
Real endWeight(std::int64_t i, std::int64_t first, std::int64_t last, const Real (&w)[4]) {
  for (std::int64_t k = 0; k < 4; ++k)
    if (i == first + k || i == last - k) return w[k];
  return 1;
}

Real trapezoid(Body& f, Real a, Real b, int n, bool open) {
  static constexpr Real kClosed[4] = {17.0L / 48, 59.0L / 48, 43.0L / 48, 49.0L / 48};
  static constexpr Real kOpen[4] = {109.0L / 48, -5.0L / 48, 63.0L / 48, 49.0L / 48};
  const std::int64_t points = std::max(n, 2);  // h divides by points - 1
  const Real h = (b - a) / static_cast<Real>(points - 1);
  const std::int64_t first = open ? 1 : 0;
  const std::int64_t last = open ? points - 2 : points - 1;
  Real sum = 0;
  for (std::int64_t i = first; i <= last; ++i) {
    const Real term = endWeight(i, first, last, open ? kOpen : kClosed) * f(a + static_cast<Real>(i) * h);
    if (!open && isPosOo(f.in.set, term)) sum = term;
    else sum += term;
  }
  return h * sum;
}

// Adaptive 8-panel Newton-Cotes quadrature (QUANC8), the tolerance serving
// as both the absolute and the relative bound.
Real adaptive(Body& f, Real a, Real b, Real tol) {
  Interp& in = f.in;
  constexpr int kLevMin = 1, kLevOut = 6, kNoMax = 5000;
  int levMax = 30;
  int noFin = 3784;  // kNoMax - 8 * (levMax - kLevOut + 2^(kLevOut + 1))
  static_assert(kNoMax - 8 * (30 - kLevOut + (1 << (kLevOut + 1))) == 3784);
  constexpr Real w0 = 3956.0L / 14175, w1 = 23552.0L / 14175, w2 = -3712.0L / 14175, w3 = 41984.0L / 14175,
                 w4 = -18160.0L / 14175;
  Real result = 0, cor11 = 0, errEst = 0, area = 0, flag = 0;
  long noFun = 0;
  auto report = [&]() {
    if (!in.set.debugInt) return;
    const Real failed = std::trunc(flag);
    std::printf("Adapt Quad Int(%s %s)= %s Error est=%s\n", num(in, a).c_str(), num(in, b).c_str(),
                num(in, result).c_str(), num(in, errEst).c_str());
    std::printf("  # Func calls = %ld. Failed Subintervals = %.0Lf. %% failed=%s\n", noFun, failed,
                num(in, flag - failed).c_str());
  };
  if (a == b) {
    report();
    return 0;
  }
  Real qright[32] = {}, fv[17] = {}, xv[17] = {}, fsave[9][31] = {}, xsave[9][31] = {};
  int lev = 0;
  long nim = 1;
  Real x0 = a;
  xv[16] = b;
  Real qprev = 0;
  Real f0 = f(x0);
  const Real stone = (b - a) / 16;
  xv[8] = (x0 + xv[16]) / 2;
  xv[4] = (x0 + xv[8]) / 2;
  xv[12] = (xv[8] + xv[16]) / 2;
  xv[2] = (x0 + xv[4]) / 2;
  xv[6] = (xv[4] + xv[8]) / 2;
  xv[10] = (xv[8] + xv[12]) / 2;
  xv[14] = (xv[12] + xv[16]) / 2;
  for (int j = 2; j <= 16; j += 2) fv[j] = f(xv[j]);
  noFun = 9;
  for (;;) {
    // Central calculation: the odd points of the current interval.
    xv[1] = (x0 + xv[2]) / 2;
    fv[1] = f(xv[1]);
    for (int j = 3; j <= 15; j += 2) {
      xv[j] = (xv[j - 1] + xv[j + 1]) / 2;
      fv[j] = f(xv[j]);
    }
    noFun += 8;
    const Real step = (xv[16] - x0) / 16;
    const Real qleft =
        (w0 * (f0 + fv[8]) + w1 * (fv[1] + fv[7]) + w2 * (fv[2] + fv[6]) + w3 * (fv[3] + fv[5]) + w4 * fv[4]) * step;
    qright[lev + 1] = (w0 * (fv[8] + fv[16]) + w1 * (fv[9] + fv[15]) + w2 * (fv[10] + fv[14]) +
                       w3 * (fv[11] + fv[13]) + w4 * fv[12]) *
                      step;
    const Real qnow = qleft + qright[lev + 1];
    const Real qdiff = qnow - qprev;
    area += qdiff;
    const Real estErr = std::fabs(qdiff) / 1023;
    const Real tolErr = std::max(tol, tol * std::fabs(area)) * (step / stone);
    bool converged = false;
    if (lev >= kLevMin) {
      if (lev >= levMax) {
        flag += 1;
        converged = true;
      } else if (noFun > noFin) {
        // Running out of function calls: accept what remains at a coarser level.
        noFin *= 2;
        levMax = kLevOut;
        flag += (b - x0) / (b - a);
        converged = true;
      } else if (estErr <= tolErr) {
        converged = true;
      }
    }
    if (!converged) {
      // Subdivide: keep the right half for later, go on with the left.
      nim *= 2;
      ++lev;
      for (int i = 1; i <= 8; ++i) {
        fsave[i][lev] = fv[i + 8];
        xsave[i][lev] = xv[i + 8];
      }
      qprev = qleft;
      for (int i = 1; i <= 8; ++i) {
        const int j = -i;
        fv[2 * j + 18] = fv[j + 9];
        xv[2 * j + 18] = xv[j + 9];
      }
      continue;
    }
    result += qnow;
    errEst += estErr;
    cor11 += qdiff / 1023;
    while (nim % 2 != 0) {
      nim /= 2;
      --lev;
    }
    ++nim;
    if (lev <= 0) break;
    qprev = qright[lev];
    x0 = xv[16];
    f0 = fv[16];
    for (int i = 1; i <= 8; ++i) {
      fv[2 * i] = fsave[i][lev];
      xv[2 * i] = xsave[i][lev];
    }
  }
  result += cor11;
  if (errEst != 0) {
    while (std::fabs(result) + errEst == std::fabs(result)) errEst *= 2;
  }
  report();
  return result;
}

// Romberg: trapezoid sums on halving steps, extrapolated by Richardson.
Real romberg(Body& f, Real a, Real b, int n, Real tol) {
  const int kMax = std::min(n, kMaxRefinements);
  Real prev[kMaxRefinements + 1] = {}, cur[kMaxRefinements + 1] = {};
  const Real ends = (f(a) + f(b)) / 2;
  prev[0] = (b - a) * ends;
  for (int k = 1;; ++k) {
    const std::int64_t points = (std::int64_t{1} << k) - 1;
    const Real step = (b - a) / static_cast<Real>(points + 1);
    Real sum = 0;
    for (std::int64_t i = 1; i <= points; ++i) sum += f(a + static_cast<Real>(i) * step);
    cur[0] = step * (ends + sum);
    Real pow4 = 1;
    for (int j = 1; j <= k; ++j) {
      pow4 *= 4;
      cur[j] = (pow4 * cur[j - 1] - prev[j - 1]) / (pow4 - 1);
    }
    if (k >= kMax || std::fabs(cur[k] - prev[k - 1]) < tol) return cur[k];
    std::copy(cur, cur + k + 1, prev);
  }
}

// ---- Differentiation ----------------------------------------------------

// Ridders' extrapolation of central differences; an order above 1 takes the
// differences of the derivative of one order less.
Real ridders(Body& f, int order, Real x0, Real dx) {
  if (order < 1) return f(x0);
  auto g = [&](Real x) { return order == 1 ? f(x) : ridders(f, order - 1, x, dx); };
  constexpr int kTab = 10;
  constexpr Real kCon = 1.4L, kCon2 = kCon * kCon, kSafe = 2;
  Real t[kTab][kTab];
  Real h = dx;
  t[0][0] = (g(x0 + h) - g(x0 - h)) / (2 * h);
  int evals = 2;
  Real err = kOo;
  Real ans = t[0][0];
  bool converged = false;
  for (int i = 1; i < kTab; ++i) {
    h /= kCon;
    t[0][i] = (g(x0 + h) - g(x0 - h)) / (2 * h);
    evals += 2;
    Real fac = kCon2;
    for (int j = 1; j <= i; ++j) {
      t[j][i] = (t[j - 1][i] * fac - t[j - 1][i - 1]) / (fac - 1);
      fac *= kCon2;
      const Real errt = std::max(std::fabs(t[j][i] - t[j - 1][i]), std::fabs(t[j][i] - t[j - 1][i - 1]));
      if (errt < err) {
        err = errt;
        ans = t[j][i];
      }
    }
    if (std::fabs(t[i][i] - t[i - 1][i - 1]) >= kSafe * err) {
      converged = true;
      break;
    }
  }
  if (f.in.set.debugInt) std::printf("DERIVATIVE %s in %d evals.\n", converged ? "converged" : "quit", evals);
  return ans;
}

// ---- Searches -----------------------------------------------------------

Real defaultSearchTol(const Interp& in) { return std::max(in.set.findEps, in.set.machineEpsilon); }

// Brent's zero finder on [a, b]; past maxIts steps it warns and stops. Ends
// of one sign bracket nothing: an end point returned there would pass for
// a root, so the search warns and gives NaN instead.
Real zeroin(Body& f, Real a, Real b, Real tol, std::int32_t maxIts) {
  MonitorTask task(f.in);
  Real ends[2] = {0, 0};
  int evaluated = 0;
  auto g = [&](Real x) {
    const Real y = f(x);
    if (evaluated < 2) ends[evaluated++] = y;
    return y;
  };
  auto bracketed = [&] { return !((ends[0] > 0 && ends[1] > 0) || (ends[0] < 0 && ends[1] < 0)); };
  Real zero = brentZero(f.in.set.machineEpsilon, a, b, tol, g, [&](int step) {
    if (step == 0 && !bracketed()) return false;
    if (monitorPoll(f.in)) runMonitor(f.in, "In FINDZERO iteration " + std::to_string(step + 1));
    if (static_cast<std::int64_t>(step) + 1 <= maxIts) return true;
    std::printf("Warning: FINDZERO reached max iterations\n");
    return false;
  });
  if (!bracketed()) {
    auto text = [&](Real x) {
      std::string t = realToText(f.in.set, x, f.in.set.realWidth, f.in.set.realDecimals);
      t.erase(0, t.find_first_not_of(' '));
      return t;
    };
    std::printf("Warning: FINDZERO found no sign change in [%s, %s]\n", text(a).c_str(), text(b).c_str());
    zero = std::numeric_limits<Real>::quiet_NaN();
  }
  f.set(zero);
  return zero;
}

// Brent's minimiser, started at x; past maxIts rounds it warns and stops.
Real brentMin(Body& f, Real low, Real high, Real x, Real tol, std::int32_t maxIts) {
  MonitorTask task(f.in);
  const BrentMin best = brentMinimise(f.in, low, high, x, tol, f, [&](int round) {
    if (monitorPoll(f.in)) runMonitor(f.in, "In FINDMIN iteration " + std::to_string(round + 1));
    if (static_cast<std::int64_t>(round) + 1 <= maxIts) return true;
    std::printf("Warning FINDMIN reached maximum iterations\n");
    return false;
  });
  f.set(best.x);
  return best.x;
}

}  // namespace

Real calcIntegrate(Interp& in, const ExprNode* n) {
  const Real low = evalReal(in, child(n, 0));
  const Real high = evalReal(in, child(n, 1));
  int points = in.set.integrateN;
  Real tol = in.set.integrateTol;
  if (n->childCount() > 3) {
    const Real third = evalReal(in, child(n, 2));
    if (third > 1) points = toCount(third);
    else tol = third;
  }
  Body f = bodyOf(in, n);
  switch (in.set.integrateMethod) {
    case kSimpson: return simpson(f, low, high, points, tol);
    case kTrapClosed: return trapezoid(f, low, high, points, false);
    case kTrapOpen: return trapezoid(f, low, high, points, true);
    case kAdaptive:
    case kAdaptiveToo: return adaptive(f, low, high, tol);
    case kRomberg: return romberg(f, low, high, points, tol);
    default:
      ReportError(in, ErrCat::RunTime, "Unimplemented integration method: " + std::to_string(in.set.integrateMethod));
  }
}

Real calcDerivative(Interp& in, const ExprNode* n) {
  const Real x0 = evalReal(in, child(n, 0));
  const Real dx = child(n, 2) ? evalReal(in, child(n, 2)) : in.set.diffDx;
  const std::int32_t order = child(n, 3) ? countArg(in, child(n, 3)) : 1;
  Body f = bodyOf(in, n);
  const Symbol& v = f.var;
  requireBlock(in, v);
  // The old value comes back whatever the variable's type.
  const Complex saved = v.type == ValueType::Complex ? element<ValueType::Complex>(in, v, 1)
                        : v.type == ValueType::Real  ? Complex{element<ValueType::Real>(in, v, 1), 0}
                                                     : Complex{};
  const Real d = ridders(f, order, x0, dx);
  if (v.type == ValueType::Complex) setComplex(in, f.var, 1, saved);
  else f.set(saved.re);
  return d;
}

Real calcSumOrProduct(Interp& in, const ExprNode* n) {
  const bool product = n->kind == NodeKind::Product;
  const std::int64_t from = countArg(in, child(n, 0));
  const std::int64_t to = countArg(in, child(n, 1));
  const bool hasCriterion = n->childCount() > 3;
  const Real criterion = hasCriterion ? evalReal(in, child(n, 2)) : 0;
  Body f = bodyOf(in, n);
  // The variable is the counter: it holds from before the first test and the
  // value after the last term when the loop ends.
  auto setCounter = [&](std::int64_t i) {
    f.set(static_cast<Real>(std::min<std::int64_t>(i, std::numeric_limits<std::int32_t>::max())));
  };
  Real result = product ? 1 : 0;
  Real change = kOo;
  std::int64_t i = from;
  setCounter(i);
  while (i <= to && (!hasCriterion || change >= criterion)) {
    spendStep(in);
    const Real term = evalReal(in, f.expr);
    const Real old = result;
    result = product ? result * term : result + term;
    change = std::fabs(result - old);
    setCounter(++i);
  }
  if (in.set.debugInt)
    std::printf("%s(%lld %lld)= %s\n", product ? "PRODUCT" : "SUM", static_cast<long long>(from),
                static_cast<long long>(to), num(in, result).c_str());
  return result;
}

Real calcFindZero(Interp& in, const ExprNode* n) {
  const int given = n->childCount() - 1;
  const Real low = evalReal(in, child(n, 0));
  const Real high = evalReal(in, child(n, 1));
  const Real tol = given > 2 ? evalReal(in, child(n, 2)) : defaultSearchTol(in);
  const std::int32_t maxIts = given > 3 ? countArg(in, child(n, 3)) : in.set.findMaxIts;
  Body f = bodyOf(in, n);
  return zeroin(f, low, high, tol, maxIts);
}

Real calcFindMin(Interp& in, const ExprNode* n) {
  const int given = n->childCount() - 1;
  const Real low = evalReal(in, child(n, 0));
  const Real high = evalReal(in, child(n, 1));
  const Real start = given > 2 ? evalReal(in, child(n, 2)) : low / 2 + high / 2;
  const Real tol = given > 3 ? evalReal(in, child(n, 3)) : defaultSearchTol(in);
  const std::int32_t maxIts = given > 4 ? countArg(in, child(n, 4)) : in.set.findMaxIts;
  Body f = bodyOf(in, n);
  return brentMin(f, low, high, start, tol, maxIts);
}

}  // namespace zav
