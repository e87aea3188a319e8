#!/usr/bin/env python3
"""Writes the array-statistics golden cases of this folder: NAME.zav,
NAME.args, NAME.out (and NAME.exit for the cases that end in an error).

The expected output never comes from running zav. Statistics are computed
here in exact fractions from their definitions (weighted sums, mean,
variance (sum w x^2 - (sum w x)^2 / W) / (W - 1), the weighted quantile at
position (W + 1) q on the cumulative weights of the sorted values), and the
order VSORT leaves equal keys in comes from the heap sort of Numerical
Recipes (hpsort), written here from its published description. Numbers are
turned into text by the number printer's description as written for the
library cases (../lib/reference.py).

Run:  python3 reference.py   (from any directory; rewrites the files).
"""
import math
import os
import sys
from fractions import Fraction as F

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "lib"))
from reference import CaseFile, check_margin, fmt  # noqa: E402  (the number printer, case files)


def shown(x):
    check_margin(x, 12, 5, "1e-15")
    return fmt(x, 12, 5)


def moments(xs, ws=None):
    ws = ws or [1] * len(xs)
    w = sum(F(v) for v in ws)
    wx = sum(F(a) * b for a, b in zip(ws, xs))
    wxx = sum(F(a) * b * b for a, b in zip(ws, xs))
    return w, wx, wxx


def variance(xs, ws=None):
    w, wx, wxx = moments(xs, ws)
    return (wxx - wx * wx / w) / (w - 1)


def hpsort_order(keys):
    """Positions in the order the heap sort leaves them (1-based internally)."""
    n = len(keys)
    ra = [None] + list(range(n))
    if n >= 2:
        l, ir = n // 2 + 1, n
        while True:
            if l > 1:
                l -= 1
                rra = ra[l]
            else:
                rra = ra[ir]
                ra[ir] = ra[1]
                ir -= 1
                if ir == 1:
                    ra[1] = rra
                    break
            i, j = l, l + l
            while j <= ir:
                if j < ir and keys[ra[j]] < keys[ra[j + 1]]:
                    j += 1
                if keys[rra] < keys[ra[j]]:
                    ra[i] = ra[j]
                    i = j
                    j <<= 1
                else:
                    break
            ra[i] = rra
    return ra[1:]


def quantile(xs, ws, q, alternative=False):
    ws = ws or [1] * len(xs)
    order = hpsort_order(xs)
    values = [xs[k] for k in order]
    cum, total = [], F(0)
    for k in order:
        total += F(ws[k])
        cum.append(total)

    def at(pos):
        for k, c in enumerate(cum):
            if (c > 0 if pos < 1 else c >= pos):
                return values[k]
        return values[-1]

    p = 1 + (total - 1) * F(q) if alternative else (total + 1) * F(q)
    e = math.trunc(p)
    f = p - e
    return at(e) if f == 0 else (1 - f) * at(e) + f * at(e + 1)


class Case(CaseFile):
    folder = HERE

    def line(self, items, expected):
        self.stmt("WRITELN(%s)" % ", \" \", ".join(items))
        self.out.append(expected)


def literal(values):
    return "[" + ", ".join(str(v) for v in values) + "]"


def stats_case():
    c = Case("stats", ["Weighted and unweighted statistics of whole arrays; quantiles leave the array alone."])
    x, w, k = [1, 2, 3], [1, 1, 2], [1, 2, 3]
    c.stmt("x:REAL[1 TO 3] = %s" % literal(x))
    c.stmt("w:REAL[1 TO 3] = %s" % literal(w))
    c.stmt("k:INTEGER[1 TO 3] = %s" % literal(k))
    for weights, wname in ((None, "1"), (w, "w")):
        n, wx, wxx = moments(x, weights)
        v = variance(x, weights)
        c.line(["VSUM(x, %s)" % wname, "VSUMSQ(x, %s)" % wname, "VMEAN(x, %s)" % wname,
                "VVARIANCE(x, %s)" % wname, "VSTDEV(x, %s)" % wname],
               " ".join([shown(wx), shown(wxx), shown(wx / n), shown(v), shown(math.sqrt(v))]))
    # Integer elements, and a weight expression evaluated with D_IDX = 1, 2, 3.
    n, wx, _ = moments(k, w)
    n2, wx2, _ = moments(x, [1, 2, 3])
    c.line(["VMEAN(k, w)", "VMEAN(x, D_IDX)", "D_IDX"], "%s %s 0" % (shown(wx / n), shown(wx2 / n2)))
    b, bw = [3, 1, 2], [2, 1, 1]
    c.stmt("b:REAL[1 TO 3] = %s" % literal(b))
    c.stmt("bw:REAL[1 TO 3] = %s" % literal(bw))
    c.line(["VMEDIAN(b, 1)", "b[1]", "b[2]", "b[3]"],
           " ".join([shown(quantile(b, None, F(1, 2)))] + [shown(v) for v in b]))
    qs = [("VMEDIAN(b, bw)", bw, F(1, 2)), ("VQUANTILE(b, bw, 0.25)", bw, F(1, 4)),
          ("VQUANTILE(b, bw, 0.9)", bw, F(9, 10)), ("VQUANTILE(b, 1, 0)", None, 0), ("VQUANTILE(b, 1, 1)", None, 1)]
    c.line([q for q, _, _ in qs], " ".join(shown(quantile(b, ws, p)) for _, ws, p in qs))
    f = [4, 1, 3, 2]
    c.stmt("f:INTEGER[1 TO 4] = %s" % literal(f))
    c.line(["VQUANTILE(f, 1, 0.25)", "VQUANTILE(f, 1, 0.75)"],
           "%s %s" % (shown(quantile(f, None, F(1, 4))), shown(quantile(f, None, F(3, 4)))))
    c.stmt("ALT_VQUANTILE = TRUE")
    c.line(["VQUANTILE(f, 1, 0.25)", "VQUANTILE(f, 1, 0.75)"],
           "%s %s" % (shown(quantile(f, None, F(1, 4), True)), shown(quantile(f, None, F(3, 4), True))))
    c.line(["VMAX(b)", "VMIN(b)", "VMAX(f)", "VMIN(f)"], "%s %s %d %d" % (shown(max(b)), shown(min(b)), max(f), min(f)))
    s = ["pear", "apple", "zoo"]
    c.stmt("s:STRING[1 TO 3] = [%s]" % ", ".join('"%s"' % t for t in s))
    c.line(["VMAX(s)", "VMIN(s)"], "%s %s" % (max(s), min(s)))
    ch = ["q", "b", "x"]
    c.stmt("ch:CHAR[1 TO 3] = [%s]" % ", ".join("'%s'" % t for t in ch))
    c.line(["VMAX(ch)", "VMIN(ch)"], "%s %s" % (max(ch), min(ch)))
    # Complex elements: (1+i) + (3-i) = 4; the squares sum to 8 - 4i; the
    # variance is ((8 - 4i) - 4^2/2)/(2 - 1) = -4i.
    c.stmt("z:COMPLEX[1 TO 2] = [1 + 1i, 3 - 1i]")
    c.line(["RE(VSUM(z, 1))", "IM(VSUMSQ(z, 1))", "RE(VVARIANCE(z, 1))", "IM(VVARIANCE(z, 1))"],
           " ".join([shown(4), shown(-4), shown(0), shown(-4)]))
    c.write()


def vsort_case():
    c = Case("vsort", ["VSORT sorts the first array and moves the others with it; equal keys end up",
                       "in the order the heap sort leaves them."])
    a, b, s = [3, 1, 2, 5, 4], [30, 10, 20, 50, 40], ["c", "a", "b", "e", "d"]
    c.stmt("a:REAL[1 TO 5] = %s" % literal(a))
    c.stmt("b:INTEGER[1 TO 5] = %s" % literal(b))
    c.stmt("s:STRING[1 TO 5] = [%s]" % ", ".join('"%s"' % t for t in s))
    c.stmt("VSORT(a, b, s)")
    order = hpsort_order(a)
    a, b, s = [a[k] for k in order], [b[k] for k in order], [s[k] for k in order]
    c.stmt("FOR i = 1 TO 5 DO WRITE(ROUND(a[i]), \" \", b[i], \" \", s[i], \" \") END WRITELN()")
    c.out.append("".join("%d %d %s " % t for t in zip(a, b, s)))
    # Sorted by the strings instead: text keys order by their characters.
    c.stmt("s = [\"e\", \"d\", \"c\", \"b\", \"a\"]")
    s = ["e", "d", "c", "b", "a"]
    c.stmt("VSORT(s, a)")
    order = hpsort_order(s)
    s, a = [s[k] for k in order], [a[k] for k in order]
    c.stmt("FOR i = 1 TO 5 DO WRITE(s[i], ROUND(a[i]), \" \") END WRITELN()")
    c.out.append("".join("%s%d " % t for t in zip(s, a)))
    t, u = [2, 1, 2, 1, 2, 1, 3], [1, 2, 3, 4, 5, 6, 7]
    c.stmt("t:INTEGER[1 TO 7] = %s" % literal(t))
    c.stmt("u:INTEGER[1 TO 7] = %s" % literal(u))
    c.stmt("VSORT(t, u)")
    order = hpsort_order(t)
    c.stmt("FOR i = 1 TO 7 DO WRITE(t[i], u[i], \" \") END WRITELN()")
    c.out.append("".join("%d%d " % (t[k], u[k]) for k in order))
    c.write()


def conversion_case():
    c = Case("convert", ["ARRAYTODATA makes an array of N_OBS reals a data variable, read at D_IDX;",
                         "DATATOARRAY makes it an array again."])
    d = [5, 7, 6]
    c.stmt("N_OBS = 3")
    c.stmt("d:REAL[1 TO 3] = %s" % literal(d))
    c.stmt("ARRAYTODATA(d)")
    c.stmt("D_IDX = 2")
    n, wx, _ = moments(d)
    c.line(["d[D_IDX]", "VMEAN(d, 1)", "VMAX(d)", "VMEDIAN(d, 1)"],
           " ".join([shown(d[1]), shown(wx / n), shown(max(d)), shown(quantile(d, None, F(1, 2)))]))
    c.stmt("VSORT(d)")
    c.line(["d[D_IDX]"], shown(sorted(d)[1]))
    c.stmt("DATATOARRAY(d)")
    c.line(["d[1]", "d[3]"], "%s %s" % (shown(sorted(d)[0]), shown(sorted(d)[2])))
    c.write()


def datavars_case():
    c = Case("datavars", ["Data variables as sequences and as weights (directly or inside an expression read",
                          "at D_IDX = 1 .. N_OBS), VSORT of a data variable with arrays, and the conversions."])
    x, w = [5, 1, 4, 2], [2, 1, 3, 1]
    with open(os.path.join(HERE, "obs.dat"), "w") as f:
        f.write("".join("%d %d\n" % t for t in zip(x, w)))
    for t in ("PRINT_COUNTS = FALSE", "PRINT_DATA_STATS = FALSE", "PRINT_BASIC = FALSE", "DATAFILE(\"obs.dat\")",
              "DATA x FIELD 1  w FIELD 2 END"):
        c.stmt(t)
    n, wx, _ = moments(x)
    wn, wwx, _ = moments(x, w)
    c.line(["N_OBS", "VSUM(x, 1)", "VMEAN(x, w)", "VVARIANCE(x, w)", "VMEDIAN(x, w)", "VMAX(x)", "VMIN(x)"],
           " ".join(["4", shown(wx), shown(wwx / wn), shown(variance(x, w)), shown(quantile(x, w, F(1, 2))),
                     shown(max(x)), shown(min(x))]))
    dn, dwx, _ = moments(x, [1, 2, 3, 4])
    c.line(["VMEAN(x, w * 2)", "VMEAN(x, D_IDX)"], "%s %s" % (shown(wwx / wn), shown(dwx / dn)))
    a = [10, 20, 30, 40]
    c.stmt("a:REAL[1 TO 4] = %s" % literal(a))
    c.stmt("VSORT(x, a, w)")
    order = hpsort_order(x)
    xs, a, ws = [x[k] for k in order], [a[k] for k in order], [w[k] for k in order]
    c.stmt("FOR i = 1 TO 4 DO D_IDX = i WRITE(ROUND(x), \" \", ROUND(a[i]), \" \", ROUND(w), \" \") END WRITELN()")
    c.out.append("".join("%d %d %d " % t for t in zip(xs, a, ws)))
    c.line(["x.MIN", "x.MAX", "x.SUM"], " ".join(shown(v) for v in (min(x), max(x), sum(x))))
    c.stmt("DATATOARRAY(x)")
    c.line(["x[2]", "VMAX(x)"], "%s %s" % (shown(xs[1]), shown(max(x))))
    c.stmt("ARRAYTODATA(x)")
    c.stmt("D_IDX = 3")
    c.line(["x", "x.MEAN"], "%s %s" % (shown(xs[2]), shown(F(sum(x), len(x)))))
    c.write()


def error_case(name, header, setup, stmt, category, message, col=None):
    c = Case(name, header)
    for s in setup:
        c.stmt(s)
    c.stmt("WRITELN(\"before\")")
    c.stmt(stmt)
    line_no = len(c.zav)
    c.stmt("WRITELN(\"not reached\")")
    c.out.append("before")
    # Run-time errors name the column just past the failing statement.
    col = col or len(c.zav[line_no - 1]) + 1
    c.out.append("%s.zav(%d,%d) Error (%s): %s" % (name, line_no, col, category, message))
    c.out.append(" Line %d of %s.zav" % (line_no, name))
    c.write(exit_code=1)


def errors():
    arr = ["a:REAL[1 TO 3] = [1, 2, 3]"]
    error_case("err_stat_kind", ["The first argument of a statistic is a whole array or a data variable."],
               arr, "WRITELN(VMEAN(a[1], 1))", "data",
               "Argument 1 to VMEAN was not an array or data variable, it was IDENTIFIER")
    error_case("err_quantile_range", ["VQUANTILE's probability is a proportion."],
               arr, "WRITELN(VQUANTILE(a, 1, 1.5))", "math",
               "Bad quantile argument to VQUANTILE should be > 0 and < 1 but = %s" % fmt(1.5))
    error_case("err_weight_length", ["An array of weights is as long as the sequence."],
               arr + ["w:REAL[1 TO 2] = [1, 1]"], "WRITELN(VMEAN(a, w))", "data",
               "Argument 2 to VMEAN was not the same length as the first argument")
    error_case("err_vsort_none", ["VSORT needs an array."], [], "VSORT()", "run time", "Too few arguments to VSORT")
    error_case("err_vsort_kind", ["Every argument of VSORT is an array or a data variable."],
               arr, "VSORT(a, 3)", "data", "Argument 2 to VSORT  was not an array; it was a IDENTIFIER")
    error_case("err_vsort_length", ["The arrays VSORT moves together have one length."],
               arr + ["b:REAL[1 TO 4] = 0"], "VSORT(a, b)", "data",
               "Argument 2 to VSORT . was not the same length as the first argument")
    error_case("err_datatoarray", ["Only a data variable becomes an array."],
               arr, "DATATOARRAY(a)", "data", "a isn't a data variable.  Can't change it to an array.")
    error_case("err_arraytodata_length", ["A data variable holds N_OBS observations."],
               arr + ["N_OBS = 2"], "ARRAYTODATA(a)", "data",
               "Argument a is the wrong length   to be converted to a DATAARRAY")
    error_case("err_arraytodata_type", ["A data variable holds reals."],
               ["i:INTEGER[1 TO 3] = 0", "N_OBS = 3"], "ARRAYTODATA(i)", "data",
               "Argument i is the wrong type   to be converted to a DATAARRAY")


if __name__ == "__main__":
    stats_case()
    vsort_case()
    conversion_case()
    datavars_case()
    errors()
