// The discrete laws: f(t) is the probability of the whole number t and
// S(t) = P(T > t). Every routine receives t already rounded. Tails are
// summed from the side where they are small, so S keeps its relative
// precision far out; sums that have no closed form stop when a term no
// longer changes them.
#include <boost/math/distributions/hypergeometric.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densmath.h"

namespace zav::dens {
namespace {

constexpr Real kTiny = 1e-22L;  // a term this small relative to its sum ends the sum

// C(n, k) for real n >= k >= 0.
inline Real binomCoef(Real n, Real k) { return 1 / ((n + 1) * betaFn(k + 1, n - k + 1)); }

}  // namespace

// BERNOULLITRIAL: f(1) = p, f(0) = 1 - p.
Real bernoulliF(const Real* p, Real t) { return t == 1 ? p[0] : (t == 0 ? 1 - p[0] : 0); }
Real bernoulliS(const Real* p, Real t) { return t < 0 ? 1 : (t < 1 ? p[0] : 0); }

// BINOMIAL: f = comb(n, t) p^t (1-p)^(n-t), S = ibeta(p, t+1, n-t).
Real binomialF(const Real* p, Real t) {
  const Real n = p[1];
  if (t < 0 || t > n) return 0;
  return ibetaDeriv(t + 1, n - t + 1, p[0]) / (n + 1);
}
Real binomialS(const Real* p, Real t) {
  if (t < 0) return 1;
  if (t >= p[1]) return 0;
  return ibeta(t + 1, p[1] - t, p[0]);
}

// GEOMETRIC (failures before the first success): f = p (1-p)^t, S = (1-p)^(t+1).
Real geometricF(const Real* p, Real t) {
  if (t < 0) return 0;
  return p[0] * powr(1 - p[0], t);
}
Real geometricS(const Real* p, Real t) {
  if (t < 0) return 1;
  return powr(1 - p[0], t + 1);
}

// NEGBINOMIAL (failures before the n-th success):
// f = comb(n+t-1, t) p^n (1-p)^t, S = ibeta(1-p, t+1, n).
Real negBinomialF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real n = p[1];
  return p[0] * ibetaDeriv(n, t + 1, p[0]) / (n + t);
}
Real negBinomialS(const Real* p, Real t) {
  if (t < 0) return 1;
  return ibetac(p[1], t + 1, p[0]);
}

// PASCAL (trials up to the n-th success), t >= n:
// f = comb(t-1, n-1) p^n (1-p)^(t-n), S = ibeta(1-p, t-n+1, n).
Real pascalF(const Real* p, Real t) {
  if (t < p[1]) return 0;
  return negBinomialF(p, t - p[1]);
}
Real pascalS(const Real* p, Real t) {
  if (t < p[1]) return 1;
  return negBinomialS(p, t - p[1]);
}

// POISSON: f = exp(-a) a^t / t!, S = igamma(t+1, a).
Real poissonF(const Real* p, Real t) {
  if (t < 0) return 0;
  return gammaPDeriv(t + 1, p[0]);
}
Real poissonS(const Real* p, Real t) {
  if (t < 0) return 1;
  return gammaP(t + 1, p[0]);
}

namespace {

using HyperGeo = boost::math::hypergeometric_distribution<Real, BoostQuiet>;

// The urn of the two hypergeometric laws: N = n balls, K = n p of them
// marked, all rounded; false when the counts make no urn.
bool urn(const Real* p, Real& N, Real& K) {
  N = std::round(p[2]);
  K = std::round(p[0] * N);
  return N >= 0 && K >= 0 && K <= N && N < 4e9L;
}
// P(X = x) and P(X <= x) for X marked balls among `draws` drawn from the urn.
Real hyperPmf(Real K, Real draws, Real N, Real x) {
  if (x < std::max<Real>(0, draws + K - N) || x > std::min(draws, K)) return 0;
  return quiet([&] {
    return boost::math::pdf(HyperGeo(static_cast<unsigned>(K), static_cast<unsigned>(draws), static_cast<unsigned>(N)),
                            static_cast<unsigned>(x));
  });
}
Real hyperCdf(Real K, Real draws, Real N, Real x) {
  if (x < std::max<Real>(0, draws + K - N)) return 0;
  if (x >= std::min(draws, K)) return 1;
  return quiet([&] {
    return boost::math::cdf(HyperGeo(static_cast<unsigned>(K), static_cast<unsigned>(draws), static_cast<unsigned>(N)),
                            static_cast<unsigned>(x));
  });
}
Real hyperUpper(Real K, Real draws, Real N, Real x) {  // P(X > x)
  if (x < std::max<Real>(0, draws + K - N)) return 1;
  if (x >= std::min(draws, K)) return 0;
  return quiet([&] {
    return boost::math::cdf(boost::math::complement(
        HyperGeo(static_cast<unsigned>(K), static_cast<unsigned>(draws), static_cast<unsigned>(N)),
        static_cast<unsigned>(x)));
  });
}

}  // namespace

// HYPERGEOMETRIC: t marked among m drawn from n balls of which n p are
// marked: f = comb(n p, t) comb(n - n p, m - t) / comb(n, m).
Real hypergeometricF(const Real* p, Real t) {
  Real N, K;
  const Real m = std::round(p[1]);
  if (!urn(p, N, K) || m < 0 || m > N) return 0;
  return hyperPmf(K, m, N, t);
}
Real hypergeometricS(const Real* p, Real t) {
  Real N, K;
  const Real m = std::round(p[1]);
  if (!urn(p, N, K) || m < 0 || m > N) return t < 0 ? 1 : 0;
  return hyperUpper(K, m, N, t);
}

// NEGHYPERGEOMETRIC: the draw t that brings the m-th marked ball out of n
// balls of which n p are marked: f = comb(t-1, m-1) comb(n-t, np-m) / comb(n, np),
// the chance of m-1 marked in the first t-1 draws times that of a marked
// ball next; S(t) is the chance of fewer than m marked in the first t draws.
Real negHypergeometricF(const Real* p, Real t) {
  Real N, K;
  const Real m = std::round(p[1]);
  if (!urn(p, N, K) || m < 1 || m > K || t < m || t > N - K + m) return 0;
  return hyperPmf(K, t - 1, N, m - 1) * (K - m + 1) / (N - t + 1);
}
Real negHypergeometricS(const Real* p, Real t) {
  Real N, K;
  const Real m = std::round(p[1]);
  if (!urn(p, N, K) || m < 1 || m > K) return t < m ? 1 : 0;
  if (t < m) return 1;
  if (t >= N - K + m) return 0;
  return hyperCdf(K, t, N, m - 1);
}

// LOGSERIES, t >= 1: f = -p^t / (t ln(1-p)); S is the sum of f beyond t.
// p = 0 puts all mass on 1; as p reaches 1 the mass leaves for +oo.
Real logSeriesF(const Real* p, Real t) {
  if (t < 1) return 0;
  if (p[0] <= 0) return t == 1 ? 1 : 0;
  if (p[0] >= 1) return 0;
  return expOf(t * std::log(p[0])) / (t * -std::log1p(-p[0]));
}
Real logSeriesS(const Real* p, Real t) {
  if (t < 1) return 1;
  const Real q = p[0];
  if (q <= 0) return 0;
  if (q >= 1) return 1;
  const Real norm = -std::log1p(-q);
  const Real lnq = std::log(q);
  // Past t the terms shrink at least by q each: sum the tail directly where
  // it is below a half, the head otherwise; either sum is short unless q is
  // within 1e-7 of 1, where it stops after 1e8 terms.
  constexpr Real kMaxTerms = 1e8L;
  if ((t + 1) * lnq < std::log(0.5L)) {
    Real term = std::exp((t + 1) * lnq), sum = 0;
    for (Real j = t + 1; term > kTiny * sum && j < t + kMaxTerms; ++j) {
      sum += term / j;
      term *= q;
    }
    return sum / norm;
  }
  Real term = q, sum = 0;
  for (Real j = 1; j <= t && j < kMaxTerms; ++j) {
    sum += term / j;
    term *= q;
  }
  return 1 - sum / norm;
}

namespace {

// One probability of the Polya urn: n draws, initial marked share p, each
// drawn ball returned with c times the urn's size of its own colour:
// f = comb(n, t) prod_(j<t) (p + j c) prod_(j<n-t) (1 - p + j c) / prod_(j<n) (1 + j c).
// Each product is a ratio of gamma functions,
// prod_(j<k) (x + j c) = |c|^k gamma(x/c + k)/gamma(x/c) for c > 0 and
// |c|^k gamma(x/|c| + 1)/gamma(x/|c| + 1 - k) for c < 0; the powers of |c|
// cancel in f. The ratios are formed directly where they stay in range,
// else through their logarithms; a product that reaches a factor <= 0 is
// multiplied out.
struct Product {
  Real ratio;  // the product without its power of |c|; 0 when out of range
  Real ln;     // ln |ratio|
  int sign;
};

Product polyaProduct(Real x, Real c, Real k) {
  if (k == 0) return {1, 0, 1};
  const Real u = std::fabs(c);
  if (c > 0) {
    const Real r = quiet([&] { return 1 / boost::math::tgamma_delta_ratio(x / u, k, BoostQuiet()); });
    return {r, lnGamma(x / u + k) - lnGamma(x / u), 1};
  }
  const Real a = x / u + 1;
  if (a - k > 0) {
    const Real r = quiet([&] { return boost::math::tgamma_delta_ratio(a, -k, BoostQuiet()); });
    return {r, lnGamma(a) - lnGamma(a - k), 1};
  }
  Product pr{1, 0, 1};
  for (Real j = 0; j < k; ++j) {
    const Real factor = x / u - j;
    pr.ln += std::log(std::fabs(factor));
    if (factor < 0) pr.sign = -pr.sign;
    pr.ratio *= factor;
  }
  return pr;
}

Real polyaTerm(Real p, Real n, Real c, Real t) {
  if (t < 0 || t > n) return 0;
  if (c == 0) return ibetaDeriv(t + 1, n - t + 1, p) / (n + 1);
  if (p == 0) return t == 0 ? 1 : 0;
  if (p == 1) return t == n ? 1 : 0;
  const Product a = polyaProduct(p, c, t), b = polyaProduct(1 - p, c, n - t), d = polyaProduct(1, c, n);
  auto usable = [](Real r) { return std::isfinite(r) && std::fabs(r) > 1e-4000L; };
  if (usable(a.ratio) && usable(b.ratio) && usable(d.ratio)) return binomCoef(n, t) * a.ratio * b.ratio / d.ratio;
  const Real lnComb = lnGamma(n + 1) - lnGamma(t + 1) - lnGamma(n - t + 1);
  return a.sign * b.sign * d.sign * expOf(lnComb + a.ln + b.ln - d.ln);
}

}  // namespace

// POLYAEGGENBERGER with p, n draws (rounded) and c.
Real polyaF(const Real* p, Real t) { return polyaTerm(p[0], std::round(p[1]), p[2], t); }
Real polyaS(const Real* p, Real t) {
  const Real n = std::round(p[1]);
  if (t < 0) return 1;
  Real sum = 0;
  for (Real j = t + 1; j <= n; ++j) sum += polyaTerm(p[0], n, p[2], j);
  return sum;
}

namespace {

// THOMAS: a Poisson(a) number of clusters, each of one unit and a
// Poisson(b) number of others: f(0) = exp(-a),
// f(k) = sum_(j=1..k) [exp(-a) a^j / j!] [exp(-j b) (j b)^(k-j) / (k-j)!].
Real thomasTerm(Real a, Real b, Real k) {
  if (k < 0) return 0;
  if (k == 0) return std::exp(-a);
  // Cluster counts far from a carry no weight.
  const Real spread = 40 * std::sqrt(a) + 40;
  Real sum = 0;
  for (Real j = std::max<Real>(1, std::floor(a - spread)); j <= std::min(k, a + spread); ++j)
    sum += gammaPDeriv(j + 1, a) * gammaPDeriv(k - j + 1, j * b);
  return sum;
}

}  // namespace

constexpr int kPanjerMax = 512;  // the head recursion's stack arrays

Real thomasF(const Real* p, Real t) { return thomasTerm(p[0], p[1], t); }
Real thomasS(const Real* p, Real t) {
  const Real a = p[0], b = p[1];
  if (t < 0) return 1;
  const Real mean = a * (1 + b);
  if (t < kPanjerMax - 1 && a < 10000) {
    // Panjer's recursion for a compound Poisson law with cluster sizes
    // g(i) = P(1 + Poisson(b) = i): f(k) = (a/k) sum_(i=1..k) i g(i) f(k-i).
    // The tail beyond t is summed until its terms vanish; when the arrays
    // end first, the head is taken from 1 (only where it is not small).
    Real f[kPanjerMax], ig[kPanjerMax];
    f[0] = std::exp(-a);
    Real head = f[0], tail = 0;
    for (int k = 1; k < kPanjerMax; ++k) {
      ig[k] = k * gammaPDeriv(k, b);
      Real sum = 0;
      for (int i = 1; i <= k; ++i) sum += ig[i] * f[k - i];
      f[k] = a / k * sum;
      if (k <= t) {
        head += f[k];
      } else {
        tail += f[k];
        if (f[k] <= kTiny * tail && k > mean) return tail;
      }
    }
    if (t <= 2 * mean + 10) return std::max<Real>(0, 1 - head);
  }
  Real sum = 0;
  for (Real k = t + 1; k < t + 20000; ++k) {
    const Real term = thomasTerm(a, b, k);
    sum += term;
    if (term <= kTiny * sum) break;
  }
  return sum;
}

namespace {

// The Hurwitz zeta function zeta(s, q) = sum_(k>=0) (q + k)^-s for s > 1 by
// Euler-Maclaurin summation: a head of terms, the integral of the rest, and
// the Bernoulli corrections B_2j / (2j)! s (s+1) ... (s+2j-2) x^(-s-2j+1).
Real hurwitzZeta(Real s, Real q) {
  static constexpr Real kB[] = {1.0L / 6,         -1.0L / 30,        1.0L / 42,         -1.0L / 30,
                                5.0L / 66,        -691.0L / 2730,    7.0L / 6,          -3617.0L / 510,
                                43867.0L / 798,   -174611.0L / 330,  854513.0L / 138,   -236364091.0L / 2730};
  Real sum = 0;
  const Real head = std::max<Real>(0, std::ceil(24 + s - q));
  Real k = 0;
  for (; k < head; ++k) {
    const Real term = powr(q + k, -s);
    sum += term;
    // For large s the terms vanish at once, and so does the rest.
    if (term <= kTiny * sum && q + k < s) return sum;
  }
  const Real x = q + k;
  sum += powr(x, 1 - s) / (s - 1) + powr(x, -s) / 2;
  Real rising = s;                   // s (s+1) ... (s+2j-2)
  Real power = powr(x, -s - 1);  // x^(-s-2j+1)
  Real fact = 2;                     // (2j)!
  for (int j = 1; j <= 12; ++j) {
    const Real add = kB[j - 1] / fact * rising * power;
    sum += add;
    if (std::fabs(add) < kTiny * sum) break;
    rising *= (s + 2 * j - 1) * (s + 2 * j);
    power /= x * x;
    fact *= static_cast<Real>(2 * j + 1) * static_cast<Real>(2 * j + 2);
  }
  return sum;
}

}  // namespace

// ZIPF, t >= 1: f = t^-(a+1) / zeta(a+1), S = zeta(a+1, t+1) / zeta(a+1).
Real zipfF(const Real* p, Real t) {
  if (t < 1) return 0;
  const Real s = p[0] + 1;
  return powr(t, -s) / hurwitzZeta(s, 1);
}
Real zipfS(const Real* p, Real t) {
  if (t < 1) return 1;
  const Real s = p[0] + 1;
  return hurwitzZeta(s, t + 1) / hurwitzZeta(s, 1);
}

}  // namespace zav::dens
