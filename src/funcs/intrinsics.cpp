#include "funcs/intrinsics.h"

#include <cmath>
#include <cstdio>

#include "core/error.h"
#include "core/interp.h"
#include "dists/distfuncs.h"
#include "dists/pdfcatalog.h"
#include "dists/pdfeval.h"
#include "dists/random.h"
#include "estimate/model.h"
#include "exec/filefuncs.h"
#include "funcs/arraystats.h"
#include "funcs/calculus.h"
#include "funcs/catalog.h"
#include "funcs/complex.h"
#include "funcs/dates.h"
#include "funcs/eval.h"
#include "funcs/mathlib.h"
#include "funcs/numtext.h"
#include "funcs/strings.h"

namespace zav {
namespace {

// Argument readers of one call node.
struct Args {
  Interp& in;
  const ExprNode* n;
  Real x(int i) const { return evalReal(in, n->children[static_cast<std::size_t>(i)]); }
  std::int32_t i(int k) const { return evalInteger(in, n->children[static_cast<std::size_t>(k)]); }
  bool b(int k) const { return evalBoolean(in, n->children[static_cast<std::size_t>(k)]); }
  Complex z(int k) const { return evalComplex(in, n->children[static_cast<std::size_t>(k)]); }
  std::string s(int k) const { return evalString(in, n->children[static_cast<std::size_t>(k)]); }
  char c(int k) const { return evalChar(in, n->children[static_cast<std::size_t>(k)]); }
};

Fn codeOf(const ExprNode* n) { return static_cast<Fn>(n->index); }

}  // namespace

Real libSqrt(Interp& in, Real x) { return mathSqrt(in, x); }

void checkMixProportion(Interp& in, Real p) {
  if (!(p >= 0 && p <= 1))
    ReportError(in, ErrCat::Math,
                "Bad Function MIX, p = " + realToText(in.set, p, 9, 4) + " should be > 0 and < 1 but = " +
                    realToText(in.set, p, in.set.realWidth, in.set.realDecimals));
}

bool libReal(Interp& in, const ExprNode* n, Real& out) {
  const Args a{in, n};
  switch (codeOf(n)) {
    case Fn::ABS: out = std::fabs(a.x(0)); return true;
    case Fn::ARCCOS: out = mathArcCos(in, a.x(0)); return true;
    case Fn::ARCCOSH: out = mathArcCosh(in, a.x(0)); return true;
    case Fn::ARCCOT: out = mathArcCot(in, a.x(0)); return true;
    case Fn::ARCCOTH: out = mathArcCoth(in, a.x(0)); return true;
    case Fn::ARCCSC: out = mathArcCsc(in, a.x(0)); return true;
    case Fn::ARCCSCH: out = mathArcCsch(in, a.x(0)); return true;
    case Fn::ARCSEC: out = mathArcSec(in, a.x(0)); return true;
    case Fn::ARCSECH: out = mathArcSech(in, a.x(0)); return true;
    case Fn::ARCSIN: out = mathArcSin(in, a.x(0)); return true;
    case Fn::ARCSINH: out = mathArcSinh(in, a.x(0)); return true;
    case Fn::ARCTAN: out = mathArcTan(in, a.x(0)); return true;
    case Fn::ARCTANH: out = mathArcTanh(in, a.x(0)); return true;
    case Fn::ARG: out = cxArg(in, Complex{a.x(0), 0}); return true;
    case Fn::RE: out = a.x(0); return true;
    case Fn::IM: out = 0; return true;
    case Fn::BESSELI: out = mathBesselI(in, a.x(0), a.x(1)); return true;
    case Fn::BESSELJ: out = mathBesselJ(in, a.x(0), a.x(1)); return true;
    case Fn::BESSELK: out = mathBesselK(in, a.x(0), a.x(1)); return true;
    case Fn::BESSELY: out = mathBesselY(in, a.x(0), a.x(1)); return true;
    case Fn::BETA: out = mathBeta(in, a.x(0), a.x(1)); return true;
    case Fn::CEIL: out = mathCeil(in, a.x(0)); return true;
    case Fn::CHISQ: out = distChiSq(in, a.x(0), a.x(1)); return true;
    case Fn::COMP: out = mathComp(in, a.x(0)); return true;
    case Fn::COMPN: out = mathCompN(in, a.x(0), a.x(1)); return true;
    case Fn::SIGN: out = mathSign(a.x(0), a.x(1)); return true;
    case Fn::STANDARDIZE: out = mathStandardize(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::COMB: out = mathComb(in, a.i(0), a.i(1)); return true;
    case Fn::COS: out = mathCos(in, a.x(0)); return true;
    case Fn::COSH: out = mathCosh(in, a.x(0)); return true;
    case Fn::COT: out = mathCot(in, a.x(0)); return true;
    case Fn::COTH: out = mathCoth(in, a.x(0)); return true;
    case Fn::CSC: out = mathCsc(in, a.x(0)); return true;
    case Fn::CSCH: out = mathCsch(in, a.x(0)); return true;
    case Fn::DMSTOD: out = mathDmsToD(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::DMSTOR: out = mathDmsToR(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::DTOR: out = mathDtoR(in, a.x(0)); return true;
    case Fn::EARTHDIST: out = mathEarthDist(in, a.x(0), a.x(1), a.x(2), a.x(3)); return true;
    case Fn::ERF: out = mathErf(in, a.x(0)); return true;
    case Fn::ERFC: out = mathErfc(in, a.x(0)); return true;
    case Fn::EXP: out = mathExp(in, a.x(0)); return true;
    case Fn::FACT: out = mathFact(in, a.x(0)); return true;
    case Fn::FDIST: out = distFDist(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::FISHER: out = mathFisher(in, a.x(0)); return true;
    case Fn::FISHERINV: out = mathFisherInv(in, a.x(0)); return true;
    case Fn::FLOOR: out = mathFloor(in, a.x(0)); return true;
    case Fn::FRAC: out = mathFrac(in, a.x(0)); return true;
    case Fn::GAMMA: out = mathGamma(in, a.x(0)); return true;
    case Fn::IBETA: out = mathIBeta(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::IBETAC: out = mathIBetaC(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::IGAMMA: out = mathIGamma(in, a.x(0), a.x(1)); return true;
    case Fn::IGAMMAC: out = mathIGammaC(in, a.x(0), a.x(1)); return true;
    case Fn::IGAMMAE: out = mathIGammaE(in, a.x(0), a.x(1)); return true;
    case Fn::INT: out = mathInt(in, a.x(0)); return true;
    case Fn::INVBETA: out = distInvBeta(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::INVCHISQ: out = distInvChiSq(in, a.x(0), a.x(1)); return true;
    case Fn::INVFDIST: out = distInvFDist(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::INVNORMAL: out = distInvNormal(in, a.x(0)); return true;
    case Fn::INVSTUDENTT: out = distInvStudentT(in, a.x(0), a.x(1)); return true;
    case Fn::LN:
    case Fn::LOG: out = mathLn(in, a.x(0)); return true;
    case Fn::LNFACT: out = mathLnFact(in, a.x(0)); return true;
    case Fn::LNGAMMA: out = mathLnGamma(in, a.x(0)); return true;
    case Fn::LOG10: out = mathLog10(in, a.x(0)); return true;
    case Fn::LOGBASE: out = mathLogBase(in, a.x(0), a.x(1)); return true;
    case Fn::LOGISTIC: out = mathLogistic(in, a.x(0)); return true;
    case Fn::LOGIT: out = mathLogit(in, a.x(0)); return true;
    case Fn::LUNARPHASE: out = dateLunarPhase(a.i(0)); return true;
    case Fn::NORMAL: out = distNormal(in, a.x(0)); return true;
    case Fn::NORMALCDF: out = distNormalCdf(in, a.x(0)); return true;
    case Fn::NOW: out = dateNow(in); return true;
    case Fn::PERMUTATIONS: out = mathPermutations(in, a.i(0), a.i(1)); return true;
    case Fn::POLARTORECTX: out = mathPolarToRectX(in, a.x(0), a.x(1)); return true;
    case Fn::POLARTORECTY: out = mathPolarToRectY(in, a.x(0), a.x(1)); return true;
    case Fn::POWER: out = mathPower(in, a.x(0), a.x(1)); return true;
    case Fn::RAND: out = randUniform(in); return true;
    case Fn::RECTTOPOLARA: out = mathRectToPolarA(in, a.x(0), a.x(1)); return true;
    case Fn::RECTTOPOLARR: out = mathRectToPolarR(in, a.x(0), a.x(1)); return true;
    case Fn::RECTTOSPHEREA1: out = mathRectToSphereA1(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::RECTTOSPHEREA2: out = mathRectToSphereA2(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::RECTTOSPHERER: out = mathRectToSphereR(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::REMAINDER: out = mathRemainder(in, a.x(0), a.x(1)); return true;
    case Fn::ROOT: out = mathRoot(in, a.x(0), a.x(1)); return true;
    case Fn::RRAND: out = randReal(in, a.x(0), a.x(1)); return true;
    case Fn::RTOD: out = mathRtoD(in, a.x(0)); return true;
    case Fn::SEC: out = mathSec(in, a.x(0)); return true;
    case Fn::SECH: out = mathSech(in, a.x(0)); return true;
    case Fn::SIN: out = mathSin(in, a.x(0)); return true;
    case Fn::SINH: out = mathSinh(in, a.x(0)); return true;
    case Fn::SPHERETORECTX: out = mathSphereToRectX(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::SPHERETORECTY: out = mathSphereToRectY(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::SPHERETORECTZ: out = mathSphereToRectZ(in, a.x(0), a.x(1), a.x(2)); return true;
    case Fn::SQR: out = mathSqr(in, a.x(0)); return true;
    case Fn::STRING2REAL: out = strToReal(in, a.s(0)); return true;
    case Fn::STUDENTT: out = distStudentT(in, a.x(0), a.x(1)); return true;
    case Fn::TAN: out = mathTan(in, a.x(0)); return true;
    case Fn::TANH: out = mathTanh(in, a.x(0)); return true;
    case Fn::ZETA: out = mathZeta(in, a.x(0)); return true;
    case Fn::VMAX:
    case Fn::VMEAN:
    case Fn::VMEDIAN:
    case Fn::VMIN_:
    case Fn::VQUANTILE:
    case Fn::VSTDEV:
    case Fn::VSUM:
    case Fn::VSUMSQ:
    case Fn::VVARIANCE: out = arrayStatReal(in, n); return true;
    default: return libFileReal(in, n, out);
  }
}

Real libRealOfComplex(Interp& in, const ExprNode* n) {
  const Complex z = evalComplex(in, n->children[0]);
  switch (codeOf(n)) {
    case Fn::ABS: return cxAbs(z);
    case Fn::ARG: return cxArg(in, z);
    case Fn::RE: return cxRe(z);
    case Fn::IM: return cxIm(z);
    default: ReportError(in, ErrCat::RunTime, "Calling real func " + std::string(functionInfo(codeOf(n)).name) + " with complex args");
  }
}

bool libInteger(Interp& in, const ExprNode* n, std::int32_t& out) {
  const Args a{in, n};
  switch (codeOf(n)) {
    case Fn::CLOCKSEED: out = clockSeed(in); return true;
    case Fn::DMYTOJ: out = dateDmyToJ(in, a.i(0), a.i(1), a.i(2)); return true;
    case Fn::GCF: out = mathGcf(in, a.i(0), a.i(1)); return true;
    case Fn::IRAND: out = randInt(in, a.i(0), a.i(1)); return true;
    case Fn::JULIAND: out = dateJulianD(a.i(0)); return true;
    case Fn::JULIANM: out = dateJulianM(a.i(0)); return true;
    case Fn::JULIANY: out = dateJulianY(a.i(0)); return true;
    case Fn::LCM: out = mathLcm(in, a.i(0), a.i(1)); return true;
    case Fn::MONTHDAYS: out = dateMonthDays(in, a.i(0), a.i(1)); return true;
    case Fn::ORD: out = strOrd(a.c(0)); return true;
    case Fn::POS: out = strPos(a.s(0), a.s(1)); return true;
    case Fn::STRING2INT: out = strToInt(in, a.s(0)); return true;
    case Fn::STRINGLEN: out = strLen(a.s(0)); return true;
    case Fn::TODAY: out = dateToday(in); return true;
    case Fn::WEEKDAY: out = dateWeekday(a.i(0)); return true;
    case Fn::YEARDAY: out = dateYearDay(in, a.i(0)); return true;
    case Fn::VMAX:
    case Fn::VMIN_: out = arrayExtremeInteger(in, n); return true;
    default: return libFileInteger(in, n, out);
  }
}

bool libBoolean(Interp& in, const ExprNode* n, bool& out) {
  const Args a{in, n};
  switch (codeOf(n)) {
    case Fn::ISPRIME: out = mathIsPrime(a.x(0)); return true;
    case Fn::LEAPYEAR: out = dateLeapYear(a.i(0)); return true;
    case Fn::FREEPARAM: out = isFreeParameter(in, n->children[0]->symbol); return true;
    default: return libFileBoolean(in, n, out);
  }
}

bool libComplex(Interp& in, const ExprNode* n, Complex& out) {
  const Args a{in, n};
  switch (codeOf(n)) {
    case Fn::ADD: out = cxAdd(a.z(0), a.z(1)); return true;
    case Fn::SUBTRACT: out = cxSub(a.z(0), a.z(1)); return true;
    case Fn::MULTIPLY: out = cxMul(a.z(0), a.z(1)); return true;
    case Fn::DIVIDE: out = cxDiv(a.z(0), a.z(1)); return true;
    case Fn::NEGATE: out = cxNeg(in, a.z(0)); return true;
    case Fn::INC: out = cxInc(in, a.z(0)); return true;
    case Fn::DEC: out = cxDec(in, a.z(0)); return true;
    case Fn::INVERT: out = cxInvert(in, a.z(0)); return true;
    case Fn::SQR: out = cxSqr(in, a.z(0)); return true;
    case Fn::SGN: out = cxUnit(in, a.z(0)); return true;
    case Fn::INT: out = cxInt(in, a.z(0)); return true;
    case Fn::FRAC: out = cxFrac(in, a.z(0)); return true;
    case Fn::FLOOR: out = cxFloor(in, a.z(0)); return true;
    case Fn::CEIL: out = cxCeil(in, a.z(0)); return true;
    case Fn::EXP: out = cxExp(in, a.z(0)); return true;
    case Fn::LN:
    case Fn::LOG: out = cxLn(in, a.z(0)); return true;
    case Fn::LOG10: out = cxLog10(in, a.z(0)); return true;
    case Fn::LOGBASE: out = cxLogBase(in, a.z(0), a.z(1)); return true;
    case Fn::POWER: out = cxPower(in, a.z(0), a.z(1)); return true;
    case Fn::ROOT: out = cxRoot(in, a.z(0), a.z(1)); return true;
    case Fn::SQRT: out = cxSqrt(in, a.z(0)); return true;
    case Fn::SIN: out = cxSin(in, a.z(0)); return true;
    case Fn::COS: out = cxCos(in, a.z(0)); return true;
    case Fn::TAN: out = cxTan(in, a.z(0)); return true;
    case Fn::COT: out = cxCot(in, a.z(0)); return true;
    case Fn::SEC: out = cxSec(in, a.z(0)); return true;
    case Fn::CSC: out = cxCsc(in, a.z(0)); return true;
    case Fn::SINH: out = cxSinh(in, a.z(0)); return true;
    case Fn::COSH: out = cxCosh(in, a.z(0)); return true;
    case Fn::TANH: out = cxTanh(in, a.z(0)); return true;
    case Fn::COTH: out = cxCoth(in, a.z(0)); return true;
    case Fn::SECH: out = cxSech(in, a.z(0)); return true;
    case Fn::CSCH: out = cxCsch(in, a.z(0)); return true;
    case Fn::ARCSIN: out = cxArcSin(in, a.z(0)); return true;
    case Fn::ARCCOS: out = cxArcCos(in, a.z(0)); return true;
    case Fn::ARCTAN: out = cxArcTan(in, a.z(0)); return true;
    case Fn::ARCCOT: out = cxArcCot(in, a.z(0)); return true;
    case Fn::ARCSEC: out = cxArcSec(in, a.z(0)); return true;
    case Fn::ARCCSC: out = cxArcCsc(in, a.z(0)); return true;
    case Fn::ARCSINH: out = cxArcSinh(in, a.z(0)); return true;
    case Fn::ARCCOSH: out = cxArcCosh(in, a.z(0)); return true;
    case Fn::ARCTANH: out = cxArcTanh(in, a.z(0)); return true;
    case Fn::ARCCOTH: out = cxArcCoth(in, a.z(0)); return true;
    case Fn::ARCSECH: out = cxArcSech(in, a.z(0)); return true;
    case Fn::ARCCSCH: out = cxArcCsch(in, a.z(0)); return true;
    case Fn::LOGISTIC: out = cxLogistic(in, a.z(0)); return true;
    case Fn::LOGIT: out = cxLogit(in, a.z(0)); return true;
    case Fn::FISHER: out = cxFisher(in, a.z(0)); return true;
    case Fn::FISHERINV: out = cxFisherInv(in, a.z(0)); return true;
    case Fn::MIX: {
      const Real p = a.x(0);
      checkMixProportion(in, p);
      const Complex w{p, 0}, rest{1 - p, 0};
      out = cxAdd(cxMul(w, a.z(1)), cxMul(rest, a.z(2)));
      return true;
    }
    case Fn::STANDARDIZE: {
      const Complex d = a.z(2);
      if (d.re == 0 && d.im == 0) checkNonZero(in, "STANDARDIZE arg 3", 0);
      out = cxDiv(cxSub(a.z(0), a.z(1)), d);
      return true;
    }
    case Fn::PUT: {
      out = a.z(0);
      std::printf("%s\n", complexToText(in.set, out, in.set.complexWidth, in.set.complexDecimals).c_str());
      return true;
    }
    case Fn::VMEAN:
    case Fn::VSTDEV:
    case Fn::VSUM:
    case Fn::VSUMSQ:
    case Fn::VVARIANCE: out = arrayStatComplex(in, n); return true;
    default: return false;
  }
}

bool libString(Interp& in, const ExprNode* n, std::string& out) {
  const Args a{in, n};
  switch (codeOf(n)) {
    case Fn::BOOL2STR: out = strBool2Str(a.b(0)); return true;
    case Fn::DELETESUBSTR: out = strDelete(a.s(0), a.i(1), a.i(2)); return true;
    case Fn::FORMATDATE: out = dateFormat(a.i(0), a.s(1)); return true;
    case Fn::INSERTSTR: out = strInsert(a.s(0), a.s(1), a.i(2)); return true;
    case Fn::INT2STR: out = strInt2Str(a.i(0)); return true;
    case Fn::LEFTSTRING: out = strLeft(a.s(0), a.i(1)); return true;
    case Fn::MONTHNAME: out = dateMonthName(a.i(0)); return true;
    case Fn::PADINT: out = strPadInt(a.i(0), a.i(1), a.c(2)); return true;
    case Fn::REAL2STR: out = strReal2Str(in.set, a.x(0), a.i(1), a.i(2)); return true;
    case Fn::RIGHTSTRING: out = strRight(a.s(0), a.i(1)); return true;
    case Fn::STRINGREPLACE: out = strReplace(a.s(0), a.s(1), a.s(2), a.b(3), a.b(4)); return true;
    case Fn::SUBSTRING: out = strSub(a.s(0), a.i(1), a.i(2)); return true;
    case Fn::TOBASE: out = strToBase(in, a.i(0), a.i(1)); return true;
    case Fn::TOLOWER: out = strToLower(a.s(0)); return true;
    case Fn::TOUPPER: out = strToUpper(a.s(0)); return true;
    case Fn::TRIM: out = strTrim(a.s(0)); return true;
    case Fn::TRIML: out = strTrimL(a.s(0)); return true;
    case Fn::TRIMR: out = strTrimR(a.s(0)); return true;
    case Fn::WEEKDAYNAME: out = dateWeekdayName(a.i(0)); return true;
    case Fn::VMAX:
    case Fn::VMIN_: out = arrayExtremeText(in, n); return true;
    default: return libFileString(in, n, out);
  }
}

bool libChar(Interp& in, const ExprNode* n, char& out) {
  if (codeOf(n) != Fn::CHR) return false;
  out = strChr(in, evalInteger(in, n->children[0]));
  return true;
}

bool libSpecialReal(Interp& in, const ExprNode* n, Real& out) {
  switch (n->kind) {
    case NodeKind::Integrate: out = calcIntegrate(in, n); return true;
    case NodeKind::Derivative: out = calcDerivative(in, n); return true;
    case NodeKind::Summation:
    case NodeKind::Product: out = calcSumOrProduct(in, n); return true;
    case NodeKind::FindZero: out = calcFindZero(in, n); return true;
    case NodeKind::FindMin: out = calcFindMin(in, n); return true;
    case NodeKind::Param: out = evalParamNode(in, n); return true;
    case NodeKind::Data:
    case NodeKind::PData: out = evalDataNode(in, n); return true;
    case NodeKind::Level:
    case NodeKind::LevelDelta: out = evalLevelNode(in, n); return true;
    case NodeKind::Pdf: out = evalPdfNode(in, n); return true;
    case NodeKind::PHazard:
    case NodeKind::PPdf:
    case NodeKind::Quantile:
    case NodeKind::Qdf: out = evalQuantileForm(in, n); return true;
    default: return false;
  }
}

void libPutReal(Interp& in, Real v) {
  std::printf("%s\n", realToText(in.set, v, in.set.realWidth, in.set.realDecimals).c_str());
}
void libPutInteger(Interp&, std::int32_t v) { std::printf("%d\n", v); }
void libPutBoolean(Interp&, bool v) { std::printf("%s\n", v ? "TRUE" : "FALSE"); }
void libPutString(Interp&, const std::string& v) { std::printf("%s\n", v.c_str()); }

std::string pdfNameOf(int code) {
  const PdfInfo* p = pdfInfo(code);
  return p ? std::string(p->name) : std::string();
}

}  // namespace zav
