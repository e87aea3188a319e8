#include "dists/pdfcatalog.h"

namespace zav {
namespace {

// name, discrete, parameters, variables, hazard, time range, parameter
// ranges, parameter names, parameter roles, hidden
constexpr std::array<PdfInfo, kPdfCount> kPdfs = {{
    {"ALPHA", false, 2, 4, true, 0, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"ARCSINE", false, 0, 4, true, 2, {}, {}, {}, false},
    {"ASYMPTOTICRANGE", false, 2, 4, true, 23, {23, 1}, {"a", "b"}, {4, 3}, false},
    {"ATRESIA", false, 2, 3, true, 1, {0, 0}, {"r", "n"}, {5, 6}, true},
    {"BERNOULLITRIAL", true, 1, 4, false, 1, {2}, {"p"}, {9}, false},
    {"BETA", false, 2, 4, true, 2, {0, 0}, {"a", "b"}, {2, 2}, false},
    {"BINOMIAL", true, 2, 4, true, 1, {2, 0}, {"p", "n"}, {9, 6}, false},
    {"BIRNBAUMSAUNDERS", false, 2, 4, true, 0, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"BIVNORMAL", false, 5, 8, true, 23, {23, 0, 23, 0, 3}, {"ux", "sx", "uy", "sy", "r"}, {4, 3, 4, 3, 10}, false},
    {"CAUCHY", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"CHI", false, 3, 4, true, 6, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"CHISQUARED", false, 2, 4, true, 1, {1, 1}, {"a", "b"}, {4, 3}, false},
    {"COMPOUNDEXTREME", false, 3, 4, true, 23, {1, 0, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"DANIELS", false, 0, 4, true, 1, {}, {}, {}, false},
    {"DISK", false, 2, 4, true, 12, {23, 1}, {"a", "b"}, {4, 3}, false},
    {"EXPONENTIAL", false, 1, 4, true, 1, {23}, {"a"}, {7}, false},
    {"F", false, 2, 4, true, 1, {4, 4}, {"a", "b"}, {14, 14}, false},
    {"FAILED", true, 0, 4, false, 23, {}, {}, {}, false},
    {"FDEPLETE", false, 3, 3, false, 1, {0, 0, 23}, {"a", "b", "c"}, {4, 3, 2}, true},
    {"FL2PT", false, 3, 4, true, 1, {2, 1, 1}, {"p", "h1", "h2"}, {9, 7, 7}, true},
    {"FOLDEDNORMAL", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {2, 2}, false},
    {"GAMMA", false, 2, 4, true, 1, {0, 0}, {"h", "c"}, {7, 2}, false},
    {"GAMMAFRAIL", false, 2, 4, true, 1, {1, 0}, {"h", "c"}, {7, 4}, false},
    {"GAUSSIAN", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"GENGAMMA", false, 3, 4, true, 1, {0, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"GENGUMBEL", false, 3, 4, true, 23, {0, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"GEOMETRIC", true, 1, 4, true, 1, {2}, {"p"}, {9}, false},
    {"GOMPERTZ", false, 2, 4, true, 1, {1, 23}, {"a1", "b1"}, {7, 11}, false},
    {"GUMBEL", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"HORSESHOE", false, 3, 4, true, 14, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"HYPERBOLICSECANT", false, 2, 4, true, 23, {23, 1}, {"a", "b"}, {4, 3}, false},
    {"HYPERGEOMETRIC", true, 3, 4, true, 16, {2, 15, 4}, {"p", "m", "n"}, {9, 6, 6}, false},
    {"HYPER2EXP", false, 3, 4, true, 1, {2, 1, 1}, {"p", "h1", "h2"}, {9, 7, 7}, false},
    {"HYPO2EXP", false, 2, 4, true, 1, {1, 1}, {"a", "b"}, {7, 7}, false},
    {"IMMUNE", true, 0, 4, false, 23, {}, {}, {}, false},
    {"INVBETA1", false, 3, 4, true, 1, {0, 0, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"INVBETA2", false, 3, 4, true, 1, {0, 0, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"INVCHI", false, 2, 4, true, 1, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"INVGAMMA", false, 2, 4, true, 1, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"INVGAUSSIAN", false, 2, 4, true, 0, {1, 1}, {"a", "b"}, {4, 3}, false},
    {"LAPLACE", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"LARGEEXTREME1", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"LARGEEXTREME2", false, 3, 4, true, 6, {23, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"LINEARHAZARD", false, 2, 4, true, 1, {0, 0}, {"a", "b"}, {7, 11}, false},
    {"LNGAMMA", false, 3, 4, true, 6, {0, 0, 5}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"LNLOGISTIC", false, 3, 4, true, 6, {23, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"LNNORMAL", false, 2, 4, true, 0, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"LOGISTIC", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"LOGNORMAL", false, 2, 4, true, 0, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"LOGSERIES", true, 1, 4, true, 4, {2}, {"p"}, {9}, false},
    {"LOWMAX", false, 3, 4, true, 10, {23, 1, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"MAKEHAM", false, 3, 4, true, 1, {1, 1, 23}, {"a1", "a2", "b2"}, {7, 11, 11}, false},
    {"MAXWELL", false, 2, 4, true, 1, {23, 1}, {"a", "b"}, {4, 3}, false},
    {"MIXMAKEHAM", false, 5, 4, true, 1, {2, 1, 1, 1, 1}, {"p", "a1", "a2", "a3", "b3"}, {9, 7, 7, 11, 11}, false},
    {"NEGBINOMIAL", true, 2, 4, true, 1, {2, 0}, {"p", "n"}, {9, 6}, false},
    {"NEGHYPERGEOMETRIC", true, 3, 4, true, 18, {2, 19, 0}, {"p", "m", "n"}, {9, 6, 6}, false},
    {"NORMAL", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"PARETO", false, 2, 4, true, 6, {0, 0}, {"a", "b"}, {4, 3}, false},
    {"PASCAL", true, 2, 4, true, 1, {2, 0}, {"p", "n"}, {9, 6}, false},
    {"POISSON", true, 1, 4, true, 1, {0}, {"a"}, {6}, false},
    {"POLYAEGGENBERGER", true, 3, 4, true, 20, {2, 21, 22}, {"p", "n", "c"}, {9, 6, 6}, false},
    {"POWERFUNCTION", false, 3, 4, true, 11, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"RAISEDCOSINE", false, 2, 4, true, 13, {23, 1}, {"a", "b"}, {4, 3}, false},
    {"RANDOMWALK", false, 2, 4, true, 0, {0, 1}, {"a", "b"}, {4, 3}, false},
    {"RAYLEIGH", false, 1, 4, true, 0, {0}, {"a"}, {4}, false},
    {"RECTANGULAR", false, 0, 4, true, 9, {}, {}, {}, false},
    {"REVPOWERFUNCTION", false, 3, 4, true, 11, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"RINGINGEXP0", false, 3, 4, true, 6, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"RINGINGEXP180", false, 3, 4, true, 6, {23, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"SHIFTEXPONENTIAL", false, 2, 4, true, 6, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"SHIFTGAMMA", false, 3, 4, true, 6, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"SHIFTLOGNORMAL", false, 3, 4, true, 6, {23, 1, 1}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"SHIFTWEIBULL", false, 3, 4, true, 6, {23, 1, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"SILER", false, 5, 4, true, 1, {1, 23, 23, 1, 23}, {"a1", "b1", "a2", "a3", "b3"}, {11, 11, 7, 11, 11}, false},
    {"SMALLEXTREME1", false, 2, 4, true, 23, {23, 0}, {"a", "b"}, {4, 3}, false},
    {"SMALLEXTREME2", false, 3, 4, true, 7, {23, 0, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"STERILE", true, 0, 4, false, 23, {}, {}, {}, false},
    {"STUDENTT", false, 1, 4, true, 23, {23}, {"a"}, {14}, false},
    {"SUBBOTIN", false, 3, 4, true, 23, {23, 1, 0}, {"a", "b", "c"}, {4, 3, 2}, false},
    {"THOMAS", true, 2, 4, true, 1, {0, 0}, {"a", "b"}, {6, 6}, false},
    {"UNIFORM", false, 0, 4, false, 9, {}, {}, {}, false},
    {"VONMISES", false, 2, 4, true, 17, {17, 0}, {"a", "b"}, {13, 3}, false},
    {"WEIBULL", false, 2, 4, true, 1, {1, 0}, {"a", "b"}, {3, 2}, false},
    {"ZIPF", true, 1, 4, true, 4, {0}, {"a"}, {4}, false},
}};
static_assert(static_cast<int>(Pdf::ZIPF) == kPdfCount);

constexpr std::array<std::string_view, 15> kRoleNames = {
    "?",           "Time",        "Shape",       "Scale",  "Location",
    "Rate",        "Count",       "Hazard",      "Hazard", "Proportion",
    "Correlation", "Age-dependent hazard", "Power", "Circular location", "Degrees of freedom"};

// {x} is the constrained name, {1}..{3} the PDF's first parameter names.
constexpr std::array<std::string_view, 24> kConstraints = {
    "0 < {x} < +oo",                        // 0
    "0 <= {x} < +oo",                       // 1
    "0 <= {x} <= 1",                        // 2
    "-1 <= {x} <= 1",                       // 3
    "1 <= {x} < +oo",                       // 4
    "-oo < {x} < +oo",                      // 5
    "{x} >= a",                             // 6
    "a >= {x}",                             // 7
    "0 <= {x} <= a",                        // 8
    "ta < {x} < tw",                        // 9
    "{x} >= {1} + {2}",                     // 10
    "{1} <= {x} <= {1} + {2}",              // 11
    "{x} >= {1} + 4*{2}",                   // 12
    "-pi < ({x} - {1})/{2} < pi",           // 13
    "{1} - {2} <= {x} <= {1} + {2}",        // 14
    "1 <= {2} <= {3}",                      // 15
    "max(0, m-n+n*p) <= t <= min(m, n*p)",  // 16
    "0 < {x} < 2*pi",                       // 17
    "", "", "", "", "",                     // 18..22: unknown
    "-oo < {x} < +oo",                      // 23
};

}  // namespace

const PdfInfo* pdfInfo(int code) {
  return code >= 1 && code <= kPdfCount ? &kPdfs[static_cast<std::size_t>(code - 1)] : nullptr;
}

const PdfInfo& pdfInfo(Pdf p) { return kPdfs[static_cast<std::size_t>(static_cast<int>(p) - 1)]; }

std::string_view paramRoleName(int role) {
  return role >= 0 && role < static_cast<int>(kRoleNames.size()) ? kRoleNames[static_cast<std::size_t>(role)]
                                                                   : kRoleNames[0];
}

std::string constraintText(int code, std::string_view x, const PdfInfo& pdf) {
  if (code < 0 || code >= static_cast<int>(kConstraints.size()) || kConstraints[static_cast<std::size_t>(code)].empty())
    return "Unknown constraints on " + std::string(x);
  std::string_view pattern = kConstraints[static_cast<std::size_t>(code)];
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '{') {
      const std::size_t close = pattern.find('}', i);
      const std::string_view key = pattern.substr(i + 1, close - i - 1);
      if (key == "x") {
        out += x;
      } else {
        out += pdf.paramNames[static_cast<std::size_t>(key[0] - '1')];
      }
      i = close;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace zav
