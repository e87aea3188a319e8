#!/usr/bin/env python3
"""Writes the PDF golden cases of this folder: NAME.zav, NAME.args, NAME.out
(and NAME.exit for the cases that end in an error).

The expected output never comes from running zav. Each value is computed
here with mpmath at 50 digits from the law's formula and the observation
rules (exact: f(t); censored: S(t_o) - S(t_c); truncated: divided by
S(t_l) - S(t_r); discrete left truncation uses S(t_l - 1)); quantiles are
closed forms or mpmath's findroot on S(t) = s. Numbers are turned into text
by the number printer's description as written for the library cases
(../lib/reference.py), and every printed value is kept away from a
rounding boundary of the digits shown.

Run:  python3 reference.py   (from any directory; rewrites the files).
"""
import os
import sys

import mpmath as mp

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "lib"))
from reference import CaseFile, check_margin, fmt  # noqa: E402  (the number printer, case files)

mp.mp.dps = 50
e = mp.e
exp, log, sqrt = mp.exp, mp.log, mp.sqrt


def Q(z):  # P(Z > z)
    return mp.erfc(z / sqrt(2)) / 2


class Case(CaseFile):
    folder = HERE

    def show(self, expr, value, tol="1e-15"):
        """WRITELN(expr) printing value in the default format."""
        self.stmt("WRITELN(%s)" % expr)
        self.out.append(shown(value, tol))


def shown(x, tol="1e-15"):
    if isinstance(x, float) and mp.isinf(x):
        return fmt(x, 12, 5)
    check_margin(x, 12, 5, tol)
    return fmt(x, 12, 5)


def observations_case():
    c = Case("observations", ["PDF terms as likelihood contributions: exact, right- and interval-censored,",
                              "left- and right-truncated observations, counts, and the special laws."])
    h = mp.mpf("0.5")
    S = lambda t: exp(-h * t)  # EXPONENTIAL h = 0.5
    f = lambda t: h * exp(-h * t)
    c.show("PDF EXPONENTIAL(2) 0.5 END", f(2))
    c.show("PDF EXPONENTIAL(2, INFINITY) 0.5 END", S(2))
    c.show("PDF EXPONENTIAL(1, 3) 0.5 END", S(1) - S(3))
    c.show("PDF EXPONENTIAL(2, INFINITY, 1) 0.5 END", S(2) / S(1))
    c.show("PDF EXPONENTIAL(2, 2, 1, 4) 0.5 END", f(2) / (S(1) - S(4)))
    c.show("PDF EXPONENTIAL(2, 9, 1, 4) 0.5 END", (S(2) - S(4)) / (S(1) - S(4)))
    c.show("PDF EXPONENTIAL(3, 6, 1, 2) 0.5 END", 0)
    c.show("PDF EXPONENTIAL(-1) 0.5 END", 0)
    # WEIBULL a = 2, b = 1.5: S = exp(-(t/2)^1.5), f = (1.5/2) (t/2)^0.5 S.
    t = mp.mpf("1.3")
    c.show("PDF WEIBULL(-0.5) 2, 1.5 END", 0)
    c.show("PDF WEIBULL(1.3) 2, 1.5 END", mp.mpf("0.75") * sqrt(t / 2) * exp(-(t / 2) ** mp.mpf("1.5")))
    # NORMAL a = 1, b = 2, interval (0.5, 1.5].
    c.show("PDF NORMAL(0.5, 1.5) 1, 2 END", Q((mp.mpf("0.5") - 1) / 2) - Q((mp.mpf("1.5") - 1) / 2))
    # POISSON 2 left-truncated at 1: f(1)/S(0).
    c.show("PDF POISSON(1, 1, 1) 2 END", 2 * exp(-2) / (1 - exp(-2)))
    c.show("PDF BINOMIAL(3) 0.3, 10 END", mp.binomial(10, 3) * mp.mpf("0.3") ** 3 * mp.mpf("0.7") ** 7)
    c.stmt("t = 30")
    c.show("PDF GOMPERTZ(t, INFINITY) 0.02, 0.1 END", exp(mp.mpf("0.2") * (1 - exp(3))))
    c.show("PDF UNIFORM(0.3) END", 1)
    c.show("PDF RECTANGULAR(3, 3, 2, 6) END", mp.mpf("0.25"))
    c.show("PDF HYPER2EXP(1) 0.3, 2, 0.5 END", mp.mpf("0.3") * 2 * exp(-2) + mp.mpf("0.7") * h * exp(-h))
    # FAILED is 1 for an exact or interval-censored failure, IMMUNE and
    # STERILE for a right-censored one.
    c.show("PDF FAILED(2, 5) END", 1)
    c.show("PDF FAILED(2, INFINITY) END", 0)
    c.show("PDF IMMUNE(2, INFINITY) END", 1)
    c.show("PDF STERILE(3) END", 0)
    c.show("PDF IMMUNE(2, 8, 0, 6) END", 1)
    # ATRESIA age 10, r = 0.1, n = 5: hazard h = r n exp(-r age).
    ha = mp.mpf("0.5") * exp(-1)
    c.show("PDF ATRESIA(10, 2) 0.1, 5 END", ha * exp(-2 * ha))
    c.show("PDF ATRESIA(10, 2, 4) 0.1, 5 END", exp(-2 * ha) - exp(-4 * ha))
    # BIVNORMAL density with ux = 1, sx = 2, uy = -1, sy = 0.5, r = 0.6.
    a, b = mp.mpf("0.25"), mp.mpf("0.4")
    r = mp.mpf("0.6")
    c.show("PDF BIVNORMAL(1.5, -0.8) 1, 2, -1, 0.5, 0.6 END",
           exp(-(a * a - 2 * r * a * b + b * b) / (2 * (1 - r * r))) / (2 * mp.pi * 2 * mp.mpf("0.5") * sqrt(1 - r * r)))
    c.write()


def quantiles_case():
    c = Case("quantiles", ["QUANTILE with and without truncation, the numerical search, a count,",
                           "and PPDF, QDF and PHAZARD."])
    z975 = sqrt(2) * mp.erfinv(mp.mpf("0.95"))
    c.show("QUANTILE NORMAL(0.975) 0, 1 END", z975)
    # EXPONENTIAL h = 2 truncated to (1, 3]: S(t) = S(1) - q (S(1) - S(3)).
    q = mp.mpf("0.4")
    c.show("QUANTILE EXPONENTIAL(0.4, 1, 3) 2 END", -log(exp(-2) - q * (exp(-2) - exp(-6))) / 2)
    c.show("QUANTILE WEIBULL(0.5) 2, 1.5 END", 2 * log(2) ** (mp.mpf(1) / mp.mpf("1.5")))
    # MAKEHAM a1 = 0.01, a2 = 0.02, b2 = 0.1 has no explicit inverse; the
    # search runs to the tolerance 1e-13 given as the fourth argument.
    m1, m2, m3 = mp.mpf("0.01"), mp.mpf("0.02"), mp.mpf("0.1")
    SM = lambda t: exp(-m1 * t - m2 / m3 * (exp(m3 * t) - 1))
    tm = mp.findroot(lambda t: SM(t) - mp.mpf("0.7"), 10)
    c.show("QUANTILE MAKEHAM(0.3, NEGINFINITY, INFINITY, 1E-13) 0.01, 0.02, 0.1 END", tm, tol="1e-12")
    # POISSON 2.5: P(T <= 1) = 0.2873, P(T <= 2) = 0.5438: the median is 2.
    c.show("QUANTILE POISSON(0.5) 2.5 END", 2)
    phi = exp(-z975 ** 2 / 2) / sqrt(2 * mp.pi)
    c.show("PPDF NORMAL(0.975) 0, 1 END", phi)
    c.show("QDF NORMAL(0.975) 0, 1 END", 1 / phi)
    c.show("PHAZARD EXPONENTIAL(0.3) 2 END", 2)
    tw = 2 * log(2) ** (mp.mpf(1) / mp.mpf("1.5"))
    fw = mp.mpf("0.75") * sqrt(tw / 2) * exp(-(tw / 2) ** mp.mpf("1.5"))
    c.show("PHAZARD WEIBULL(0.5) 2, 1.5 END", fw / mp.mpf("0.5"))
    c.stmt("WRITELN(PHAZARD EXPONENTIAL(1) 2 END)")
    c.out.append(fmt(float("inf"), 12, 5))
    c.write()


def extremes_case():
    c = Case("extremes", ["Densities at the edges: the CHI origin, HYPO2EXP with either hazard the",
                          "larger, and values that underflow to 0 rather than NaN."])
    # CHI with c = 1 is the half-normal: sqrt(2/pi)/b at t = a; c < 1 is +oo there.
    c.show("PDF CHI(0.5) 0.5, 2, 1 END", sqrt(2 / mp.pi) / 2)
    c.stmt("WRITELN(PDF CHI(0.5) 0.5, 2, 0.5 END)")
    c.out.append(fmt(float("inf"), 12, 5))
    # HYPO2EXP is symmetric in its hazards: a b (e^-at - e^-bt)/(b - a).
    hypo = lambda t, a, b: a * b * (exp(-a * t) - exp(-b * t)) / (b - a)
    h = mp.mpf("0.5")
    c.show("PDF HYPO2EXP(114) 100, 0.5 END", hypo(114, 100, h), tol="1e-6")
    c.show("PDF HYPO2EXP(115) 100, 0.5 END", hypo(115, 100, h), tol="1e-6")
    c.show("PDF HYPO2EXP(115) 0.5, 100 END", hypo(115, h, 100), tol="1e-6")
    # Values far below the smallest REAL (MAKEHAM's is exp(-e^12000/8),
    # GENGUMBEL's exp(-1.75 e^12928), HYPO2EXP's about e^-45000): 0, not NaN.
    for text in ["PDF MAKEHAM(100) 0.0625, 0.125, 120 END", "PDF GENGUMBEL(-100) 1, 0.0078125, 1.75 END",
                 "PDF HYPO2EXP(30000) 2, 1.5 END", "PDF HYPO2EXP(30000, INFINITY) 1.5, 2 END"]:
        c.show(text, 0)
    c.write()


def tails_case():
    c = Case("tails", ["Right-censored observations near the end of the support, and a quantile",
                       "of a law without an explicit inverse, each to full precision."])
    pi, cos, sin, acos = mp.pi, mp.cos, mp.sin, mp.acos
    mp.mp.dps = 80  # the closed forms cancel some 35 digits here
    u = (4 - mp.mpf(2) ** -10) / 4  # DISK a = 0, b = 1
    c.show("PDF DISK(3.9990234375, INFINITY) 0, 1 END",
           2 / pi * (u * (1 + 2 * u * u) * sqrt(1 - u * u) - (4 * u * u - 1) * acos(u)))
    t = mp.mpf(201) / 64  # RAISEDCOSINE a = 0, b = 1
    c.show("PDF RAISEDCOSINE(3.140625, INFINITY) 0, 1 END", (pi - t - sin(t)) / (2 * pi))
    a, d = mp.mpf("0.125"), mp.mpf(10) ** -8  # ALPHA a = 0.125, b = 1 at t = 1e8
    c.show("PDF ALPHA(1E8, INFINITY) 0.125, 1 END", (mp.ncdf(a) - mp.ncdf(a - d)) / mp.ncdf(a))
    cc = mp.mpf(2) ** -20  # RINGINGEXP180 a = 0, b = 1, c = 2^-20 at t = 40
    c.show("PDF RINGINGEXP180(40, INFINITY) 0, 1, 2^-20 END",
           exp(-40) * (1 - (cos(40 * cc) - cc * sin(40 * cc)) / (1 + cc * cc)) / (1 - 1 / (1 + cc * cc)))
    vm = lambda x: exp(50 * cos(x - 2)) / (2 * pi * mp.besseli(0, 50))  # VONMISES a = 2, b = 50
    c.show("PDF VONMISES(6, INFINITY) 2, 50 END", mp.quad(vm, [6, 3 + pi, 2 * pi]))
    mp.mp.dps = 50
    F = lambda t: 1 - (mp.mpf("0.3") * exp(-2 * t) + mp.mpf("0.7") * exp(-t / 2))
    c.show("QUANTILE HYPER2EXP(0.001) 0.3, 2, 0.5 END", mp.findroot(lambda x: F(x) - mp.mpf("0.001"), 1))
    c.write()


def listing_case():
    """Expression mode with -v lists each tree before its value."""
    exprs = [("PDF NORMAL(0.5) 0, 1 END", "PDF NORMAL( 0.5000000000 ) 0 ,  1  END ",
              exp(-mp.mpf("0.125")) / sqrt(2 * mp.pi)),
             ("PDF EXPONENTIAL(2, INFINITY) 0.5 END", "PDF EXPONENTIAL( 2  INFINITY ) 0.5000000000  END ", exp(-1)),
             ("PDF WEIBULL(1 + 1) 2, 1.5 END", "PDF WEIBULL(ADD ( 1 ,  1 )) 2 ,  1.5000000000  END ",
              mp.mpf("0.75") * exp(-1))]
    args = ["-q", "-v"]
    out = []
    for text, listing, value in exprs:
        args += ["-ex", text]
        out.append("Doing: " + text)
        out.append(listing + " -> " + shown(value))
    base = os.path.join(HERE, "listing")
    with open(base + ".args", "w") as f:
        f.write("\n".join(args) + "\n")
    with open(base + ".out", "w") as f:
        f.write("".join(line + "\n" for line in out))


def error_case(name, header, stmt, col, category, message, runtime=True):
    c = Case(name, header)
    c.stmt('WRITELN("before")')
    c.stmt(stmt)
    line_no = len(c.zav)
    if runtime:
        c.out.append("before")
    c.out.append("%s.zav(%d,%d) Error (%s): %s" % (name, line_no, col(c.zav[-1]), category, message))
    c.out.append(" Line %d of %s.zav" % (line_no, name))
    c.write(exit_code=1)


def past_statement(text):
    """Run-time errors name the column just past the failing statement."""
    return len(text) + 1


def past(token):
    """Parse errors name the column just past the token the parser stopped at."""
    return lambda text: text.index(token) + len(token) + 1


def errors():
    num = lambda x: fmt(mp.mpf(x), 12, 5)
    error_case("err_normal_scale", ["A scale must be positive."], "WRITELN(PDF NORMAL(1) 0, -1 END)",
               past_statement, "math", "Bad NORMAL b should be > 0 but = " + num(-1))
    error_case("err_binomial_p", ["A proportion lies in [0, 1]."], "WRITELN(PDF BINOMIAL(2) 1.5, 10 END)",
               past_statement, "math", "Bad BINOMIAL p should be > 0 and < 1 but = " + num("1.5"))
    error_case("err_f_df", ["Degrees of freedom of F are at least 1."], "WRITELN(PDF F(1) 0.5, 3 END)",
               past_statement, "math", "Bad F a should be >=1 but = " + num("0.5"))
    error_case("err_weibull_scale", ["A scale of WEIBULL may be 0 but not negative."],
               "WRITELN(PDF WEIBULL(1) -2, 1.5 END)", past_statement, "math",
               "Bad WEIBULL a should be >= 0 but = " + num(-2))
    error_case("err_bivnormal_r", ["The correlation lies in [-1, 1]."],
               "WRITELN(PDF BIVNORMAL(0, 0) 0, 1, 0, 1, 1.5 END)", past_statement, "math",
               "Bad BIVNORMAL param r  should be >= -1 and =< 1 but = " + num("1.5"))
    error_case("err_bivnormal_sy", ["Deviations must be positive."],
               "WRITELN(PDF BIVNORMAL(0, 0) 0, 1, 0, 0, 0.5 END)", past_statement, "math",
               "Bad BIVNORMAL sy should be > 0 but = " + num(0))
    error_case("err_quantile_prob", ["A probability lies in [0, 1]."], "WRITELN(QUANTILE NORMAL(1.5) 0, 1 END)",
               past_statement, "math", "Bad QUANTILE probability should be > 0 and < 1 but = " + num("1.5"))
    error_case("err_quantile_special", ["The special laws have no quantile."],
               "WRITELN(QUANTILE BIVNORMAL(0.5) 0, 1, 0, 1, 0 END)", past_statement, "funct",
               "Cannot call QUANTILE function for BIVNORMAL")
    error_case("err_fdeplete_vars", ["FDEPLETE needs its three variables."],
               "WRITELN(PDF FDEPLETE(1, 2) 10, 5, 0.1 END)", past_statement, "funct",
               "Not enough variables are passed to FDEPLETE.  3 needed")
    error_case("err_pdf_count", ["At most as many bracketed arguments as the law has variables."],
               "WRITELN(PDF NORMAL(1, 2, 3, 4, 5) 0, 1 END)", past(")"), "parser",
               "Wrong number of parameters. Called with 5, expected from 1 to 4", runtime=False)
    error_case("err_pdf_type", ["The arguments of a PDF are numbers."], 'WRITELN(PDF NORMAL(1) "a", 1 END)',
               past(","), "parser", "Bad argument type to PDF. Found:  STRING . Expected:  INTEGER REAL ",
               runtime=False)
    # A word that is not a PDF name is a syntax error at that word.
    c = Case("err_pdf_name", ["A PDF name must follow the keyword."])
    c.stmt('WRITELN("before")')
    c.stmt("WRITELN(PDF NORMALX(1) 0, 1 END)")
    line_no = len(c.zav)
    col = c.zav[-1].index("NORMALX") + 1
    c.out.append("err_pdf_name.zav(%d,%d) Bad syntax, line %d column %d of err_pdf_name.zav" % (line_no, col, line_no, col))
    c.out.append("The bad token is: NORMALX")
    c.out.append("One of the following was expected: ")
    c.out.append("    DIST FUNCTION")
    c.write(exit_code=1)


if __name__ == "__main__":
    observations_case()
    quantiles_case()
    extremes_case()
    tails_case()
    listing_case()
    errors()
