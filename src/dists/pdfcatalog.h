// The PDF catalog: the 84 named distributions a PDF expression can use,
// with their parameters, time variables and ranges. The 1-based row is the
// PDF number that PDF-family nodes carry.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zav {

enum class Pdf : int {
  ALPHA = 1,
  ARCSINE,
  ASYMPTOTICRANGE,
  ATRESIA,
  BERNOULLITRIAL,
  BETA,
  BINOMIAL,
  BIRNBAUMSAUNDERS,
  BIVNORMAL,
  CAUCHY,
  CHI,
  CHISQUARED,
  COMPOUNDEXTREME,
  DANIELS,
  DISK,
  EXPONENTIAL,
  F,
  FAILED,
  FDEPLETE,
  FL2PT,
  FOLDEDNORMAL,
  GAMMA,
  GAMMAFRAIL,
  GAUSSIAN,
  GENGAMMA,
  GENGUMBEL,
  GEOMETRIC,
  GOMPERTZ,
  GUMBEL,
  HORSESHOE,
  HYPERBOLICSECANT,
  HYPERGEOMETRIC,
  HYPER2EXP,
  HYPO2EXP,
  IMMUNE,
  INVBETA1,
  INVBETA2,
  INVCHI,
  INVGAMMA,
  INVGAUSSIAN,
  LAPLACE,
  LARGEEXTREME1,
  LARGEEXTREME2,
  LINEARHAZARD,
  LNGAMMA,
  LNLOGISTIC,
  LNNORMAL,
  LOGISTIC,
  LOGNORMAL,
  LOGSERIES,
  LOWMAX,
  MAKEHAM,
  MAXWELL,
  MIXMAKEHAM,
  NEGBINOMIAL,
  NEGHYPERGEOMETRIC,
  NORMAL,
  PARETO,
  PASCAL,
  POISSON,
  POLYAEGGENBERGER,
  POWERFUNCTION,
  RAISEDCOSINE,
  RANDOMWALK,
  RAYLEIGH,
  RECTANGULAR,
  REVPOWERFUNCTION,
  RINGINGEXP0,
  RINGINGEXP180,
  SHIFTEXPONENTIAL,
  SHIFTGAMMA,
  SHIFTLOGNORMAL,
  SHIFTWEIBULL,
  SILER,
  SMALLEXTREME1,
  SMALLEXTREME2,
  STERILE,
  STUDENTT,
  SUBBOTIN,
  THOMAS,
  UNIFORM,
  VONMISES,
  WEIBULL,
  ZIPF,
};

constexpr int kPdfCount = 84;
constexpr int kMaxPdfParams = 6;

// Printed names of the parameter roles.
enum class ParamRole : std::uint8_t {
  Unknown = 0,
  Time = 1,
  Shape = 2,
  Scale = 3,
  Location = 4,
  Rate = 5,
  Count = 6,
  Hazard = 7,
  Hazard2 = 8,
  Proportion = 9,
  Correlation = 10,
  AgeHazard = 11,
  Power = 12,
  CircularLocation = 13,
  DegreesOfFreedom = 14,
};

struct PdfInfo {
  std::string_view name;  // upper case, at most 17 characters
  bool discrete;
  std::uint8_t paramCount;  // intrinsic parameters, 0 to 5
  std::uint8_t varCount;    // time (data) variables: 4, or 8 for BIVNORMAL, 3 for ATRESIA and FDEPLETE
  bool hazard;              // a hazard multiplier may follow the parameters
  std::uint8_t timeRange;   // constraint code of the time variable
  std::array<std::uint8_t, kMaxPdfParams> paramRange;        // constraint code per parameter
  std::array<std::string_view, kMaxPdfParams> paramNames;    // a, b, c, p, n, ...
  std::array<std::uint8_t, kMaxPdfParams> paramRoles;        // ParamRole codes
  bool hidden;              // left out of the help listing of PDF names
};

// The row of a number; numbers outside 1..84 give nullptr.
const PdfInfo* pdfInfo(int code);
const PdfInfo& pdfInfo(Pdf p);
inline std::string_view pdfName(Pdf p) { return pdfInfo(p).name; }

// "Shape", "Age-dependent hazard", ...; "?" for an unknown code.
std::string_view paramRoleName(int role);

// The range of a constraint code as the catalog help prints it, with x the
// name of the variable or parameter and p1..p3 the PDF's first parameter
// names ("0 < a < +oo", "p1 <= x <= p1 + p2" ...).
std::string constraintText(int code, std::string_view x, const PdfInfo& pdf);

}  // namespace zav
