// The shuffled three-congruence generator.
//
// Reference sequences: produced by a separate 20-line python3 program written
// from the published description of the generator (the three congruences,
// the 97-slot table, the RM1/RM2 constants as eight-digit decimals), with
// every table entry kept as an exact fractions.Fraction, printed to 22
// digits. The C++ code rounds each entry twice in 64-bit precision, hence
// the relative tolerance of 1e-18 (about 10 units in the last place); any
// slip in the state arithmetic would change the values in the first digits.
#include "dists/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "support.h"

namespace zav {
namespace {

constexpr std::array<Real, 8> kDefaultSeed = {
    0.3900425109940376578547L, 0.1711484140160540815680L, 0.6423839055290095030321L, 0.8688522419247347494191L,
    0.1705670430414515509428L, 0.6933577548777696024009L, 0.2405430338407815577908L, 0.2318320421190874602977L};
constexpr std::array<Real, 8> kSeed12345 = {
    0.1444481728394607316670L, 0.5430696880184243083129L, 0.5110078174723837346543L, 0.4379550489332880211476L,
    0.0601667066510930367940L, 0.0122568680035037804854L, 0.1486673135981513716058L, 0.7957139637756572987846L};
constexpr Real kDefault1000th = 0.9402850354013641836860L;

void expectSequence(Interp& in, const std::array<Real, 8>& want) {
  for (std::size_t i = 0; i < want.size(); ++i) {
    Real u = randUniform(in);
    EXPECT_NEAR(u, want[i], want[i] * 1e-18L) << "draw " << i + 1;
  }
}

TEST(Random, DefaultSeedSequence) {
  Interp in;
  EXPECT_EQ(in.set.randomSeed, -1);
  expectSequence(in, kDefaultSeed);
  EXPECT_EQ(in.set.randomSeed, 1);  // initialised: the seed word is spent
  for (int i = 9; i < 1000; ++i) randUniform(in);
  EXPECT_NEAR(randUniform(in), kDefault1000th, 1e-18L);
}

TEST(Random, PositiveSeedSequenceAndRepeat) {
  Interp in;
  randSeed(in, 12345);
  EXPECT_EQ(in.set.randomSeed, -12345);
  expectSequence(in, kSeed12345);
  // The same seed again gives the same sequence, whatever came before.
  randSeed(in, 12345);
  expectSequence(in, kSeed12345);
  // Assigning RANDOMSEED directly is the same as SEED.
  in.set.randomSeed = -1;
  expectSequence(in, kDefaultSeed);
}

TEST(Random, NonNegativeSeedWordBeforeFirstDraw) {
  // A program may set RANDOMSEED to a positive value before any draw; the
  // table is still filled, from that value, as SEED would.
  Interp a, b;
  a.set.randomSeed = 12345;
  randSeed(b, 12345);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(randUniform(a), randUniform(b));
}

TEST(Random, BadSeedStopsTheRun) {
  for (int n : {0, -3}) {
    Interp in;
    const std::string out = test::endedRun([&] { randSeed(in, n); }, test::kAnyStatus);
    EXPECT_NE(out.find("Error (math): Bad random seed:" + std::to_string(n)), std::string::npos) << out;
  }
}

TEST(Random, IrandFollowsTheDeviates) {
  // trunc(u*6 + 1) of the reference deviates above.
  Interp in;
  const int want[] = {3, 2, 4, 6, 2, 5, 2, 2};
  for (int w : want) EXPECT_EQ(randInt(in, 1, 6), w);
}

TEST(Random, RangesAndSpread) {
  Interp in;
  randSeed(in, 777);
  std::array<int, 6> die{};
  std::array<int, 3> negative{};
  Real sum = 0;
  constexpr int kDraws = 60000;
  for (int i = 0; i < kDraws; ++i) {
    Real u = randUniform(in);
    ASSERT_GT(u, 0);
    ASSERT_LT(u, 1);
    sum += u;
    std::int32_t k = randInt(in, 1, 6);
    ASSERT_GE(k, 1);
    ASSERT_LE(k, 6);
    ++die[k - 1];
    std::int32_t m = randInt(in, -3, -1);  // a range below zero reaches both ends
    ASSERT_GE(m, -3);
    ASSERT_LE(m, -1);
    ++negative[m + 3];
    Real r = randReal(in, 2, 5);
    ASSERT_GE(r, 2);
    ASSERT_LT(r, 5);
  }
  // Binomial standard deviation of a count is about 91 (die) and 115 (thirds);
  // 6 of them is far outside chance.
  for (int c : die) EXPECT_NEAR(c, kDraws / 6, 550);
  for (int c : negative) EXPECT_NEAR(c, kDraws / 3, 700);
  EXPECT_NEAR(sum / kDraws, 0.5L, 6 * std::sqrt(1.0L / 12 / kDraws));
  EXPECT_EQ(randInt(in, 4, 4), 4);
  EXPECT_EQ(randInt(in, 2147483646, 2147483647) >= 2147483646, true);
}

TEST(Random, EntriesOutsideTheOpenIntervalArePulledIn) {
  // RM1 is a little above 1/M1, so the largest states give an entry of
  // (259199 + 134455*RM2)*RM1 = 1.0000000022; both states 0 give exactly 0.
  Interp in;
  randUniform(in);
  in.rng.table.fill((259199 + 134455 * 0.0000074373773L) * 0.0000038580247L);
  ASSERT_GT(in.rng.table[0], 1);
  Real u = randUniform(in);
  EXPECT_LT(u, 1);
  EXPECT_GT(u, 0.999L);
  EXPECT_EQ(randInt(in, 1, 6), 6);
  in.rng.table.fill(0);
  u = randUniform(in);
  EXPECT_GT(u, 0);
  EXPECT_EQ(randInt(in, 1, 6), 1);
}

TEST(Random, ClockSeedIsAValidSeed) {
  DateTime t;
  t.julianDay = 2451545;
  t.hour = 12, t.minute = 34, t.second = 56, t.hundredths = 78;
  std::int32_t s1 = clockSeedFrom(t);
  t.hundredths = 79;
  std::int32_t s2 = clockSeedFrom(t);
  EXPECT_GT(s1, 0);
  EXPECT_NE(s1, s2);
  t.julianDay += 1;
  EXPECT_NE(clockSeedFrom(t), s2);
  // The largest reading of any day still fits a positive 32-bit seed.
  t.hour = 23, t.minute = 59, t.second = 59, t.hundredths = 99;
  for (std::int32_t d = 0; d < 248; ++d) {
    t.julianDay = 2451545 + d;
    ASSERT_GT(clockSeedFrom(t), 0);
  }
  Interp in;
  randSeed(in, clockSeed(in));  // accepted by SEED
}

}  // namespace
}  // namespace zav
