#include "dists/random.h"

#include <cmath>
#include <limits>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"

namespace zav {
namespace {

// Three linear congruences: the first two build each table entry (the second
// supplies the low-order digits), the third picks the slot to hand out.
constexpr std::int32_t kM1 = 259200, kIA1 = 7141, kIC1 = 54773;
constexpr std::int32_t kM2 = 134456, kIA2 = 8121, kIC2 = 28411;
constexpr std::int32_t kM3 = 243000, kIA3 = 4561, kIC3 = 51349;
// 1/M1 and 1/M2 rounded to eight significant digits, as the published
// generator has them; the exact reciprocals would change every value.
constexpr Real kRM1 = 0.0000038580247L;
constexpr Real kRM2 = 0.0000074373773L;
constexpr int kTableSize = 97;
static_assert(std::tuple_size_v<decltype(RandomState::table)> == kTableSize);

// The products below stay under 2^31 (7141*259199 + 54773 < 1.86e9), so the
// 32-bit state arithmetic never overflows.
inline std::int32_t step(std::int32_t x, std::int32_t a, std::int32_t c, std::int32_t m) { return (a * x + c) % m; }

inline Real entry(std::int32_t ix1, std::int32_t ix2) { return (ix1 + ix2 * kRM2) * kRM1; }

void initialise(RandomState& g, std::int32_t idum) {
  // Widened so that a seed near the 32-bit limit cannot wrap into a negative
  // state; the remainder is taken as a non-negative value.
  std::int64_t start = (static_cast<std::int64_t>(kIC1) - idum) % kM1;
  if (start < 0) start += kM1;
  g.ix1 = static_cast<std::int32_t>(start);
  g.ix1 = step(g.ix1, kIA1, kIC1, kM1);
  g.ix2 = g.ix1 % kM2;
  g.ix1 = step(g.ix1, kIA1, kIC1, kM1);
  g.ix3 = g.ix1 % kM3;
  for (Real& slot : g.table) {
    g.ix1 = step(g.ix1, kIA1, kIC1, kM1);
    g.ix2 = step(g.ix2, kIA2, kIC2, kM2);
    slot = entry(g.ix1, g.ix2);
  }
  g.ready = true;
}

// Because RM1 is a little above 1/M1, an entry can exceed 1 by about 2e-9 when
// ix1 = M1 - 1 and ix2 is near M2, and it is exactly 0 when both states are 0.
// Both are pulled just inside the open interval the language promises, so
// that IRAND never leaves its range.
inline Real insideUnit(Real u) {
  constexpr Real kBelowOne = 1.0L - std::numeric_limits<Real>::epsilon() / 2;
  if (u >= 1) return kBelowOne;
  if (u <= 0) return kRM1 * kRM2;  // the smallest step the generator resolves
  return u;
}

}  // namespace

Real randUniform(Interp& in) {
  RandomState& g = in.rng;
  std::int32_t& idum = in.set.randomSeed;
  // A program may also assign RANDOMSEED directly; a non-negative value before
  // the first draw still seeds the table rather than leaving it empty.
  if (idum < 0 || !g.ready) {
    initialise(g, idum < 0 ? idum : -idum);
    idum = 1;
  }
  g.ix1 = step(g.ix1, kIA1, kIC1, kM1);
  g.ix2 = step(g.ix2, kIA2, kIC2, kM2);
  g.ix3 = step(g.ix3, kIA3, kIC3, kM3);
  int j = (kTableSize * g.ix3) / kM3;
  Real u = g.table[j];
  g.table[j] = entry(g.ix1, g.ix2);
  return insideUnit(u);
}

Real randReal(Interp& in, Real x1, Real x2) { return x1 + randUniform(in) * (x2 - x1); }

std::int32_t randInt(Interp& in, std::int32_t x1, std::int32_t x2) {
  Real u = randUniform(in);
  // Floor rather than truncation: truncating toward zero would fold the
  // lowest value of a range below zero onto its neighbour and yield x2 + 1.
  Real r = std::floor(u * (static_cast<Real>(x2) - x1 + 1) + x1);
  Real lo = std::min(x1, x2), hi = std::max(x1, x2);
  if (r < lo) r = lo;
  if (r > hi) r = hi;
  return static_cast<std::int32_t>(r);
}

void randSeed(Interp& in, std::int32_t n) {
  if (n <= 0) ReportError(in, ErrCat::Math, "Bad random seed:" + std::to_string(n));
  in.set.randomSeed = -n;
}

std::int32_t clockSeedFrom(const DateTime& t) {
  // Hundredths since midnight change fastest; the day number spreads seeds
  // taken at the same time on different days. 248 days * 8640000 < 2^31.
  std::int64_t hundredths = ((t.hour * 60LL + t.minute) * 60 + t.second) * 100 + t.hundredths;
  std::int64_t day = t.julianDay % 248;
  if (day < 0) day += 248;
  return static_cast<std::int32_t>(day * 8640000 + hundredths + 1);
}

std::int32_t clockSeed(Interp&) { return clockSeedFrom(now()); }

}  // namespace zav
