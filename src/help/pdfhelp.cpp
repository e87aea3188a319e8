// The help texts of the 84 PDFs. Every formula here is the one its density
// and survival routine computes (src/dists), written in the catalog's
// parameter names, so that a user can convert parameters to and from other
// tools. They are written as the language reads expressions (round brackets
// only; a leading minus binds tighter than ^, so -(x^2); ^ works left to
// right), so that one typed into zav computes the value: a line "f(t) = ...", "S(t) = ...", "h(t) = ..." or "t(q) = ..." is
// that function; a line "x = ..." defines a name those lines use; a line in
// parentheses is a note. The unit tests evaluate these lines and compare
// them with the routines.
#include "help/pdfhelp.h"

#include <array>
#include <cctype>
#include <string_view>

#include "dists/pdfcatalog.h"

namespace zav {
namespace {

struct PdfText {
  std::string_view name;
  std::string_view about;     // the law in words, one or more lines
  std::string_view formulas;  // definitions, f(t), S(t), h(t), t(q), notes
  std::array<std::string_view, kMaxPdfParams> params;  // meaning of each parameter
  std::string_view vars = {};   // the variable line, when not the usual four
  std::string_view exact = {};  // the line after it, when not the exact-failure rule
};

constexpr std::string_view kFourVars = "t(open), t(close), t(left trunc), t(right trunc)";
constexpr std::string_view kExact = "Exact failure when t(open)=t(close)";
// What one observation contributes; a discrete law keeps t(left trunc) itself.
constexpr std::string_view kWindow =
    "Exact: f(t); censored: S(t(open)) - S(t(close)); each divided by the\n"
    "truncation window S(t(left trunc)) - S(t(right trunc))";
constexpr std::string_view kDiscreteWindow =
    "Exact: f(t); censored: S(t(open)) - S(t(close)); each divided by the\n"
    "truncation window S(t(left trunc)-1) - S(t(right trunc))";

constexpr std::string_view kUniformAbout =
    "Uniform between ta and tw, which come from the truncation times: they\n"
    "are t(left trunc) and t(right trunc); with t(left trunc) only, tw is\n"
    "floor(ta)+1; with neither, ta is 0 and tw is 1";
constexpr std::string_view kUniformFormulas =
    "f(t) = 1/(tw-ta)\n"
    "S(t) = (tw-t)/(tw-ta)\n"
    "t(q) = ta + q*(tw-ta)";

constexpr std::string_view kNormalFormulas =
    "z = (t-a)/b\n"
    "f(t) = phi(z)/b\n"
    "S(t) = 1 - Phi(z)\n"
    "t(q) = a + b*Phiinv(q)";

constexpr std::string_view kGumbelFormulas =
    "z = (t-a)/b\n"
    "f(t) = exp(-z - exp(-z))/b\n"
    "S(t) = 1 - exp(-exp(-z))\n"
    "t(q) = a - b*ln(-ln(q))";

constexpr std::string_view kHyper2ExpFormulas =
    "f(t) = p*h1*exp(-h1*t) + (1-p)*h2*exp(-h2*t)\n"
    "S(t) = p*exp(-h1*t) + (1-p)*exp(-h2*t)";

constexpr std::array<PdfText, kPdfCount> kTexts = {{
    {"ALPHA", "The alpha law: T = b/(a - Z) for a standard normal Z below a",
     "f(t) = b*phi(a-b/t)/(t^2*Phi(a))\n"
     "S(t) = (Phi(a) - Phi(a-b/t))/Phi(a)\n"
     "t(q) = b/(a - Phiinv(q*Phi(a)))",
     {"shape, the point a normal Z must stay below", "scale"}},
    {"ARCSINE", "The arcsine law on [0, 1], the beta law with shapes 1/2 and 1/2",
     "f(t) = 1/(pi*sqrt(t*(1-t)))\n"
     "S(t) = (2/pi)*acos(sqrt(t))\n"
     "t(q) = sin(pi*q/2)^2",
     {}},
    {"ASYMPTOTICRANGE", "The limit law of the range of a large sample, location a, scale b",
     "z = (t-a)/b\n"
     "x = 2*exp(-z/2)\n"
     "f(t) = x^2*BesselK(0,x)/(2*b)\n"
     "S(t) = 1 - x*BesselK(1,x)",
     {"location", "scale"}},
    {"ATRESIA", "A constant hazard that falls with the age a, a time variable",
     "h(t) = r*n*exp(-r*a)\n"
     "f(t) = r*n*exp(-r*a)*S(t)\n"
     "S(t) = exp(-t*r*n*exp(-r*a))\n"
     "(no truncation)",
     {"rate at which the hazard falls with age", "count, a factor of the hazard"},
     "3 continuous variables: a (age), t(open), t(close)"},
    {"BERNOULLITRIAL", "One trial: t = 1 (success) with probability p, else t = 0",
     "f(t) = p for t = 1; 1-p for t = 0\n"
     "S(t) = p for t = 0; 0 for t >= 1",
     {"probability of success"}},
    {"BETA", "The beta law on [0, 1] with shapes a and b",
     "f(t) = t^(a-1)*(1-t)^(b-1)/BetaF(a,b)\n"
     "S(t) = ibetac(t, a, b)\n"
     "t(q) = ibetainv(q, a, b)",
     {"first shape (mean a/(a+b))", "second shape"}},
    {"BINOMIAL", "The number of successes in n trials of probability p each",
     "f(t) = comb(n,t)*p^t*(1-p)^(n-t)\n"
     "S(t) = ibeta(p, t+1, n-t)",
     {"probability of success", "number of trials"}},
    {"BIRNBAUMSAUNDERS", "The fatigue-life law with shape a and scale (median) b",
     "x = (sqrt(t/b) - sqrt(b/t))/a\n"
     "f(t) = phi(x)*(sqrt(t/b) + sqrt(b/t))/(2*a*t)\n"
     "S(t) = 1 - Phi(x)\n"
     "w = a*Phiinv(q)\n"
     "t(q) = b*((w + sqrt(w^2+4))/2)^2",
     {"shape", "scale, the median"}},
    {"BIVNORMAL",
     "Two normal variables x and y: means ux, uy, standard deviations sx, sy,\n"
     "correlation r",
     "zx = (x-ux)/sx\n"
     "zy = (y-uy)/sy\n"
     "f(x,y) = exp(-(zx^2-2*r*zx*zy+zy^2)/(2*(1-r^2)))/(2*pi*sx*sy*sqrt(1-r^2))\n"
     "(2 variables x, y: the density f(x,y); 4: P(x1 < X <= x2, y1 < Y <= y2),\n"
     " or, where x1 = x2 (or y1 = y2), f along that line over the other's\n"
     " interval; 6 and 8: divided by the probability of the truncation corner)",
     {"mean of x", "standard deviation of x", "mean of y", "standard deviation of y", "correlation of x and y"},
     "8 continuous variables: tx(open), ty(open), tx(close), ty(close),\n"
     "tx(ltrunc), ty(ltrunc), tx(rtrunc), ty(rtrunc)",
     "Exact values when tx(open)=tx(close) and ty(open)=ty(close)"},
    {"CAUCHY", "The Cauchy law with median a and half-width b",
     "z = (t-a)/b\n"
     "f(t) = 1/(pi*b*(1+z^2))\n"
     "S(t) = 1/2 - atan(z)/pi\n"
     "t(q) = a + b*tan(pi*(q-1/2))",
     {"location, the median", "scale, half the width at half height"}},
    {"CHI", "The chi law with c degrees of freedom, from a, scaled by b",
     "z = (t-a)/b\n"
     "f(t) = z^(c-1)*exp(-(z^2)/2)/(2^(c/2-1)*gamma(c/2)*b)\n"
     "S(t) = igammac(c/2, z^2/2)\n"
     "t(q) = a + b*sqrt(2*igammainv(c/2, q))",
     {"location, the lowest t", "scale", "degrees of freedom"}},
    {"CHISQUARED", "The chi-square law with a degrees of freedom, scaled by b",
     "z = t/b\n"
     "f(t) = z^(a/2-1)*exp(-z/2)/(2^(a/2)*gamma(a/2)*b)\n"
     "S(t) = igammac(a/2, z/2)\n"
     "t(q) = 2*b*igammainv(a/2, q)",
     {"degrees of freedom", "scale (1 for the usual law)"}},
    {"COMPOUNDEXTREME", "Smallest extreme values with a gamma-mixed scale: location a, scale b,\nshape c",
     "z = (t-a)/b\n"
     "f(t) = (c/b)*exp(z)*(1+exp(z))^(-c-1)\n"
     "S(t) = (1+exp(z))^(-c)\n"
     "t(q) = a + b*ln((1-q)^(-1/c) - 1)",
     {"location", "scale", "shape"}},
    {"DANIELS", "The limit law of sqrt(n) times the largest gap between an empirical\ndistribution function and its law",
     "f(t) = 8*t*sum(k=1..oo, (-1)^(k-1)*k^2*exp(-2*k^2*t^2))\n"
     "S(t) = 2*sum(k=1..oo, (-1)^(k-1)*exp(-2*k^2*t^2))",
     {}},
    {"DISK", "The distance beyond a between two random points of a disk of radius 2*b",
     "u = (t-a)/(4*b)\n"
     "f(t) = (4*u/(pi*b))*(acos(u) - u*sqrt(1-u^2))\n"
     "S(t) = (2/pi)*(u*(1+2*u^2)*sqrt(1-u^2) - (4*u^2-1)*acos(u))",
     {"location, the lowest t", "scale, half the disk's radius"}},
    {"EXPONENTIAL", "A constant hazard a; the mean is 1/a",
     "f(t) = a*exp(-t*a)\n"
     "S(t) = exp(-t*a)\n"
     "h(t) = a\n"
     "t(q) = -ln(1-q)/a\n"
     "(f(t) = 0 and S(t) = 1 for t < 0)",
     {"hazard (rate), 1/mean"}},
    {"F", "Snedecor's F law with a and b degrees of freedom",
     "f(t) = (a/b)^(a/2)*t^(a/2-1)*(1+a*t/b)^(-(a+b)/2)/BetaF(a/2,b/2)\n"
     "S(t) = ibeta(b/(b+a*t), b/2, a/2)\n"
     "y = ibetainv(1-q, b/2, a/2)\n"
     "t(q) = b*(1-y)/(a*y)",
     {"degrees of freedom of the numerator", "degrees of freedom of the denominator"}},
    {"FAILED", "1 for an exact or interval-censored failure, 0 for a right-censored unit;\n"
     "a weight in mixtures with a proportion of units that never fail",
     "Value: 1 - R, where R is 1 when t(close) <> t(open) and either\n"
     "t(open) > t(close), or t(close) is +oo, or (4 variables) t(right trunc)\n"
     "is finite, 0 < t(right trunc) <= t(close) and t(left trunc) < t(right trunc);\n"
     "else R is 0",
     {}},
    {"FDEPLETE", "Survivors na at age a of a stock that starts with n0 = a and is\n"
     "depleted at rate r = c, with nm = b units left at the end",
     "L = comb(n0,na)*(1-S(a))^(n0-na)*(S(a)-S(am))^na/(1-S(am))\n"
     "(S(x) = exp(-r*x) and am = ln(nm/n0)/(-r), so S(am) = nm/n0, or 0 when\n"
     " d = 0; n0, nm and na are rounded to whole numbers)",
     {"n0, the number at age 0", "nm, the number left at the end", "r, the rate of depletion"},
     "3 continuous variables: a (age), na (number surviving at a),\nd (right-truncation delta)",
     "Right truncation is ignored when d = 0"},
    {"FL2PT", "As HYPER2EXP: a proportion p fails with hazard h1, the rest with h2", kHyper2ExpFormulas,
     {"proportion with hazard h1", "hazard of the first group", "hazard of the second group"}},
    {"FOLDEDNORMAL", "|X| for a normal X with mean a and standard deviation b",
     "f(t) = (phi((t-a)/b) + phi((t+a)/b))/b\n"
     "S(t) = 2 - Phi((t-a)/b) - Phi((t+a)/b)\n"
     "(f(t) = 0 and S(t) = 1 for t < 0)",
     {"mean of X", "standard deviation of X"}},
    {"GAMMA", "The gamma law with rate (hazard) h and shape c; the mean is c/h",
     "f(t) = h*(h*t)^(c-1)*exp(-h*t)/gamma(c)\n"
     "S(t) = igammac(c, h*t)\n"
     "t(q) = igammainv(c, q)/h",
     {"rate, 1/scale", "shape (c = 1 is EXPONENTIAL)"}},
    {"GAMMAFRAIL", "A constant hazard h times a gamma frailty of mean 1 and variance c",
     "f(t) = h*(1+c*h*t)^(-1/c-1)\n"
     "S(t) = (1+c*h*t)^(-1/c)\n"
     "h(t) = h/(1+c*h*t)\n"
     "t(q) = ((1-q)^(-c) - 1)/(c*h)",
     {"hazard of a unit of frailty 1", "variance of the frailty"}},
    {"GAUSSIAN", "The normal law with mean a and standard deviation b (as NORMAL)", kNormalFormulas,
     {"mean", "standard deviation"}},
    {"GENGAMMA", "Stacy's generalised gamma law: (t/b)^c is gamma with shape a",
     "y = (t/b)^c\n"
     "f(t) = c*y^a*exp(-y)/(t*gamma(a))\n"
     "S(t) = igammac(a, y)\n"
     "t(q) = b*igammainv(a, q)^(1/c)",
     {"shape (c = 1: GAMMA of shape a and rate 1/b)", "scale", "power (a = 1: WEIBULL of shape c)"}},
    {"GENGUMBEL", "A generalised largest extreme value law: c*exp(-z) is gamma with\nshape c; c = 1 is GUMBEL",
     "z = (t-a)/b\n"
     "y = c*exp(-z)\n"
     "f(t) = y^c*exp(-y)/(b*gamma(c))\n"
     "S(t) = igamma(c, y)\n"
     "t(q) = a - b*ln(igammainv(c, 1-q)/c)",
     {"location", "scale", "shape"}},
    {"GEOMETRIC", "The number of failures before the first success, probability p each",
     "f(t) = p*(1-p)^t\n"
     "S(t) = (1-p)^(t+1)",
     {"probability of success"}},
    {"GOMPERTZ", "A hazard that grows exponentially from a1 at the rate b1",
     "f(t) = a1*exp(b1*t)*exp((a1/b1)*(1 - exp(b1*t)))\n"
     "S(t) = exp((a1/b1)*(1 - exp(b1*t)))\n"
     "h(t) = a1*exp(b1*t)\n"
     "t(q) = ln(1 - (b1/a1)*ln(1-q))/b1\n"
     "(b1 = 0 is EXPONENTIAL(a1))",
     {"hazard at t = 0", "rate of growth of the hazard"}},
    {"GUMBEL", "The largest extreme value law with mode a and scale b", kGumbelFormulas, {"mode", "scale"}},
    {"HORSESHOE", "A U-shaped law on [a-b, a+b] with power c; c = 0 is uniform",
     "z = (t-a)/b\n"
     "f(t) = (c+1)*abs(z)^c/(2*b)\n"
     "S(t) = (1 - sgn(z)*abs(z)^(c+1))/2\n"
     "t(q) = a + b*sgn(2*q-1)*abs(2*q-1)^(1/(c+1))",
     {"centre", "half-width", "power"}},
    {"HYPERBOLICSECANT", "The hyperbolic secant law with mean a and standard deviation b",
     "z = (t-a)/b\n"
     "f(t) = sech(pi*z/2)/(2*b)\n"
     "S(t) = (2/pi)*atan(exp(-pi*z/2))\n"
     "t(q) = a - (2*b/pi)*ln(tan(pi*(1-q)/2))",
     {"mean", "standard deviation"}},
    {"HYPERGEOMETRIC", "The number of marked balls among m drawn without replacement from n\n"
     "balls of which n*p are marked",
     "f(t) = comb(n*p,t)*comb(n-n*p,m-t)/comb(n,m)\n"
     "S(t) = sum(j=t+1..m, f(j))\n"
     "(t, n, m and n*p are rounded to whole numbers)",
     {"proportion of marked balls", "number drawn", "number of balls"}},
    {"HYPER2EXP", "A proportion p fails with hazard h1, the rest with hazard h2", kHyper2ExpFormulas,
     {"proportion with hazard h1", "hazard of the first group", "hazard of the second group"}},
    {"HYPO2EXP", "Two exponential stages in series, with hazards a and b",
     "f(t) = a*b*(exp(-a*t) - exp(-b*t))/(b-a)\n"
     "S(t) = (b*exp(-a*t) - a*exp(-b*t))/(b-a)\n"
     "(a = b: f(t) = a^2*t*exp(-a*t), S(t) = (1+a*t)*exp(-a*t))",
     {"hazard of the first stage", "hazard of the second stage"}},
    {"IMMUNE", "1 for a right-censored unit, 0 for a failure (1 - FAILED);\n"
     "a weight in mixtures with a proportion of units that never fail",
     "Value: 1 - FAILED (zav -h FAILED)",
     {}},
    {"INVBETA1", "The inverted beta (beta prime) law with shapes a and c, scale b",
     "z = t/b\n"
     "f(t) = z^(a-1)*(1+z)^(-a-c)/(b*BetaF(a,c))\n"
     "S(t) = ibeta(1/(1+z), c, a)\n"
     "v = ibetainv(1-q, c, a)\n"
     "t(q) = b*(1-v)/v",
     {"first shape", "scale", "second shape"}},
    {"INVBETA2", "The inverted beta law of the second kind (Dagum): shape a, scale b,\npower c",
     "z = t/b\n"
     "f(t) = (a*c/b)*z^(-c-1)*(1+z^(-c))^(-a-1)\n"
     "S(t) = 1 - (1+z^(-c))^(-a)\n"
     "t(q) = b*(q^(-1/a) - 1)^(-1/c)",
     {"shape", "scale", "power"}},
    {"INVCHI", "The inverse chi-square law: b/T is chi-square with a degrees of freedom",
     "u = b/(2*t)\n"
     "f(t) = u^(a/2)*exp(-u)/(t*gamma(a/2))\n"
     "S(t) = igamma(a/2, u)\n"
     "t(q) = b/(2*igammainv(a/2, 1-q))",
     {"degrees of freedom", "scale"}},
    {"INVGAMMA", "The inverse gamma law: b/T is gamma with shape a and rate 1",
     "f(t) = b^a*t^(-a-1)*exp(-b/t)/gamma(a)\n"
     "S(t) = igamma(a, b/t)\n"
     "t(q) = b/igammainv(a, 1-q)",
     {"shape", "scale"}},
    {"INVGAUSSIAN", "The inverse Gaussian (Wald) law with mean a and shape b",
     "r = sqrt(b/t)\n"
     "f(t) = sqrt(b/(2*pi*t^3))*exp(-b*(t-a)^2/(2*a^2*t))\n"
     "S(t) = Phi(-r*(t/a-1)) - exp(2*b/a)*Phi(-r*(t/a+1))",
     {"mean", "shape (the variance is a^3/b)"}},
    {"LAPLACE", "The double exponential law with median a and scale b",
     "z = (t-a)/b\n"
     "f(t) = exp(-abs(z))/(2*b)\n"
     "S(t) = exp(-z)/2 for z >= 0; 1 - exp(z)/2 for z < 0\n"
     "t(q) = a + b*ln(2*q) for q < 1/2; a - b*ln(2*(1-q)) for q >= 1/2",
     {"median", "scale (the standard deviation is b*sqrt(2))"}},
    {"LARGEEXTREME1", "The largest extreme value law with mode a and scale b (as GUMBEL)", kGumbelFormulas,
     {"mode", "scale"}},
    {"LARGEEXTREME2", "The largest extreme value law of the second kind (Frechet) from a:\nscale b, shape c",
     "z = (t-a)/b\n"
     "f(t) = (c/b)*z^(-c-1)*exp(-(z^(-c)))\n"
     "S(t) = 1 - exp(-(z^(-c)))\n"
     "t(q) = a + b*(-ln(q))^(-1/c)",
     {"location, the lowest t", "scale", "shape"}},
    {"LINEARHAZARD", "A hazard that rises linearly from a with slope b",
     "f(t) = (a+b*t)*exp(-a*t - b*t^2/2)\n"
     "S(t) = exp(-a*t - b*t^2/2)\n"
     "h(t) = a + b*t\n"
     "x = -ln(1-q)\n"
     "t(q) = 2*x/(a + sqrt(a^2 + 2*b*x))",
     {"hazard at t = 0", "slope of the hazard"}},
    {"LNGAMMA", "The log-gamma law: ln(t/a) is gamma with scale b and shape c",
     "y = ln(t/a)\n"
     "f(t) = y^(c-1)*exp(-y/b)/(b^c*gamma(c)*t)\n"
     "S(t) = igammac(c, y/b)\n"
     "t(q) = a*exp(b*igammainv(c, q))",
     {"location, the lowest t", "scale of ln(t/a)", "shape of ln(t/a)"}},
    {"LNLOGISTIC", "The log-logistic law from a: ln((t-a)/b) is logistic with scale 1/c",
     "z = (t-a)/b\n"
     "f(t) = (c/b)*z^(c-1)/(1+z^c)^2\n"
     "S(t) = 1/(1+z^c)\n"
     "t(q) = a + b*(q/(1-q))^(1/c)",
     {"location, the lowest t", "scale, the median of t-a", "shape"}},
    {"LNNORMAL", "The lognormal law: ln(T) is normal with mean ln(a) and standard\ndeviation b",
     "z = ln(t/a)/b\n"
     "f(t) = phi(z)/(b*t)\n"
     "S(t) = 1 - Phi(z)\n"
     "t(q) = a*exp(b*Phiinv(q))",
     {"median, exp of the mean of ln(T)", "standard deviation of ln(T)"}},
    {"LOGISTIC", "The logistic law with mean a and scale b",
     "z = (t-a)/b\n"
     "f(t) = exp(-z)/(b*(1+exp(-z))^2)\n"
     "S(t) = 1/(1+exp(z))\n"
     "t(q) = a + b*ln(q/(1-q))",
     {"mean", "scale (the standard deviation is b*pi/sqrt(3))"}},
    {"LOGNORMAL", "The lognormal law with mean a and standard deviation b of T itself;\n"
     "ln(T) has mean m and standard deviation s",
     "s = sqrt(ln(1+(b/a)^2))\n"
     "m = ln(a) - s^2/2\n"
     "z = (ln(t)-m)/s\n"
     "f(t) = phi(z)/(s*t)\n"
     "S(t) = 1 - Phi(z)\n"
     "t(q) = exp(m + s*Phiinv(q))",
     {"mean of T", "standard deviation of T"}},
    {"LOGSERIES", "The logarithmic series law on 1, 2, 3, ...",
     "f(t) = -(p^t)/(t*ln(1-p))\n"
     "S(t) = sum(j=t+1..oo, f(j))",
     {"parameter (p = 0 puts all mass on 1)"}},
    {"LOWMAX", "The Lomax (Pareto second kind) law from a+b: scale b, shape c",
     "f(t) = (c/(t-a))*(b/(t-a))^c\n"
     "S(t) = (b/(t-a))^c\n"
     "t(q) = a + b*(1-q)^(-1/c)",
     {"location (t starts at a+b)", "scale", "shape, the tail index"}},
    {"MAKEHAM", "The Gompertz-Makeham law: a constant hazard a1 plus a2*exp(b2*t)",
     "f(t) = (a1 + a2*exp(b2*t))*S(t)\n"
     "S(t) = exp(-a1*t - (a2/b2)*(exp(b2*t) - 1))\n"
     "h(t) = a1 + a2*exp(b2*t)\n"
     "(b2 = 0: (exp(b2*t) - 1)/b2 is t)",
     {"constant hazard", "age-dependent hazard at t = 0", "rate of growth of the age-dependent hazard"}},
    {"MAXWELL", "The Maxwell-Boltzmann law from a with scale b",
     "z = (t-a)/b\n"
     "f(t) = sqrt(2/pi)*z^2*exp(-(z^2)/2)/b\n"
     "S(t) = igammac(3/2, z^2/2)\n"
     "t(q) = a + b*sqrt(2*igammainv(3/2, q))",
     {"location, the lowest t", "scale"}},
    {"MIXMAKEHAM", "Makeham with two groups: p with constant hazard a1, 1-p with a2, and\n"
     "the same age-dependent hazard g = a3*exp(b3*t) in both",
     "g = a3*exp(b3*t)\n"
     "G = exp(-(a3/b3)*(exp(b3*t) - 1))\n"
     "f(t) = G*(p*(a1+g)*exp(-a1*t) + (1-p)*(a2+g)*exp(-a2*t))\n"
     "S(t) = G*(p*exp(-a1*t) + (1-p)*exp(-a2*t))",
     {"proportion in the first group", "constant hazard of the first group", "constant hazard of the second group",
      "age-dependent hazard at t = 0", "rate of growth of the age-dependent hazard"}},
    {"NEGBINOMIAL", "The number of failures before the n-th success, probability p each",
     "f(t) = comb(n+t-1,t)*p^n*(1-p)^t\n"
     "S(t) = ibeta(1-p, t+1, n)",
     {"probability of success", "number of successes"}},
    {"NEGHYPERGEOMETRIC", "The draw t that brings out the m-th marked ball, drawing without\n"
     "replacement from n balls of which n*p are marked",
     "f(t) = comb(t-1,m-1)*comb(n-t,n*p-m)/comb(n,n*p)\n"
     "S(t) = sum(j=t+1..n-n*p+m, f(j))\n"
     "(t, n, m and n*p are rounded to whole numbers)",
     {"proportion of marked balls", "number of marked balls to draw", "number of balls"}},
    {"NORMAL", "The normal law with mean a and standard deviation b", kNormalFormulas, {"mean", "standard deviation"}},
    {"PARETO", "The Pareto law with minimum a and index b",
     "f(t) = (b/t)*(a/t)^b\n"
     "S(t) = (a/t)^b\n"
     "t(q) = a*(1-q)^(-1/b)",
     {"minimum, the lowest t", "index (shape) of the tail"}},
    {"PASCAL", "The number of trials up to the n-th success, probability p each",
     "f(t) = comb(t-1,n-1)*p^n*(1-p)^(t-n)\n"
     "S(t) = ibeta(1-p, t-n+1, n)",
     {"probability of success", "number of successes"}},
    {"POISSON", "The Poisson law with mean a",
     "f(t) = exp(-a)*a^t/t!\n"
     "S(t) = igamma(t+1, a)",
     {"mean"}},
    {"POLYAEGGENBERGER", "Polya's urn: n draws from an urn of marked share p; each drawn ball is\n"
     "put back with c times the urn's first size more of its colour",
     "A = prod(j=0..t-1, p+j*c)\n"
     "B = prod(j=0..n-t-1, 1-p+j*c)\n"
     "C = prod(j=0..n-1, 1+j*c)\n"
     "f(t) = comb(n,t)*A*B/C\n"
     "S(t) = sum(j=t+1..n, f(j))\n"
     "(t and n are rounded to whole numbers; c = 0 is BINOMIAL)",
     {"first share of marked balls", "number of draws", "share added after each draw"}},
    {"POWERFUNCTION", "The power law on [a, a+b] with power c; c = 1 is uniform",
     "z = (t-a)/b\n"
     "f(t) = c*z^(c-1)/b\n"
     "S(t) = 1 - z^c\n"
     "t(q) = a + b*q^(1/c)",
     {"location, the lowest t", "scale, the width", "power"}},
    {"RAISEDCOSINE", "The raised cosine law on [a - pi*b, a + pi*b]",
     "z = (t-a)/b\n"
     "f(t) = (1+cos(z))/(2*pi*b)\n"
     "S(t) = (pi - z - sin(z))/(2*pi)",
     {"centre", "scale, the width over 2*pi"}},
    {"RANDOMWALK", "The law of 1/X for an inverse Gaussian X with mean a and shape b",
     "r = sqrt(b*t)\n"
     "f(t) = sqrt(b/(2*pi*t))*exp(-b*(1-a*t)^2/(2*a^2*t))\n"
     "S(t) = Phi(r*(1/(a*t)-1)) + exp(2*b/a)*Phi(-r*(1/(a*t)+1))",
     {"mean of X", "shape of X"}},
    {"RAYLEIGH", "The Rayleigh law with scale a",
     "f(t) = (t/a^2)*exp(-(t^2)/(2*a^2))\n"
     "S(t) = exp(-(t^2)/(2*a^2))\n"
     "h(t) = t/a^2\n"
     "t(q) = a*sqrt(-2*ln(1-q))",
     {"scale, the mode"}},
    {"RECTANGULAR", kUniformAbout, kUniformFormulas, {}},
    {"REVPOWERFUNCTION", "The reversed power law on [a, a+b] with power c",
     "z = (t-a)/b\n"
     "f(t) = c*(1-z)^(c-1)/b\n"
     "S(t) = (1-z)^c\n"
     "t(q) = a + b*(1 - (1-q)^(1/c))",
     {"location, the lowest t", "scale, the width", "power"}},
    {"RINGINGEXP0", "An exponential from a, scale b, whose density rings in phase with\nfrequency c",
     "z = (t-a)/b\n"
     "N = 1 + 1/(1+c^2)\n"
     "f(t) = exp(-z)*(1+cos(c*z))/(b*N)\n"
     "S(t) = exp(-z)*(1 + (cos(c*z)-c*sin(c*z))/(1+c^2))/N",
     {"location, the lowest t", "scale", "frequency"}},
    {"RINGINGEXP180", "An exponential from a, scale b, whose density rings in opposite phase\nwith frequency c",
     "z = (t-a)/b\n"
     "N = 1 - 1/(1+c^2)\n"
     "f(t) = exp(-z)*(1-cos(c*z))/(b*N)\n"
     "S(t) = exp(-z)*(1 - (cos(c*z)-c*sin(c*z))/(1+c^2))/N",
     {"location, the lowest t", "scale", "frequency"}},
    {"SHIFTEXPONENTIAL", "An exponential law from a with mean b beyond a",
     "z = (t-a)/b\n"
     "f(t) = exp(-z)/b\n"
     "S(t) = exp(-z)\n"
     "t(q) = a - b*ln(1-q)",
     {"location, the lowest t", "scale, the mean of t-a (1/hazard)"}},
    {"SHIFTGAMMA", "A gamma law from a with scale b and shape c",
     "z = (t-a)/b\n"
     "f(t) = z^(c-1)*exp(-z)/(b*gamma(c))\n"
     "S(t) = igammac(c, z)\n"
     "t(q) = a + b*igammainv(c, q)",
     {"location, the lowest t", "scale (1/rate)", "shape"}},
    {"SHIFTLOGNORMAL", "A lognormal law from a: ln(t-a) is normal with mean ln(b) and\nstandard deviation c",
     "z = ln((t-a)/b)/c\n"
     "f(t) = phi(z)/(c*(t-a))\n"
     "S(t) = 1 - Phi(z)\n"
     "t(q) = a + b*exp(c*Phiinv(q))",
     {"location, the lowest t", "median of t-a", "standard deviation of ln(t-a)"}},
    {"SHIFTWEIBULL", "A Weibull law from a with scale b and shape c",
     "z = (t-a)/b\n"
     "f(t) = (c/b)*z^(c-1)*exp(-(z^c))\n"
     "S(t) = exp(-(z^c))\n"
     "t(q) = a + b*(-ln(1-q))^(1/c)",
     {"location, the lowest t", "scale", "shape"}},
    {"SILER", "Falling, constant and rising hazards added: a1*exp(-b1*t) + a2 + a3*exp(b3*t)",
     "f(t) = (a1*exp(-b1*t) + a2 + a3*exp(b3*t))*S(t)\n"
     "S(t) = exp(-(a1/b1)*(1-exp(-b1*t)) - a2*t - (a3/b3)*(exp(b3*t)-1))\n"
     "h(t) = a1*exp(-b1*t) + a2 + a3*exp(b3*t)\n"
     "(b1 = 0 or b3 = 0: the bracket over it is t)",
     {"falling hazard at t = 0", "rate of fall", "constant hazard", "rising hazard at t = 0", "rate of rise"}},
    {"SMALLEXTREME1", "The smallest extreme value law with mode a and scale b",
     "z = (t-a)/b\n"
     "f(t) = exp(z - exp(z))/b\n"
     "S(t) = exp(-exp(z))\n"
     "t(q) = a + b*ln(-ln(1-q))",
     {"mode", "scale"}},
    {"SMALLEXTREME2", "The smallest extreme value law of the second kind below a: scale b,\nshape c",
     "w = (a-t)/b\n"
     "f(t) = (c/b)*w^(-c-1)*exp(-(w^(-c)))\n"
     "S(t) = exp(-(w^(-c)))\n"
     "t(q) = a - b*(-ln(1-q))^(-1/c)",
     {"location, the highest t", "scale", "shape"}},
    {"STERILE", "1 for a right-censored unit, 0 for a failure (1 - FAILED);\n"
     "a weight in mixtures with a proportion of units that never fail",
     "Value: 1 - FAILED (zav -h FAILED)",
     {}},
    {"STUDENTT", "Student's t law with a degrees of freedom, centred at 0 with scale 1",
     "f(t) = (1+t^2/a)^(-(a+1)/2)/(sqrt(a)*BetaF(a/2,1/2))\n"
     "u = ibeta(a/(a+t^2), a/2, 1/2)/2\n"
     "S(t) = u for t >= 0; 1-u for t < 0\n"
     "x = ibetainv(2*min(q,1-q), a/2, 1/2)\n"
     "t(q) = sgn(q-1/2)*sqrt(a*(1/x-1))",
     {"degrees of freedom"}},
    {"SUBBOTIN", "Subbotin's exponential power law: location a, scale b, power c;\n"
     "with c = 2 it is NORMAL with deviation b, with c = 1 LAPLACE",
     "z = (t-a)/b\n"
     "f(t) = exp(-(abs(z)^c)/c)/(2*b*c^(1/c)*gamma(1+1/c))\n"
     "u = igammac(1/c, abs(z)^c/c)/2\n"
     "S(t) = u for z >= 0; 1-u for z < 0\n"
     "t(q) = a + sgn(q-1/2)*b*(c*igammainv(1/c, 1-2*min(q,1-q)))^(1/c)",
     {"location, the mean", "scale", "power"}},
    {"THOMAS", "A Poisson(a) number of clusters, each of one unit and a Poisson(b)\nnumber more",
     "f(t) = sum(j=0..t, exp(-a)*a^j/j!*exp(-j*b)*(j*b)^(t-j)/(t-j)!)\n"
     "S(t) = sum(j=t+1..oo, f(j))\n"
     "(0^0 = 1)",
     {"mean number of clusters", "mean number of units beyond the first in a cluster"}},
    {"UNIFORM", kUniformAbout, kUniformFormulas, {}},
    {"VONMISES", "The von Mises law on the circle [0, 2*pi]: mean direction a,\nconcentration b",
     "f(t) = exp(b*cos(t-a))/(2*pi*BesselI(0,b))\n"
     "g = sum(k=1..oo, BesselI(k,b)*(sin(k*(t-a)) + sin(k*a))/k)\n"
     "S(t) = 1 - (t + 2*g/BesselI(0,b))/(2*pi)",
     {"mean direction", "concentration (b = 0 is uniform)"}},
    {"WEIBULL", "The Weibull law with scale a and shape b; b = 1 is EXPONENTIAL(1/a)",
     "f(t) = b*t^(b-1)/a^b*exp(-((t/a)^b))\n"
     "S(t) = exp(-((t/a)^b))\n"
     "h(t) = b*t^(b-1)/a^b\n"
     "t(q) = a*(-ln(1-q))^(1/b)",
     {"scale, the t where S(t) = exp(-1)", "shape, the hazard falls for b < 1 and rises for b > 1"}},
    {"ZIPF", "Zipf's law on 1, 2, 3, ...: f(t) falls as t^-(a+1)",
     "f(t) = t^(-(a+1))/zeta(a+1)\n"
     "S(t) = sum(j=t+1..oo, j^(-(a+1)))/zeta(a+1)",
     {"exponent less 1"}},
}};

// The notation lines: printed after the formulas when a formula uses one
// of the names (as a whole word).
struct Notation {
  std::string_view names[3];
  std::string_view line;
};

constexpr Notation kNotation[] = {
    {{"phi", "Phi"}, "phi(x) = exp(-x^2/2)/sqrt(2*pi); Phi(x) = P(Z <= x) (NORMALCDF)"},
    {{"Phiinv"}, "Phiinv(q): the x where Phi(x) = q (INVNORMAL)"},
    {{"gamma", "!"}, "gamma(x): the gamma function (GAMMA); x! = gamma(x+1)"},
    {{"igamma", "igammac"}, "igamma(a,x) = P(a,x), the regularised lower incomplete gamma (IGAMMA);\n"
                            "igammac(a,x) = 1 - igamma(a,x) (IGAMMAC)"},
    {{"igammainv"}, "igammainv(a,q): the x where igamma(a,x) = q"},
    {{"ibeta", "ibetac"}, "ibeta(x,a,b) = I_x(a,b), the regularised incomplete beta (IBETA);\n"
                          "ibetac(x,a,b) = 1 - ibeta(x,a,b) (IBETAC)"},
    {{"ibetainv"}, "ibetainv(q,a,b): the x where ibeta(x,a,b) = q"},
    {{"BetaF"}, "BetaF(a,b) = gamma(a)*gamma(b)/gamma(a+b) (BETA)"},
    {{"comb"}, "comb(n,k) = gamma(n+1)/(gamma(k+1)*gamma(n-k+1)), 0 unless 0 <= k <= n"},
    {{"BesselK", "BesselI"}, "BesselK(n,x), BesselI(n,x): modified Bessel functions (BESSELK, BESSELI)"},
    {{"zeta"}, "zeta(s) = sum(k=1..oo, k^(-s)) (ZETA)"},
    {{"sum", "prod"}, "sum(j=m..n, e), prod(j=m..n, e): over the whole j from m to n"},
    {{"sgn"}, "sgn(x) = -1, 0 or 1 as x < 0, x = 0 or x > 0"},
    {{"sech"}, "sech(x) = 1/cosh(x)"},
};

const PdfText* textOf(std::string_view name) {
  for (const PdfText& t : kTexts)
    if (t.name == name) return &t;
  return nullptr;
}

// Whether `word` occurs in s as a whole word ("!" as itself).
bool usesWord(std::string_view s, std::string_view word) {
  if (word.empty()) return false;
  auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  for (std::size_t at = s.find(word); at != std::string_view::npos; at = s.find(word, at + 1)) {
    const bool startOk = at == 0 || !isWordChar(s[at - 1]) || !isWordChar(word.front());
    const std::size_t end = at + word.size();
    const bool endOk = end == s.size() || !isWordChar(s[end]) || !isWordChar(word.back());
    if (startOk && endOk) return true;
  }
  return false;
}

constexpr std::size_t kWidth = 79;  // the longest line printed

// A long line broken after a comma, the rest indented by four blanks.
std::string wrapped(std::string line) {
  std::string out;
  while (line.size() > kWidth) {
    const std::size_t cut = line.rfind(", ", kWidth - 1);
    if (cut == std::string::npos || cut < 4) break;
    out += line.substr(0, cut + 1) + "\n";
    line = "    " + line.substr(cut + 2);
  }
  return out + line;
}

// Each line of text, indented by two blanks, on a line of its own.
void addLines(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    out += "\n  ";
    out += text.substr(0, nl);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

}  // namespace

std::string pdfHelp(const PdfInfo& p) {
  std::string s = std::string(p.name) + ": ";
  s += p.discrete ? "discrete" : "continuous";
  if (p.paramCount == 0) s += ", no parameters";
  else s += ", parameters";
  for (int i = 0; i < p.paramCount; ++i) {
    s += i ? ", " : " ";
    s += std::string(p.paramNames[static_cast<std::size_t>(i)]) + " (" +
         std::string(paramRoleName(p.paramRoles[static_cast<std::size_t>(i)])) + ")";
  }
  if (p.hazard) s += ", HAZARD allowed";
  s = wrapped(s);
  const PdfText* t = textOf(p.name);
  if (!t) return s;
  addLines(s, t->about);
  addLines(s, t->formulas);
  if (p.discrete && usesWord(t->formulas, "f(t)") && !usesWord(t->formulas, "rounded")) addLines(s, "(t is rounded to the nearest whole number)");
  for (const Notation& n : kNotation)
    for (std::string_view word : n.names)
      if (usesWord(t->formulas, word)) {
        addLines(s, n.line);
        break;
      }
  if (usesWord(t->formulas, "t(q)")) addLines(s, "q: the probability of the QUANTILE forms, S(t(q)) = 1-q");
  return s;
}

std::string pdfCatalogHelp(const PdfInfo& p) {
  const PdfText* t = textOf(p.name);
  std::string s = "  PDF " + std::string(p.name) + "(variables)";
  for (int i = 0; i < p.paramCount; ++i) s += (i ? ", " : " ") + std::string(p.paramNames[static_cast<std::size_t>(i)]);
  s += p.hazard ? " [HAZARD ...] END" : " END";
  if (t && !t->vars.empty()) {
    addLines(s, t->vars);
  } else {
    s += "\n  " + std::to_string(p.varCount) + (p.discrete ? " discrete" : " continuous") + " variables: ";
    s += kFourVars;
  }
  addLines(s, t && !t->exact.empty() ? t->exact : kExact);
  s += "\n  Range: " + constraintText(p.timeRange, "t", p);
  if (p.varCount == 4 && t && usesWord(t->formulas, "f(t)"))
    addLines(s, p.discrete ? kDiscreteWindow : kWindow);
  for (int i = 0; i < p.paramCount; ++i) {
    const std::size_t slot = static_cast<std::size_t>(i);
    const std::string_view name = p.paramNames[slot];
    s += "\n  " + std::string(name) + ": ";
    if (t && !t->params[slot].empty()) s += std::string(t->params[slot]) + "; ";
    s += constraintText(p.paramRange[slot], name, p);
  }
  if (p.hazard) {
    if (p.name == pdfName(Pdf::BIVNORMAL))
      s += "\n  HAZARD: accepted, but it leaves this law of two variables unchanged";
    else
      s += "\n  HAZARD k: f_k(t) = k*f(t)*S(t)^(k-1), S_k(t) = S(t)^k (zav -h HAZARD)";
  }
  return s;
}

}  // namespace zav
