// The intrinsic function catalog: names, argument counts, help texts and
// the typing rules that give every call its result and operand type.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "symbols/value.h"

namespace zav {

struct Interp;

// FunctionCode: the 1-based row of the catalog. Operators are calls too
// (a + b is ADD). EOF_ and VMIN_ are EOF and VMIN, whose plain names are
// macros of the C library and of termios.
enum class Fn : int {
  ABS = 1,
  ADD,
  ANDF,
  ARCCOS,
  ARCCOSH,
  ARCCOT,
  ARCCOTH,
  ARCCSC,
  ARCCSCH,
  ARCSEC,
  ARCSECH,
  ARCSIN,
  ARCSINH,
  ARCTAN,
  ARCTANH,
  ARG,
  ARGCOUNT,
  ARGSTRING,
  BESSELI,
  BESSELJ,
  BESSELK,
  BESSELY,
  BETA,
  BOOL2STR,
  CEIL,
  CHISQ,
  CHR,
  CLOCKSEED,
  COMB,
  COMP,
  COMPN,
  CONCAT,
  COS,
  COSH,
  COT,
  COTH,
  CSC,
  CSCH,
  DEC,
  DEFAULTOUTNAME,
  DEFAULTPLOTNAME,
  DELETESUBSTR,
  DELTA,
  DIREXISTS,
  DIVIDE,
  DMSTOD,
  DMSTOR,
  DMYTOJ,
  DTOR,
  EARTHDIST,
  ENVCOUNT,
  ENVSTRING,
  EOF_,
  EOLN,
  ERF,
  ERFC,
  EXEC,
  EXISTS,
  EXP,
  FACT,
  FDIST,
  FILESIZE,
  FINDFIRST,
  FINDNEXT,
  FISHER,
  FISHERINV,
  FLOOR,
  FORK,
  FORMATDATE,
  FRAC,
  FREEPARAM,
  FSEARCH,
  GAMMA,
  GCF,
  GETDIR,
  GETENV,
  GETFILEATTR,
  GETFILEBNAME,
  GETFILEDRIVE,
  GETFILEEXT,
  GETFILEPATH,
  GETPID,
  GETPPID,
  HEAVISIDE,
  IBETA,
  IBETAC,
  IDIV,
  IGAMMA,
  IGAMMAC,
  IGAMMAE,
  IM,
  INC,
  INT,
  INT2STR,
  INVBETA,
  INVCHISQ,
  INVERT,
  INVFDIST,
  INVNORMAL,
  INVSTUDENTT,
  IRAND,
  ISANINFINITY,
  ISEQ,
  INSERTSTR,
  ISEVEN,
  ISGE,
  ISGT,
  ISINFINITY,
  ISLE,
  ISLT,
  ISNAN,
  ISNE,
  ISNEAR,
  ISNEGINFINITY,
  ISODD,
  ISPRIME,
  JULIAND,
  JULIANM,
  JULIANY,
  LCM,
  LEAPYEAR,
  LEFTSTRING,
  LN,
  LNFACT,
  LNGAMMA,
  LOG,
  LOG10,
  LOGBASE,
  LOGISTIC,
  LOGIT,
  LUNARPHASE,
  MAX,
  MIN,
  MIX,
  MODULO,
  MONTHDAYS,
  MONTHNAME,
  MULTIPLY,
  NEGATE,
  NORMAL,
  NORMALCDF,
  NOW,
  NOTF,
  ORD,
  ORF,
  PADINT,
  PERMUTATIONS,
  POLARTORECTX,
  POLARTORECTY,
  POS,
  POWER,
  PUT,
  RAND,
  RE,
  REAL2STR,
  RECTTOPOLARA,
  RECTTOPOLARR,
  RECTTOSPHEREA1,
  RECTTOSPHEREA2,
  RECTTOSPHERER,
  REMAINDER,
  RIGHTSTRING,
  ROOT,
  ROUND,
  RRAND,
  RTOD,
  SEC,
  SECH,
  SETRANSFORM,
  SGN,
  SHIFTLEFT,
  SHIFTRIGHT,
  SIGN,
  SIN,
  SINH,
  SPHERETORECTX,
  SPHERETORECTY,
  SPHERETORECTZ,
  SQR,
  SQRT,
  STANDARDIZE,
  STRINGLEN,
  STRINGREPLACE,
  STRING2INT,
  STRING2REAL,
  STUDENTT,
  SUBSTRING,
  SUBTRACT,
  TAN,
  TANH,
  TOBASE,
  TODAY,
  TOLOWER,
  TOUPPER,
  TRIM,
  TRIML,
  TRIMR,
  TRUNC,
  VMAX,
  VMEAN,
  VMEDIAN,
  VMIN_,
  VQUANTILE,
  VSTDEV,
  VSUM,
  VSUMSQ,
  VVARIANCE,
  WAITPID,
  WEEKDAY,
  WEEKDAYNAME,
  XORF,
  YEARDAY,
  ZETA,
};

constexpr int kFunctionCount = 213;

// Every function belongs to one typing class; see typeFunctionCall.
enum class FnClass : std::uint8_t {
  RealOrComplexUnary,
  AbsoluteValue,
  Addition,
  Logical,
  Negation,
  ComplexParts,
  IntegerConstant,
  RealConstant,
  StringConstant,
  IntegerToString,
  RealBinary,
  NumericBinary,
  OrderedBinary,
  SignTransfer,
  RealPair,
  DistributionOfTwo,
  DistributionOfThree,
  RealTernary,
  Mixture,
  FourReals,
  RealUnary,
  IntegerPairToReal,
  IntegerPair,
  IntegerUnary,
  IntegerTriple,
  IntegerToReal,
  SameType,
  Echo,
  ArrayExtreme,
  Step,
  Sign,
  Rounding,
  RealTests,
  IntegerTests,
  Equality,
  Order,
  Nearness,
  Kronecker,
  ParameterTest,
  FileTests,
  BooleanToString,
  IntegerToChar,
  TextTests,
  TextToInteger,
  TextToReal,
  TextToText,
  TextPair,
  Command,
  StringAndCount,
  StringSearch,
  Substring,
  Insertion,
  Replacement,
  DateFormatting,
  NumberFormatting,
  Padding,
  BaseConversion,
};

struct FunctionInfo {
  std::string_view name;         // upper case, at most 15 characters
  std::int8_t argCount;          // 0 to 5
  std::string_view description;  // the help text, at most 58 characters
  FnClass cls;
};

// The row of a code; codes outside 1..213 give a row with an empty name.
const FunctionInfo& functionInfo(int code);
inline const FunctionInfo& functionInfo(Fn f) { return functionInfo(static_cast<int>(f)); }
inline std::string_view functionName(Fn f) { return functionInfo(f).name; }

// The one-line usage help of a function, as the help listing and the
// bad-argument-type error print it: "ABS(x) returns |x|, the absolute value
// of x"; a function without arguments shows its bare name.
std::string functionHelpLine(Fn f);

// The outcome of a typing rule. On success `result` is the node's result
// type and `op` the type in which its operands are evaluated; on failure
// `found` and `expected` are the two sets the error message lists.
//
// The operand type follows the arguments: for the pair rule it is the rule's
// own; for a class whose arguments are numeric it is REAL (INTEGER only where
// every argument must be INTEGER); where the arguments are CHAR or STRING it
// is STRING (a CHAR-typed argument node is evaluated as a one-character
// string); where argument positions differ in type it is the first
// argument's type; for functions without arguments it equals the result.
struct CallTyping {
  bool ok = false;
  ValueType result = ValueType::Undef;
  ValueType op = ValueType::Undef;
  TypeSet found = 0;
  TypeSet expected = 0;
};

// The pair rule (the parser's unify step): `operands` is the set of the
// operand types, `allowed` the function's allowed set; the first matching
// rule decides. On failure found = operands and expected = allowed.
CallTyping pairRule(TypeSet operands, TypeSet allowed);
inline CallTyping pairRule(ValueType a, ValueType b, TypeSet allowed) {
  return pairRule(typeBit(a) | typeBit(b), allowed);
}

// Applies the typing class of `f` to the argument types of a call. The
// caller has already checked the argument count.
CallTyping typeFunctionCall(Fn f, std::span<const ValueType> args);

// " INTEGER REAL ": each member's name after a blank, in code order, and one
// blank more at the end.
std::string typeListText(TypeSet set);

// The parse error for a call of `f` with arguments outside its class: the
// function's help line, then "Bad argument type to function NAME. Found:
// ... Expected: ...".
[[noreturn]] void badFunctionArgType(Interp& in, Fn f, TypeSet found, TypeSet expected);

// The same error for other node kinds: "Bad argument type to " + what + ...
[[noreturn]] void badArgTypeTo(Interp& in, std::string_view what, TypeSet found, TypeSet expected);

}  // namespace zav
