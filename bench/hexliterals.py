"""Rounding of mpmath values to the formats the fast-math headers store, and
their C++ hex literals, shared by the table scripts in this folder."""
import mpmath as mp


def split(v, bits):
    """v rounded to `bits` significant bits: (integer significand, exponent)."""
    if v == 0:
        return 0, 0
    e = int(mp.floor(mp.log(abs(v), 2)))
    m = int(mp.nint(v * mp.mpf(2) ** (bits - 1 - e)))  # nint ties to even
    if abs(m) == 1 << bits:
        m //= 2
        e += 1
    return m, e - (bits - 1)


def rnd(v, bits):
    m, e = split(v, bits)
    return mp.mpf(m) * mp.mpf(2) ** e


def ld(v):
    """Hex literal of v rounded to a 64-bit significand."""
    m, e = split(v, 64)
    if m == 0:
        return "0.0L"
    sign = "-" if m < 0 else ""
    m = abs(m)
    return "%s0x%X.%015Xp%+dL" % (sign, m >> 60, m & ((1 << 60) - 1), e + 60)


def dbl(v):
    """Hex literal of v rounded to a 53-bit significand (a double)."""
    m, e = split(v, 53)
    if m == 0:
        return "0.0"
    sign = "-" if m < 0 else ""
    m = abs(m)
    return "%s0x1.%013Xp%+d" % (sign, m - (1 << 52), e + 52)
