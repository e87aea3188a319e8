// Uniform random numbers: the three-congruence shuffled generator. Every
// machine gives the same sequence for the same seed, so programs that use
// RAND (and the annealing maximiser) are reproducible.
#pragma once
#include <array>
#include <cstdint>

#include "symbols/value.h"

namespace zav {

struct Interp;
struct DateTime;

// The generator's state. The seed word itself is the bound setting
// RANDOMSEED (Interp::set.randomSeed): negative means "initialise from it at
// the next draw", and it becomes 1 once the table is filled.
struct RandomState {
  std::int32_t ix1 = 0, ix2 = 0, ix3 = 0;
  std::array<Real, 97> table{};
  bool ready = false;  // the table has been filled at least once
};

// RAND: a uniform deviate in (0, 1).
Real randUniform(Interp& in);
// RRAND: x1 + u*(x2 - x1).
Real randReal(Interp& in, Real x1, Real x2);
// IRAND: an integer from x1 to x2, each equally likely.
std::int32_t randInt(Interp& in, std::int32_t x1, std::int32_t x2);

// SEED: n > 0 re-initialises the generator from n at the next draw; n <= 0
// stops the run ("Bad random seed:").
void randSeed(Interp& in, std::int32_t n);

// CLOCKSEED: a positive seed from the current date and time.
std::int32_t clockSeed(Interp& in);
// The same from a given clock reading (always in 1 .. 2^31 - 1).
std::int32_t clockSeedFrom(const DateTime& t);

}  // namespace zav
