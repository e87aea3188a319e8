// ln Q(z) = ln P(Z > z) and the normal hazard phi(z)/Q(z) of the fast pair,
// against high-precision values over the whole line, densely against
// libquadmath's erfcq under GCC, and on the special values.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "dists/densmath.h"
#include "funcs/fastnorm.h"

#ifdef ZAV_HAVE_QUADMATH
#include <quadmath.h>
#endif

namespace zav {
namespace {

// Relative error allowed: about 18 ulp of the 64-bit significand; the
// routines are within 5 ulp on a dense grid of [-40, 40].
constexpr double kBound = 1e-18;

double relError(Real got, Real want) { return static_cast<double>(std::fabs(got / want - 1)); }

// z, ln Q(z), phi(z)/Q(z): computed once with mpmath at 256 bits, as
// log(erfc(z/sqrt 2)/2) for z >= 0 and log1p(-erfc(-z/sqrt 2)/2) below, and
// npdf(z)/Q(z), at the exact long double z. The hex z are the long doubles
// nearest the tables' breakpoints x = z/sqrt 2 = 1/8, 31/8, 4 (where the far
// table starts) and 12, on both sides of 0; the continued fraction takes
// over at |z| = 30.
struct Row {
  Real z, lnQ, hazard;
};
constexpr Row kRows[] = {
      {-40L, -3.655893540915029703748986e-350L, 1.463270250838303178737097e-348L},
      {-35L, -1.124910706472406243979243e-268L, 3.940396277136024330690949e-267L},
      {-30L, -4.906713927148187059533809e-198L, 1.473646134878547519049493e-196L},
      {-29.9990234375L, -5.052753465097593097429819e-198L, 1.517457279697940610127687e-196L},
      {-25L, -3.056696706382560916402749e-138L, 7.65392973641939265964969e-137L},
      {-20L, -2.753624118606233695075623e-89L, 5.520948362159763189582736e-88L},
      {-0x8.7C3B666FB66CB63p+1L, -6.781305846029521116422483e-65L, 1.154794406870886692836061e-63L},
      {-15L, -3.67096619931275088578609e-51L, 5.530709549844416159161768e-50L},
      {-9.5L, -1.049451507536260749284029e-21L, 1.00779353943000098877798e-20L},
      {-7L, -1.279812543886653964457368e-12L, 9.134720408376284072632144e-12L},
      {-0xB.504F333F9DE6484p-1L, -7.708628979851489731044225e-9L, 4.489503957395408942086406e-8L},
      {-0xA.F5CCB9A5A0F7160p-1L, -2.125697226717499440849652e-8L, 1.201453578320510920321989e-7L},
      {-4L, -3.167174337748926386027329e-5L, 1.338344644685751421128261e-4L},
      {-3L, -1.35080996474819379884111e-3L, 4.437839042125663793302104e-3L},
      {-2L, -0.02301290932896348846533617L, 0.05524786267898995910230097L},
      {-1.5L, -0.06914345561223398299301514L, 0.1387897504588507562023231L},
      {-1L, -0.1727537790234498895264832L, 0.2875999709391783612286701L},
      {-0.5L, -0.3689464152886563930656156L, 0.5091604338370334858271861L},
      {-0xB.504F333F9DE6484p-6L, -0.5618415839814691579457846L, 0.6888567433704922447030994L},
      {-0.125L, -0.5983130689124249938576128L, 0.7200475955025253829634099L},
      {-0x1p-40L, -0.6931471805592196376365558L, 0.79788456080228635356988L},
      {0L, -0.6931471805599453094172321L, 0.7978845608028653558798921L},
      {0x1p-40L, -0.693147180560670981197909L, 0.7978845608034443581899044L},
      {0.0625L, -0.7442671616076408822588473L, 0.8380944327550639181717335L},
      {0xB.504F333F9DE6484p-6L, -0.8443378179069449484705349L, 0.9137249203010972703262867L},
      {0.5L, -1.175911761593618608879729L, 1.141077770368064480883883L},
      {1L, -1.841021645009263505770783L, 1.525135276160981209089091L},
      {1.5L, -2.705944400823889806957057L, 1.938677166622543189451843L},
      {2L, -3.783184333682031948835547L, 2.373215532822840867299033L},
      {2.5L, -5.081648277278690498380462L, 2.822744797663907250474384L},
      {3L, -6.607726221510349543276077L, 3.283098654930436506928092L},
      {4L, -10.36010148652729082786072L, 4.225607144489471072751309L},
      {0xA.F5CCB9A5A0F7160p-1L, -17.66658089932911256435535L, 5.652044658336230900423771L},
      {0xB.504F333F9DE6484p-1L, -18.68092549266295181153472L, 5.823997953236479619743284L},
      {6L, -20.73676894997470565496885L, 6.158482604544598917277503L},
      {8L, -35.01343715991454989550413L, 8.12136811223611268065352L},
      {10L, -53.23128515051247057834703L, 10.09809323396251196284364L},
      {12L, -75.41067300156879593883968L, 12.08221417525428432981885L},
      {15L, -116.1313848457116952359086L, 15.06608682716782203504315L},
      {0x8.7C3B666FB66CB63p+1L, -147.7538613585469547875215L, 17.02908603579682161000925L},
      {20L, -203.9171553710972639368045L, 20.04975306852785054221402L},
      {25L, -316.6394080080202589351958L, 25.03987301205756258318018L},
      {29.9990234375L, -454.2919150775100464923369L, 30.03228418287040200495313L},
      {30L, -454.3212439563431971073558L, 30.03325966743367703707112L},
      {35L, -616.9751012619225134732442L, 35.02852497059668787027865L},
      {40L, -804.6084420137537881666068L, 40.02496884720726372324487L},
};

TEST(FastNorm, ReferenceValues) {
  for (const Row& r : kRows) {
    Real lnQ, hazard;
    fastNormTail(r.z, lnQ, hazard);
    EXPECT_LE(relError(lnQ, r.lnQ), kBound) << static_cast<double>(r.z);
    EXPECT_LE(relError(hazard, r.hazard), kBound) << static_cast<double>(r.z);
    EXPECT_EQ(fastLnNormUpper(r.z), lnQ) << static_cast<double>(r.z);
  }
}

#ifdef ZAV_HAVE_QUADMATH
// Every 3e-4 over [-38, 38] against binary128 (113-bit) erfc, log and exp,
// whose own errors are a small fraction of a long double ulp.
TEST(FastNorm, DenseAgainstBinary128) {
  double worstLnQ = 0, worstHazard = 0;
  Real atLnQ = 0, atHazard = 0;
  for (int i = 0; i <= 253333; ++i) {
    const Real z = -38 + i * 3e-4L + 0.37e-4L;
    const __float128 zq = z, x = zq / sqrtq(2);
    const __float128 q = erfcq(zq >= 0 ? x : -x) / 2;  // Q(|z|)
    const __float128 lnQ = zq >= 0 ? logq(q) : log1pq(-q);
    const __float128 hazard = expq(-zq * zq / 2) / sqrtq(2 * acosq(-1)) / (zq >= 0 ? q : 1 - q);
    Real gotLnQ, gotHazard;
    fastNormTail(z, gotLnQ, gotHazard);
    const double eL = static_cast<double>(fabsq(gotLnQ / lnQ - 1));
    const double eH = static_cast<double>(fabsq(gotHazard / hazard - 1));
    if (eL > worstLnQ) worstLnQ = eL, atLnQ = z;
    if (eH > worstHazard) worstHazard = eH, atHazard = z;
  }
  EXPECT_LE(worstLnQ, kBound) << static_cast<double>(atLnQ);
  EXPECT_LE(worstHazard, kBound) << static_cast<double>(atHazard);
}
#endif

TEST(FastNorm, SpecialValuesAndFarTails) {
  const Real inf = std::numeric_limits<Real>::infinity(), nan = std::numeric_limits<Real>::quiet_NaN();
  Real lnQ, hazard;
  fastNormTail(nan, lnQ, hazard);
  EXPECT_TRUE(std::isnan(lnQ) && std::isnan(hazard));
  EXPECT_TRUE(std::isnan(fastLnNormUpper(nan)));
  // Q(-oo) = 1 with phi = 0; Q(+oo) = 0 with the hazard growing like z.
  fastNormTail(-inf, lnQ, hazard);
  EXPECT_TRUE(lnQ == 0 && !std::signbit(lnQ) && hazard == 0);
  fastNormTail(inf, lnQ, hazard);
  EXPECT_TRUE(lnQ == -inf && hazard == inf);
  // Where phi(z) underflows, Q is 1 and ln Q a positive zero.
  for (Real z : {-151.2L, -160.0L, -LDBL_MAX}) {
    fastNormTail(z, lnQ, hazard);
    EXPECT_TRUE(lnQ == 0 && !std::signbit(lnQ) && hazard == 0) << static_cast<double>(z);
  }
  // From z = 30 on, the values the density routines give.
  for (Real z : {30.0L, 31.5L, 100.0L, 1e10L, 1e1000L}) EXPECT_EQ(fastLnNormUpper(z), dens::lnNormUpper(z));
}

}  // namespace
}  // namespace zav
