#!/usr/bin/env python3
"""Prints the tables of src/funcs/fastnorm.h: erfcx(x) = e^(x^2) erfc(x) as
polynomials of degree 11 in a local variable u in [-1/2, 1/2].

Near: x = (i + 1/2 + u)/8 for i = 0..31 (x < 4).
Far: y = 4/(4 + x) = (j + 1/2 + u)/32 for j = 5..16 (4 <= x < 21.3, so
z = x sqrt 2 < 30).

Each piece interpolates erfcx at the 12 Chebyshev points of its interval,
computed with mpmath at 256 bits; the monomial coefficients are rounded once
(nearest, ties to even): u^0 to a long double head and a double tail, u^1 to
u^3 to long doubles, u^4 to u^11 to doubles. The script also prints the
largest truncation error of the pieces (before any rounding), relative to
erfcx, measured at 201 points of each interval.
Run: python3 bench/fastnorm_tables.py
"""
import mpmath as mp

from hexliterals import dbl, ld, rnd

mp.mp.prec = 256
DEG = 11


def erfcx(x):
    return mp.exp(x * x) * mp.erfc(x)


def piece(f):
    n = DEG + 1
    nodes = [mp.cos(mp.pi * (k + mp.mpf(1) / 2) / n) / 2 for k in range(n)]
    a = mp.matrix([[u**j for j in range(n)] for u in nodes])
    co = mp.lu_solve(a, mp.matrix([f(u) for u in nodes]))
    worst = 0
    for k in range(201):
        u = mp.mpf(k) / 200 - mp.mpf(1) / 2
        p = sum(co[j] * u**j for j in range(n))
        worst = max(worst, abs(p / f(u) - 1))
    return [co[j] for j in range(n)], worst


def emit(name, fs):
    print("inline constexpr ErfcxPiece %s[%d] = {" % (name, len(fs)))
    worst = 0
    for f in fs:
        co, w = piece(f)
        worst = max(worst, w)
        hi = rnd(co[0], 64)
        print("    {%s, %s, %s, %s, %s," % (ld(hi), dbl(co[0] - hi), ld(co[1]), ld(co[2]), ld(co[3])))
        print("     {%s}}," % ", ".join(dbl(c) for c in co[4:]))
    print("};")
    return worst


half = mp.mpf(1) / 2
near = [lambda u, i=i: erfcx((i + half + u) / 8) for i in range(32)]
far = [lambda u, j=j: erfcx(4 / ((j + half + u) / 32) - 4) for j in range(5, 17)]
print("// ---- fastnorm tables")
w1 = emit("kErfcxNear", near)
w2 = emit("kErfcxFar", far)
print("// truncation: near %s, far %s" % (mp.nstr(w1, 3), mp.nstr(w2, 3)))
