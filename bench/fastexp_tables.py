#!/usr/bin/env python3
"""Prints the tables and constants of src/funcs/fastexp.h.

Every value is computed with mpmath at 256 bits and rounded once, to nearest
with ties to even, to the format it is stored in: a 64-bit significand
(long double), a 53-bit one (double), or a shorter one where the header needs
products with it to be exact. Run: python3 bench/fastexp_tables.py
"""
import mpmath as mp

from hexliterals import dbl, ld, rnd

mp.mp.prec = 256


def multiple(v, unit):
    """v rounded to the nearest multiple of `unit` (a power of two)."""
    return mp.nint(v / unit) * unit


ln2 = mp.log(2)

print("// exp: 64/ln2, ln2/64 as hi (at most 43 bits) + lo, 2^(j/64) as hi + lo")
L = ln2 / 64
Lhi = rnd(L, 43)
print("inv", dbl(1 / L))
print("Lhi", dbl(Lhi), "Llo", dbl(L - Lhi))
for j in range(64):
    t = mp.mpf(2) ** (mp.mpf(j) / 64)
    hi = rnd(t, 64)
    print("    {%s, %s}," % (ld(hi), dbl(t - hi)))

print("// log: ln2 as hi (a multiple of 2^-40) + lo")
ln2hi = multiple(ln2, mp.mpf(2) ** -40)
print("ln2hi", dbl(ln2hi), "ln2lo", dbl(ln2 - ln2hi))
# Centre c = 1 + k/128 of the mantissa interval k; from k = 53 on the
# mantissa is halved (its exponent raised by one) so that ln of the
# normalised mantissa stays within +-0.35: the normalised centre is c' = c,
# or c/2 from k = 53 on. The table holds c', 1/c' - 1 as a long double, and
# ln c' as a multiple of 2^-40 (so that e*ln2hi plus it is exact in double
# for |e| < 2^10) and a double tail.
for k in range(129):
    c = 1 + mp.mpf(k) / 128
    cn = c / 2 if k >= 53 else c
    lnc = mp.log(cn)
    lhi = multiple(lnc, mp.mpf(2) ** -40)
    print("    {%s, %s, %s, %s}," % (dbl(cn), dbl(lhi), dbl(lnc - lhi), ld(1 / cn - 1)))
