#!/usr/bin/env python3
"""Writes the calculus golden cases of this folder: NAME.zav, NAME.args,
NAME.out (and NAME.exit for the cases that end in an error).

The expected output never comes from running zav. Each method is computed
here at 50 significant digits with mpmath, written from its description
(Simpson by trapezoid refinement, the extended closed and open trapezoid
formulas, the adaptive 8-panel Newton-Cotes quadrature QUANC8 of Forsythe,
Malcolm and Moler, Romberg, Ridders' extrapolation, Brent's zero finder and
minimiser, sums and products), and every result is checked against its
closed form where the method promises one (1/3, e - 1, 2/3, ln 2, pi/2, ...).

Decisions inside the methods (convergence tests, comparisons) are tracked:
the script refuses a case whose outcome hangs on a comparison that rounding
in 64-bit arithmetic could flip, and every printed number is kept away from
a rounding boundary of the digits shown (check_margin). Numbers are turned
into text by the number printer's description as written for the library
cases (../lib/reference.py).

Run:  python3 reference.py   (from any directory; rewrites the files).
"""
import os
import sys

import mpmath as mp

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "lib"))
from reference import CaseFile, check_margin, fmt  # noqa: E402  (the number printer, case files)

mp.mp.dps = 50
PI = mp.pi
E = mp.e
INF = mp.inf
MACHINE_EPSILON = mp.mpf(2) ** -63  # the 64-bit mantissa
MARGIN = mp.mpf("1e-12")  # relative closeness that rounding could flip


def decide(a, b, what):
    """a < b, refusing a comparison too close to call."""
    scale = max(abs(a), abs(b))
    if scale != 0 and abs(a - b) <= MARGIN * scale and a != b:
        raise SystemExit("too close to call: %s (%s vs %s)" % (what, a, b))
    return a < b


def nearly(x, want, tol, what):
    if abs(mp.mpf(x) - want) > tol:
        raise SystemExit("%s: %s is not within %s of %s" % (what, x, tol, want))


def num(x):
    return fmt(x, 12, 5)


# ------------------------------------------------------------ the methods


def simpson(f, a, b, n, tol, trace):
    limit = min(n, 25)
    t = tprev = s = sprev = mp.mpf(0)
    for j in range(1, limit + 1):
        if a == b:
            f(a)
            t = mp.mpf(0)
        elif j == 1:
            t = (b - a) * (f(a) + f(b)) / 2
        else:
            pts = 2 ** (j - 2)
            d = (b - a) / pts
            t = (t + (b - a) * mp.fsum(f(a + (k + mp.mpf(0.5)) * d) for k in range(pts)) / pts) / 2
        if j >= 2:
            s = (4 * t - tprev) / 3
            if j >= 3 and ((s == 0 and sprev == 0) or decide(abs(s - sprev), tol * abs(sprev), "simpson")):
                trace.append("S Integrate(%s %s)= %s its= %d" % (num(a), num(b), num(s), j))
                return s
            sprev = s
        tprev = t
    trace.append("Warning: %d iterations in S Integrate(%s %s) =%s" % (limit, num(a), num(b), num(s)))
    return mp.mpf(0)


def trapezoid(f, a, b, n, is_open):
    w = [mp.mpf(k) / 48 for k in ((109, -5, 63, 49) if is_open else (17, 59, 43, 49))]
    n = max(n, 2)
    h = (b - a) / (n - 1)
    first, last = (1, n - 2) if is_open else (0, n - 1)
    total = mp.mpf(0)
    for i in range(first, last + 1):
        weight = 1
        for k in range(4):
            if i == first + k or i == last - k:
                weight = w[k]
                break
        total += weight * f(a + i * h)
    return h * total


def quanc8(f, a, b, tol, trace):
    levmin, levmax, levout, nomax = 1, 30, 6, 5000
    nofin = nomax - 8 * (levmax - levout + 2 ** (levout + 1))
    w0, w1, w2, w3, w4 = [mp.mpf(k) / 14175 for k in (3956, 23552, -3712, 41984, -18160)]
    result = cor11 = errest = area = flag = mp.mpf(0)
    nofun = 0

    def report():
        failed = int(flag)
        trace.append("Adapt Quad Int(%s %s)= %s Error est=%s" % (num(a), num(b), num(result), num(errest)))
        trace.append("  # Func calls = %d. Failed Subintervals = %d. %% failed=%s" % (nofun, failed, num(flag - failed)))

    if a == b:
        report()
        return mp.mpf(0)
    qright = [mp.mpf(0)] * 32
    fv = [mp.mpf(0)] * 17
    xv = [mp.mpf(0)] * 17
    fsave = [[mp.mpf(0)] * 31 for _ in range(9)]
    xsave = [[mp.mpf(0)] * 31 for _ in range(9)]
    lev, nim = 0, 1
    x0 = a
    xv[16] = b
    qprev = mp.mpf(0)
    f0 = f(x0)
    stone = (b - a) / 16
    xv[8] = (x0 + xv[16]) / 2
    xv[4] = (x0 + xv[8]) / 2
    xv[12] = (xv[8] + xv[16]) / 2
    xv[2] = (x0 + xv[4]) / 2
    xv[6] = (xv[4] + xv[8]) / 2
    xv[10] = (xv[8] + xv[12]) / 2
    xv[14] = (xv[12] + xv[16]) / 2
    for j in range(2, 17, 2):
        fv[j] = f(xv[j])
    nofun = 9
    while True:
        xv[1] = (x0 + xv[2]) / 2
        fv[1] = f(xv[1])
        for j in range(3, 16, 2):
            xv[j] = (xv[j - 1] + xv[j + 1]) / 2
            fv[j] = f(xv[j])
        nofun += 8
        step = (xv[16] - x0) / 16
        qleft = (w0 * (f0 + fv[8]) + w1 * (fv[1] + fv[7]) + w2 * (fv[2] + fv[6]) + w3 * (fv[3] + fv[5]) + w4 * fv[4]) * step
        qright[lev + 1] = (w0 * (fv[8] + fv[16]) + w1 * (fv[9] + fv[15]) + w2 * (fv[10] + fv[14])
                           + w3 * (fv[11] + fv[13]) + w4 * fv[12]) * step
        qnow = qleft + qright[lev + 1]
        qdiff = qnow - qprev
        area += qdiff
        esterr = abs(qdiff) / 1023
        tolerr = max(tol, tol * abs(area)) * (step / stone)
        converged = False
        if lev >= levmin:
            if lev >= levmax:
                flag += 1
                converged = True
            elif nofun > nofin:
                nofin *= 2
                levmax = levout
                flag += (b - x0) / (b - a)
                converged = True
            elif not decide(tolerr, esterr, "quanc8"):
                converged = True
        if not converged:
            nim *= 2
            lev += 1
            for i in range(1, 9):
                fsave[i][lev] = fv[i + 8]
                xsave[i][lev] = xv[i + 8]
            qprev = qleft
            for i in range(1, 9):
                j = -i
                fv[2 * j + 18] = fv[j + 9]
                xv[2 * j + 18] = xv[j + 9]
            continue
        result += qnow
        errest += esterr
        cor11 += qdiff / 1023
        while nim % 2 != 0:
            nim //= 2
            lev -= 1
        nim += 1
        if lev <= 0:
            break
        qprev = qright[lev]
        x0 = xv[16]
        f0 = fv[16]
        for i in range(1, 9):
            fv[2 * i] = fsave[i][lev]
            xv[2 * i] = xsave[i][lev]
    result += cor11
    report()
    return result


def romberg(f, a, b, n, tol):
    kmax = min(n, 25)
    ends = (f(a) + f(b)) / 2
    prev = [(b - a) * ends]
    k = 0
    while True:
        k += 1
        pts = 2 ** k - 1
        step = (b - a) / (pts + 1)
        cur = [step * (ends + mp.fsum(f(a + i * step) for i in range(1, pts + 1)))]
        for j in range(1, k + 1):
            cur.append((4 ** j * cur[j - 1] - prev[j - 1]) / (4 ** j - 1))
        if k >= kmax or decide(abs(cur[k] - prev[k - 1]), tol, "romberg"):
            return cur[k]
        prev = cur


def integrate(method, f, a, b, third=None, trace=None, n=100, tol=mp.mpf("1e-8")):
    trace = [] if trace is None else trace
    if third is not None:
        if third > 1:
            n = int(mp.nint(third))
        else:
            tol = mp.mpf(third)
    if method == 0:
        return simpson(f, a, b, n, tol, trace)
    if method in (1, 2):
        return trapezoid(f, a, b, n, method == 2)
    if method in (3, 5):
        return quanc8(f, a, b, tol, trace)
    return romberg(f, a, b, n, tol)


def ridders(f, order, x0, dx, trace, noisy=False):
    """noisy: the result hangs on roundoff; only its value is printed."""
    if order < 1:
        return f(x0)

    def g(x):
        return f(x) if order == 1 else ridders(f, order - 1, x, dx, trace, noisy)

    t = [[mp.mpf(0)] * 10 for _ in range(10)]
    h = mp.mpf(dx)
    t[0][0] = (g(x0 + h) - g(x0 - h)) / (2 * h)
    evals, err, ans, converged = 2, INF, t[0][0], False
    cmp = (lambda a, b, w: a < b) if noisy else decide
    for i in range(1, 10):
        h /= mp.mpf("1.4")
        t[0][i] = (g(x0 + h) - g(x0 - h)) / (2 * h)
        evals += 2
        fac = mp.mpf("1.96")
        for j in range(1, i + 1):
            t[j][i] = (t[j - 1][i] * fac - t[j - 1][i - 1]) / (fac - 1)
            fac *= mp.mpf("1.96")
            errt = max(abs(t[j][i] - t[j - 1][i]), abs(t[j][i] - t[j - 1][i - 1]))
            if err == INF or cmp(errt, err, "ridders errt"):
                err, ans = errt, t[j][i]
        if not cmp(abs(t[i][i] - t[i - 1][i - 1]), 2 * err, "ridders stop"):
            converged = True
            break
    trace.append("DERIVATIVE %s in %d evals." % ("converged" if converged else "quit", evals))
    return ans


def zeroin(f, a, b, tol, maxits, trace):
    eps = MACHINE_EPSILON
    fa, fb = f(a), f(b)
    c, fc = a, fa
    d = e = b - a
    it = 0
    while True:
        it += 1
        if abs(fc) < abs(fb):
            a, b, c = b, c, b
            fa, fb, fc = fb, fc, fb
        tol1 = 2 * eps * abs(b) + tol / 2
        xm = (c - b) / 2
        if not decide(tol1, abs(xm), "zeroin stop") or fb == 0:
            return b
        if it > maxits:
            trace.append("Warning: FINDZERO reached max iterations")
            return b
        if abs(e) >= tol1 and abs(fa) > abs(fb):
            s = fb / fa
            if a == c:
                p, q = 2 * xm * s, 1 - s
            else:
                q, r = fa / fc, fb / fc
                p = s * (2 * xm * q * (q - r) - (b - a) * (r - 1))
                q = (q - 1) * (r - 1) * (s - 1)
            if p > 0:
                q = -q
            else:
                p = -p
            if decide(2 * p, 3 * xm * q - abs(tol1 * q), "zeroin interp") and decide(p, abs(e * q / 2), "zeroin step"):
                e, d = d, p / q
            else:
                d = e = xm
        else:
            d = e = xm
        a, fa = b, fb
        b += d if abs(d) > tol1 else (tol1 if xm > 0 else -tol1)
        fb = f(b)
        if (fb > 0 and fc > 0) or (fb < 0 and fc < 0):
            c, fc = a, fa
            d = e = b - a


def brent_min(f, low, high, x, tol, maxits, trace):
    golden, zeps = mp.mpf("0.381966"), mp.mpf("1e-20")
    a, b = min(low, high), max(low, high)
    w = v = x
    d = e = mp.mpf(0)
    fx = fw = fv = f(x)
    it = 0
    while True:
        it += 1
        xm = (a + b) / 2
        tol1 = tol * abs(x) + zeps
        tol2 = 2 * tol1
        if not decide(tol2 - (b - a) / 2, abs(x - xm), "brent stop"):
            return x
        if it > maxits:
            trace.append("Warning FINDMIN reached maximum iterations")
            return x
        golden_step = True
        if abs(e) > tol1:
            r = (x - w) * (fx - fv)
            q = (x - v) * (fx - fw)
            p = (x - v) * q - (x - w) * r
            q = 2 * (q - r)
            if q > 0:
                p = -p
            q = abs(q)
            etemp, e = e, d
            if not (abs(p) >= abs(q * etemp / 2) or p <= q * (a - x) or p >= q * (b - x)):
                golden_step = False
                d = p / q
                u = x + d
                if u - a < tol2 or b - u < tol2:
                    d = tol1 if xm - x >= 0 else -tol1
        if golden_step:
            e = a - x if x >= xm else b - x
            d = golden * e
        u = x + d if abs(d) >= tol1 else x + (tol1 if d >= 0 else -tol1)
        fu = f(u)
        if not decide(fx, fu, "brent accept"):
            if u >= x:
                a = x
            else:
                b = x
            v, w, x = w, x, u
            fv, fw, fx = fw, fx, fu
        else:
            if u < x:
                a = u
            else:
                b = u
            if fu <= fw or w == x:
                v, w, fv, fw = w, u, fw, fu
            elif fu <= fv or v == x or v == w:
                v, fv = u, fu


def summation(f, lo, hi, crit=None, product=False, trace=None, name=""):
    result = mp.mpf(1 if product else 0)
    change = INF
    i = lo
    while i <= hi and (crit is None or change == INF or not decide(change, crit, "sum criterion")):
        old = result
        result = result * f(i) if product else result + f(i)
        change = abs(result - old)
        i += 1
    if trace is not None:
        trace.append("%s(%d %d)= %s" % ("PRODUCT" if product else "SUM", lo, hi, num(result)))
    return result, i


# ------------------------------------------------------------ case writing


class Case(CaseFile):
    folder = HERE

    def lines(self, printed):
        self.out.extend(printed)


def shown(x, tol="1e-15"):
    """A real in the default format, refused near a rounding boundary."""
    check_margin(x, 12, 5, tol)
    return num(x)


def sqrt(x):
    return mp.sqrt(x)


def integrate_case():
    c = Case("integrate", ["Every integration method on bodies with closed forms, and the third argument:",
                           "a count above 1, a tolerance otherwise."])
    bodies = [("x^2", lambda x: x * x, mp.mpf(0), mp.mpf(1), mp.mpf(1) / 3, "0", "1"),
              ("1", lambda x: mp.mpf(1), mp.mpf(0), mp.mpf(1), mp.mpf(1), "0", "1"),
              ("x", lambda x: x, mp.mpf(2), mp.mpf(2), mp.mpf(0), "2", "2"),
              ("EXP(x)", mp.exp, mp.mpf(0), mp.mpf(1), E - 1, "0", "1"),
              ("SQRT(x)", sqrt, mp.mpf(0), mp.mpf(2), 2 * sqrt(2) ** 3 / 3, "0", "2"),
              ("1 / x", lambda x: 1 / x, mp.mpf(2), mp.mpf(1), -mp.log(2), "2", "1")]
    # How close each method comes: the extended trapezoid formulas with 100
    # points, and sqrt's infinite slope at 0, are the coarse ones.
    close = {0: "1e-8", 1: "1e-3", 2: "1e-2", 3: "1e-8", 4: "1e-7", 5: "1e-8"}
    c.stmt("FOR m = 0 TO 5 DO")
    c.stmt("  INTEGRATE_METHOD = m")
    items = ", \" \", ".join("INTEGRATE x (%s, %s) %s END" % (lo_t, hi_t, body) for body, _, _, _, _, lo_t, hi_t in bodies)
    c.stmt("  WRITELN(m, \" \", %s)" % items)
    c.stmt("END")
    for m in range(6):
        vals = []
        for body, f, lo, hi, exact, _, _ in bodies:
            v = integrate(m, f, lo, hi)
            nearly(v, exact, mp.mpf(close[m]), "method %d of %s" % (m, body))
            vals.append(shown(v))
        c.lines(["%d %s" % (m, " ".join(vals))])
    third = [(1, "10", 10), (4, "3", 3), (4, "0.001", mp.mpf("0.001")), (0, "1.0E-3", mp.mpf("1e-3")),
             (3, "0.5", mp.mpf("0.5")), (2, "1000", 1000)]
    for m, text, value in third:
        c.stmt("INTEGRATE_METHOD = %d" % m)
        c.stmt("WRITELN(INTEGRATE x (0, 1, %s) EXP(x) END)" % text)
        v = integrate(m, mp.exp, mp.mpf(0), mp.mpf(1), third=value)
        nearly(v, E - 1, mp.mpf("0.01"), "third argument %s" % text)
        c.lines([shown(v)])
    c.stmt("INTEGRATE_METHOD = I_ROMBERG")
    c.stmt("a = 3.0")
    c.stmt("WRITELN(INTEGRATE t (0, a) t * a END)")
    c.lines([shown(mp.mpf(27) / 2)])
    c.stmt("WRITELN(INTEGRATE x (0, 1) INTEGRATE y (0, x) x * y END END)")
    c.lines([shown(mp.mpf(1) / 8)])
    c.write()


def integrate_trace_case():
    c = Case("integrate_trace", ["DEBUG_INT traces of Simpson and adaptive quadrature, and Simpson's warning."])
    c.stmt("DEBUG_INT = TRUE")
    runs = [(0, "0", "1", "x^2", lambda x: x * x, mp.mpf(0), mp.mpf(1), None, mp.mpf(1) / 3),
            (0, "1", "2", "1 / x", lambda x: 1 / x, mp.mpf(1), mp.mpf(2), None, mp.log(2)),
            (0, "1", "1", "x", lambda x: x, mp.mpf(1), mp.mpf(1), None, 0),
            (0, "0", "1, 4", "SQRT(x)", sqrt, mp.mpf(0), mp.mpf(1), 4, None),
            (3, "0", "1", "SQRT(x)", sqrt, mp.mpf(0), mp.mpf(1), None, mp.mpf(2) / 3),
            (3, "0", "0", "x", lambda x: x, mp.mpf(0), mp.mpf(0), None, 0),
            (5, "1", "2", "1 / x", lambda x: 1 / x, mp.mpf(1), mp.mpf(2), None, mp.log(2)),
            (3, "0", "1", "IF x < 0.3 THEN 0 ELSE 1 END", lambda x: 0 if x < mp.mpf("0.3") else 1,
             mp.mpf(0), mp.mpf(1), None, mp.mpf("0.7"))]
    for m, lo_t, hi_t, body, f, lo, hi, third, exact in runs:
        c.stmt("INTEGRATE_METHOD = %d" % m)
        c.stmt("WRITELN(INTEGRATE x (%s, %s) %s END)" % (lo_t, hi_t, body))
        trace = []
        v = integrate(m, f, lo, hi, third=third, trace=trace)
        if exact is not None:
            nearly(v, exact, mp.mpf("1e-7"), body)
        c.lines(trace + [shown(v)])
    c.write()


def derivative_case():
    c = Case("derivative", ["Ridders' derivatives of first and higher order; the variable gets its value back;",
                            "the DEBUG_INT trace counts body evaluations."])
    c.stmt("x = 0.25")
    runs = [("DERIVATIVE x = 0, SIN(x) END", mp.sin, 1, 0, "0.001", 1),
            ("DERIVATIVE x = 3, x^2 END", lambda x: x * x, 1, 3, "0.001", 6),
            ("DERIVATIVE x = 2 EXP(x) 0.1 END", mp.exp, 1, 2, "0.1", E ** 2),
            ("DERIVATIVE (2) x = 2, x^3 END", lambda x: x ** 3, 2, 2, "0.001", 12),
            ("DERIVATIVE (3) x = 1, x^4, 0.1 END", lambda x: x ** 4, 3, 1, "0.1", 24),
            ("DERIVATIVE (2) x = 0.5, SIN(x), 0.05 END", mp.sin, 2, mp.mpf("0.5"), "0.05", -mp.sin(mp.mpf("0.5")))]
    for text, f, order, x0, dx, exact in runs:
        c.stmt("WRITELN(REAL2STR(%s, 10, 5))" % text)
        v = ridders(f, order, mp.mpf(x0), mp.mpf(dx), [], noisy=True)
        nearly(v, exact, mp.mpf("1e-9"), text)
        # Roundoff decides where these stop; the value shown, in width 10, is
        # the closed form, which every stopping point matches far below the
        # digits shown.
        check_margin(exact, 10, 5, "1e-9")
        c.lines([fmt(exact, 10, 5).strip()])
    c.stmt("WRITELN(x)")
    c.lines([shown(mp.mpf("0.25"))])
    c.stmt("DEBUG_INT = TRUE")
    # A line through 0: every difference quotient is exactly 1.
    c.stmt("WRITELN(DERIVATIVE x = 0, x END)")
    trace = []
    v = ridders(lambda x: x, 1, mp.mpf(0), mp.mpf("0.001"), trace)
    c.lines(trace + [shown(v)])
    # sqrt near its singular point: the extrapolation never settles.
    c.stmt("WRITELN(DERIVATIVE x = 1, SQRT(x), 0.99 END)")
    trace = []
    v = ridders(sqrt, 1, mp.mpf(1), mp.mpf("0.99"), trace)
    nearly(v, mp.mpf("0.5"), mp.mpf("1e-2"), "sqrt derivative")
    c.lines(trace + [shown(v, "1e-12")])
    c.write()


def search_case():
    c = Case("search", ["FINDZERO and FINDMIN: defaults, explicit tolerances, the bracket in either order,",
                        "the variable left at the answer, and the iteration-limit warnings."])
    runs = [("FINDZERO x (0, 3) x - 1 END", "zero", lambda x: x - 1, 0, 3, None, 100, None, 1),
            ("FINDZERO x (0 3 1.0E-12) x^2 - 2 END", "zero", lambda x: x * x - 2, 0, 3, "1e-12", 100, None, sqrt(2)),
            ("FINDZERO x (0, 2, 1.0E-12, 100) COS(x) END", "zero", mp.cos, 0, 2, "1e-12", 100, None, PI / 2),
            ("FINDZERO x (0, 3, 1.0E-12, 3) x^2 - 2 END", "zero", lambda x: x * x - 2, 0, 3, "1e-12", 3, None, None),
            ("FINDMIN y (0, 5) (y - 2)^2 END", "min", lambda y: (y - 2) ** 2, 0, 5, None, 100, None, 2),
            ("FINDMIN y (5, 0, 4, 1.0E-10) (y - 2)^2 END", "min", lambda y: (y - 2) ** 2, 5, 0, "1e-10", 100, 4, 2),
            ("FINDMIN y (0, 2 * PI) COS(y) + 1 END", "min", lambda y: mp.cos(y) + 1, 0, 2 * PI, None, 100, None, PI),
            ("FINDMIN y (0, 5, 0.5, 1.0E-10, 3) (y - 2)^2 + y^4 END", "min", lambda y: (y - 2) ** 2 + y ** 4, 0, 5,
             "1e-10", 3, mp.mpf("0.5"), None)]
    for text, kind, f, lo, hi, tol, maxits, start, exact in runs:
        var = "x" if kind == "zero" else "y"
        c.stmt("WRITELN(%s, \" \", %s)" % (text, var))
        lo, hi = mp.mpf(lo), mp.mpf(hi)
        t = mp.mpf(tol) if tol else mp.mpf("1e-5")
        trace = []
        if kind == "zero":
            v = zeroin(f, lo, hi, t, maxits, trace)
        else:
            v = brent_min(f, lo, hi, start if start is not None else lo / 2 + hi / 2, t, maxits, trace)
        if exact is not None:
            nearly(v, exact, 10 * t * max(1, abs(exact)), text)
        c.lines(trace + ["%s %s" % (shown(v, "1e-13"), shown(v, "1e-13"))])
    c.write()


def sums_case():
    c = Case("sums", ["SUMMATION and PRODUCT: the loop variable afterwards, empty ranges, the criterion,",
                      "and the DEBUG_INT trace."])
    c.stmt("WRITELN(SUMMATION i (1, 10) i END, \" \", i)")
    c.lines(["%s 11" % shown(55)])
    c.stmt("WRITELN(PRODUCT i (1, 10) i END)")
    c.lines([shown(3628800)])
    c.stmt("WRITELN(SUMMATION i (1, 0) i END, \" \", PRODUCT i (1, 0) i END, \" \", i)")
    c.lines(["%s %s 1" % (shown(0), shown(1))])
    # 1/k^2 until a term changes the sum by less than 2e-10: k = 70711 is
    # the first (70710 gives 2.00004e-10); the sum is zeta(2) - zeta(2, 70712).
    c.stmt("WRITELN(SUMMATION k (1, 1000000, 2.0E-10) 1 / k^2 END, \" \", k)")
    v, k = summation(lambda k: mp.mpf(1) / k ** 2, 1, 1000000, mp.mpf("2e-10"))
    nearly(v, mp.zeta(2) - mp.zeta(2, 70712), mp.mpf("1e-30"), "basel")
    c.lines(["%s %d" % (shown(v, "1e-14"), k)])
    c.stmt("WRITELN(SUMMATION n (0, 30, 1.0E-15) 1 / FACT(n) END, \" \", n)")
    v, n = summation(lambda n: 1 / mp.factorial(n), 0, 30, mp.mpf("1e-15"))
    nearly(v, E, mp.mpf("1e-15"), "e")
    c.lines(["%s %d" % (shown(v, "1e-14"), n)])
    c.stmt("WRITELN(PRODUCT n (1, 60, 1.0E-6) 1 + 1 / 2^n END, \" \", n)")
    v, n = summation(lambda n: 1 + mp.mpf(2) ** -n, 1, 60, mp.mpf("1e-6"), product=True)
    c.lines(["%s %d" % (shown(v, "1e-14"), n)])
    c.stmt("DEBUG_INT = TRUE")
    c.stmt("WRITELN(SUMMATION j (-2, 2) j^2 END)")
    trace = []
    v, _ = summation(lambda j: mp.mpf(j) ** 2, -2, 2, trace=trace)
    c.lines(trace + [shown(v)])
    c.stmt("WRITELN(PRODUCT j (1, 5) j END)")
    trace = []
    v, _ = summation(lambda j: mp.mpf(j), 1, 5, product=True, trace=trace)
    c.lines(trace + [shown(v)])
    c.write()


def listing_case():
    """-v in expression mode lists each form as parsed, then its value."""
    items = [("INTEGRATE x (0, 1, 10) x^2 END",
              "INTEGRATE  x ( 0 ,  1 ,  10 )POWER ( x ,  2 )END ", mp.mpf(1) / 3),
             ("DERIVATIVE (2) x = 3, x^3, 0.01 END",
              "DERIVATIVE ( 2  )  x = 3 , POWER ( x ,  3 ),  0.0100000000  END ", 18),
             ("DERIVATIVE y = 1 y END", "DERIVATIVE  y = 1 ,  y  END ", 1),
             ("FINDMIN y (0, 5, 1) (y - 2)^2 END",
              "FINDMIN  y ( 0 ,  5 ,  1 )POWER (SUBTRACT ( y ,  2 ),  2 ) END ", 2),
             ("FINDZERO z (0 3) z - 1 END", "FINDZERO  z ( 0 ,  3 )SUBTRACT ( z ,  1 ) END ", 1),
             ("SUMMATION i (1, 10, 0.5) i END", "SUMMATION  i ( 1 ,  10 ,  0.5000000000 ) i END ", 55),
             ("PRODUCT i (1 4) i END", "PRODUCT  i ( 1 ,  4 ) i END ", 24)]
    args = ["-q", "-v"]
    out = []
    for text, listing, value in items:
        args += ["-ex", text]
        out += ["Doing: " + text, listing + " -> " + shown(value, "1e-15")]
    base = os.path.join(HERE, "listing")
    with open(base + ".args", "w") as f:
        f.write("\n".join(args) + "\n")
    with open(base + ".out", "w") as f:
        f.write("".join(line + "\n" for line in out))


def error_case(name, header, setup, stmt, position, category, message):
    c = Case(name, header)
    for s in setup:
        c.stmt(s)
    c.stmt("WRITELN(\"before\")")
    c.stmt(stmt)
    line_no = len(c.zav)
    c.stmt("WRITELN(\"not reached\")")
    col = position(c.zav[-2])
    if category != "parser":
        c.out.append("before")
    c.out.append("%s.zav(%d,%d) Error (%s): %s" % (name, line_no, col, category, message))
    c.out.append(" Line %d of %s.zav" % (line_no, name))
    c.write(exit_code=1)


def after_statement(text):
    """Run-time errors name the column just past the failing statement."""
    return len(text) + 1


def after(token):
    """Parse errors name the column just past the token the parser stopped at."""
    return lambda text: text.index(token) + len(token) + 1


def errors():
    error_case("err_integrate_method", ["An INTEGRATE_METHOD without a method stops the run."],
               ["INTEGRATE_METHOD = 6"], "WRITELN(INTEGRATE x (0, 1) x END)", after_statement,
               "run time", "Unimplemented integration method: 6")
    error_case("err_integrate_count", ["INTEGRATE takes two or three bracketed arguments."],
               [], "WRITELN(INTEGRATE x (0) x END)", after("(0)"),
               "parser", "Wrong number of parameters. Called with 1, expected from 2 to 3")
    error_case("err_findmin_count", ["FINDMIN takes two to five bracketed arguments."],
               [], "WRITELN(FINDMIN x (0, 1, 0.5, 0.1, 10, 2) x END)", after("10, 2)"),
               "parser", "Wrong number of parameters. Called with 6, expected from 2 to 5")
    error_case("err_findzero_count", ["FINDZERO takes two to four bracketed arguments."],
               [], "WRITELN(FINDZERO x (1) x END)", after("(1)"),
               "parser", "Wrong number of parameters. Called with 1, expected from 2 to 4")
    error_case("err_calculus_type", ["The parts of a calculus form are numbers."],
               [], "WRITELN(SUMMATION i (1, 2) \"a\" END)", after("END"),
               "parser", "Bad argument type to SUMMATION. Found:  STRING . Expected:  INTEGER REAL ")
    error_case("err_calculus_var", ["The variable of INTEGRATE must hold a REAL."],
               ["n = 1"], "WRITELN(INTEGRATE n (0, 1) n END)", after("INTEGRATE n"),
               "parser", "Can't assign value of type REAL to variable of type INTEGER")


if __name__ == "__main__":
    integrate_case()
    integrate_trace_case()
    derivative_case()
    search_case()
    sums_case()
    listing_case()
    errors()
