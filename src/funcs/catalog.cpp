#include "funcs/catalog.h"

#include <array>
#include <cstdio>
#include <initializer_list>

#include "core/error.h"

namespace zav {
namespace {

using C = FnClass;

constexpr std::array<FunctionInfo, kFunctionCount> kFunctions = {{
    {"ABS", 1, "|x|, the absolute value of x", C::AbsoluteValue},
    {"ADD", 2, "x1 + x2", C::Addition},
    {"ANDF", 2, "x1 and x2", C::Logical},
    {"ARCCOS", 1, "the inverse cosine of x", C::RealOrComplexUnary},
    {"ARCCOSH", 1, "the inverse hyperbolic cosine of x", C::RealOrComplexUnary},
    {"ARCCOT", 1, "the inverse cotangent of x", C::RealOrComplexUnary},
    {"ARCCOTH", 1, "the inverse hyperbolic cotangent of x", C::RealOrComplexUnary},
    {"ARCCSC", 1, "the inverse cosecant of x", C::RealOrComplexUnary},
    {"ARCCSCH", 1, "the inverse hyperbolic cosecant of x", C::RealOrComplexUnary},
    {"ARCSEC", 1, "the inverse secant of x", C::RealOrComplexUnary},
    {"ARCSECH", 1, "the inverse hyperbolic secant of x", C::RealOrComplexUnary},
    {"ARCSIN", 1, "the inverse sin of x", C::RealOrComplexUnary},
    {"ARCSINH", 1, "the inverse hyperbolic sin of x", C::RealOrComplexUnary},
    {"ARCTAN", 1, "the inverse tangent of x", C::RealOrComplexUnary},
    {"ARCTANH", 1, "the inverse hyperbolic tangent of x", C::RealOrComplexUnary},
    {"ARG", 1, "the argument for complex number x", C::ComplexParts},
    {"ARGCOUNT", 0, "the number of command line arguments", C::IntegerConstant},
    {"ARGSTRING", 1, "the x-th command line argument", C::IntegerToString},
    {"BESSELI", 2, "the modified Bessel fcn I (integer order x1) of x2", C::RealBinary},
    {"BESSELJ", 2, "the Bessel fcn J (integer order x1) of real x2", C::RealBinary},
    {"BESSELK", 2, "the modified Bessel fcn K (integer order x1) of x2", C::RealBinary},
    {"BESSELY", 2, "the Bessel fcn Y (integer order x1) of x2", C::RealBinary},
    {"BETA", 2, "the Beta fcn for x1, x2", C::RealBinary},
    {"BOOL2STR", 1, "a string from boolean x", C::BooleanToString},
    {"CEIL", 1, "the least integer >= x", C::RealOrComplexUnary},
    {"CHISQ", 2, "area beyond x1 of a Chi^2 distribution with x2 d.f.", C::DistributionOfTwo},
    {"CHR", 1, "CHAR number x", C::IntegerToChar},
    {"CLOCKSEED", 0, "a seed based on date and time", C::IntegerConstant},
    {"COMB", 2, "combinations of x1 elements taken x2 at a time", C::IntegerPairToReal},
    {"COMP", 1, "the complement of x. SIGN(1-ABS(x), x)", C::RealUnary},
    {"COMPN", 2, "the x2 complement of x1. SIGN(x2-ABS(x1), x1)", C::RealBinary},
    {"CONCAT", 2, "2 strings concatinated", C::TextPair},
    {"COS", 1, "the cosine of x", C::RealOrComplexUnary},
    {"COSH", 1, "the hyperbolic cosine of x", C::RealOrComplexUnary},
    {"COT", 1, "the cotangent of x", C::RealOrComplexUnary},
    {"COTH", 1, "the hyperbolic cotangent of x", C::RealOrComplexUnary},
    {"CSC", 1, "the cosecant of x", C::RealOrComplexUnary},
    {"CSCH", 1, "the hyperbolic cosecant of x", C::RealOrComplexUnary},
    {"DEC", 1, "x - 1", C::SameType},
    {"DEFAULTOUTNAME", 0, "a reasonable output file name", C::StringConstant},
    {"DEFAULTPLOTNAME", 0, "a reasonable plot file name", C::StringConstant},
    {"DELETESUBSTR", 3, "x1 with x3 chars removed starting at x2", C::Substring},
    {"DELTA", 2, "Kronecker's delta. 1 if x1=x2 else 0", C::Kronecker},
    {"DIREXISTS", 1, "whether or not directory x exists", C::TextTests},
    {"DIVIDE", 2, "x1/x2", C::RealBinary},
    {"DMSTOD", 3, "degrees from degrees, minutes, and seconds", C::RealTernary},
    {"DMSTOR", 3, "radians from degrees, minutes, and seconds", C::RealTernary},
    {"DMYTOJ", 3, "Julian day from day, month, and year", C::IntegerTriple},
    {"DTOR", 1, "radians from degrees", C::RealUnary},
    {"EARTHDIST", 4, "distance on earth (in km) between lat1 long1 lat2 long2", C::FourReals},
    {"ENVCOUNT", 0, "the number of environment variables", C::IntegerConstant},
    {"ENVSTRING", 1, "the x-th environment variable", C::IntegerToString},
    {"EOF", 1, "TRUE when FILE x is at the end of file", C::FileTests},
    {"EOLN", 1, "TRUE when FILE x is at end of a line", C::FileTests},
    {"ERF", 1, "the error fcn", C::RealUnary},
    {"ERFC", 1, "the complementary error fcn", C::RealUnary},
    {"EXEC", 2, "OS exit code. Exectutes OS command X1 w/ options X2", C::Command},
    {"EXISTS", 1, "whether or not a file exists", C::TextTests},
    {"EXP", 1, "e^x", C::RealOrComplexUnary},
    {"FACT", 1, "x!", C::RealUnary},
    {"FDIST", 3, "area past x1 of a F dist (x2, x3 df)", C::DistributionOfThree},
    {"FILESIZE", 1, "size of file x", C::TextToInteger},
    {"FINDFIRST", 2, "first file matching path x1 and attributes x2", C::StringAndCount},
    {"FINDNEXT", 0, "next file in search started by FINDFIRST", C::StringConstant},
    {"FISHER", 1, "Fisher transform ln((1+x)/(1-x))/2", C::RealOrComplexUnary},
    {"FISHERINV", 1, "inverse Fisher transf. (exp(2x)-1)/(exp(2x)+1)", C::RealOrComplexUnary},
    {"FLOOR", 1, "the greatest integer <= x", C::RealOrComplexUnary},
    {"FORK", 0, "a child pid after forking a process (or 0 for child)", C::IntegerConstant},
    {"FORMATDATE", 2, "Date x1 (integer) formatted as string x2", C::DateFormatting},
    {"FRAC", 1, "the fractional part of x", C::RealOrComplexUnary},
    {"FREEPARAM", 1, "true if x is a free model parameter", C::ParameterTest},
    {"FSEARCH", 2, "full pathname of file x1 in directory list x2", C::TextPair},
    {"GAMMA", 1, "the gamma fcn", C::RealUnary},
    {"GCF", 2, "the greatest common factor of x1 and x2", C::IntegerPair},
    {"GETDIR", 0, "the current directory name", C::StringConstant},
    {"GETENV", 1, "the value of environment variable x", C::TextToText},
    {"GETFILEATTR", 1, "the attributes of the file named x", C::TextToInteger},
    {"GETFILEBNAME", 1, "the base file name for file name x", C::TextToText},
    {"GETFILEDRIVE", 1, "the drive letter for file name x", C::TextToText},
    {"GETFILEEXT", 1, "the file extension for file name x", C::TextToText},
    {"GETFILEPATH", 1, "the file path for file name x", C::TextToText},
    {"GETPID", 0, "the current process ID", C::IntegerConstant},
    {"GETPPID", 0, "the parent process ID", C::IntegerConstant},
    {"HEAVISIDE", 1, "1 if x>=0 else 0", C::Step},
    {"IBETA", 3, "the incomplete beta fcn", C::RealTernary},
    {"IBETAC", 3, "the complement of the incomplete beta fcn", C::RealTernary},
    {"IDIV", 2, "x1 div x2", C::IntegerPair},
    {"IGAMMA", 2, "the incomplete gamma fcn", C::DistributionOfTwo},
    {"IGAMMAC", 2, "the complement of the incomplete gamma fcn", C::DistributionOfTwo},
    {"IGAMMAE", 2, "IGAMMA(x1, x2)*ROOT(x2, x1)", C::DistributionOfTwo},
    {"IM", 1, "imaginary part of complex number x as a real", C::ComplexParts},
    {"INC", 1, "x + 1", C::SameType},
    {"INT", 1, "the integer part of x", C::RealOrComplexUnary},
    {"INT2STR", 1, "a string from x", C::IntegerToString},
    {"INVBETA", 3, "the inverse BETA with prob x1, arguments x2, x3", C::DistributionOfThree},
    {"INVCHISQ", 2, "the inverse chisq with probability x1 (x2 df)", C::DistributionOfTwo},
    {"INVERT", 1, "1/x", C::RealOrComplexUnary},
    {"INVFDIST", 3, "inverse F dist with probability x1 (x2, x3 df)", C::DistributionOfThree},
    {"INVNORMAL", 1, "inverse standard normal with probability x", C::RealUnary},
    {"INVSTUDENTT", 2, "inverse Student T with probability x1 (x2 df)", C::DistributionOfTwo},
    {"IRAND", 2, "a random integer from x1 to x2", C::IntegerPair},
    {"ISANINFINITY", 1, "true if x is oo or -oo", C::RealTests},
    {"ISEQ", 2, "x1 = x2", C::Equality},
    {"INSERTSTR", 3, "string x1 with x2 inserted at position x3", C::Insertion},
    {"ISEVEN", 1, "TRUE if integer x is even", C::IntegerTests},
    {"ISGE", 2, "x1 >= x2", C::Order},
    {"ISGT", 2, "x1 > x2", C::Order},
    {"ISINFINITY", 1, "true if x is oo", C::RealTests},
    {"ISLE", 2, "x1 <= x2", C::Order},
    {"ISLT", 2, "x1 < x2", C::Order},
    {"ISNAN", 1, "true if x is not a number (NaN)", C::RealTests},
    {"ISNE", 2, "x1 <> x2", C::Equality},
    {"ISNEAR", 3, "TRUE if x1 is in [x2-x3, x2+x3] else FALSE", C::Nearness},
    {"ISNEGINFINITY", 1, "true if x is -oo", C::RealTests},
    {"ISODD", 1, "TRUE if integer x is odd", C::IntegerTests},
    {"ISPRIME", 1, "true if x is a prime number", C::RealTests},
    {"JULIAND", 1, "the day of the month for a julian day", C::IntegerUnary},
    {"JULIANM", 1, "the month for a julian day", C::IntegerUnary},
    {"JULIANY", 1, "the year for a julian day", C::IntegerUnary},
    {"LCM", 2, "the least common multiple of x1 and x2", C::IntegerPair},
    {"LEAPYEAR", 1, "TRUE if x is a leap year", C::IntegerTests},
    {"LEFTSTRING", 2, "the leftmost x2 characters of string x1", C::StringAndCount},
    {"LN", 1, "the natural (Naperian) log of x (also LOG)", C::RealOrComplexUnary},
    {"LNFACT", 1, "ln(x!)", C::RealUnary},
    {"LNGAMMA", 1, "ln(gamma(x))", C::RealUnary},
    {"LOG", 1, "the natural (Naperian) log of x (also LN)", C::RealOrComplexUnary},
    {"LOG10", 1, "the log (base 10) of x", C::RealOrComplexUnary},
    {"LOGBASE", 2, "the log (base x2) of x1", C::RealBinary},
    {"LOGISTIC", 1, "1/(1 + exp(x)) (its complement if alt_logistic=true)", C::RealOrComplexUnary},
    {"LOGIT", 1, "ln(x/(1 - x))", C::RealOrComplexUnary},
    {"LUNARPHASE", 1, "approximate phase of the moon", C::IntegerToReal},
    {"MAX", 2, "the greatest of x1 and x2", C::OrderedBinary},
    {"MIN", 2, "the least of x1 and x2", C::OrderedBinary},
    {"MIX", 3, "x1*x2 + (1 - x1)*x3", C::Mixture},
    {"MODULO", 2, "integer mod function", C::IntegerPair},
    {"MONTHDAYS", 2, "number of days for month x1 and year x2", C::IntegerPair},
    {"MONTHNAME", 1, "name of month (for x from -12 to 12", C::IntegerToString},
    {"MULTIPLY", 2, "x1*x2", C::NumericBinary},
    {"NEGATE", 1, "-x", C::SameType},
    {"NORMAL", 1, "normal pdf at x", C::RealUnary},
    {"NORMALCDF", 1, "normal cdf at x", C::RealUnary},
    {"NOW", 0, "seconds since the year 0", C::RealConstant},
    {"NOTF", 1, "NOT x", C::Negation},
    {"ORD", 1, "the ordinal value of char x", C::TextToInteger},
    {"ORF", 2, "x1 or x2", C::Logical},
    {"PADINT", 3, "integer x1 left padded to width x2 with char x3", C::Padding},
    {"PERMUTATIONS", 2, "permutations: x1 taken x2 at a time: x1!/(x1 - x2)!", C::IntegerPairToReal},
    {"POLARTORECTX", 2, "rectangular x from 2 polar coords", C::RealBinary},
    {"POLARTORECTY", 2, "rectangular y from 2 polar coords", C::RealBinary},
    {"POS", 2, "starting position of string x2 in x1", C::StringSearch},
    {"POWER", 2, "x1 to the power x2. x1^x2", C::RealBinary},
    {"PUT", 1, "x and writes it to output", C::Echo},
    {"RAND", 0, "random number from 0 to 1", C::RealConstant},
    {"RE", 1, "real part of complex x", C::ComplexParts},
    {"REAL2STR", 3, "a string from real x1, width x2, x3+ sig. digits", C::NumberFormatting},
    {"RECTTOPOLARA", 2, "polar angle from 2 rectangular coords", C::RealBinary},
    {"RECTTOPOLARR", 2, "polar radius from 2 rectangular coords", C::RealBinary},
    {"RECTTOSPHEREA1", 3, "spherical angle1 from 3 rectangular coords", C::RealTernary},
    {"RECTTOSPHEREA2", 3, "spherical angle2 from 3 rectangular coords", C::RealTernary},
    {"RECTTOSPHERER", 3, "spherical radius from 3 rectangular coords", C::RealTernary},
    {"REMAINDER", 2, "remainder: x1 - x2*int(x1/x2) if x2 <> 0, else 0", C::RealOrComplexUnary},
    {"RIGHTSTRING", 2, "the rightmost x2 characters of string x1", C::StringAndCount},
    {"ROOT", 2, "x1 to the power 1/x2", C::RealBinary},
    {"ROUND", 1, "x rounded to the nearest integer", C::Rounding},
    {"RRAND", 2, "a real random number from x1 to x2", C::RealBinary},
    {"RTOD", 1, "degrees from radians", C::RealUnary},
    {"SEC", 1, "the secant of x", C::RealOrComplexUnary},
    {"SECH", 1, "the hyperbolic secant of x", C::RealOrComplexUnary},
    {"SETRANSFORM", 1, "SE of x within a MODEL", C::RealUnary},
    {"SGN", 1, "1 (x>0), 0 (x=0), -1 (x<0)", C::Sign},
    {"SHIFTLEFT", 2, "x1 bit-shifted x2 bits to the left", C::IntegerPair},
    {"SHIFTRIGHT", 2, "x1 bit-shifted x2 bits to the left", C::IntegerPair},
    {"SIGN", 2, "x1 with the same sign of x2", C::SignTransfer},
    {"SIN", 1, "the sine of x", C::RealOrComplexUnary},
    {"SINH", 1, "the hyperbolic sine of x", C::RealOrComplexUnary},
    {"SPHERETORECTX", 3, "rectangular x from 3 spherical coords", C::RealTernary},
    {"SPHERETORECTY", 3, "rectangular y from 3 spherical coords", C::RealTernary},
    {"SPHERETORECTZ", 3, "rectangular z from 3 spherical coords", C::RealTernary},
    {"SQR", 1, "x squared", C::RealOrComplexUnary},
    {"SQRT", 1, "the square root of x", C::RealOrComplexUnary},
    {"STANDARDIZE", 3, "(x1 - x2)/x3", C::RealTernary},
    {"STRINGLEN", 1, "length of string x", C::TextToInteger},
    {"STRINGREPLACE", 5, "x1 with x3 replacing x2; x4=first only; x5=case sensitive", C::Replacement},
    {"STRING2INT", 1, "an integer from string x", C::TextToInteger},
    {"STRING2REAL", 1, "a real from string x", C::TextToReal},
    {"STUDENTT", 2, "area past x1 of a Student T dist (x2 df)", C::DistributionOfTwo},
    {"SUBSTRING", 3, "substring of x1 from position x2, length x3", C::Substring},
    {"SUBTRACT", 2, "x1 - x2", C::NumericBinary},
    {"TAN", 1, "the tangent of x", C::RealOrComplexUnary},
    {"TANH", 1, "the hyperbolic tangent of x", C::RealOrComplexUnary},
    {"TOBASE", 2, "x1 as a string in base x2", C::BaseConversion},
    {"TODAY", 0, "today's date", C::IntegerConstant},
    {"TOLOWER", 1, "lower case string", C::TextToText},
    {"TOUPPER", 1, "upper case string", C::TextToText},
    {"TRIM", 1, "x1 trimmed of leading and trailing spaces", C::TextToText},
    {"TRIML", 1, "x1 trimmed on leading spaces", C::TextToText},
    {"TRIMR", 1, "x1 trimmed of trailing spaces", C::TextToText},
    {"TRUNC", 1, "integer part of real number x", C::Rounding},
    {"VMAX", 1, "maximum value in array x", C::ArrayExtreme},
    {"VMEAN", 2, "mean of array x1 weighted by x2", C::RealBinary},
    {"VMEDIAN", 2, "median of array x1 weighted by x2", C::RealPair},
    {"VMIN", 1, "minimum value in array x", C::ArrayExtreme},
    {"VQUANTILE", 3, "x3-th Quantile of array x1 weighted by x2", C::DistributionOfThree},
    {"VSTDEV", 2, "standard deviation of array x1 weighted by x2", C::RealBinary},
    {"VSUM", 2, "sum of array x1 weighted by x2", C::RealBinary},
    {"VSUMSQ", 2, "sum of squares of array x1 weighted by x2", C::RealBinary},
    {"VVARIANCE", 2, "variance (w/bias correction) of array x1 weighted by x2", C::RealBinary},
    {"WAITPID", 1, "status.  Waits for child x (pid) to return", C::IntegerUnary},
    {"WEEKDAY", 1, "day of the week (Sun=1 Mon=2...) for a julian day", C::IntegerUnary},
    {"WEEKDAYNAME", 1, "name the week for x from -7 to 7", C::IntegerToString},
    {"XORF", 2, "x1 xor x2", C::Logical},
    {"YEARDAY", 1, "day of the year (1-jan = 1...) for a julian day", C::IntegerUnary},
    {"ZETA", 1, "Riemann's zeta = sum k (1 to oo) of 1/k^x", C::RealOrComplexUnary},
}};

static_assert(static_cast<int>(Fn::ZETA) == kFunctionCount);
static_assert(static_cast<int>(Fn::ISEQ) == 103 && static_cast<int>(Fn::INSERTSTR) == 104);

constexpr TypeSet kChar = typeBit(ValueType::Char);
constexpr TypeSet kBool = typeBit(ValueType::Boolean);
constexpr TypeSet kInt = typeBit(ValueType::Integer);
constexpr TypeSet kReal = typeBit(ValueType::Real);
constexpr TypeSet kCplx = typeBit(ValueType::Complex);
constexpr TypeSet kStr = typeBit(ValueType::String);
constexpr TypeSet kFile = typeBit(ValueType::File);
constexpr TypeSet kNumeric = kInt | kReal;
constexpr TypeSet kText = kChar | kStr;

constexpr bool within(TypeSet s, TypeSet allowed) { return s != 0 && (s & ~allowed) == 0; }

CallTyping success(ValueType result, ValueType op) {
  CallTyping r;
  r.ok = true;
  r.result = result;
  r.op = op;
  return r;
}

CallTyping failure(TypeSet found, TypeSet expected) {
  CallTyping r;
  r.found = found;
  r.expected = expected;
  return r;
}

ValueType arg(std::span<const ValueType> a, std::size_t i) { return i < a.size() ? a[i] : ValueType::Undef; }

TypeSet setOf(std::span<const ValueType> a) {
  TypeSet s = 0;
  for (ValueType t : a) s |= typeBit(t);
  return s;
}

// Each argument position admits its own set; the first argument outside its
// set is the one the error names.
bool positional(std::span<const ValueType> a, std::initializer_list<TypeSet> want, CallTyping& bad) {
  std::size_t i = 0;
  for (TypeSet w : want) {
    const TypeSet t = typeBit(arg(a, i++));
    if (!(t & w)) {
      bad = failure(t, w);
      return false;
    }
  }
  return true;
}

CallTyping positionalCall(std::span<const ValueType> a, std::initializer_list<TypeSet> want, ValueType result,
                          ValueType op) {
  CallTyping bad;
  return positional(a, want, bad) ? success(result, op) : bad;
}

CallTyping withResult(CallTyping r, ValueType result) {
  if (r.ok) r.result = result;
  return r;
}

}  // namespace

const FunctionInfo& functionInfo(int code) {
  static constexpr FunctionInfo kNoFunction{"", 0, "", FnClass::Echo};
  return code >= 1 && code <= kFunctionCount ? kFunctions[static_cast<std::size_t>(code - 1)] : kNoFunction;
}

std::string functionHelpLine(Fn f) {
  const FunctionInfo& info = functionInfo(f);
  std::string line(info.name);
  if (info.argCount == 1) {
    line += "(x)";
  } else if (info.argCount > 1) {
    line += '(';
    for (int i = 1; i <= info.argCount; ++i) {
      if (i > 1) line += ", ";
      line += 'x' + std::to_string(i);
    }
    line += ')';
  }
  line += " returns ";
  line += info.description;
  return line;
}

CallTyping pairRule(TypeSet s, TypeSet a) {
  using V = ValueType;
  if ((a & kInt) && s == kInt) return success(V::Integer, V::Integer);
  if ((a & kReal) && s == kInt) return success(V::Real, V::Integer);
  if ((a & kReal) && (s == kReal || s == (kInt | kReal))) return success(V::Real, V::Real);
  // The complex rules take numbers only: an INTEGER beside a STRING or a
  // BOOLEAN is a type error, not a COMPLEX value.
  const bool numbers = within(s, kNumeric | kCplx);
  if ((a & kCplx) && numbers && (s & kCplx)) return success(V::Complex, V::Complex);
  if ((a & kCplx) && numbers && (s & kReal)) return success(V::Complex, V::Real);
  if ((a & kCplx) && numbers && (s & kInt)) return success(V::Complex, V::Integer);
  if ((a & kBool) && s == kBool) return success(V::Boolean, V::Boolean);
  if ((a & kChar) && s == kChar) return success(V::String, V::String);
  if ((a & kStr) && (s == kChar || s == (kChar | kStr) || s == kStr)) return success(V::String, V::Char);
  return failure(s, a);
}

// Functions whose class admits COMPLEX but that have no complex branch:
// typed as if their class admitted only the real types, so a COMPLEX
// argument is refused while the program is read.
bool realOnly(Fn f) {
  switch (f) {
    case Fn::REMAINDER: case Fn::ZETA:
    case Fn::BESSELI: case Fn::BESSELJ: case Fn::BESSELK: case Fn::BESSELY: case Fn::BETA: case Fn::COMPN:
    case Fn::POLARTORECTX: case Fn::POLARTORECTY: case Fn::RECTTOPOLARA: case Fn::RECTTOPOLARR: case Fn::RRAND:
    case Fn::DMSTOD: case Fn::DMSTOR: case Fn::IBETA: case Fn::IBETAC: case Fn::RECTTOSPHEREA1:
    case Fn::RECTTOSPHEREA2: case Fn::RECTTOSPHERER: case Fn::SPHERETORECTX: case Fn::SPHERETORECTY:
    case Fn::SPHERETORECTZ:
      return true;
    default: return false;
  }
}

CallTyping typeFunctionCall(Fn f, std::span<const ValueType> a) {
  using V = ValueType;
  const TypeSet cplx = realOnly(f) ? 0 : kCplx;
  const V x = arg(a, 0);
  const TypeSet xs = typeBit(x);
  const TypeSet all = setOf(a);
  switch (functionInfo(f).cls) {
    case C::RealOrComplexUnary:
      // Every argument is checked: REMAINDER belongs here with two.
      if (!within(all, kNumeric | cplx)) return failure(all, kNumeric | cplx);
      return (all & kCplx) ? success(V::Complex, V::Complex) : success(V::Real, V::Real);
    case C::AbsoluteValue:
      if (x == V::Integer) return success(V::Integer, V::Integer);
      if (x == V::Real) return success(V::Real, V::Real);
      if (x == V::Complex) return success(V::Real, V::Complex);
      return failure(xs, kNumeric | kCplx);
    case C::Addition: return pairRule(all, kBool | kNumeric | kCplx | kStr);
    case C::Logical: return pairRule(all, kBool | kInt);
    case C::Negation:
      if (x == V::Boolean || x == V::Integer) return success(x, x);
      return failure(xs, kBool);
    case C::ComplexParts:
      if (x == V::Complex) return success(V::Real, V::Complex);
      if (xs & kNumeric) return success(V::Real, V::Real);
      return failure(xs, kNumeric | kCplx);
    case C::IntegerConstant: return success(V::Integer, V::Integer);
    case C::RealConstant: return success(V::Real, V::Real);
    case C::StringConstant: return success(V::String, V::String);
    case C::IntegerToString: return positionalCall(a, {kInt}, V::String, V::Integer);
    case C::RealBinary: return pairRule(all, kReal | cplx);
    case C::NumericBinary: return pairRule(all, kNumeric | kCplx);
    case C::OrderedBinary: return pairRule(all, kBool | kNumeric | kStr);
    case C::SignTransfer: {
      CallTyping r = pairRule(all, kNumeric);
      return withResult(r, x);
    }
    case C::RealPair: return pairRule(all, kReal);
    case C::DistributionOfTwo: return positionalCall(a, {kNumeric, kNumeric}, V::Real, V::Real);
    case C::DistributionOfThree: return withResult(pairRule(all, kReal), V::Real);
    case C::RealTernary: return pairRule(all, kReal | cplx);
    case C::Mixture: {
      CallTyping bad;
      if (!positional(a, {kNumeric}, bad)) return bad;
      return pairRule(arg(a, 1), arg(a, 2), kReal | kCplx);
    }
    case C::FourReals: return positionalCall(a, {kNumeric, kNumeric, kNumeric, kNumeric}, V::Real, V::Real);
    case C::RealUnary: return positionalCall(a, {kNumeric}, V::Real, V::Real);
    case C::IntegerPairToReal: return positionalCall(a, {kInt, kInt}, V::Real, V::Integer);
    case C::IntegerPair: return pairRule(all, kInt);
    case C::IntegerUnary: return positionalCall(a, {kInt}, V::Integer, V::Integer);
    case C::IntegerTriple: return positionalCall(a, {kInt, kInt, kInt}, V::Integer, V::Integer);
    case C::IntegerToReal: return positionalCall(a, {kInt}, V::Real, V::Integer);
    case C::SameType:
      if (xs & (kNumeric | kCplx)) return success(x, x);
      return failure(xs, kNumeric | kCplx);
    case C::Echo: return success(x, x);
    case C::ArrayExtreme:
      if (xs & (kChar | kStr | kNumeric)) return success(x, x);
      return failure(xs, kChar | kStr | kNumeric);
    case C::Step: return positionalCall(a, {kNumeric}, V::Integer, V::Real);
    case C::Sign:
      if (x == V::Complex) return success(V::Complex, V::Complex);
      if (xs & kNumeric) return success(V::Integer, V::Real);
      return failure(xs, kNumeric | kCplx);
    case C::Rounding:
      // An INTEGER argument is taken as the REAL it converts to.
      if (xs & (kNumeric | kCplx)) return success(V::Integer, (xs & kCplx) ? x : V::Real);
      return failure(xs, kReal | kCplx);
    case C::RealTests: return positionalCall(a, {kNumeric}, V::Boolean, V::Real);
    case C::IntegerTests: return positionalCall(a, {kInt}, V::Boolean, V::Integer);
    case C::Equality: return withResult(pairRule(all, kBool | kNumeric | kCplx | kStr), V::Boolean);
    case C::Order: return withResult(pairRule(all, kBool | kNumeric | kStr), V::Boolean);
    case C::Nearness: return withResult(pairRule(all, kReal), V::Boolean);
    case C::Kronecker: return withResult(pairRule(all, kChar | kBool | kNumeric | kCplx | kStr), V::Integer);
    case C::ParameterTest: return positionalCall(a, {kReal}, V::Boolean, V::Real);
    case C::FileTests: return positionalCall(a, {kFile}, V::Boolean, V::File);
    case C::BooleanToString: return positionalCall(a, {kBool}, V::String, V::Boolean);
    case C::IntegerToChar: return positionalCall(a, {kInt}, V::Char, V::Integer);
    case C::TextTests: return positionalCall(a, {kText}, V::Boolean, V::String);
    case C::TextToInteger: return positionalCall(a, {kText}, V::Integer, V::String);
    case C::TextToReal: return positionalCall(a, {kText}, V::Real, V::String);
    case C::TextToText: return positionalCall(a, {kText}, V::String, V::String);
    case C::TextPair: return pairRule(all, kStr);
    case C::Command: return positionalCall(a, {kText, kText}, V::Integer, V::String);
    // A CHAR is a one-character STRING and an INTEGER converts to REAL, as
    // in assignment: fixed STRING and REAL positions take them too.
    case C::StringAndCount: return positionalCall(a, {kText, kInt}, V::String, V::String);
    case C::StringSearch: return positionalCall(a, {kText, kText}, V::Integer, V::String);
    case C::Substring: return positionalCall(a, {kText, kInt, kInt}, V::String, V::String);
    case C::Insertion: return positionalCall(a, {kText, kText, kInt}, V::String, V::String);
    case C::Replacement: return positionalCall(a, {kText, kText, kText, kBool, kBool}, V::String, V::String);
    case C::DateFormatting: return positionalCall(a, {kInt, kText}, V::String, V::Integer);
    case C::NumberFormatting: return positionalCall(a, {kNumeric, kInt, kInt}, V::String, V::Real);
    case C::Padding: return positionalCall(a, {kInt, kInt, kChar}, V::String, V::Integer);
    case C::BaseConversion: return positionalCall(a, {kInt, kInt}, V::String, V::Integer);
  }
  return failure(all, 0);
}

std::string typeListText(TypeSet set) {
  std::string out;
  for (int t = 0; t < kValueTypeCount; ++t) {
    if (set & (TypeSet{1} << t)) {
      out += ' ';
      out += typeName(static_cast<ValueType>(t));
    }
  }
  out += ' ';
  return out;
}

void badArgTypeTo(Interp& in, std::string_view what, TypeSet found, TypeSet expected) {
  std::string msg = "Bad argument type to " + std::string(what) + ". Found: " + typeListText(found) +
                    ". Expected: " + typeListText(expected);
  ReportError(in, ErrCat::Parser, msg);
}

void badFunctionArgType(Interp& in, Fn f, TypeSet found, TypeSet expected) {
  std::printf("%s\n", functionHelpLine(f).c_str());
  badArgTypeTo(in, "function " + std::string(functionName(f)), found, expected);
}

}  // namespace zav
