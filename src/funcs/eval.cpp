#include "funcs/eval.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "estimate/transform.h"
#include "exec/exec.h"
#include "funcs/catalog.h"
#include "funcs/intrinsics.h"
#include "funcs/mathlib.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

std::string fnName(const ExprNode* n) { return std::string(functionInfo(static_cast<Fn>(n->index)).name); }

[[noreturn]] void runError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::RunTime, msg); }

const ExprNode* arg(const ExprNode* n, int i) { return n->children[static_cast<std::size_t>(i)]; }

// The element of a data variable a reference names: the observation D_IDX
// names, or with a subscript the observation the subscript names.
int dataElement(Interp& in, const ExprNode* n) {
  const Symbol& s = *n->symbol;
  if (n->children.empty() || !n->children[0]) return elementOffset(in, s, 1);
  if (in.drv.dataTransforming)
    runError(in, s.name + " can't be called with subscripts while its observations are read");
  const std::int32_t sub = evalInteger(in, n->children[0]);
  const std::int32_t count = dataObsCount(s);
  if (sub < 1 || sub > count)
    runError(in, "Subscript out of range for " + s.name + ". Found " + std::to_string(sub) + ".  Valid range is [1 to " +
                     std::to_string(count) + "]");
  return sub - 1;
}

// The element a subscripted or plain identifier names.
template <ValueType T>
typename Elem<T>::type& identElement(Interp& in, const ExprNode* n) {
  const Symbol& s = *n->symbol;
  void* block = elementBlock(s);
  if (!block || (s.flags & kDataVar)) requireBlock(in, s);  // a data variable's D_IDX is checked there
  auto* elems = static_cast<typename Elem<T>::type*>(block);
  if (s.flags & kDataVar) return elems[dataElement(in, n)];
  if (n->children.empty()) return elems[elementOffset(in, s, 1)];
  return elems[linearIndex(in, n) - 1];
}

// INTEGER results that do not fit 32 bits stop the run: a wrapped count or
// index would be a wrong answer that looks right. The checks are single
// overflow-flag branches; the message is made only on the way out.
[[noreturn, gnu::cold, gnu::noinline]] void integerOverflow(Interp& in, const std::string& what) {
  ReportError(in, ErrCat::Math, "Integer overflow in " + what);
}

[[noreturn, gnu::cold, gnu::noinline]] void binaryOverflow(Interp& in, std::int64_t a, const char* op, std::int64_t b) {
  integerOverflow(in, std::to_string(a) + " " + op + " " + std::to_string(b));
}

[[noreturn, gnu::cold, gnu::noinline]] void callOverflow(Interp& in, const ExprNode* n, std::int64_t a) {
  integerOverflow(in, fnName(n) + "(" + std::to_string(a) + ")");
}

std::int32_t checkedAdd(Interp& in, std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) binaryOverflow(in, a, "+", b);
  return r;
}

std::int32_t checkedSub(Interp& in, std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) binaryOverflow(in, a, "-", b);
  return r;
}

std::int32_t checkedMul(Interp& in, std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) binaryOverflow(in, a, "*", b);
  return r;
}

// A shift moves the 32-bit pattern; SHL also doubles the value each place,
// so it overflows as soon as the value leaves the INTEGER range. A count
// below 0 means nothing; one of 32 or more empties the word.
std::int32_t shiftLeft(Interp& in, std::int32_t a, std::int32_t count) {
  if (count < 0 || (a != 0 && count > 31)) binaryOverflow(in, a, "SHL", count);
  if (a == 0) return 0;
  const std::int64_t r = std::int64_t{a} * (std::int64_t{1} << count);
  if (r != static_cast<std::int32_t>(r)) binaryOverflow(in, a, "SHL", count);
  return static_cast<std::int32_t>(r);
}

std::int32_t shiftRight(Interp& in, std::int32_t a, std::int32_t count) {
  if (count < 0) binaryOverflow(in, a, "SHR", count);
  if (count > 31) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) >> count);
}


// The RETURN value of a user FUNCTION, read in the type the caller wants.
template <class F>
auto callUserFunction(Interp& in, const ExprNode* n, F&& readResult) {
  const Routine& r = *routineOf(*n->symbol);
  const std::string type(typeName(r.result ? r.result->type : ValueType::Undef));
  if (in.set.debugExec) std::printf("Call user-defined FUNCTION %s() type %s\n", n->symbol->name.c_str(), type.c_str());
  SymbolTable* const caller = enterRoutine(in, r, n->children);
  execList(in, r.body);
  auto value = readResult(*r.result);
  leaveRoutine(in, r, caller);
  if (in.set.debugExec) std::printf("Exit user-defined FUNCTION %s() type %s\n", n->symbol->name.c_str(), type.c_str());
  return value;
}

// IF: conditions and values alternate, the ELSE value last; only the chosen
// value is evaluated.
const ExprNode* chosenBranch(Interp& in, const ExprNode* n) {
  const int count = n->childCount();
  int pos = 0;
  while (pos != count - 1) {
    if (evalBoolean(in, arg(n, pos))) return arg(n, pos + 1);
    pos += 2;
  }
  return arg(n, count - 1);
}

template <class F>
auto preAssign(Interp& in, const ExprNode* n, F&& eval) {
  execList(in, n->block(0));
  return eval(arg(n, 1));
}

template <class F>
auto postAssign(Interp& in, const ExprNode* n, F&& eval) {
  auto value = eval(arg(n, 0));
  execList(in, n->block(1));
  return value;
}


Real evalRealCall(Interp& in, const ExprNode* n) {
  if (n->opType == ValueType::Complex) return libRealOfComplex(in, n);
  auto x = [&](int i) { return evalReal(in, arg(n, i)); };
  switch (static_cast<Fn>(n->index)) {
    case Fn::ADD: return x(0) + x(1);
    case Fn::SUBTRACT: return x(0) - x(1);
    case Fn::MULTIPLY: return x(0) * x(1);
    case Fn::DIVIDE: return x(0) / x(1);
    case Fn::NEGATE: return -x(0);
    case Fn::INC: return x(0) + 1;
    case Fn::DEC: return x(0) - 1;
    case Fn::PUT: {
      Real v = x(0);
      libPutReal(in, v);
      return v;
    }
    case Fn::INVERT: {
      Real v = x(0);
      if (v == 0) ReportError(in, ErrCat::Funct, "Attempted division by zero");
      return 1 / v;
    }
    case Fn::SQRT: return libSqrt(in, x(0));
    case Fn::MIX: {
      Real p = x(0);
      checkMixProportion(in, p);
      return p * x(1) + (1 - p) * x(2);
    }
    case Fn::MAX: {
      Real a = x(0), b = x(1);
      return a > b ? a : b;
    }
    case Fn::MIN: {
      Real a = x(0), b = x(1);
      return a < b ? a : b;
    }
    case Fn::INVCHISQ: {
      Real p = x(0), df = x(1);
      if (!(p >= 0 && p <= 1)) ReportError(in, ErrCat::Funct, "INVCHISQ prob is > 0 or < 1");
      if (!(df > 0)) ReportError(in, ErrCat::Funct, "INVCHISQ df is <= 0");
      break;
    }
    case Fn::INVNORMAL: {
      Real p = x(0);
      if (!(p >= 0 && p <= 1)) ReportError(in, ErrCat::Funct, "INVNORMAL prob is > 0 or < 1");
      break;
    }
    case Fn::SETRANSFORM: return evalSETransform(in, arg(n, 0));
    default: break;
  }
  Real out;
  if (libReal(in, n, out)) return out;
  runError(in, "Calling real func " + fnName(n));
}

std::int32_t roundChecked(Interp& in, Real v, bool round) {
  constexpr Real kLimit = 2147483646.999999999999999L;
  if (!(std::fabs(v) <= kLimit))
    runError(in, std::string("calling ") + (round ? "ROUND(" : "TRUNC(") + realToText(in.set, v, 16, 12) +
                     "): out of range of integer");
  return static_cast<std::int32_t>(round ? std::nearbyint(v) : std::trunc(v));
}

bool sameValue(Interp& in, const ExprNode* n);

std::int32_t evalIntegerCall(Interp& in, const ExprNode* n) {
  auto i = [&](int k) { return evalInteger(in, arg(n, k)); };
  const Fn code = static_cast<Fn>(n->index);
  switch (code) {
    case Fn::ROUND:
    case Fn::TRUNC: {
      Real v = n->opType == ValueType::Complex ? evalComplex(in, arg(n, 0)).re : evalReal(in, arg(n, 0));
      return roundChecked(in, v, code == Fn::ROUND);
    }
    case Fn::HEAVISIDE: return evalReal(in, arg(n, 0)) >= 0 ? 1 : 0;
    case Fn::SGN: {
      Real v = evalReal(in, arg(n, 0));
      return v > 0 ? 1 : (v < 0 ? -1 : 0);
    }
    case Fn::DELTA: return sameValue(in, n) ? 1 : 0;
    case Fn::SIGN: {
      if (n->opType == ValueType::Real) {
        Real a = std::fabs(evalReal(in, arg(n, 0)));
        return static_cast<std::int32_t>(evalReal(in, arg(n, 1)) >= 0 ? a : -a);
      }
      const std::int32_t v = i(0);
      const std::int64_t magnitude = v < 0 ? -std::int64_t{v} : v;
      const std::int64_t r = i(1) >= 0 ? magnitude : -magnitude;
      if (r != static_cast<std::int32_t>(r)) callOverflow(in, n, v);
      return static_cast<std::int32_t>(r);
    }
    default: break;
  }
  if (n->opType == ValueType::Integer || n->opType == ValueType::Undef) {
    switch (code) {
      case Fn::ADD: {
        const std::int32_t a = i(0);
        return checkedAdd(in, a, i(1));
      }
      case Fn::SUBTRACT: {
        const std::int32_t a = i(0);
        return checkedSub(in, a, i(1));
      }
      case Fn::MULTIPLY: {
        const std::int32_t a = i(0);
        return checkedMul(in, a, i(1));
      }
      case Fn::NEGATE: {
        const std::int32_t v = i(0);
        if (v == INT32_MIN) integerOverflow(in, "-(" + std::to_string(v) + ")");
        return -v;
      }
      case Fn::INC: {
        const std::int32_t v = i(0);
        if (v == INT32_MAX) callOverflow(in, n, v);
        return v + 1;
      }
      case Fn::DEC: {
        const std::int32_t v = i(0);
        if (v == INT32_MIN) callOverflow(in, n, v);
        return v - 1;
      }
      case Fn::ABS: {
        const std::int32_t v = i(0);
        if (v == INT32_MIN) callOverflow(in, n, v);
        return v < 0 ? -v : v;
      }
      case Fn::IDIV:
      case Fn::MODULO: {
        std::int32_t a = i(0), b = i(1);
        if (b == 0) ReportError(in, ErrCat::Funct, "Attempted division by zero");
        if (b == -1) {
          if (code == Fn::MODULO) return 0;
          if (a == INT32_MIN) binaryOverflow(in, a, "DIV", b);
          return -a;
        }
        return code == Fn::IDIV ? a / b : a % b;
      }
      case Fn::SHIFTLEFT: {
        const std::int32_t a = i(0);
        return shiftLeft(in, a, i(1));
      }
      case Fn::SHIFTRIGHT: {
        const std::int32_t a = i(0);
        return shiftRight(in, a, i(1));
      }
      case Fn::ANDF: return i(0) & i(1);
      case Fn::ORF: return i(0) | i(1);
      case Fn::XORF: return i(0) ^ i(1);
      case Fn::NOTF: return ~i(0);
      case Fn::MAX: {
        std::int32_t a = i(0), b = i(1);
        return a > b ? a : b;
      }
      case Fn::MIN: {
        std::int32_t a = i(0), b = i(1);
        return a < b ? a : b;
      }
      case Fn::PUT: {
        std::int32_t v = i(0);
        libPutInteger(in, v);
        return v;
      }
      default: break;
    }
  }
  std::int32_t out;
  if (libInteger(in, n, out)) return out;
  runError(in, "Calling integer func " + fnName(n));
}

// Equality in the operand type the parser chose; shared by ISEQ, ISNE and DELTA.
bool sameValue(Interp& in, const ExprNode* n) {
  const ExprNode* a = arg(n, 0);
  const ExprNode* b = arg(n, 1);
  switch (n->opType) {
    case ValueType::Integer: return evalInteger(in, a) == evalInteger(in, b);
    case ValueType::Real: {
      Real x = evalReal(in, a), y = evalReal(in, b);
      return !(x < y) && !(x > y);
    }
    case ValueType::Complex: {
      Complex x = evalComplex(in, a), y = evalComplex(in, b);
      return x.re == y.re && x.im == y.im;
    }
    case ValueType::Boolean: return evalBoolean(in, a) == evalBoolean(in, b);
    case ValueType::Char:
    case ValueType::String: return evalString(in, a) == evalString(in, b);
    default: return false;
  }
}

// <0, 0, >0 in the operand type; NaN reals compare as unordered (+2).
int order(Interp& in, const ExprNode* n) {
  const ExprNode* a = arg(n, 0);
  const ExprNode* b = arg(n, 1);
  switch (n->opType) {
    case ValueType::Integer: {
      std::int32_t x = evalInteger(in, a), y = evalInteger(in, b);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case ValueType::Real: {
      Real x = evalReal(in, a), y = evalReal(in, b);
      if (x < y) return -1;
      if (x > y) return 1;
      return x == y ? 0 : 2;
    }
    case ValueType::Boolean: return static_cast<int>(evalBoolean(in, a)) - static_cast<int>(evalBoolean(in, b));
    case ValueType::Char:
    case ValueType::String: {
      int c = evalString(in, a).compare(evalString(in, b));
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    default: return 2;
  }
}

const char* argClass(ValueType t) {
  switch (t) {
    case ValueType::File: return " with file args";
    case ValueType::Real: return " with real args";
    case ValueType::Complex: return " with complex args";
    case ValueType::Integer: return " with integer args";
    case ValueType::Boolean: return " with bool args";
    default: return " with string/char args";
  }
}

bool evalBooleanCall(Interp& in, const ExprNode* n) {
  const Fn code = static_cast<Fn>(n->index);
  auto b = [&](int k) { return evalBoolean(in, arg(n, k)); };
  switch (code) {
    case Fn::ISEQ: return sameValue(in, n);
    case Fn::ISNE:
      if (n->opType == ValueType::Real) {
        Real x = evalReal(in, arg(n, 0)), y = evalReal(in, arg(n, 1));
        return x < y || x > y;
      }
      return !sameValue(in, n);
    case Fn::ISLT: return order(in, n) == -1;
    case Fn::ISLE: {
      int o = order(in, n);
      return o == -1 || o == 0;
    }
    case Fn::ISGT: return order(in, n) == 1;
    case Fn::ISGE: {
      int o = order(in, n);
      return o == 1 || o == 0;
    }
    case Fn::ISNEAR: {
      Real x = evalReal(in, arg(n, 0)), c = evalReal(in, arg(n, 1)), d = evalReal(in, arg(n, 2));
      return c - d <= x && x <= c + d;
    }
    case Fn::ISINFINITY: return isPosOo(in.set, evalReal(in, arg(n, 0)));
    case Fn::ISNEGINFINITY: return isNegOo(in.set, evalReal(in, arg(n, 0)));
    case Fn::ISANINFINITY: {
      Real x = evalReal(in, arg(n, 0));
      return isPosOo(in.set, x) || isNegOo(in.set, x);
    }
    case Fn::ISNAN: return std::isnan(evalReal(in, arg(n, 0)));
    case Fn::ISEVEN: return evalInteger(in, arg(n, 0)) % 2 == 0;
    case Fn::ISODD: return evalInteger(in, arg(n, 0)) % 2 != 0;
    default: break;
  }
  if (n->opType == ValueType::Boolean) {
    switch (code) {
      // Both operands are always evaluated, left first (no short cut).
      case Fn::ANDF:
      case Fn::MIN: {
        const bool x = b(0), y = b(1);
        return x && y;
      }
      case Fn::ORF:
      case Fn::ADD:
      case Fn::MAX: {
        const bool x = b(0), y = b(1);
        return x || y;
      }
      case Fn::XORF: return b(0) ^ b(1);
      case Fn::NOTF: return !b(0);
      case Fn::PUT: {
        bool v = b(0);
        libPutBoolean(in, v);
        return v;
      }
      default: break;
    }
  }
  bool out;
  if (libBoolean(in, n, out)) return out;
  runError(in, "Calling boolean func " + fnName(n) + argClass(n->opType));
}

Complex evalComplexCall(Interp& in, const ExprNode* n) {
  Complex out;
  if (libComplex(in, n, out)) return out;
  runError(in, "Calling complex func " + fnName(n));
}

void evalStringCall(Interp& in, const ExprNode* n, std::string& out) {
  const Fn code = static_cast<Fn>(n->index);
  switch (code) {
    case Fn::ADD:
    case Fn::CONCAT: {
      std::string rhs;
      evalString(in, arg(n, 0), out);
      evalString(in, arg(n, 1), rhs);
      out += rhs;
      if (out.size() > kMaxText) out.resize(kMaxText);
      return;
    }
    case Fn::MAX:
    case Fn::MIN: {
      std::string a, b;
      evalString(in, arg(n, 0), a);
      evalString(in, arg(n, 1), b);
      out = (code == Fn::MAX ? (a > b ? a : b) : (a < b ? a : b));
      return;
    }
    case Fn::PUT:
      evalString(in, arg(n, 0), out);
      libPutString(in, out);
      return;
    default: break;
  }
  if (libString(in, n, out)) return;
  runError(in, "Calling STRING func " + fnName(n));
}

}  // namespace

Routine* routineOf(const Symbol& s) {
  return static_cast<Routine* const*>(elementBlock(s))[0];
}

int linearIndex(Interp& in, const ExprNode* n) {
  const Symbol& s = *n->symbol;
  if (!s.dims) {
    if (!n->children.empty()) runError(in, s.name + " can't be called with subscripts");
    return 1;
  }
  const Dims& d = *s.dims;
  if (n->children.empty()) runError(in, "Missing subscript, dimension 1 for, " + s.name);
  std::int64_t index = 1;
  std::int64_t stride = 1;
  for (int k = 0; k < d.count(); ++k) {
    if (k >= n->childCount() || !n->children[static_cast<std::size_t>(k)])
      runError(in, "Missing subscript, dimension " + std::to_string(k + 1) + " for, " + s.name);
    const std::int32_t sub = evalInteger(in, n->children[static_cast<std::size_t>(k)]);
    const std::int32_t lo = d.lo[static_cast<std::size_t>(k)], hi = d.hi[static_cast<std::size_t>(k)];
    if (sub < lo || sub > hi)
      runError(in, "Subscript out of range for " + s.name + ". Found " + std::to_string(sub) + ".  Valid range is [" +
                       std::to_string(lo) + " to " + std::to_string(hi) + "]");
    index += (static_cast<std::int64_t>(sub) - lo) * stride;
    stride *= static_cast<std::int64_t>(hi) - lo + 1;
  }
  return static_cast<int>(index);
}

namespace {

// A plain scalar variable: most of what loops and likelihoods read. Returns
// its element block, or nullptr when the general path must decide.
inline const void* plainScalar(const Interp& in, const ExprNode* n) {
  if (n->kind != NodeKind::Identifier || !n->children.empty() || (n->symbol->flags & kDataVar) || in.set.debug >= 11)
    return nullptr;
  return elementBlock(*n->symbol);
}

Real evalRealNode(Interp& in, const ExprNode* n) {
  if (n->resultType == ValueType::Integer) return static_cast<Real>(evalInteger(in, n));
  Real v;
  switch (n->kind) {
    case NodeKind::Identifier:
      switch (n->symbol->type) {
        case ValueType::Real: v = identElement<ValueType::Real>(in, n); break;
        case ValueType::Integer: v = identElement<ValueType::Integer>(in, n); break;
        default:
          runError(in, "Bad ident " + n->symbol->name + ". Expected REAL type, found " +
                           std::string(typeName(n->symbol->type)));
      }
      break;
    case NodeKind::UserFunction:
      v = callUserFunction(in, n, [&](const Symbol& r) {
        return r.type == ValueType::Integer ? static_cast<Real>(getInteger(in, r, 1)) : getReal(in, r, 1);
      });
      break;
    case NodeKind::Function: v = evalRealCall(in, n); break;
    case NodeKind::If: v = evalReal(in, chosenBranch(in, n)); break;
    case NodeKind::PreAssign: v = preAssign(in, n, [&](const ExprNode* e) { return evalReal(in, e); }); break;
    case NodeKind::PostAssign: v = postAssign(in, n, [&](const ExprNode* e) { return evalReal(in, e); }); break;
    default:
      if (!libSpecialReal(in, n, v)) runError(in, "Calling real func " + std::string(nodeKindName(n->kind)));
      break;
  }
  if (in.set.debug >= 11) {
    std::printf("%s", std::string(nodeKindName(n->kind)).c_str());
    if (n->kind == NodeKind::Function) std::printf(" %s", fnName(n).c_str());
    if (n->kind == NodeKind::Pdf) std::printf(" %s", pdfNameOf(n->index).c_str());
    std::printf("\n");
  }
  return v;
}

}  // namespace

// Variables and the arithmetic operators are most of what loops and
// likelihoods evaluate; they are handled here, in a small frame, before the
// general dispatch.
Real evalReal(Interp& in, const ExprNode* n) {
  if (const void* b = plainScalar(in, n)) {
    if (n->symbol->type == ValueType::Real) return *static_cast<const Real*>(b);
    if (n->symbol->type == ValueType::Integer) return *static_cast<const std::int32_t*>(b);
  } else if (n->kind == NodeKind::Function && n->resultType == ValueType::Real && n->opType != ValueType::Complex &&
             in.set.debug < 11) {
    switch (static_cast<Fn>(n->index)) {
      case Fn::ADD: return evalReal(in, arg(n, 0)) + evalReal(in, arg(n, 1));
      case Fn::SUBTRACT: return evalReal(in, arg(n, 0)) - evalReal(in, arg(n, 1));
      case Fn::MULTIPLY: return evalReal(in, arg(n, 0)) * evalReal(in, arg(n, 1));
      case Fn::DIVIDE: return evalReal(in, arg(n, 0)) / evalReal(in, arg(n, 1));
      case Fn::SQRT: return libSqrt(in, evalReal(in, arg(n, 0)));
      default: break;
    }
  }
  return evalRealNode(in, n);
}

std::int32_t evalInteger(Interp& in, const ExprNode* n) {
  if (const void* b = plainScalar(in, n); b && n->symbol->type == ValueType::Integer)
    return *static_cast<const std::int32_t*>(b);
  switch (n->kind) {
    case NodeKind::Identifier:
      if (n->symbol->type != ValueType::Integer) runError(in, "Wrong identifier type, expected an INTEGER");
      return identElement<ValueType::Integer>(in, n);
    case NodeKind::UserFunction:
      return callUserFunction(in, n, [&](const Symbol& r) { return getInteger(in, r, 1); });
    case NodeKind::Function: return evalIntegerCall(in, n);
    case NodeKind::If: return evalInteger(in, chosenBranch(in, n));
    case NodeKind::PreAssign: return preAssign(in, n, [&](const ExprNode* e) { return evalInteger(in, e); });
    case NodeKind::PostAssign: return postAssign(in, n, [&](const ExprNode* e) { return evalInteger(in, e); });
    default: runError(in, "Calling integer func " + std::string(nodeKindName(n->kind)));
  }
}

bool evalBoolean(Interp& in, const ExprNode* n) {
  switch (n->kind) {
    case NodeKind::Identifier:
      if (n->symbol->type != ValueType::Boolean) runError(in, "Wrong identifier type, expected a BOOLEAN");
      return identElement<ValueType::Boolean>(in, n);
    case NodeKind::UserFunction:
      return callUserFunction(in, n, [&](const Symbol& r) { return getBoolean(in, r, 1); });
    case NodeKind::Function: return evalBooleanCall(in, n);
    case NodeKind::If: return evalBoolean(in, chosenBranch(in, n));
    case NodeKind::PreAssign: return preAssign(in, n, [&](const ExprNode* e) { return evalBoolean(in, e); });
    case NodeKind::PostAssign: return postAssign(in, n, [&](const ExprNode* e) { return evalBoolean(in, e); });
    default: runError(in, "Calling boolean func " + std::string(nodeKindName(n->kind)));
  }
}

Complex evalComplex(Interp& in, const ExprNode* n) {
  if (n->resultType == ValueType::Integer || n->resultType == ValueType::Real) return Complex{evalReal(in, n), 0};
  switch (n->kind) {
    case NodeKind::Identifier:
      switch (n->symbol->type) {
        case ValueType::Complex: return identElement<ValueType::Complex>(in, n);
        case ValueType::Real: return Complex{identElement<ValueType::Real>(in, n), 0};
        case ValueType::Integer: return Complex{static_cast<Real>(identElement<ValueType::Integer>(in, n)), 0};
        default:
          runError(in, "Bad real ident. " + n->symbol->name + " is type " + std::string(typeName(n->symbol->type)));
      }
    case NodeKind::UserFunction:
      return callUserFunction(in, n, [&](const Symbol& r) {
        if (r.type == ValueType::Complex) return getComplex(in, r, 1);
        if (r.type == ValueType::Integer) return Complex{static_cast<Real>(getInteger(in, r, 1)), 0};
        return Complex{getReal(in, r, 1), 0};
      });
    case NodeKind::Function: return evalComplexCall(in, n);
    case NodeKind::If: return evalComplex(in, chosenBranch(in, n));
    case NodeKind::PreAssign: return preAssign(in, n, [&](const ExprNode* e) { return evalComplex(in, e); });
    case NodeKind::PostAssign: return postAssign(in, n, [&](const ExprNode* e) { return evalComplex(in, e); });
    default: runError(in, "Calling complex func " + std::string(nodeKindName(n->kind)));
  }
}

void evalString(Interp& in, const ExprNode* n, std::string& out) {
  if (n->resultType == ValueType::Char) {
    out.assign(1, evalChar(in, n));
    return;
  }
  switch (n->kind) {
    case NodeKind::Identifier:
      if (n->symbol->type == ValueType::String) out = identElement<ValueType::String>(in, n);
      else if (n->symbol->type == ValueType::Char) out.assign(1, identElement<ValueType::Char>(in, n));
      else runError(in, "Bad string identifier type found");
      return;
    case NodeKind::UserFunction:
      out = callUserFunction(in, n, [&](const Symbol& r) {
        return r.type == ValueType::Char ? std::string(1, getChar(in, r, 1)) : getString(in, r, 1);
      });
      return;
    case NodeKind::Function: evalStringCall(in, n, out); return;
    case NodeKind::If: evalString(in, chosenBranch(in, n), out); return;
    case NodeKind::PreAssign: out = preAssign(in, n, [&](const ExprNode* e) { return evalString(in, e); }); return;
    case NodeKind::PostAssign: out = postAssign(in, n, [&](const ExprNode* e) { return evalString(in, e); }); return;
    default: runError(in, "Calling STRING func " + std::string(nodeKindName(n->kind)));
  }
}

std::string evalString(Interp& in, const ExprNode* n) {
  std::string s;
  evalString(in, n, s);
  return s;
}

char evalChar(Interp& in, const ExprNode* n) {
  switch (n->kind) {
    case NodeKind::Identifier:
      if (n->symbol->type == ValueType::Char) return identElement<ValueType::Char>(in, n);
      if (n->symbol->type == ValueType::String) {
        const std::string& s = identElement<ValueType::String>(in, n);
        if (s.size() != 1) runError(in, "assigning a STRING with length <> 1 to a CHAR");
        return s[0];
      }
      runError(in, "Bad CHAR identifier type found");
    case NodeKind::UserFunction:
      return callUserFunction(in, n, [&](const Symbol& r) {
        if (r.type == ValueType::Char) return getChar(in, r, 1);
        const std::string& s = getString(in, r, 1);
        if (s.size() != 1) runError(in, "CHAR function got a string of length <> 1");
        return s[0];
      });
    case NodeKind::If: return evalChar(in, chosenBranch(in, n));
    case NodeKind::PreAssign: return preAssign(in, n, [&](const ExprNode* e) { return evalChar(in, e); });
    case NodeKind::PostAssign: return postAssign(in, n, [&](const ExprNode* e) { return evalChar(in, e); });
    case NodeKind::Function: {
      char c;
      if (n->resultType == ValueType::Char && libChar(in, n, c)) return c;
      std::string s;
      evalStringCall(in, n, s);
      if (s.size() != 1) runError(in, "CHAR function got a string of length <> 1");
      return s[0];
    }
    default: runError(in, "Bad CHAR identifier type found");
  }
}

TextFile* evalFile(Interp& in, const ExprNode* n) {
  if (n->kind == NodeKind::Identifier && n->symbol->type == ValueType::File) return &identElement<ValueType::File>(in, n);
  if (n->kind == NodeKind::UserFunction)
    return callUserFunction(in, n, [&](const Symbol& r) { return &element<ValueType::File>(in, r, 1); });
  runError(in, "Bad file identifier type found");
}

}  // namespace zav
