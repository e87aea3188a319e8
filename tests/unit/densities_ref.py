#!/usr/bin/env python3
"""Reference values for tests/unit/densities_test.cpp, by mpmath at 40 digits.

Each density f(t) is written here once more from its defining formula (the
formula stated next to the routine), independently of the C++ code; the
survival S(t) is then *not* taken from any closed form but integrated
numerically, S(t) = integral of f from t to the end of the support
(continuous laws), or summed, S(t) = sum of f(j) for j > t (discrete laws;
the ZIPF tail is mpmath's Hurwitz zeta, which is that sum by definition).
So every S reference also checks that the routine's f and S belong together.

Run:  python3 tests/unit/densities_ref.py > tests/unit/densities_ref.h
"""
from mpmath import mp, mpf, sqrt, exp, log, pi, cos, sin, acos, asin, atan, tan, cosh, gamma, beta, \
    besselk, besseli, erfc, quad, inf, binomial, zeta, factorial, nsum, ncdf, npdf, rf, loggamma

mp.dps = 40

phi = npdf
Phi = ncdf


def Q(z):
    return erfc(z / sqrt(2)) / 2


C = {}  # name -> list of (params, points, f, lower, upper, discrete)


def cont(name, params, pts, f, lo, hi, breaks=()):
    C.setdefault(name, []).append((params, pts, f, lo, hi, False, breaks))


def disc(name, params, pts, f, lo, hi, tail=None):
    C.setdefault(name, []).append((params, pts, f, lo, hi, True, tail))


def loc(a, b):
    return lambda t: (t - a) / b


# ---- location-scale laws
a, b = mpf(1), mpf(2)
z = loc(a, b)
cont("NORMAL", [1, 2], [-3, 0.5, 7], lambda t: phi(z(t)) / b, -inf, inf)
cont("GAUSSIAN", [-1, 2], [-3, 0, 5], lambda t: phi((t + 1) / b) / b, -inf, inf)
cont("LOGISTIC", [1, 2], [-6, 1.5, 12], lambda t: exp(-z(t)) / (b * (1 + exp(-z(t))) ** 2), -inf, inf)
cont("CAUCHY", [1, 2], [-10, 1.5, 40], lambda t: 1 / (pi * b * (1 + z(t) ** 2)), -inf, inf)
cont("LAPLACE", [1, 2], [-3, 1.5, 8], lambda t: exp(-abs(z(t))) / (2 * b), -inf, inf, breaks=(1,))
cont("GUMBEL", [1, 2], [-2, 1, 9], lambda t: exp(-z(t) - exp(-z(t))) / b, -inf, inf)
cont("LARGEEXTREME1", [1, 2], [-2, 1, 15], lambda t: exp(-z(t) - exp(-z(t))) / b, -inf, inf)
cont("SMALLEXTREME1", [1, 2], [-6, 1, 4], lambda t: exp(z(t) - exp(z(t))) / b, -inf, inf)
cont("HYPERBOLICSECANT", [1, 2], [-4, 1, 7], lambda t: 1 / (2 * b * cosh(pi * z(t) / 2)), -inf, inf)
c = mpf(1.5)
cont("SUBBOTIN", [1, 2, 1.5], [-3, 1.5, 8],
     lambda t: exp(-abs(z(t)) ** c / c) / (2 * b * c ** (1 / c) * gamma(1 + 1 / c)), -inf, inf, breaks=(1,))
df = mpf(5)
cont("STUDENTT", [5], [-2, 0.7, 6],
     lambda t: (1 + t * t / df) ** (-(df + 1) / 2) / (sqrt(df) * beta(df / 2, mpf(1) / 2)), -inf, inf)
a2, b2 = mpf(0.5), mpf(1.5)
cont("ASYMPTOTICRANGE", [0.5, 1.5], [-3, 0.5, 8],
     lambda t: 2 / b2 * exp(-(t - a2) / b2) * besselk(0, 2 * exp(-(t - a2) / (2 * b2))), -inf, inf)
cont("FOLDEDNORMAL", [1, 1.5], [0.2, 1, 4],
     lambda t: (phi((t - 1) / mpf(1.5)) + phi((t + 1) / mpf(1.5))) / mpf(1.5), 0, inf)
cont("COMPOUNDEXTREME", [1, 2, 1.5], [-5, 1, 9],
     lambda t: mpf(1.5) / b * exp(z(t)) * (1 + exp(z(t))) ** (-mpf(1.5) - 1), -inf, inf)
cg = mpf(2.5)
cont("GENGUMBEL", [1, 2, 2.5], [-2, 1, 8],
     lambda t: cg ** cg * exp(-cg * (z(t) + exp(-z(t)))) / (b * gamma(cg)), -inf, inf)
ar, br = mpf(1), mpf(0.5)
cont("RAISEDCOSINE", [1, 0.5], [0, 1.3, 2.2], lambda t: (1 + cos((t - ar) / br)) / (2 * pi * br),
     ar - pi * br, ar + pi * br)
cont("HORSESHOE", [1, 2, 2], [-0.5, 1.5, 2.8], lambda t: 3 * abs(z(t)) ** 2 / (2 * b), -1, 3, breaks=(1,))
am, bm = mpf(2), mpf(1.5)
cont("VONMISES", [2, 1.5], [0.5, 2, 5.5], lambda t: exp(bm * cos(t - am)) / (2 * pi * besseli(0, bm)), 0, 2 * pi)

# ---- lifetime laws given by their hazard
h = mpf(0.7)
cont("EXPONENTIAL", [0.7], [0.5, 3, 12], lambda t: h * exp(-h * t), 0, inf)
cont("WEIBULL", [2, 1.5], [0.3, 2, 6], lambda t: mpf(1.5) * t ** mpf(0.5) / 2 ** mpf(1.5) * exp(-(t / 2) ** mpf(1.5)),
     0, inf)
ga, gb = mpf(0.02), mpf(0.1)
cont("GOMPERTZ", [0.02, 0.1], [5, 30, 60], lambda t: ga * exp(gb * t) * exp(ga / gb * (1 - exp(gb * t))), 0, inf)
m1, m2, m3 = mpf(0.01), mpf(0.02), mpf(0.1)
cont("MAKEHAM", [0.01, 0.02, 0.1], [5, 20, 40],
     lambda t: (m1 + m2 * exp(m3 * t)) * exp(-m1 * t - m2 / m3 * (exp(m3 * t) - 1)), 0, inf)
s1, s2, s3, s4, s5 = mpf(0.1), mpf(0.5), mpf(0.01), mpf(0.001), mpf(0.1)
cont("SILER", [0.1, 0.5, 0.01, 0.001, 0.1], [1, 20, 50],
     lambda t: (s1 * exp(-s2 * t) + s3 + s4 * exp(s5 * t)) *
     exp(-(s1 / s2 * (1 - exp(-s2 * t)) + s3 * t + s4 / s5 * (exp(s5 * t) - 1))), 0, inf)
la, lb = mpf(0.1), mpf(0.05)
cont("LINEARHAZARD", [0.1, 0.05], [1, 5, 10], lambda t: (la + lb * t) * exp(-la * t - lb * t * t / 2), 0, inf)
mp_, ma1, ma2, ma3, mb3 = mpf(0.4), mpf(0.05), mpf(0.2), mpf(0.01), mpf(0.08)


def mixmakeham(t):
    g = ma3 * exp(mb3 * t)
    G = exp(-ma3 / mb3 * (exp(mb3 * t) - 1))
    return G * (mp_ * (ma1 + g) * exp(-ma1 * t) + (1 - mp_) * (ma2 + g) * exp(-ma2 * t))


cont("MIXMAKEHAM", [0.4, 0.05, 0.2, 0.01, 0.08], [2, 10, 30], mixmakeham, 0, inf)
hp, h1, h2 = mpf(0.3), mpf(2), mpf(0.5)
cont("HYPER2EXP", [0.3, 2, 0.5], [0.1, 1, 6],
     lambda t: hp * h1 * exp(-h1 * t) + (1 - hp) * h2 * exp(-h2 * t), 0, inf)
cont("FL2PT", [0.3, 2, 0.5], [0.1, 1, 6], lambda t: hp * h1 * exp(-h1 * t) + (1 - hp) * h2 * exp(-h2 * t), 0, inf)
ya, yb = mpf(0.5), mpf(2)
cont("HYPO2EXP", [0.5, 2], [0.2, 1.5, 8], lambda t: ya * yb / (yb - ya) * (exp(-ya * t) - exp(-yb * t)), 0, inf)
cont("HYPO2EXP", [1, 1], [0.2, 1.5, 8], lambda t: t * exp(-t), 0, inf)  # the Erlang limit a = b
fh, fc = mpf(0.5), mpf(0.8)
cont("GAMMAFRAIL", [0.5, 0.8], [0.5, 3, 20], lambda t: fh * (1 + fc * fh * t) ** (-1 / fc - 1), 0, inf)
ra = mpf(1.5)
cont("RAYLEIGH", [1.5], [0.5, 2, 5], lambda t: t / ra ** 2 * exp(-t * t / (2 * ra ** 2)), 0, inf)


def daniels_f(t):
    return 8 * t * nsum(lambda k: (-1) ** (k - 1) * k * k * exp(-2 * k * k * t * t), [1, inf])


cont("DANIELS", [], [0.4, 0.9, 1.2, 2], daniels_f, 0, inf)

# ---- other continuous laws
gh, gc = mpf(0.8), mpf(2.5)
cont("GAMMA", [0.8, 2.5], [0.5, 3, 9], lambda t: gh * (gh * t) ** (gc - 1) * exp(-gh * t) / gamma(gc), 0, inf)
ea, eb, ec = mpf(2), mpf(1.5), mpf(1.7)
cont("GENGAMMA", [2, 1.5, 1.7], [0.5, 2, 5],
     lambda t: ec * (t / eb) ** (ec * ea) * exp(-(t / eb) ** ec) / (t * gamma(ea)), 0, inf)
na_, nb_, nc_ = mpf(1.5), mpf(0.5), mpf(2)
cont("LNGAMMA", [1.5, 0.5, 2], [1.7, 3, 8],
     lambda t: log(t / na_) ** (nc_ - 1) * exp(-log(t / na_) / nb_) / (nb_ ** nc_ * gamma(nc_) * t), na_, inf)
cont("SHIFTGAMMA", [1, 2, 2.5], [1.5, 4, 12],
     lambda t: z(t) ** (mpf(2.5) - 1) * exp(-z(t)) / (b * gamma(mpf(2.5))), 1, inf)
cont("CHI", [1, 2, 3], [1.5, 4, 9], lambda t: z(t) ** 2 * exp(-z(t) ** 2 / 2) / (2 ** mpf(0.5) * gamma(mpf(1.5)) * b),
     1, inf)
xa, xb = mpf(4), mpf(1.5)
cont("CHISQUARED", [4, 1.5], [0.5, 5, 20],
     lambda t: (t / xb) ** (xa / 2 - 1) * exp(-t / (2 * xb)) / (2 ** (xa / 2) * gamma(xa / 2) * xb), 0, inf)
wa, wb = mpf(0.5), mpf(1.5)
cont("MAXWELL", [0.5, 1.5], [1, 2.5, 6],
     lambda t: sqrt(2 / pi) * ((t - wa) / wb) ** 2 * exp(-((t - wa) / wb) ** 2 / 2) / wb, wa, inf)
ia, ib = mpf(3), mpf(2)
cont("INVGAMMA", [3, 2], [0.3, 1, 4], lambda t: ib ** ia * t ** (-ia - 1) * exp(-ib / t) / gamma(ia), 0, inf)
ca, cb = mpf(4), mpf(3)
cont("INVCHI", [4, 3], [0.2, 1, 5],
     lambda t: (cb / 2) ** (ca / 2) * t ** (-ca / 2 - 1) * exp(-cb / (2 * t)) / gamma(ca / 2), 0, inf)
ba, bb = mpf(2.5), mpf(1.5)
cont("BETA", [2.5, 1.5], [0.2, 0.6, 0.95], lambda t: t ** (ba - 1) * (1 - t) ** (bb - 1) / beta(ba, bb), 0, 1)
cont("ARCSINE", [], [0.1, 0.5, 0.93], lambda t: 1 / (pi * sqrt(t * (1 - t))), 0, 1)
d1, d2 = mpf(5), mpf(8)
cont("F", [5, 8], [0.3, 1.2, 4],
     lambda t: sqrt((d1 * t) ** d1 * d2 ** d2 / (d1 * t + d2) ** (d1 + d2)) / (t * beta(d1 / 2, d2 / 2)), 0, inf)
va, vb, vc = mpf(2), mpf(1.5), mpf(3)
cont("INVBETA1", [2, 1.5, 3], [0.5, 2, 8],
     lambda t: (t / vb) ** (va - 1) * (1 + t / vb) ** (-va - vc) / (vb * beta(va, vc)), 0, inf)
cont("INVBETA2", [2, 1.5, 3], [0.5, 2, 8],
     lambda t: va * vc / vb * (t / vb) ** (-vc - 1) * (1 + (t / vb) ** (-vc)) ** (-va - 1), 0, inf)
pa, pb = mpf(1.5), mpf(2.5)
cont("PARETO", [1.5, 2.5], [2, 4, 20], lambda t: pb / t * (pa / t) ** pb, pa, inf)
cont("LOWMAX", [1, 2, 2.5], [3.5, 5, 20], lambda t: mpf(2.5) / (t - 1) * (2 / (t - 1)) ** mpf(2.5), 3, inf)
cont("LNLOGISTIC", [1, 2, 3], [1.5, 3, 7], lambda t: 3 / b * z(t) ** 2 / (1 + z(t) ** 3) ** 2, 1, inf)
cont("POWERFUNCTION", [1, 2, 2.5], [1.5, 2, 2.9], lambda t: mpf(2.5) * z(t) ** mpf(1.5) / b, 1, 3)
cont("REVPOWERFUNCTION", [1, 2, 2.5], [1.5, 2, 2.9], lambda t: mpf(2.5) * (1 - z(t)) ** mpf(1.5) / b, 1, 3)
cont("RECTANGULAR", [0.5, 2.5], [1, 2], lambda t: mpf(1) / 2, 0.5, 2.5)
cont("UNIFORM", [0.5, 2.5], [0.7, 2.4], lambda t: mpf(1) / 2, 0.5, 2.5)
na2, nb2 = mpf(2), mpf(0.5)
cont("LNNORMAL", [2, 0.5], [1, 2, 5], lambda t: phi(log(t / na2) / nb2) / (nb2 * t), 0, inf)
lm, ls = mpf(3), mpf(1.5)
s2_ = log(1 + (ls / lm) ** 2)
mu_ = log(lm) - s2_ / 2
cont("LOGNORMAL", [3, 1.5], [1, 3, 8], lambda t: phi((log(t) - mu_) / sqrt(s2_)) / (sqrt(s2_) * t), 0, inf)
cont("SHIFTLOGNORMAL", [1, 2, 0.5], [1.5, 3, 8], lambda t: phi(log((t - 1) / b) / mpf(0.5)) / (mpf(0.5) * (t - 1)), 1, inf)
ga_, gl_ = mpf(2), mpf(3)
cont("INVGAUSSIAN", [2, 3], [0.5, 2, 7],
     lambda t: sqrt(gl_ / (2 * pi * t ** 3)) * exp(-gl_ * (t - ga_) ** 2 / (2 * ga_ ** 2 * t)), 0, inf)
cont("RANDOMWALK", [2, 3], [0.2, 0.5, 1.5],
     lambda t: sqrt(gl_ / (2 * pi * t)) * exp(-gl_ * (1 - ga_ * t) ** 2 / (2 * ga_ ** 2 * t)), 0, inf)
bsa, bsb = mpf(0.5), mpf(2)
cont("BIRNBAUMSAUNDERS", [0.5, 2], [0.8, 2, 5],
     lambda t: phi((sqrt(t / bsb) - sqrt(bsb / t)) / bsa) * (sqrt(t / bsb) + sqrt(bsb / t)) / (2 * bsa * t), 0, inf)
aa, ab = mpf(1.5), mpf(2)
cont("ALPHA", [1.5, 2], [0.7, 1.5, 6], lambda t: ab / (t * t * Phi(aa)) * phi(aa - ab / t), 0, inf)
cont("SHIFTEXPONENTIAL", [1, 2], [1.5, 4, 12], lambda t: exp(-z(t)) / b, 1, inf)
cont("SHIFTWEIBULL", [1, 2, 1.5], [1.5, 4, 9], lambda t: mpf(1.5) / b * z(t) ** mpf(0.5) * exp(-z(t) ** mpf(1.5)), 1, inf)
cont("LARGEEXTREME2", [1, 2, 3], [2, 3, 8], lambda t: 3 / b * z(t) ** -4 * exp(-z(t) ** -3), 1, inf)
cont("SMALLEXTREME2", [1, 2, 3], [-6, -1, 0.5],
     lambda t: 3 / b * ((1 - t) / b) ** -4 * exp(-((1 - t) / b) ** -3), -inf, 1)


def ringing(sign):
    cc = mpf(3)
    norm = 1 + sign / (1 + cc * cc)
    return lambda t: exp(-z(t)) * (1 + sign * cos(cc * z(t))) / (b * norm)


cont("RINGINGEXP0", [1, 2, 3], [1.5, 3, 9], ringing(1), 1, inf)
cont("RINGINGEXP180", [1, 2, 3], [1.5, 3, 9], ringing(-1), 1, inf)


def disk(t):
    u = (t - 1) / (4 * mpf(0.5))
    return 4 * u / (pi * mpf(0.5)) * (acos(u) - u * sqrt(1 - u * u))


cont("DISK", [1, 0.5], [1.2, 2, 2.9], disk, 1, 3)

# ---- counts
pb_ = mpf(0.3)
disc("BERNOULLITRIAL", [0.3], [0, 1], lambda t: pb_ if t == 1 else (1 - pb_ if t == 0 else 0), 0, 1)
disc("BINOMIAL", [0.3, 10], [0, 3, 8], lambda t: binomial(10, t) * pb_ ** t * (1 - pb_) ** (10 - t), 0, 10)
disc("GEOMETRIC", [0.3], [0, 4, 30], lambda t: pb_ * (1 - pb_) ** t, 0, inf)
disc("HYPERGEOMETRIC", [0.4, 6, 20], [0, 2, 5],
     lambda t: binomial(8, t) * binomial(12, 6 - t) / binomial(20, 6), 0, 6)
lp = mpf(0.6)
disc("LOGSERIES", [0.6], [1, 3, 10, 60], lambda t: -lp ** t / (t * log(1 - lp)), 1, inf)
nbp, nbn = mpf(0.4), mpf(3)
disc("NEGBINOMIAL", [0.4, 3], [0, 4, 15], lambda t: binomial(nbn + t - 1, t) * nbp ** nbn * (1 - nbp) ** t, 0, inf)
disc("NEGBINOMIAL", [0.4, 2.5], [0, 4], lambda t: gamma(mpf(2.5) + t) / (gamma(mpf(2.5)) * factorial(t)) *
     nbp ** mpf(2.5) * (1 - nbp) ** t, 0, inf)
disc("NEGHYPERGEOMETRIC", [0.4, 3, 20], [3, 8, 15],
     lambda t: binomial(t - 1, 2) * binomial(20 - t, 8 - 3) / binomial(20, 8), 3, 15)
disc("PASCAL", [0.4, 3], [3, 7, 15], lambda t: binomial(t - 1, 2) * nbp ** 3 * (1 - nbp) ** (t - 3), 3, inf)
pl = mpf(2.5)
disc("POISSON", [2.5], [0, 2, 9], lambda t: exp(-pl) * pl ** t / factorial(t), 0, inf)


def polya(pp, n, cc):
    pp, cc = mpf(pp), mpf(cc)

    def f(t):
        num = 1
        for j in range(t):
            num *= pp + j * cc
        for j in range(n - t):
            num *= 1 - pp + j * cc
        den = 1
        for j in range(n):
            den *= 1 + j * cc
        return binomial(n, t) * num / den
    return f


disc("POLYAEGGENBERGER", [0.3, 10, 0.2], [0, 3, 8], polya(0.3, 10, 0.2), 0, 10)
disc("POLYAEGGENBERGER", [0.3, 10, -0.05], [0, 3, 8], polya(0.3, 10, -0.05), 0, 10)
ta, tb = mpf(1.5), mpf(0.7)


def thomas(k):
    if k == 0:
        return exp(-ta)
    return sum(exp(-ta) * ta ** j / factorial(j) * exp(-j * tb) * (j * tb) ** (k - j) / factorial(k - j)
               for j in range(1, k + 1))


disc("THOMAS", [1.5, 0.7], [0, 2, 8], thomas, 0, inf)
zs = mpf(2.5)
# nsum's extrapolation of the slowly converging tail of t^-2.5 is off in the
# 7th digit; the tail is the Hurwitz zeta function by definition.
disc("ZIPF", [1.5], [1, 3, 20], lambda t: mpf(t) ** -zs / zeta(zs), 1, inf,
     tail=lambda t: zeta(zs, t + 1) / zeta(zs))


def survival(f, t, hi, discrete, breaks):
    if discrete and breaks:  # an explicit tail sum
        return breaks(t)
    if discrete:
        if hi == inf:
            return nsum(lambda j: f(int(j)), [t + 1, inf])
        return sum(f(j) for j in range(t + 1, int(hi) + 1))
    pts = [t] + [x for x in breaks if x > t]
    if hi == inf:
        # Light tails are cut where f has fallen below 1e-60, with the
        # doubling steps as break points (evaluating such an f at the huge
        # arguments of an infinite rule costs mpmath dearly); heavy tails
        # keep the infinite end.
        step = mpf(1)
        while step < 1e6 and not (f(pts[-1] + step) < mpf(10) ** -60):
            pts.append(pts[-1] + step)
            step *= 2
        pts.append(pts[-1] + step if step < 1e6 else inf)
    else:
        pts.append(hi)
    return quad(f, pts)


def fmt(x):
    return mp.nstr(mpf(x), 30, min_fixed=-inf, max_fixed=inf) + "L" if x != 0 else "0.0L"


print("// Generated by densities_ref.py (mpmath, 40 digits); do not edit.")
print("// name, parameters, t, f(t) from the defining formula, S(t) by numerical")
print("// integration (or summation) of that f beyond t.")
for name, rows in C.items():
    for params, pts, f, lo, hi, discrete, breaks in rows:
        for t in pts:
            t = int(t) if discrete else mpf(t)
            fv = f(t)
            sv = survival(f, t, hi, discrete, breaks)
            ps = ", ".join(fmt(mpf(p)) for p in params)
            print('    {"%s", {%s}, %s, %s, %s},' % (name, ps, fmt(mpf(t)), fmt(fv), fmt(sv)))
