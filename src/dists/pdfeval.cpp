// The PDF-family nodes at run time. A PDF node gathers its time variables,
// parameters and hazard multiplier, and returns the likelihood contribution
// of the current observation: the density of an exact time, the survival
// difference of a censored one, each divided by the probability of the
// truncation window. The quantile forms invert the (truncated) survival.
#include "dists/pdfeval.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "dists/bivnormal.h"
#include "dists/densmath.h"
#include "dists/lnterm.h"
#include "dists/pdfcatalog.h"
#include "funcs/brent.h"
#include "funcs/eval.h"
#include "funcs/mathlib.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

constexpr int kMaxVars = 8;   // BIVNORMAL has the most time variables
constexpr int kFormSlots = 5; // q, left, right, tol, maxits of the quantile forms
constexpr Real kInfinityStep = std::numeric_limits<Real>::infinity();

// The arguments of one evaluation, on the stack: nothing is allocated per
// observation.
struct Args {
  Real vars[kMaxVars] = {};
  int count = 0;  // time variables given
  Real p[kMaxPdfParams] = {};
  Real k = 1;
};

const ExprNode* slot(const ExprNode* n, int i) {
  return i < n->childCount() ? n->children[static_cast<std::size_t>(i)] : nullptr;
}

// Parameters from slot `first` on, then the hazard multiplier.
void gatherParams(Interp& in, const ExprNode* n, const PdfInfo& info, int first, Args& a) {
  for (int i = 0; i < info.paramCount; ++i) {
    const ExprNode* c = slot(n, first + i);
    a.p[i] = c ? evalReal(in, c) : 0;
  }
  a.k = 1;
  if (info.hazard)
    if (const ExprNode* h = slot(n, first + info.paramCount)) a.k = evalReal(in, h);
}

void gatherPdf(Interp& in, const ExprNode* n, const PdfInfo& info, Args& a) {
  a.count = 0;
  for (int i = 0; i < info.varCount; ++i) {
    const ExprNode* c = slot(n, i);
    a.vars[i] = c ? evalReal(in, c) : 0;
    if (c) ++a.count;
  }
  gatherParams(in, n, info, info.varCount, a);
}

bool isSpecial(Pdf p) {
  switch (p) {
    case Pdf::ATRESIA:
    case Pdf::BIVNORMAL:
    case Pdf::FAILED:
    case Pdf::FDEPLETE:
    case Pdf::IMMUNE:
    case Pdf::STERILE: return true;
    default: return false;
  }
}

std::string num(const Interp& in, Real x) { return realToText(in.set, x, in.set.realWidth, in.set.realDecimals); }

// The probability of the truncation window, S(left) and S(right).
struct Window {
  Real left = 1;
  Real right = 0;
};

// RECTANGULAR and UNIFORM have no parameters: their interval comes from the
// truncation times.
bool uniformLike(int pdf) { return pdf == static_cast<int>(Pdf::RECTANGULAR) || pdf == static_cast<int>(Pdf::UNIFORM); }

Real contribution(Interp& in, int pdf, Real k, Support sup, const Real* v, int n, const Real* p, Window& w) {
  const Settings& s = in.set;
  const bool discrete = pdfInfo(pdf)->discrete;
  n = std::clamp(n, 1, 4);
  Real tO = v[0];
  Real tC = n >= 2 ? v[1] : tO;
  const Real tL = n >= 3 ? v[2] : 0;
  const Real tR = n >= 4 ? v[3] : 0;
  Real bounds[kMaxPdfParams] = {0, 1};
  if (uniformLike(pdf)) {
    if (n == 3) bounds[0] = tL, bounds[1] = std::floor(tL) + 1;
    if (n == 4) bounds[0] = tL, bounds[1] = tR;
    p = bounds;
  }
  auto S = [&](Real t) { return pdfSurvival(in, pdf, t, p, k); };

  w = Window{};
  // A discrete law's left truncation point is itself observable.
  if (n >= 3 && sup.low < tL && !isNegOo(s, tL)) w.left = S(discrete ? tL - 1 : tL);
  if (n == 4 && tL < tR && tR < sup.high && !isPosOo(s, tR)) w.right = S(tR);
  if (w.left == w.right) return s.infinity;

  if (tC != tO) {  // censored: S(t_o) - S(t_c)
    if (n >= 3) tO = std::max(tL, tO);
    Real L = 1;
    if (tO >= sup.low && !isNegOo(s, tO)) L = (tO > sup.high || isPosOo(s, tO)) ? 0 : S(tO);
    if (n == 4 && tR < tC) tC = tR;
    if (tO < tC && tC < sup.high && !isPosOo(s, tC)) L -= S(tC);
    if (n <= 2) return L;
    if (n == 4 && tR <= tO) return 0;
    return L / (w.left - w.right);
  }
  const Real t = tO;  // exact
  if (t < sup.low || t > sup.high || isPosOo(s, t) || isNegOo(s, t)) return 0;
  const Real f = pdfDensity(in, pdf, t, p, k);
  if (n <= 2) return f;
  return tL <= t && (n < 4 || t <= tR) ? f / (w.left - w.right) : 0;
}

// FAILED, IMMUNE, STERILE: R is 1 for a unit that was still at risk when
// last seen (right-censored, or censored beyond the right truncation).
Real indicator(Interp& in, Pdf pdf, const Args& a) {
  const Settings& s = in.set;
  const int n = std::max(a.count, 1);
  const Real tO = a.vars[0];
  const Real tC = n >= 2 ? a.vars[1] : tO;
  const Real tL = a.vars[2], tR = a.vars[3];
  const bool r = tC != tO &&
                 (tO > tC || isPosOo(s, tC) || (n == 4 && tR > tL && tR > 0 && !isPosOo(s, tR) && tR <= tC));
  return pdf == Pdf::FAILED ? (r ? 0 : 1) : (r ? 1 : 0);
}

// ATRESIA: variables age a, t(open), t(close); h = r n exp(-r a) is
// constant in t, so S(t) = exp(-k h t) and f(t) = k h S(t). No truncation.
Real atresia(Interp& in, const Args& a) {
  const Real h = a.p[0] * a.p[1] * std::exp(-a.p[0] * a.vars[0]);
  auto S = [&](Real t) { return t < 0 ? Real{1} : std::exp(-a.k * h * t); };
  const Real tO = a.vars[1];
  const Real tC = a.count >= 3 ? a.vars[2] : tO;
  if (tC != tO) {
    Real L = S(tO);
    if (tO < tC && !isPosOo(in.set, tC)) L -= S(tC);
    return L;
  }
  if (tO < 0 || isPosOo(in.set, tO)) return 0;
  return a.k * h * S(tO);
}

// FDEPLETE: variables age a, survivors na at a, right-truncation delta d;
// parameters n0, nm, r. With S(x) = exp(-r x) and am = ln(nm/n0)/(-r):
// L = comb(n0, na) [1 - S(a)]^(n0-na) [S(a) - S(am)]^na / [1 - S(am)],
// with S(am) = 0 (no right truncation) when d = 0.
Real fdeplete(Interp& in, const Args& a) {
  if (a.count < 3) ReportError(in, ErrCat::Funct, "Not enough variables are passed to FDEPLETE.  3 needed");
  const Real age = a.vars[0], na = std::round(a.vars[1]), d = a.vars[2];
  const Real n0 = std::round(a.p[0]), nm = std::round(a.p[1]), r = a.p[2];
  if (na < 0 || na > n0) return 0;
  const Real sA = std::exp(-r * age);
  const Real sM = d == 0 ? 0 : nm / n0;  // S(am) = nm/n0
  const Real lnComb = mathLnComb(in, n0, na);
  return std::exp(lnComb) * dens::powr(1 - sA, n0 - na) * dens::powr(sA - sM, na) / (1 - sM);
}

// BIVNORMAL: variables tx(open), ty(open), tx(close), ty(close), then the
// left and right truncation corners. The hazard multiplier does not apply
// to a law of two variables.
Real bivnormal(Interp& in, const Args& a) {
  const Settings& s = in.set;
  const Real ux = a.p[0], sx = a.p[1], uy = a.p[2], sy = a.p[3], r = a.p[4];
  auto ext = [&](Real v) { return isPosOo(s, v) ? dens::kInf : (isNegOo(s, v) ? -dens::kInf : v); };
  auto hx = [&](Real x) { return (ext(x) - ux) / sx; };
  auto ky = [&](Real y) { return (ext(y) - uy) / sy; };
  const Real* v = a.vars;
  const int n = a.count;
  if (n < 4) return bvnDensity(hx(v[0]), ky(n >= 2 ? v[1] : 0), r) / (sx * sy);
  Real xl = -dens::kInf, yl = -dens::kInf, xr = dens::kInf, yr = dens::kInf;
  Real window = 1;
  if (n >= 6) {
    xl = ext(v[4]), yl = ext(v[5]);
    if (n >= 8) xr = ext(v[6]), yr = ext(v[7]);
    window = bvnRectangle(hx(xl), hx(xr), ky(yl), ky(yr), r);
    if (window == 0) return s.infinity;
  }
  const Real xo = ext(v[0]), yo = ext(v[1]), xc = ext(v[2]), yc = ext(v[3]);
  const bool inX = xo > xl && xo <= xr, inY = yo > yl && yo <= yr;
  const Real sd = std::sqrt((1 - r) * (1 + r));
  Real value;
  if (xo != xc && yo != yc) {
    value = bvnRectangle(hx(std::max(xo, xl)), hx(std::min(xc, xr)), ky(std::max(yo, yl)), ky(std::min(yc, yr)), r);
  } else if (xo == xc && yo != yc) {  // along y at x = xo
    const Real h = hx(xo);
    const Real lo = ky(std::max(yo, yl)), hi = ky(std::min(yc, yr));
    value = inX && lo < hi ? dens::normPdf(h) / sx * dens::normInterval((lo - r * h) / sd, (hi - r * h) / sd) : 0;
  } else if (yo == yc && xo != xc) {  // along x at y = yo
    const Real k = ky(yo);
    const Real lo = hx(std::max(xo, xl)), hi = hx(std::min(xc, xr));
    value = inY && lo < hi ? dens::normPdf(k) / sy * dens::normInterval((lo - r * k) / sd, (hi - r * k) / sd) : 0;
  } else {
    value = inX && inY ? bvnDensity(hx(xo), ky(yo), r) / (sx * sy) : 0;
  }
  return value / window;
}

void traceInputs(Interp& in, const PdfInfo& info, const Args& a, const Support* sup) {
  std::printf("%s vars=%d:", std::string(info.name).c_str(), a.count);
  for (int i = 0; i < info.varCount; ++i) std::printf(" %s", num(in, a.vars[i]).c_str());
  if (sup) std::printf(" low=%s high=%s", num(in, sup->low).c_str(), num(in, sup->high).c_str());
  std::printf(" params:");
  for (int i = 0; i < info.paramCount; ++i) std::printf(" %s", num(in, a.p[i]).c_str());
  std::printf(" k=%s\n", num(in, a.k).c_str());
}

// Brent's zero search of S(t) - s on [a, b], the bracket of the quantile.
template <class G>
Real solveQuantile(Interp& in, G g, Real a, Real b, Real tol, int maxits) {
  return brentZero(in.set.machineEpsilon, a, b, tol, g, [&](int step) {
    if (step < maxits) return true;
    std::printf("Warning: solvequantile reached max iterations\n");
    return false;
  });
}

// The t of a base survival s: the explicit inverse where the law has one,
// else a search over the support (whole numbers for a discrete law).
Real baseQuantile(Interp& in, int pdf, Real s, const Real* p, Real tol, int maxits) {
  const Settings& set = in.set;
  const PdfInfo& info = *pdfInfo(pdf);
  Real t;
  if (pdfBaseQuantile(pdf, s, p, t)) return t;
  const Support sup = supportBounds(in, info.timeRange, p);
  const bool lowInf = isNegOo(set, sup.low), highInf = isPosOo(set, sup.high);
  if (s >= 1) return sup.low;
  if (s <= 0) return sup.high;
  auto S = [&](Real x) { return pdfBaseSurvival(pdf, x, p); };
  constexpr int kDoublings = 16500;  // from 1 past the largest REAL
  if (info.discrete) {
    // The least whole t with S(t) <= s.
    Real lo = std::ceil(lowInf ? -1 : sup.low);
    if (S(lo) <= s) return lo;
    Real step = 1, hi = lo + step;
    for (int i = 0; i < kDoublings && S(hi) > s; ++i) {
      if (!highInf && hi >= sup.high) return sup.high;
      lo = hi;
      step *= 2;
      hi = lo + step;
    }
    while (hi - lo > 1) {
      const Real mid = std::floor((lo + hi) / 2);
      (S(mid) <= s ? hi : lo) = mid;
    }
    return hi;
  }
  Real a = sup.low, b = sup.high;
  if (lowInf) {
    Real step = 1;
    a = (highInf ? 0 : std::min<Real>(b, 0)) - step;
    for (int i = 0; i < kDoublings && S(a) < s; ++i) a -= (step *= 2);
  }
  if (highInf) {
    Real step = 1;
    b = std::max<Real>(a, 0) + step;
    for (int i = 0; i < kDoublings && S(b) > s; ++i) b += (step *= 2);
  }
  t = solveQuantile(in, [&](Real x) { return S(x) - s; }, a, b, tol, maxits);
  // The search stops at its absolute tolerance; Newton steps on S with f as
  // its derivative take t on to full precision. A step that leaves the
  // bracket or does not shrink ends the polishing.
  Real last = kInfinityStep;
  for (int i = 0; i < 8; ++i) {
    const Real f = pdfBaseDensity(pdf, t, p);
    if (!(f > 0) || !std::isfinite(f)) break;
    const Real step = (S(t) - s) / f;
    const Real next = t + step;
    if (!(std::fabs(step) < last) || !(next >= a && next <= b)) break;
    t = next;
    last = std::fabs(step);
    if (last <= 1e-19L * std::fabs(t)) break;
  }
  return t;
}

}  // namespace

Real observationLikelihood(Interp& in, int pdf, Real k, Support support, const Real* vars, int count,
                           const Real* p) {
  Window w;
  return contribution(in, pdf, k, support, vars, count, p, w);
}

Real evalPdfNode(Interp& in, const ExprNode* n) {
  const int pdf = n->index;
  const PdfInfo& info = *pdfInfo(pdf);
  Args a;
  gatherPdf(in, n, info, a);
  // While a model is solved, a trial parameter outside its range makes the
  // observation impossible rather than ending the fit; the maximiser then
  // moves away from it. Elsewhere the range error tells the user.
  if (in.modelRunning && pdf != static_cast<int>(Pdf::BIVNORMAL) && !pdfParamsInRange(pdf, a.p)) return 0;
  checkPdfParams(in, pdf, a.p);
  Window w;
  Real value;
  switch (static_cast<Pdf>(pdf)) {
    case Pdf::ATRESIA:
      if (in.set.debug > 49) traceInputs(in, info, a, nullptr);
      value = atresia(in, a);
      break;
    case Pdf::BIVNORMAL:
      if (in.set.debug > 49) traceInputs(in, info, a, nullptr);
      value = bivnormal(in, a);
      break;
    case Pdf::FDEPLETE:
      if (in.set.debug > 49) traceInputs(in, info, a, nullptr);
      value = fdeplete(in, a);
      break;
    case Pdf::FAILED:
    case Pdf::IMMUNE:
    case Pdf::STERILE:
      if (in.set.debug > 49) traceInputs(in, info, a, nullptr);
      value = indicator(in, static_cast<Pdf>(pdf), a);
      break;
    default: {
      const Support sup = supportBounds(in, info.timeRange, a.p);
      if (in.set.debug > 49) traceInputs(in, info, a, &sup);
      value = contribution(in, pdf, a.k, sup, a.vars, a.count, a.p, w);
    }
  }
  if (in.set.debug > 25)
    std::printf("%s=%s leftt=%s rightt=%s \n", std::string(info.name).c_str(), num(in, value).c_str(),
                num(in, w.left).c_str(), num(in, w.right).c_str());
  return value;
}

LnGuard lnGuard(const Settings& s) {
  return LnGuard{std::log(s.smallestLikelihood), std::log(s.largestLikelihood), s.smallestLLikelihood,
                 s.largestLLikelihood};
}

bool pdfHasLogTerm(int pdf) { return pdfHasDensity(pdf) && pdfInfo(pdf)->timeRange != 5; }

Real evalPdfLogTerm(Interp& in, const ExprNode* n, const LnGuard& g) {
  const int pdf = n->index;
  const PdfInfo& info = *pdfInfo(pdf);
  Args a;
  gatherPdf(in, n, info, a);
  if (in.modelRunning && !pdfParamsInRange(pdf, a.p)) return guardLn(g, -dens::kInf);
  checkPdfParams(in, pdf, a.p);
  const Support sup = supportBounds(in, info.timeRange, a.p);
  LogLaw law;
  prepareLogLaw(pdf, a.p, law);
  return pdfLogTerm(in, law, a.k, a.k > 0 ? std::log(a.k) : dens::kNaN, sup, a.vars, a.count, g);
}

Real pdfQuantile(Interp& in, int pdf, Real q, Real left, Real right, Real tol, int maxits, const Real* p, Real k) {
  const Settings& s = in.set;
  Real bounds[kMaxPdfParams] = {0, 1};
  if (uniformLike(pdf)) {
    if (!isNegOo(s, left)) bounds[0] = left, bounds[1] = std::floor(left) + 1;
    if (!isNegOo(s, left) && !isPosOo(s, right)) bounds[1] = right;
    p = bounds;
  }
  const Real sLeft = isNegOo(s, left) ? 1 : pdfSurvival(in, pdf, left, p, k);
  const Real sRight = isPosOo(s, right) ? 0 : pdfSurvival(in, pdf, right, p, k);
  checkProportion(in, "QUANTILE probability", q);
  Real target = sLeft - q * (sLeft - sRight);
  if (k != 1) target = std::pow(target, 1 / k);  // S_k = S^k
  return baseQuantile(in, pdf, target, p, tol, maxits);
}

Real evalQuantileForm(Interp& in, const ExprNode* n) {
  const int pdf = n->index;
  const PdfInfo& info = *pdfInfo(pdf);
  if (isSpecial(static_cast<Pdf>(pdf)))
    ReportError(in, ErrCat::Funct, "Cannot call QUANTILE function for " + std::string(info.name));
  const Settings& s = in.set;
  const Real q = slot(n, 0) ? evalReal(in, slot(n, 0)) : 0;
  const Real left = slot(n, 1) ? evalReal(in, slot(n, 1)) : -dens::kInf;
  const Real right = slot(n, 2) ? evalReal(in, slot(n, 2)) : dens::kInf;
  const Real tol = slot(n, 3) ? evalReal(in, slot(n, 3)) : std::max(s.findEps, s.machineEpsilon);
  const int maxits = slot(n, 4) ? static_cast<int>(std::lround(evalReal(in, slot(n, 4)))) : s.findMaxIts;
  Args a;
  gatherParams(in, n, info, kFormSlots, a);
  checkPdfParams(in, pdf, a.p);
  const Real t = pdfQuantile(in, pdf, q, left, right, tol, maxits, a.p, a.k);
  if (n->kind == NodeKind::Quantile) return t;
  Real bounds[kMaxPdfParams] = {0, 1};
  const Real* p = a.p;
  if (uniformLike(pdf)) {
    if (!isNegOo(s, left)) bounds[0] = left, bounds[1] = std::floor(left) + 1;
    if (!isNegOo(s, left) && !isPosOo(s, right)) bounds[1] = right;
    p = bounds;
  }
  const Real f = pdfDensity(in, pdf, t, p, a.k);
  switch (n->kind) {
    case NodeKind::Qdf: return 1 / f;
    case NodeKind::PHazard: return q == 1 ? s.infinity : f / (1 - q);
    default: return f;  // PPDF
  }
}

void pdfNodeFunctions(Interp& in, const ExprNode* n, Real t, Real& survival, Real& density, Real& hazard) {
  const int pdf = n->index;
  const PdfInfo& info = *pdfInfo(pdf);
  if (isSpecial(static_cast<Pdf>(pdf)))
    ReportError(in, ErrCat::Funct, " couldn't call PDF " + std::string(info.name));
  Args a;
  gatherPdf(in, n, info, a);
  checkPdfParams(in, pdf, a.p);
  const Support sup = supportBounds(in, info.timeRange, a.p);
  const int count = std::max(a.count, 2);  // the node's truncation times stay
  Window w;
  a.vars[0] = t;
  a.vars[1] = in.set.infinity;
  survival = contribution(in, pdf, a.k, sup, a.vars, count, a.p, w);
  a.vars[1] = t;
  density = contribution(in, pdf, a.k, sup, a.vars, count, a.p, w);
  hazard = density == 0 ? 0 : density / survival;
}

}  // namespace zav
