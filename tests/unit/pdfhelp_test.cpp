// The PDF help texts: the printed f(t), S(t), h(t) and t(q) lines are read
// back by a small evaluator of their notation and compared with the density,
// survival, hazard and explicit quantile routines. The evaluator knows only
// the notation the help explains (elementary functions, Phi, gamma, the
// incomplete gamma and beta functions and their inverses, Bessel functions,
// zeta, comb, sums and products); its special functions come from the
// standard library and Boost directly, so a parametrisation or transcription
// slip in a help line shows up as a mismatch.
#include <gtest/gtest.h>

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/zeta.hpp>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dists/densities.h"
#include "dists/pdfcatalog.h"
#include "help/pdfhelp.h"
#include "support.h"

namespace zav {
namespace {

using R = long double;
constexpr R kOo = std::numeric_limits<R>::infinity();

// ------------------------------------------------------------ the notation

struct Node {
  enum Kind { Num, Name, Call, Neg, Add, Sub, Mul, Div, Pow, Fact, Sum, Prod } kind;
  R value = 0;
  std::string name;  // Name, Call, and the index of Sum and Prod
  std::vector<std::unique_ptr<Node>> kids;
};
using P = std::unique_ptr<Node>;

struct Piece {
  P value;
  P lhs, rhs;  // the condition "for lhs op rhs"; none when lhs is empty
  std::string op;
};
using Rhs = std::vector<Piece>;

class Parser {
 public:
  explicit Parser(const std::string& s) : s_(s) {}

  Rhs rhs() {
    Rhs out;
    do {
      Piece pc;
      pc.value = expr();
      if (word("for")) {
        pc.lhs = expr();
        for (const char* op : {"<=", ">=", "<>", "<", ">", "="})
          if (take(op)) {
            pc.op = op;
            break;
          }
        if (pc.op.empty()) fail("comparison");
        pc.rhs = expr();
      }
      out.push_back(std::move(pc));
    } while (take(";"));
    skip();
    if (i_ != s_.size()) fail("end of line");
    return out;
  }

 private:
  const std::string& s_;
  std::size_t i_ = 0;

  [[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("expected ") + what + " at '" + s_.substr(i_) + "' in " + s_);
  }
  void skip() {
    while (i_ < s_.size() && s_[i_] == ' ') ++i_;
  }
  bool take(std::string_view t) {
    skip();
    if (s_.compare(i_, t.size(), t) != 0) return false;
    i_ += t.size();
    return true;
  }
  bool word(std::string_view w) {
    skip();
    const std::size_t end = i_ + w.size();
    if (s_.compare(i_, w.size(), w) != 0 || (end < s_.size() && std::isalnum(static_cast<unsigned char>(s_[end]))))
      return false;
    i_ = end;
    return true;
  }
  static P make(Node::Kind k, P a = nullptr, P b = nullptr) {
    auto n = std::make_unique<Node>();
    n->kind = k;
    if (a) n->kids.push_back(std::move(a));
    if (b) n->kids.push_back(std::move(b));
    return n;
  }
  P expr() {
    P left = term();
    for (;;) {
      if (take("+")) left = make(Node::Add, std::move(left), term());
      else if (take("-")) left = make(Node::Sub, std::move(left), term());
      else return left;
    }
  }
  // The language's own precedence: a leading minus binds tightest, and ^
  // works left to right, so a formula typed into zav gives this value.
  P term() {
    P left = power();
    for (;;) {
      if (take("*")) left = make(Node::Mul, std::move(left), power());
      else if (take("/")) left = make(Node::Div, std::move(left), power());
      else return left;
    }
  }
  P power() {
    P left = unary();
    while (take("^")) left = make(Node::Pow, std::move(left), unary());
    return left;
  }
  P unary() {
    if (take("-")) return make(Node::Neg, unary());
    return postfix();
  }
  P postfix() {
    P p = primary();
    while (take("!")) p = make(Node::Fact, std::move(p));
    return p;
  }
  P group() {
    P e = expr();
    if (!take(")")) fail("closing bracket");
    return e;
  }
  P primary() {
    skip();
    if (take("(")) return group();
    if (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
      std::size_t j = i_;
      while (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) ++j;
      if (j + 1 < s_.size() && s_[j] == '.' && std::isdigit(static_cast<unsigned char>(s_[j + 1])))
        for (++j; j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]));) ++j;
      auto n = make(Node::Num);
      n->value = std::stold(s_.substr(i_, j - i_));
      i_ = j;
      return n;
    }
    if (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) {
      std::size_t j = i_;
      while (j < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[j])) || s_[j] == '_')) ++j;
      const std::string name = s_.substr(i_, j - i_);
      i_ = j;
      if (!take("(")) {
        auto n = make(Node::Name);
        n->name = name;
        return n;
      }
      if (name == "sum" || name == "prod") {  // sum(j=m..n, e)
        auto n = make(name == "sum" ? Node::Sum : Node::Prod);
        skip();
        std::size_t k = i_;
        while (k < s_.size() && std::isalpha(static_cast<unsigned char>(s_[k]))) ++k;
        n->name = s_.substr(i_, k - i_);
        i_ = k;
        if (!take("=")) fail("=");
        n->kids.push_back(expr());
        if (!take("..")) fail("..");
        n->kids.push_back(expr());
        if (!take(",")) fail(",");
        n->kids.push_back(expr());
        if (!take(")")) fail(")");
        return n;
      }
      auto n = make(Node::Call);
      n->name = name;
      do n->kids.push_back(expr());
      while (take(","));
      if (!take(")")) fail(")");
      return n;
    }
    fail("a value");
  }
};

// The printed lines of one PDF, and the values of its names.
class Formulas {
 public:
  // Reads every "  NAME = ..." line of a help text: f(t), S(t), h(t),
  // t(q) and the names they use.
  explicit Formulas(const std::string& help) {
    static const std::regex line(R"(^  (f\(t\)|S\(t\)|h\(t\)|t\(q\)|[A-Za-z][A-Za-z0-9]*) = (.*)$)");
    std::istringstream in(help);
    std::string text;
    std::smatch m;
    while (std::getline(in, text))
      if (std::regex_match(text, m, line)) {
        std::string name = m[1];
        if (name.size() == 4 && name[1] == '(') name = name == "t(q)" ? "tq" : name.substr(0, 1);
        defs_[name] = Parser(m[2]).rhs();
      }
  }
  bool has(const std::string& name) const { return defs_.count(name) != 0; }
  std::map<std::string, R> vars;  // parameters and the bound t, q, j, k

  R at(const std::string& fn, R x) { return call(fn, x); }

 private:
  std::map<std::string, Rhs> defs_;

  R call(const std::string& fn, R x) {
    const std::string arg = fn == "tq" ? "q" : "t";
    const auto saved = vars.find(arg) != vars.end() ? std::optional<R>(vars[arg]) : std::nullopt;
    vars[arg] = x;
    const R v = value(defs_.at(fn));
    if (saved) vars[arg] = *saved;
    else vars.erase(arg);
    return v;
  }
  R value(const Rhs& r) {
    for (const Piece& pc : r) {
      if (!pc.lhs) return eval(*pc.value);
      const R a = eval(*pc.lhs), b = eval(*pc.rhs);
      const bool hold = pc.op == "<=" ? a <= b : pc.op == ">=" ? a >= b : pc.op == "<>" ? a != b
                        : pc.op == "<"  ? a < b  : pc.op == ">"  ? a > b  : a == b;
      if (hold) return eval(*pc.value);
    }
    return std::nanl("");
  }
  R series(const Node& n) {
    const bool sum = n.kind == Node::Sum;
    const R lo = eval(*n.kids[0]), hi = eval(*n.kids[1]);
    R acc = sum ? 0 : 1;
    int small = 0;
    const auto saved = vars.count(n.name) ? std::optional<R>(vars[n.name]) : std::nullopt;
    for (R j = std::ceil(lo); j <= hi && j < lo + 2e6L; ++j) {
      vars[n.name] = j;
      const R term = eval(*n.kids[2]);
      if (sum) {
        acc += term;
        // An endless sum ends once its terms stay negligible.
        small = std::fabs(term) <= 1e-21L * std::fabs(acc) ? small + 1 : 0;
        if (hi == kOo && small >= 3) break;
      } else {
        acc *= term;
      }
    }
    if (saved) vars[n.name] = *saved;
    else vars.erase(n.name);
    return acc;
  }
  R eval(const Node& n) {
    auto k = [&](std::size_t i) { return eval(*n.kids[i]); };
    switch (n.kind) {
      case Node::Num: return n.value;
      case Node::Name: {
        if (auto v = vars.find(n.name); v != vars.end()) return v->second;
        if (auto d = defs_.find(n.name); d != defs_.end()) return value(d->second);
        if (n.name == "pi") return 3.141592653589793238462643383279502884L;
        if (n.name == "oo") return kOo;
        throw std::runtime_error("unknown name " + n.name);
      }
      case Node::Neg: return -k(0);
      case Node::Add: return k(0) + k(1);
      case Node::Sub: return k(0) - k(1);
      case Node::Mul: return k(0) * k(1);
      case Node::Div: return k(0) / k(1);
      case Node::Pow: return std::pow(k(0), k(1));
      case Node::Fact: return std::tgamma(k(0) + 1);
      case Node::Sum:
      case Node::Prod: return series(n);
      case Node::Call: break;
    }
    const std::string& f = n.name;
    if (defs_.count(f) && n.kids.size() == 1) return call(f, k(0));
    const R x = k(0);
    if (f == "exp") return std::exp(x);
    if (f == "ln") return std::log(x);
    if (f == "sqrt") return std::sqrt(x);
    if (f == "abs") return std::fabs(x);
    if (f == "sin") return std::sin(x);
    if (f == "cos") return std::cos(x);
    if (f == "tan") return std::tan(x);
    if (f == "atan") return std::atan(x);
    if (f == "acos") return std::acos(x);
    if (f == "sech") return 1 / std::cosh(x);
    if (f == "sgn") return x > 0 ? 1 : (x < 0 ? -1 : 0);
    if (f == "gamma") return std::tgamma(x);
    if (f == "phi") return std::exp(-x * x / 2) / std::sqrt(2 * 3.141592653589793238462643383279502884L);
    if (f == "Phi") return std::erfc(-x / std::sqrt(R{2})) / 2;
    if (f == "Phiinv") return -std::sqrt(R{2}) * boost::math::erfc_inv(2 * x);
    if (f == "zeta") return boost::math::zeta(x);
    const R y = k(1);
    if (f == "min") return std::min(x, y);
    if (f == "max") return std::max(x, y);
    if (f == "BetaF") return std::tgamma(x) * std::tgamma(y) / std::tgamma(x + y);
    if (f == "comb") {
      if (x == std::floor(x) && y == std::floor(y) && (y < 0 || y > x)) return 0;
      return std::tgamma(x + 1) / (std::tgamma(y + 1) * std::tgamma(x - y + 1));
    }
    if (f == "igamma") return boost::math::gamma_p(x, y);
    if (f == "igammac") return boost::math::gamma_q(x, y);
    if (f == "igammainv") return boost::math::gamma_p_inv(x, y);
    if (f == "BesselK") return boost::math::cyl_bessel_k(x, y);
    if (f == "BesselI") return boost::math::cyl_bessel_i(x, y);
    const R z = k(2);
    if (f == "ibeta") return boost::math::ibeta(y, z, x);
    if (f == "ibetac") return boost::math::ibetac(y, z, x);
    if (f == "ibetainv") return boost::math::ibeta_inv(y, z, x);
    throw std::runtime_error("unknown function " + f);
  }
};

int pdfNumber(std::string_view name) {
  for (int i = 1; i <= kPdfCount; ++i)
    if (pdfInfo(i)->name == name) return i;
  return 0;
}

std::string fullHelp(int pdf) { return pdfHelp(*pdfInfo(pdf)) + "\n" + pdfCatalogHelp(*pdfInfo(pdf)); }

// ------------------------------------------------------------------ tests

struct Case {
  const char* name;
  std::vector<R> params;
  std::vector<R> ts;
  std::vector<const char*> names = {};  // when the formulas do not use the catalog's names
};

// Parameters inside their ranges, times inside the support, spread over
// the body and both tails.
const std::vector<Case> kCases = {
    {"ALPHA", {1.5, 2}, {0.5, 1.5, 6}},
    {"ARCSINE", {}, {0.1, 0.5, 0.8}},
    {"ASYMPTOTICRANGE", {1, 2}, {-2, 1, 6}},
    {"BERNOULLITRIAL", {0.3}, {0, 1}},
    {"BETA", {2, 3}, {0.2, 0.5, 0.9}},
    {"BINOMIAL", {0.3, 10}, {0, 3, 9}},
    {"BIRNBAUMSAUNDERS", {0.5, 2}, {0.5, 2, 5}},
    {"CAUCHY", {1, 2}, {-10, 1.5, 40}},
    {"CHI", {1, 2, 3}, {1.5, 3, 8}},
    {"CHISQUARED", {4, 1.5}, {0.5, 3, 12}},
    {"COMPOUNDEXTREME", {1, 2, 1.5}, {-3, 1, 5}},
    {"DANIELS", {}, {0.5, 1, 1.8}},
    {"DISK", {1, 0.5}, {1.2, 2, 2.9}},
    {"EXPONENTIAL", {0.7}, {0, 1, 5}},
    {"F", {5, 7}, {0.3, 1, 4}},
    {"FL2PT", {0.3, 0.5, 2}, {0.1, 1, 3}},
    {"FOLDEDNORMAL", {1, 2}, {0, 1, 5}},
    {"GAMMA", {0.5, 2.5}, {0.5, 4, 12}},
    {"GAMMAFRAIL", {0.5, 0.8}, {0.5, 3, 10}},
    {"GAUSSIAN", {-1, 2}, {-3, 0, 5}},
    {"GENGAMMA", {2, 1.5, 1.3}, {0.5, 2, 6}},
    {"GENGUMBEL", {1, 2, 2.5}, {-1, 1, 6}},
    {"GEOMETRIC", {0.3}, {0, 2, 7}},
    {"GOMPERTZ", {0.1, 0.3}, {0.5, 3, 8}},
    {"GUMBEL", {1, 2}, {-2, 1, 9}},
    {"HORSESHOE", {1, 2, 1.5}, {-0.5, 0.5, 2.5}},
    {"HYPERBOLICSECANT", {1, 2}, {-4, 1, 7}},
    {"HYPERGEOMETRIC", {0.25, 6, 20}, {0, 2, 4}},
    {"HYPER2EXP", {0.3, 0.5, 2}, {0.1, 1, 3}},
    {"HYPO2EXP", {0.5, 2}, {0.2, 1, 5}},
    {"INVBETA1", {2, 1.5, 3}, {0.3, 1, 5}},
    {"INVBETA2", {2, 1.5, 3}, {0.5, 1.5, 4}},
    {"INVCHI", {3, 2}, {0.2, 1, 5}},
    {"INVGAMMA", {3, 2}, {0.3, 1, 4}},
    {"INVGAUSSIAN", {2, 3}, {0.5, 2, 6}},
    {"LAPLACE", {1, 2}, {-3, 1.5, 8}},
    {"LARGEEXTREME1", {1, 2}, {-2, 1, 15}},
    {"LARGEEXTREME2", {1, 2, 1.5}, {2, 4, 10}},
    {"LINEARHAZARD", {0.2, 0.3}, {0.5, 2, 5}},
    {"LNGAMMA", {1, 0.5, 2}, {1.2, 2.5, 6}},
    {"LNLOGISTIC", {1, 2, 1.5}, {1.5, 3, 10}},
    {"LNNORMAL", {2, 0.5}, {0.8, 2, 5}},
    {"LOGISTIC", {1, 2}, {-6, 1.5, 12}},
    {"LOGNORMAL", {2, 1}, {0.8, 2, 5}},
    {"LOGSERIES", {0.6}, {1, 2, 6}},
    {"LOWMAX", {1, 2, 1.5}, {3, 4, 10}},
    {"MAKEHAM", {0.01, 0.02, 0.1}, {1, 10, 40}},
    {"MAXWELL", {1, 2}, {1.5, 3, 8}},
    {"MIXMAKEHAM", {0.3, 0.1, 0.5, 0.01, 0.2}, {0.5, 3, 10}},
    {"NEGBINOMIAL", {0.4, 3}, {0, 3, 10}},
    {"NEGHYPERGEOMETRIC", {0.25, 3, 20}, {3, 6, 12}},
    {"NORMAL", {1, 2}, {-3, 0.5, 7}},
    {"PARETO", {1.5, 2.5}, {1.6, 3, 10}},
    {"PASCAL", {0.4, 3}, {3, 6, 12}},
    {"POISSON", {3.5}, {0, 3, 9}},
    {"POLYAEGGENBERGER", {0.3, 6, 0.2}, {0, 2, 5}},
    {"POLYAEGGENBERGER", {0.3, 6, -0.04}, {0, 2, 5}},
    {"POWERFUNCTION", {1, 2, 1.5}, {1.2, 2, 2.9}},
    {"RAISEDCOSINE", {1, 0.5}, {0, 1.2, 2.3}},
    {"RANDOMWALK", {0.5, 2}, {0.5, 2, 5}},
    {"RAYLEIGH", {2}, {0.5, 2, 6}},
    {"RECTANGULAR", {0.5, 3}, {0.7, 1.5, 2.9}, {"ta", "tw"}},
    {"REVPOWERFUNCTION", {1, 2, 1.5}, {1.2, 2, 2.9}},
    {"RINGINGEXP0", {1, 2, 1.5}, {1.5, 3, 8}},
    {"RINGINGEXP180", {1, 2, 1.5}, {1.5, 3, 8}},
    {"SHIFTEXPONENTIAL", {1, 2}, {1, 3, 8}},
    {"SHIFTGAMMA", {1, 2, 2.5}, {1.5, 4, 10}},
    {"SHIFTLOGNORMAL", {1, 2, 0.5}, {1.5, 3, 8}},
    {"SHIFTWEIBULL", {1, 2, 1.5}, {1.5, 3, 8}},
    {"SILER", {0.05, 0.5, 0.01, 0.001, 0.1}, {1, 10, 50}},
    {"SMALLEXTREME1", {1, 2}, {-6, 1, 4}},
    {"SMALLEXTREME2", {1, 2, 1.5}, {-8, -2, 0.5}},
    {"STUDENTT", {5}, {-2, 0.5, 3}},
    {"SUBBOTIN", {1, 2, 1.5}, {-3, 0.5, 6}},
    {"THOMAS", {1.5, 0.8}, {0, 2, 6}},
    {"UNIFORM", {0.5, 3}, {0.7, 1.5, 2.9}, {"ta", "tw"}},
    {"VONMISES", {1, 2}, {0.5, 2, 5}},
    {"WEIBULL", {2, 1.5}, {0.5, 2, 6}},
    {"ZIPF", {6}, {1, 2, 5}},
};

void expectNear(R got, R want, const std::string& what) {
  EXPECT_NEAR(static_cast<double>(got), static_cast<double>(want), 1e-9 * std::fabs(static_cast<double>(want)) + 1e-300)
      << what;
}

TEST(PdfHelp, PrintedFormulasAreWhatTheRoutinesCompute) {
  Interp in;
  test::prepareInterp(in);
  for (const Case& c : kCases) {
    const int pdf = pdfNumber(c.name);
    ASSERT_NE(pdf, 0) << c.name;
    const PdfInfo& info = *pdfInfo(pdf);
    Formulas fm(pdfHelp(info));
    ASSERT_TRUE(fm.has("f") && fm.has("S")) << c.name;
    R p[kMaxPdfParams] = {};
    for (std::size_t i = 0; i < c.params.size(); ++i) {
      p[i] = c.params[i];
      fm.vars[c.names.empty() ? std::string(info.paramNames[i]) : c.names[i]] = c.params[i];
    }
    for (R t : c.ts) {
      const std::string at = std::string(c.name) + " at t = " + std::to_string(static_cast<double>(t));
      expectNear(fm.at("f", t), pdfDensity(in, pdf, t, p, 1), "f(t) of " + at);
      expectNear(fm.at("S", t), pdfSurvival(in, pdf, t, p, 1), "S(t) of " + at);
      if (fm.has("h")) expectNear(fm.at("h", t), pdfHazard(in, pdf, t, p, 1), "h(t) of " + at);
    }
    if (!fm.has("tq")) continue;
    for (R q : {0.1L, 0.3L, 0.5L, 0.9L}) {
      R t = 0;
      ASSERT_TRUE(pdfBaseQuantile(pdf, 1 - q, p, t)) << c.name;
      expectNear(fm.at("tq", q), t, std::string("t(q) of ") + c.name + " at q = " + std::to_string(double(q)));
    }
  }
}

// Every PDF: each formula line is in the notation above, t(q) is printed
// exactly for the PDFs whose quantile has an explicit inverse, and no line
// is wider than a terminal.
TEST(PdfHelp, EveryTextIsWellFormed) {
  const Real p[kMaxPdfParams] = {1, 1, 1, 1, 1, 1};
  for (int pdf = 1; pdf <= kPdfCount; ++pdf) {
    const std::string name(pdfInfo(pdf)->name);
    const std::string help = fullHelp(pdf);
    std::unique_ptr<Formulas> fm;
    try {
      fm = std::make_unique<Formulas>(help);
    } catch (const std::exception& e) {
      ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    Real t = 0;
    EXPECT_EQ(fm->has("tq"), pdfBaseQuantile(pdf, 0.5L, p, t)) << name;
    EXPECT_EQ(help.find(name + ": "), 0u) << name;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 79u) << name << ": " << line;
  }
}

}  // namespace
}  // namespace zav
