#!/usr/bin/env python3
"""Reference values for tests/programs/report/dists.zav.

Exponential hazard h with a covariate z acting through k = exp(b z): the
data (t, z) = (1,0) (2,0) (3,0) (1,1) (1,1) give the closed-form estimates
h = 0.5, b = ln 2 and the inverse observed information V below. At the mean
z = 0.4: S(t) = exp(-k h t), f(t) = k h S(t), hazard k h. Standard errors by
the delta method with forward steps D_k = 0.25 sqrt(V_kk), times C = 2.
Plain Python; prints the rows as the table shows them (8 and 7 significant
digits).
"""
import math

h, b, zbar, C, scale = 0.5, math.log(2), 0.4, 2.0, 0.25
V = [[1 / 12, -1 / 6], [-1 / 6, 5 / 6]]


def funcs(h, b, t):
    k = math.exp(b * zbar)
    s = math.exp(-k * h * t)
    return [s, k * h * s, k * h]


steps = [scale * math.sqrt(V[i][i]) for i in range(2)]
for t in [0, 1, 2, 3, 4]:
    base = funcs(h, b, t)
    shifted = [funcs(h + steps[0], b, t), funcs(h, b + steps[1], t)]
    row = [t]
    for f in range(3):
        g = [(shifted[k][f] - base[f]) / steps[k] for k in range(2)]
        var = sum(g[i] * V[i][j] * g[j] for i in range(2) for j in range(2))
        row += [base[f], C * math.sqrt(var)]
    print(" ".join("%.8g" % v for v in row))


def tails():
    """Upper tails near the end of the support, where S is a small difference
    of O(1) terms: f and S from the laws' formulas in mpmath at 80 digits (they
    cancel some 35 digits at the ends), at
    times that are exact binary numbers. Rows of the tail table in
    tests/unit/densities_test.cpp; run with the argument "tails"."""
    from mpmath import mp, mpf, pi, sqrt, acos, cos, sin, exp, ncdf, npdf, quad, besseli
    mp.dps = 80

    def disk(t):  # a = 0, b = 1
        u = t / 4
        return (4 * u / pi * (acos(u) - u * sqrt(1 - u * u)),
                2 / pi * (u * (1 + 2 * u * u) * sqrt(1 - u * u) - (4 * u * u - 1) * acos(u)))

    def raised(t):  # a = 0, b = 1
        return (1 + cos(t)) / (2 * pi), (pi - t - sin(t)) / (2 * pi)

    def alpha(t, a=mpf(1) / 8, b=1):
        return b * npdf(a - b / t) / (t * t * ncdf(a)), (ncdf(a) - ncdf(a - b / t)) / ncdf(a)

    def ringing(t, c=mpf(2) ** -20):  # a = 0, b = 1, in opposition
        norm = 1 - 1 / (1 + c * c)
        return (exp(-t) * (1 - cos(c * t)) / norm,
                exp(-t) * (1 - (cos(c * t) - c * sin(c * t)) / (1 + c * c)) / norm)

    rows = [("DISK", "0, 1", mpf(4) - mpf(2) ** -10, disk), ("DISK", "0, 1", mpf(4) - mpf(2) ** -24, disk),
            ("RAISEDCOSINE", "0, 1", mpf(201) / 64, raised),
            ("RAISEDCOSINE", "0, 1", mpf(float(pi)), raised),
            ("ALPHA", "0.125, 1", mpf(10) ** 8, alpha),
            ("RINGINGEXP180", "0, 1, 0x1p-20L", mpf(3), ringing), ("RINGINGEXP180", "0, 1, 0x1p-20L", mpf(40), ringing)]
    def vonmises(t, a=mpf(2), b=mpf(50)):
        f = lambda x: exp(b * cos(x - a)) / (2 * pi * besseli(0, b))
        return f(t), quad(f, [t, (t + 2 * pi) / 2, 2 * pi])

    rows += [("VONMISES", "2, 50", mpf(3), vonmises), ("VONMISES", "2, 50", mpf(6), vonmises)]
    for name, params, t, law in rows:
        f, s = law(t)
        print('    {"%s", {%s}, %sL, %sL, %sL},' % (name, params, mp.nstr(t, 25), mp.nstr(f, 25), mp.nstr(s, 25)))


if __name__ == "__main__" and len(__import__("sys").argv) > 1 and __import__("sys").argv[1] == "tails":
    tails()


def quantiles():
    """Quantiles of laws without an explicit inverse: mpmath's findroot on
    F(t) = q at 50 digits, F = 1 - S from the laws' formulas. Rows of the
    inverse table in tests/unit/densities_test.cpp; argument "quantiles"."""
    from mpmath import mp, mpf, exp, findroot
    mp.dps = 50

    def hyper2exp(t):  # p = 0.3, h1 = 2, h2 = 0.5
        return 1 - (mpf("0.3") * exp(-2 * t) + mpf("0.7") * exp(-t / 2))

    def siler(t):  # 0.1, 0.5, 0.01, 0.001, 0.1
        a1, b1, a2, a3, b3 = mpf("0.1"), mpf("0.5"), mpf("0.01"), mpf("0.001"), mpf("0.1")
        return 1 - exp(-(a1 / b1 * (1 - exp(-b1 * t)) + a2 * t + a3 / b3 * (exp(b3 * t) - 1)))

    def makeham(t):  # 0.01, 0.02, 0.1
        return 1 - exp(-mpf("0.01") * t - mpf("0.02") / mpf("0.1") * (exp(mpf("0.1") * t) - 1))

    for name, params, F, qs in [("HYPER2EXP", "0.3L, 2, 0.5L", hyper2exp, ["0.001", "0.5", "0.999"]),
                                ("SILER", "0.1L, 0.5L, 0.01L, 0.001L, 0.1L", siler, ["0.001", "0.5", "0.999"]),
                                ("MAKEHAM", "0.01L, 0.02L, 0.1L", makeham, ["0.3"])]:
        for q in qs:
            t = findroot(lambda x: F(x) - mpf(q), 1)
            print('    {"%s", {%s}, %sL, %sL},' % (name, params, q, mp.nstr(t, 25)))


if __name__ == "__main__" and len(__import__("sys").argv) > 1 and __import__("sys").argv[1] == "quantiles":
    quantiles()
