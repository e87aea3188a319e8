#include "help/helptopics.h"

namespace zav {
namespace {

// Topics in lookup order. The lists some topics end with (statements, special
// forms, catalogs, plot styles) are added by the printer.
constexpr HelpTopic kTopics[] = {
    {{"ZAV"}, R"(A program is one or more blocks:
  ZAV
    <statements>
  END
Each block is parsed whole and then run; later blocks see what earlier
blocks declared. A file that does not start with ZAV is read as a list of
expressions, each evaluated and printed. { ... } is a comment.
Example:
  ZAV
    { the mean of three numbers }
    x: REAL[1 TO 3] = [2.0, 4.0, 9.0]
    WRITELN("mean = ", (x[1] + x[2] + x[3]) / 3)
  END
)"},
    {{"MODEL"}, R"(MODEL
  [BEGIN <statements run before each iteration> END]
  <likelihood expression>
  [BEGIN <statements run after each likelihood> END]
RUN
  [THEN <statements> END]    run after every model of the list
  FULL                       the full model
  REDUCE p1=p2               p1 takes the value of p2
  REDUCE p3=c                p3 is fixed at the constant c
  WITH p1, p2                only p1 and p2 are free
  WITH p1 (p2, p3) p4        makes the four models p1 p2 p3 p4, p1 p2 p4,
                             p1 p3 p4 and p1 p4
  Each run may be followed by [THEN <statements> END], run after that run.
END
The likelihood is usually DATA <expression> END, summed over the kept
observations, with PDF terms and PARAM declarations inside (zav -h PDF,
zav -h PARAM). A continuous PDF reads up to four time variables: t(open),
t(close), t(left trunc), t(right trunc). t(open) = t(close) is an exact
failure; t(close) = oo is right-censored at t(open); t(open) < t(close)
is a failure somewhere between them. HAZARD adds covariates (zav -h HAZARD).
METHOD chooses the maximizer: "DIRECT" (the default) or "POWELL", "SIMPLEX",
"ANNEALING", "CGRADIENT1", "CGRADIENT2", or "BFGS" (quasi-Newton within the
LOW and HIGH bounds); EPSILON (1E-5) is the convergence criterion.
Standard errors come from the inverted information matrix. By default
(INFO_METHOD1 = TRUE) it is the sum over observations of the outer products
of their scores, taken by forward differences; INFO_METHOD1 = FALSE
INFO_METHOD2 = TRUE takes the Hessian of the log-likelihood by central
differences instead: the errors R's survreg and optim report.
Where the results go, for parameter p in run r of model m (MODEL statements
count from 1, and so do the runs of each):
  p.m.r  p.SE.m.r          estimate and standard error
  p.LCI.m.r  p.UCI.m.r     likelihood confidence limits (with PRINT_CI)
  p.LOW.m.r  p.HIGH.m.r  p.START.m.r   bounds and start value used
  LOGLIKELIHOOD.m.r        log-likelihood at the estimate
  FREE_PARAMS.m.r  ITERATIONS.m.r  EVALS.m.r  CONVERGE_FLAG.m.r
  VCV.m.r                  variance-covariance matrix of the free parameters
  LOGLIKELIHOOD, FREE_PARAMS, ... without suffix: the latest run (there
  LOGLIKELIHOOD is minus the log-likelihood, the value minimized).
AIC_SELECT = TRUE adds the AIC model-selection table after the runs.
Example: 40 simulated Weibull times (scale 10, shape 1.5, the hazard of
group 1 exp(0.8) times that of group 0), right-censored at 12, and the
hazard multiplied by exp(b_group*group); run 2 fits without the covariate
(examples/weibull.zav reads such times from a file).
  CREATE_OBS = 40
  DATA group = D_IDX MOD 2
       u = 10 * (-LN(RAND) / EXP(0.8 * group))^(1 / 1.5)
       t = MIN(u, 12)
       tclose = IF u < 12 THEN u ELSE oo END
  END
  AIC_SELECT = TRUE
  MODEL
    DATA PDF WEIBULL(t, tclose)
        PARAM scale LOW = 0.1 HIGH = 100 START = 5 END,
        PARAM shape LOW = 0.1 HIGH = 10 START = 1 END,
        HAZARD COVAR group PARAM b_group LOW = -5 HIGH = 5 START = 0 END
    END END
  RUN
    FULL
    REDUCE b_group = 0
  END
  WRITELN("b_group = ", b_group.1.1, " +- ", b_group.SE.1.1)
Example: the linear regression y = b0 + b1*x1 + b2*x2 + error, covariates
acting on the normal mean through its FORM (on 30 simulated points):
  CREATE_OBS = 30
  DATA x1 = D_IDX  x2 = D_IDX MOD 3
       y = 1 + 0.5 * x1 - 2 * x2 + RRAND(-1, 1)
  END
  MODEL
    DATA PDF NORMAL(y) PARAM b0 FORM = ADD COVAR x1 PARAM b1 END
                                           COVAR x2 PARAM b2 END END,
         PARAM sigma LOW = 0.01 HIGH = 100 START = 1 END END END
  RUN FULL END
)"},
    {{"DATA"}, R"(DATA
  name FIELD f [LINE l] [= <expression>]   read from field f (of line l of
                                           each observation), optionally
                                           transformed
  name = <expression>                      a computed variable
  each declaration may be followed by KEEPIF <bexpr> or DROPIF <bexpr>
  (any number; tested right after its transform) and a ;
END
The file is named by DATAFILE("name"); fields are separated by the
characters of DATADELIMITERS (comma, blank, tab): blanks count once however
many, two commas or tabs enclose an empty field, and a field in double
quotes may hold them. INPUT_SKIP header lines are skipped. An empty field,
NA, N/A or . is missing: the observation is dropped and counted. With LINE,
every observation spans as many lines as the largest LINE. Inf, -Inf, NaN,
+oo, -oo and oo are read as values. CREATE_OBS = n makes n empty
observations instead of reading a file.
Example: two lines per observation, time and status on the first, the age
in field 1 of the second (the file is written first).
  f: FILE
  OPENWRITE(f, "visits.dat")
  WRITELN(f, "time status / age")
  WRITELN(f, "12 1") WRITELN(f, "71")
  WRITELN(f, "30 0") WRITELN(f, "58")
  WRITELN(f, "7 9") WRITELN(f, "66")
  CLOSE(f)
  DATAFILE("visits.dat")
  INPUT_SKIP = 1
  DATA
    t FIELD 1 KEEPIF t > 0
    status FIELD 2 DROPIF status = 9
    age FIELD 1 LINE 2 = age / 10
    old = IF age > 6.5 THEN 1 ELSE 0 END
  END
)"},
    {{"IF"}, R"(IF <bexpr> THEN <statements>
[ELSEIF <bexpr> THEN <statements>]
[ELSE <statements>]
END
Example:
  x = 3
  IF x < 0 THEN WRITELN("negative") ELSEIF x = 0 THEN WRITELN("zero")
  ELSE WRITELN("positive") END
)"},
    {{"BEGIN"}, R"(BEGIN <statements> END
Example:
  BEGIN x = 1  y = x + 1 END
)"},
    {{"STATEMENTS"}, ""},
    {{"REPEAT"}, R"(REPEAT <statements> UNTIL <bexpr>
Example:
  n = 0
  REPEAT n = n + 1 UNTIL n * n > 50
)"},
    {{"WHILE"}, R"(WHILE <bexpr> DO <statements> END
Example:
  n = 1
  WHILE n < 100 DO n = n * 2 END
)"},
    {{"FOR"}, R"(FOR v = e1 TO e2 DO <statements> END
FOR v = e1 TO e2 STEP e3 DO <statements> END
FOR v = e1 TO e2 STEPS n DO <statements> END     (v REAL, n points)
FOR v = [expr1, expr2, ...] DO <statements> END  (v takes each value)
Example:
  FOR i = 1 TO 3 DO WRITELN(i) END
  FOR x = 0 TO 1 STEP 0.25 DO WRITELN(x) END
  FOR y = 0.0 TO 1.0 STEPS 5 DO WRITELN(y) END
  FOR s = ["a", "b"] DO WRITELN(s) END
)"},
    {{"PFOR"}, R"(PFOR: a FOR loop whose iterations may run as separate processes.
Example:
  PFOR i = 1 TO 4 DO WRITELN(i * i) END
)"},
    {{"PBEGIN"}, R"(PBEGIN <statements> END: each statement may run as a separate process.
Example:
  PBEGIN WRITELN("one") WRITELN("two") END
)"},
    {{"PMODEL"}, R"(PMODEL: a MODEL whose runs may each run as a separate process.
Example:
  CREATE_OBS = 50
  DATA x = RAND END
  PMODEL
    DATA PDF NORMAL(x) PARAM mu LOW = -5 HIGH = 5 START = 0.5 END,
                       PARAM s LOW = 0.01 HIGH = 10 START = 1 END END END
  RUN
    FULL
    REDUCE mu = 0.5
  END
)"},
    {{"PROCEDURE"}, R"(Calling: name(arg1, arg2, ...)
Defining:
  PROCEDURE name(a:type [VAR] b:type ...) <statements> END
  FUNCTION name(a:type ...) :type <statements, assigning RETURN> END
VAR arguments are passed by reference; others by value.
Example:
  PROCEDURE twice(VAR v: REAL) v = 2 * v END
  FUNCTION cube(v: REAL): REAL RETURN = v * v * v END
  z = 1.5
  twice(z)
  WRITELN(cube(z))
)"},
    {{"ASSIGNMENT"}, R"(v = expr
v:type
v:type = expr
v:type[c1 TO c2, c3 TO c4] [= [[...] [...]]]
types: CHAR BOOLEAN INTEGER REAL COMPLEX STRING FILE; STATIC before the type
Example:
  n = 3
  r: REAL
  s: STRING = "text"
  m: INTEGER[1 TO 2, 1 TO 3] = [[1, 2, 3] [4, 5, 6]]
  m[2, 1] = n
)"},
    {{"FUNCTION"}, R"(Function expressions: name(arg1, arg2, ...); zav -h FUNCTIONS lists them.
Operators, loosest first: = <> < > <= >=; + - OR XOR; * / DIV MOD SHL SHR
AND; ^. Each level works left to right (2^3^2 is 64), and a leading - or NOT
binds tightest: -2^2 is 4, so write -(x^2). AND binds like *, so compare in
parentheses: (a > 0) AND (b > 0).
Example:
  y = SQRT(2) + MAX(1, 4)
Special expression forms:
)"},
    {{"INCLUDE"}, R"(INCLUDE "file" reads the statements of file in place, while the block is
parsed.
Example: the first block writes common.zav, the second includes it.
  ZAV
    f: FILE
    OPENWRITE(f, "common.zav")
    WRITELN(f, "rate = 0.05")
    CLOSE(f)
  END
  ZAV
    INCLUDE "common.zav"
    WRITELN(rate * 100, " percent")
  END
)"},
    {{"BREAK", "CONTINUE"}, R"(BREAK leaves a FOR, REPEAT or WHILE loop; CONTINUE goes on with its next pass.
Example:
  FOR i = 1 TO 10 DO
    IF i = 2 THEN CONTINUE END
    IF i > 4 THEN BREAK END
    WRITELN(i)
  END
)"},
    {{"CURVE"}, R"(CURVE [KEY s] [WITH s] [AXES s] i = from TO to | x(from, to, points)
      [BY j = from TO to | y(from, to, points)] e1 e2 [e3] ... END
Without BY: e1 and e2 are x and y; with BY (3-D): e1, e2, e3 are x, y, z.
Further numbers are the extra columns of the style (zav -h WITH); strings
after them continue the plot command.
Example:
  PLOTFILE("fig.plt")
  PLOT
    CURVE KEY "square" WITH "linespoints" x (0, 2, 21) x x^2 END
    CURVE KEY "bars" WITH "errorbars" i = 1 TO 3 i i 0.5 END
  END
  PLOT CURVE x (-1, 1, 11) BY y (-1, 1, 11) x y x*x + y*y END END
)"},
    {{"PLOT"}, R"(PLOT [(s1, s2, ...)] <CURVE statements> END
(open the plot file first with PLOTFILE)
The strings are gnuplot commands written before the curves; FINISHPLOT
closes the plot file and runs gnuplot on it.
Example:
  PLOTFILE("fig.plt")
  PLOT("set title 'a parabola'", "set xlabel 'x'")
    CURVE x (0, 1, 11) x x^2 END
  END
)"},
    {{"PROFILEBEGIN", "PROFILENEXT"}, R"(PROFILEBEGIN [(n)] <statements> END times statements: each PROFILENEXT
stores the seconds since the last one in PROFILE[PROFILE_INDEX].
Example:
  PROFILEBEGIN (2)
    x = INTEGRATE v (0, 1) v^2 END
    PROFILENEXT
    y = SUMMATION i (1, 1000) 1 / i END
    PROFILENEXT
  END
)"},
    {{"WITH"}, R"(CURVE ... WITH s: s is a gnuplot style, optionally with gnuplot's options
after it ("lines lw 2"). Its first characters choose the row below, which
says how many CURVE expressions the style needs (and how many it uses).
Example:
  PLOTFILE("fig.plt")
  PLOT CURVE WITH "vector" i = 1 TO 3 i i 0.5 0.5 END END
)"},
    {{"MULTIPLOT"}, R"(MULTIPLOT (nx, ny) <PLOT statements> END
The plots fill an nx by ny grid, left to right and top to bottom.
Example:
  PLOTFILE("fig.plt")
  MULTIPLOT (2, 1)
    PLOT CURVE x (0, 1, 11) x x END END
    PLOT CURVE x (0, 1, 11) x x^2 END END
  END
)"},
    {{"EXIT"}, R"(EXIT leaves a procedure, function or program block.
Example:
  PROCEDURE check(v: REAL)
    IF v < 0 THEN EXIT END
    WRITELN(SQRT(v))
  END
)"},
    {{"FUNCTIONS"}, ""},
    {{"SYMBOLS", "SYMBOL"}, ""},
    {{"PROCEDURES"}, ""},
    {{"FORMS"}, ""},
    {{"HAZARD"}, R"(PDF NORMAL(t) mu, sigma,
  HAZARD
    COVAR age PARAM b_age LOW = -10 HIGH = 10 START = 0 END
    COVAR sex PARAM b_sex LOW = -10 HIGH = 10 START = 0 END
END
multiplies the hazard by exp(b_age*age + b_sex*sex) (by b_age*age + b_sex*sex
when EXP_HAZARD is FALSE); the survival function becomes S(t)^multiplier.
Covariates may also act on one parameter through its FORM:
  PARAM a FORM = LOGLIN COVAR x PARAM b1 END END   gives a' = a*exp(b1*x)
(zav -h FORMS lists the forms).
Example: on 60 simulated people.
  CREATE_OBS = 60
  DATA age = 20 + D_IDX MOD 40  sex = D_IDX MOD 2  t = 40 + 20 * RAND END
  MODEL
    DATA PDF NORMAL(t) PARAM mu LOW = 0 HIGH = 100 START = 50 END,
                       PARAM sigma LOW = 0.1 HIGH = 50 START = 10 END,
      HAZARD
        COVAR age PARAM b_age LOW = -10 HIGH = 10 START = 0 END
        COVAR sex PARAM b_sex LOW = -10 HIGH = 10 START = 0 END
    END END
  RUN
    FULL
  END
)"},
    {{"PDFS"}, ""},
    {{"NUMBER", "NUMBERS"}, R"(Numbers in program text, data files, -d and -pn: digits, optionally a point
and more digits, then at most one of the endings below. Without a point the
number is an INTEGER (32-bit), with one a REAL. Outside program text a "-"
may lead.
Suffixes (symbol, name, factor), making a REAL:
  Y yotta 1E24   Z zetta 1E21   E exa 1E18    P peta 1E15    T tera 1E12
  G giga 1E9     M mega 1E6     k kilo 1E3    h hecto 100    da deka 10
  d deci 0.1     c centi 0.01   % percent 0.01               m milli 1E-3
  u micro 1E-6   n nano 1E-9    p pico 1E-12  f femto 1E-15  a atto 1E-18
  z zepto 1E-21  y yocto 1E-24  Ki kibi 2^10  Mi mebi 2^20   Gi gibi 2^30
  Ti tebi 2^40   Pi pebi 2^50   Ei exbi 2^60
Forms: each example, the type and value it gives, and what it shows:
  12           integer 12          digits
  -7           integer -7          a sign (not in program text)
  2.5          real 2.5            a decimal point
  12.          real 12             a point without decimals
  1.5E-3       real 0.0015         exponent: E or e, an optional -, digits
  5k           real 5000           a suffix from the table
  2Ki          real 2048           a power-of-two suffix
  5%           real 0.05           percent (not in program text)
  2.5i         complex 0+2.5i      i: imaginary
  1.5E-3i      complex 0+0.0015i   i after an exponent
  16XFF        integer 255         base X digits: base 2 to 36, digits 0-9, A-Z
  2X1011       integer 11
  0RXIV        integer 14          0R then a Roman numeral (I V X L C D M)
  0RMCMXC      integer 1990
  12:30        real 12.5           clock time hours:minutes, in hours
  12:30:36     real 12.51          hours:minutes:seconds
  1:15pm       real 13.25          am or pm at the end (12am is 0:00)
  1H30'        real 1.5            hours H minutes ', in hours
  1H30'36"     real 1.51           hours H minutes ' seconds "
  90`          real 1.57079633     degrees (` or the degree sign), in radians
  45`30'       real 0.79412481     degrees ` minutes '
  1`30'36"     real 0.02635447     degrees ` minutes ' seconds "
  30'          real 0.00872665     minutes of arc, in radians
  36"          real 0.00017453     seconds of arc, in radians
  1'30"        real 0.00043633     minutes ' seconds " of arc
  3_1/2        real 3.5            fraction: whole _ numerator / denominator
  -3_1/2       real -3.5
  30jun1961    integer 2437481     day, month name, year: the Julian day number
  30D6M1961Y   integer 2437481     day D month M year Y
  6M30D1961Y   integer 2437481     month M day D year Y
  1961Y6M30D   integer 2437481     year Y month M day D
Letters of the forms may be of either case, except the suffixes and i.
Type the micro sign as Alt-230 and the degree sign as Alt-248 (the UTF-8
signs are read too).
)"},
};

// One block per form of the special-form catalog, in catalog order (the two
// FUNCTION forms each have their own).
constexpr HelpTopic kSpecialForms[] = {
    {{"IDENTIFIER"}, R"(IDENTIFIER: a variable or constant named in an expression, or an array
element name[i, j] (a DATA variable takes one subscript, an observation).
Settings: a DATA variable named without subscript reads observation D_IDX.
Example:
  v: REAL[1 TO 3]
  v[2] = PI
  y = v[2] + 1
)"},
    {{"FUNCTION"}, R"(FUNCTION (user-defined): name(arg1, arg2, ...) calls a FUNCTION declared
earlier (zav -h PROCEDURE); its value is what RETURN holds at its END.
Settings: none.
Example:
  FUNCTION sq(v: REAL): REAL RETURN = v * v END
  y = sq(3) + 1
)"},
    {{"ARRAY"}, R"(ARRAY: a whole array named without subscripts, as an argument or in an
assignment of one array to another of the same shape.
Settings: none.
Example:
  a: REAL[1 TO 3] = [1.0, 2.0, 4.0]
  b: REAL[1 TO 3]
  b = a
  WRITELN(VMAX(a))
)"},
    {{"DATA"}, R"(DATA [BEGIN <statements> END [,]] [FORM = f] <expression>
     [[,] BEGIN <statements> END] END
Sums the expression over the kept observations (D_IDX = 1 .. N_OBS), each
weighted by FREQUENCY (or FREQ) when there is one: the likelihood of a MODEL.
The first block runs before and the second after each observation. FORM:
SUMLL (the default: the expression is a likelihood, its logarithms are
summed), SUM or SUMMATION (the expression is a log-likelihood, summed),
PROD or PRODUCT (likelihoods multiplied).
Settings: SMALLEST_LIKELIHOOD and LARGEST_LIKELIHOOD bound each likelihood
of SUMLL (SMALLEST_LLIKELIHOOD and LARGEST_LLIKELIHOOD its logarithm); D_IDX
is the observation being summed.
Example:
  CREATE_OBS = 20
  DATA x = D_IDX END
  total = DATA FORM = SUM x END
  loglik = DATA BEGIN z = x / 10 END, PDF NORMAL(z) 0, 1 END END
)"},
    {{"DATAARRAY"}, R"(DATAARRAY: an array literal [e1, e2, ...]; nested brackets make more
dimensions, [[row 1] [row 2]]. All elements are of one type.
Settings: none.
Example:
  flags: BOOLEAN[1 TO 4] = [TRUE, FALSE, FALSE, TRUE]
  m: INTEGER[1 TO 2, 1 TO 3] = [[1, 2, 3] [4, 5, 6]]
)"},
    {{"DERIVATIVE"}, R"(DERIVATIVE [(order)] x = x0 [,] <expression> [[,] dx] END
The derivative of the expression in the REAL variable x at x0 (Ridders'
extrapolation), of order 1 unless given; dx is the largest step.
Settings: DIFF_DX (the default dx, 0.001); DEBUG_INT traces it.
Example:
  slope = DERIVATIVE x = 3, x^2 END
  curv = DERIVATIVE (2) x = 1, x^3, 0.01 END
)"},
    {{"FINDMIN"}, R"(FINDMIN x (low, high [, start [, tol [, maxits]]]) <expression> END
The x in [low, high] where the expression is smallest (Brent's method),
started at start (default the middle).
Settings: FIND_EPS (default tol), FIND_MAXITS (default maxits), BRENT_MAGIC,
LARGE_ZERO, MACHINE_EPSILON.
Example:
  best = FINDMIN x (0, 5) (x - 2)^2 END
)"},
    {{"FINDZERO"}, R"(FINDZERO x (low, high [, tol [, maxits]]) <expression> END
A zero of the expression in x between low and high (Brent's method); the
expression must change sign there.
Settings: FIND_EPS (default tol), FIND_MAXITS (default maxits),
MACHINE_EPSILON.
Example:
  root = FINDZERO x (0, 3) x^2 - 2 END
)"},
    {{"FUNCTION"}, R"(FUNCTION (intrinsic): NAME(arg1, arg2, ...) calls an intrinsic function;
a function without arguments may be written without (). Every operator is
one too: a + b is ADD(a, b). zav -h FUNCTIONS lists them.
Settings: those of each function (zav -h NAME).
Example:
  y = ADD(2, 3) * SQRT(2) + RAND
)"},
    {{"IF"}, R"(IF <bexpr> THEN e1 [ELSEIF <bexpr> THEN e2 ...] ELSE e3 END
An expression: the value of the first branch whose condition holds. ELSE
is required; INTEGER and REAL branches give a REAL. Only the chosen branch
is evaluated.
Settings: none.
Example:
  x = -2.5
  y = IF x < 0 THEN -x ELSEIF x = 0 THEN 0 ELSE x END
)"},
    {{"INTEGRATE"}, R"(INTEGRATE x (low, high [, n or tol]) <expression> END
The integral of the expression over the REAL variable x from low to high.
A third value above 1 is the number of points or steps, otherwise the
tolerance.
Settings: INTEGRATE_METHOD (I_ROMBERG, the default, I_SIMPSON, I_TRAP_CLOSED,
I_TRAP_OPEN, I_AQUAD), INTEGRATE_N (default n), INTEGRATE_TOL (default tol);
DEBUG_INT traces it.
Example:
  area = INTEGRATE x (0, 1) x^2 END
  mass = INTEGRATE x (0, 3, 200) EXP(-x) END
)"},
    {{"LEVEL"}, R"(LEVEL <bexpr> THEN <DATA body> END
Inside a DATA expression: a group of consecutive observations that starts at
the current one and goes on while the condition holds at the next one. The
body (as in DATA: blocks, FORM, expression) is summed over the group, and
the outer DATA goes on after the group. FREQUENCY weights it as in DATA.
Settings: as DATA.
Example:
  CREATE_OBS = 6
  DATA g = (D_IDX + 1) DIV 2  first = D_IDX MOD 2 END
  groups = DATA FORM = SUM LEVEL first = 0 THEN FORM = SUM g END ^ 2 END
)"},
    {{"LEVELDELTA"}, R"(LEVELDELTA <expression> THEN <DATA body> END
As LEVEL, but the group goes on while the expression keeps the value it had
at the group's first observation.
Settings: as DATA.
Example:
  CREATE_OBS = 6
  DATA g = (D_IDX + 1) DIV 2  x = D_IDX END
  sq = DATA FORM = SUM LEVELDELTA g THEN FORM = SUM x END ^ 2 END
)"},
    {{"PARAM"}, R"(PARAM name [LOW = e] [HIGH = e] [START = e] [TEST = c] [FORM = f] END
Declares a model parameter inside a MODEL's likelihood (usually as a PDF
argument). TEST is its value in a WITH run that leaves it out; FORM
(zav -h FORMS) combines it with the HAZARD covariates.
Settings: LOW_DEFAULT, HIGH_DEFAULT, START_DEFAULT and TEST_DEFAULT for the
clauses left out; ALT_LOGISTIC (the LOGISTIC form), EXP_HAZARD.
Example:
  CREATE_OBS = 50
  DATA x = RAND END
  MODEL
    DATA PDF NORMAL(x) PARAM mu LOW = -1 HIGH = 2 START = 0.5 TEST = 0 END,
                       PARAM sigma LOW = 0.01 HIGH = 10 START = 1
                                   FORM = NUMBER END END END
  RUN
    FULL
  END
)"},
    {{"PDATA"}, R"(PDATA: a DATA expression (zav -h DATA) whose observations may be summed
in parallel; the same result.
Settings: as DATA.
Example:
  CREATE_OBS = 10
  DATA x = D_IDX END
  total = PDATA FORM = SUM x END
)"},
    {{"PDF"}, R"(PDF NAME(t(open) [, t(close) [, t(left trunc) [, t(right trunc)]]])
    p1 [,] p2 ... [[,] HAZARD ...] END
The likelihood of one observation under the PDF (zav -h PDFS lists them,
zav -h NAME gives its parameters): the density at t(open) when t(close) is
left out or equal, S(t(open)) - S(t(close)) for an interval, divided by the
probability between the truncation points. Discrete PDFs read counts.
Settings: EXP_HAZARD (TRUE: HAZARD multiplies the hazard by exp(XB), FALSE:
by XB).
Example:
  CREATE_OBS = 1
  DATA t = D_IDX END
  f = PDF WEIBULL(2.5) 3, 1.5 END
  c = PDF WEIBULL(2.5, oo) 3, 1.5 END
)"},
    {{"PHAZARD"}, R"(PHAZARD NAME(q [, t(left trunc) [, t(right trunc) ...]]) p1 [,] p2 ... END
The hazard at the q-th quantile of the PDF: PPDF/(1 - q), +oo at q = 1.
Settings: as QUANTILE.
Example:
  h = PHAZARD WEIBULL(0.5) 3, 1.5 END
)"},
    {{"PPDF"}, R"(PPDF NAME(q [, t(left trunc) [, t(right trunc) ...]]) p1 [,] p2 ... END
The density of the PDF at its q-th quantile, f(t(q)).
Settings: as QUANTILE.
Example:
  d = PPDF NORMAL(0.975) 0, 1 END
)"},
    {{"POSTASSIGN"}, R"(POSTASSIGN <expression> [,] <statement> END
The value of the expression, after which the statement runs.
Settings: none.
Example:
  n = 1
  y = POSTASSIGN n * 10, n = n + 1 END
)"},
    {{"PREASSIGN"}, R"(PREASSIGN <statement> [,] <expression> END
Runs the statement, then gives the value of the expression.
Settings: none.
Example:
  y = PREASSIGN x = 2.5, x * x END
)"},
    {{"PRODUCT"}, R"(PRODUCT i (from, to [, tol]) <expression> END
The product of the expression over the INTEGER i = from .. to (1 when
to < from); with tol it stops once a factor changes the product by less.
Settings: DEBUG_INT traces it.
Example:
  fact = PRODUCT i (1, 5) i END
)"},
    {{"QUANTILE"}, R"(QUANTILE NAME(q [, left [, right [, tol [, maxits]]]])
    p1 [,] p2 ... [[,] HAZARD ...] END
The t with S(t) = 1 - q for the PDF with the given parameters, truncated
to [left, right] when given. Closed forms where the PDF has one, otherwise
a search with tol and maxits.
Settings: FIND_EPS (default tol), FIND_MAXITS (default maxits),
MACHINE_EPSILON, EXP_HAZARD.
Example:
  median = QUANTILE WEIBULL(0.5) 3, 1.5 END
  z = QUANTILE NORMAL(0.975) 0, 1 END
)"},
    {{"QDF"}, R"(QDF NAME(q [, t(left trunc) [, t(right trunc) ...]]) p1 [,] p2 ... END
The quantile density, dt(q)/dq = 1/PPDF.
Settings: as QUANTILE.
Example:
  w = QDF NORMAL(0.975) 0, 1 END
)"},
    {{"SUMMATION"}, R"(SUMMATION i (from, to [, tol]) <expression> END
The sum of the expression over the INTEGER i = from .. to (0 when to <
from); with tol it stops once a term changes the sum by less than tol.
Settings: DEBUG_INT traces it.
Example:
  s = SUMMATION i (1, 10) i^2 END
  euler = SUMMATION k (0, 100, 1E-15) 1 / GAMMA(k + 1) END
)"},
};

}  // namespace

std::span<const HelpTopic> helpTopics() { return kTopics; }
std::span<const HelpTopic> specialFormTopics() { return kSpecialForms; }

}  // namespace zav
