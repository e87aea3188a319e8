#!/usr/bin/env python3
"""Errors of ln Q(z) and of the hazard phi(z)/Q(z), fastNormTail against the
routines it replaced (fastLog of Boost's erfc with the continued fraction from
z = 30, and the hazard as exp(ln phi - ln Q)), both measured against mpmath at
256 bits. The z are long doubles on a dense grid of [-40, 40], denser on
[-3, 4], plus the breakpoints of the tables and their neighbours.
Run from the worktree after building build/fastnorm_values:
  python3 bench/fastnorm_accuracy.py build/fastnorm_values
"""
import subprocess
import sys

import mpmath as mp

mp.mp.prec = 256


def round64(v):
    """v rounded to a long double (64-bit significand, no range issue here)."""
    if v == 0:
        return mp.mpf(0)
    e = int(mp.floor(mp.log(abs(v), 2)))
    return mp.nint(v * mp.mpf(2) ** (63 - e)) * mp.mpf(2) ** (e - 63)


def hexld(v):
    if v == 0:
        return "0x0p+0"
    e = int(mp.floor(mp.log(abs(v), 2)))
    m = int(mp.nint(abs(v) * mp.mpf(2) ** (63 - e)))
    return "%s0x%Xp%+d" % ("-" if v < 0 else "", m, e - 63)


def parse(h):
    """A long double printed with %La."""
    if h in ("inf", "-inf", "nan", "-nan"):
        return None
    sign = -1 if h.startswith("-") else 1
    h = h.lstrip("-")[2:]
    mant, exp = h.split("p")
    ip, _, fp = mant.partition(".")
    m = int(ip + fp, 16) if (ip + fp) else 0
    return sign * mp.mpf(m) * mp.mpf(2) ** (int(exp) - 4 * len(fp))


def ulps(got, want):
    if want == 0:
        return 0 if got == 0 else mp.inf
    e = int(mp.floor(mp.log(abs(want), 2)))
    return abs(got - want) / mp.mpf(2) ** (e - 63)


def grid():
    zs = set()
    n = 40000
    for i in range(n + 1):
        zs.add(round64(mp.mpf(-40) + mp.mpf(80) * (i + mp.mpf(0.37)) / n))
    for i in range(20000):
        zs.add(round64(mp.mpf(-3) + mp.mpf(7) * (i + mp.mpf(0.61)) / 20000))
    # Breakpoints: x = i/8 below 4, y = 4/(4 + x) = j/32 above; z = x sqrt 2;
    # z = 30 and the neighbours of each (a few ulp either side).
    xs = [mp.mpf(i) / 8 for i in range(1, 33)] + [4 * 32 / mp.mpf(j) - 4 for j in range(6, 17)]
    points = [x * mp.sqrt(2) for x in xs] + [mp.mpf(30)]
    for p in points:
        for s in (1, -1):
            c = round64(s * p)
            ulp = mp.mpf(2) ** (int(mp.floor(mp.log(abs(c), 2))) - 63)
            for k in range(-3, 4):
                zs.add(c + k * ulp)
    zs.add(mp.mpf(0))
    return sorted(zs)


def reference(z):
    q = mp.erfc(z / mp.sqrt(2)) / 2
    lnq = mp.log(q) if z >= 0 else mp.log1p(-mp.erfc(-z / mp.sqrt(2)) / 2)
    return lnq, mp.npdf(z) / q


def main():
    zs = grid()
    out = subprocess.run([sys.argv[1]], input="\n".join(hexld(z) for z in zs), capture_output=True,
                         text=True, check=True).stdout.split("\n")
    regions = [(-40, -9.5), (-9.5, -3), (-3, 0), (0, 4), (4, 30), (30, 40)]
    names = ("lnQ new", "lnQ old", "hazard new", "hazard old")
    worst = {(r, k): (0, None) for r in regions for k in names}
    rel = {r: [0, 0] for r in regions}
    for z, line in zip(zs, out):
        f = line.split()
        r = next(r for r in regions if z < r[1] or r == regions[-1])
        lnq, haz = reference(z)
        for name, got, want in zip(names, f[1:5], (lnq, lnq, haz, haz)):
            g = parse(got)
            e = mp.inf if g is None else ulps(g, want)
            if e > worst[(r, name)][0]:
                worst[(r, name)] = (e, z)
        for k in range(2):
            g = parse(f[1 + k])
            rel[r][k] = max(rel[r][k], abs(g / lnq - 1) if lnq != 0 else abs(g))
    print("%d points in [-40, 40]; errors in ulp of the exact value (1 ulp = 2^-63 relative at most)" % len(zs))
    for r in regions:
        print("z in [%g, %g):" % r)
        for name in names:
            e, z = worst[(r, name)]
            print("  %-11s max %9s ulp at z = %s" % (name, mp.nstr(e, 3), mp.nstr(z, 12)))
        print("  lnQ max relative error: new %s, old %s" % (mp.nstr(rel[r][0], 3), mp.nstr(rel[r][1], 3)))


main()
