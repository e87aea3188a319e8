// The bivariate normal upper orthant by Drezner and Wesolowsky's method as
// refined by Genz: for |r| < 0.925 Sheppard's integral over the angle,
//   P = Phi(-h) Phi(-k) + (1/2pi) int_0^asin(r) exp(-(h^2 + k^2 - 2hk sin t)/(2 cos^2 t)) dt,
// and closer to +-1 an expansion around the degenerate law plus a
// Gauss-Legendre correction. Both use the 20-point rule throughout.
#include "dists/bivnormal.h"

#include <algorithm>
#include <cmath>

#include "dists/densmath.h"

namespace zav {
namespace {

using dens::kInf;
using dens::kTwoPi;
using dens::normLower;
using dens::normUpper;

// Gauss-Legendre nodes in (0, 1) and weights of the 20-point rule on [-1, 1].
constexpr Real kGL[10][2] = {
    {0.9931285991850949247861224L, 0.01761400713915211831186196L},
    {0.9639719272779137912676661L, 0.04060142980038694133103995L},
    {0.9122344282513259058677524L, 0.06267204833410906356950654L},
    {0.8391169718222188233945291L, 0.08327674157670474872475814L},
    {0.7463319064601507926143051L, 0.1019301198172404350367501L},
    {0.6360536807265150254528367L, 0.1181945319615184173123774L},
    {0.5108670019508270980043641L, 0.1316886384491766268984945L},
    {0.3737060887154195606725482L, 0.1420961093183820513292983L},
    {0.2277858511416450780804962L, 0.1491729864726037467878287L},
    {0.07652652113349733375464041L, 0.1527533871307258506980843L},
};

}  // namespace

Real bvnUpper(Real h, Real k, Real r) {
  if (std::isnan(h) || std::isnan(k) || std::isnan(r)) return dens::kNaN;
  if (h == kInf || k == kInf) return 0;
  if (h == -kInf) return k == -kInf ? 1 : normUpper(k);
  if (k == -kInf) return normUpper(h);
  if (r == 0) return normUpper(h) * normUpper(k);
  Real hk = h * k;
  Real bvn = 0;
  if (std::fabs(r) < 0.925L) {
    const Real hs = (h * h + k * k) / 2;
    const Real asr = std::asin(r) / 2;
    for (const auto& node : kGL) {
      for (const Real x : {1 - node[0], 1 + node[0]}) {
        const Real sn = std::sin(asr * x);
        bvn += node[1] * std::exp((sn * hk - hs) / (1 - sn * sn));
      }
    }
    return std::clamp<Real>(bvn * asr / kTwoPi + normUpper(h) * normUpper(k), 0, 1);
  }
  if (r < 0) {
    k = -k;
    hk = -hk;
  }
  if (std::fabs(r) < 1) {
    const Real as = (1 - r) * (1 + r);
    Real a = std::sqrt(as);
    const Real bs = (h - k) * (h - k);
    const Real c = (4 - hk) / 8;
    const Real d = (12 - hk) / 16;
    Real asr = -(bs / as + hk) / 2;
    if (asr > -100) bvn = a * std::exp(asr) * (1 - c * (bs - as) * (1 - d * bs / 5) / 3 + c * d * as * as / 5);
    if (hk > -100) {
      const Real b = std::sqrt(bs);
      const Real sp = std::sqrt(kTwoPi) * normLower(-b / a);
      bvn -= std::exp(-hk / 2) * sp * b * (1 - c * bs * (1 - d * bs / 5) / 3);
    }
    a /= 2;
    Real sum = 0;
    for (const auto& node : kGL) {
      for (const Real x : {1 - node[0], 1 + node[0]}) {
        const Real xs = (a * x) * (a * x);
        const Real asx = -(bs / xs + hk) / 2;
        if (asx <= -100) continue;
        const Real rs = std::sqrt(1 - xs);
        const Real sp = 1 + c * xs * (1 + d * xs);
        const Real ep = std::exp(-hk * xs / (2 * (1 + rs) * (1 + rs))) / rs;
        sum += node[1] * std::exp(asx) * (sp - ep);
      }
    }
    bvn = (a * sum - bvn) / kTwoPi;
  }
  if (r > 0) {
    bvn += normUpper(std::max(h, k));
  } else if (h >= k) {
    bvn = -bvn;
  } else {
    const Real L = h < 0 ? normLower(k) - normLower(h) : normUpper(h) - normUpper(k);
    bvn = L - bvn;
  }
  return std::clamp<Real>(bvn, 0, 1);
}

Real bvnRectangle(Real h1, Real h2, Real k1, Real k2, Real r) {
  if (!(h1 < h2) || !(k1 < k2)) return 0;
  const Real v = bvnUpper(h1, k1, r) - bvnUpper(h2, k1, r) - bvnUpper(h1, k2, r) + bvnUpper(h2, k2, r);
  return std::max<Real>(v, 0);
}

Real bvnDensity(Real x, Real y, Real r) {
  const Real one = (1 - r) * (1 + r);
  if (!(one > 0)) return 0;
  return std::exp(-(x * x - 2 * r * x * y + y * y) / (2 * one)) / (kTwoPi * std::sqrt(one));
}

}  // namespace zav
