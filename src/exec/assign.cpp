#include "exec/assign.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"

namespace zav {
namespace {

std::string typeText(ValueType t) { return std::string(typeName(t)); }

[[noreturn]] void runError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::RunTime, msg); }

// The value types a target of each type accepts.
TypeSet acceptedBy(ValueType target) {
  switch (target) {
    case ValueType::Char:
    case ValueType::String: return typeBit(ValueType::Char) | typeBit(ValueType::String);
    case ValueType::Boolean: return typeBit(ValueType::Boolean);
    case ValueType::Integer: return typeBit(ValueType::Integer);
    case ValueType::Real: return typeBit(ValueType::Integer) | typeBit(ValueType::Real);
    case ValueType::Complex: return typeBit(ValueType::Integer) | typeBit(ValueType::Real) | typeBit(ValueType::Complex);
    case ValueType::File: return typeBit(ValueType::File);
    default: return 0;
  }
}

bool isArrayValue(const ExprNode* v) { return v->kind == NodeKind::Array || v->kind == NodeKind::DataArray; }

char charOfString(Interp& in, const std::string& s) {
  if (s.size() != 1) runError(in, "assigning a STRING with length <> 1 to a CHAR");
  return s[0];
}

// The element of the target that literal position `subs` (1-based per level)
// lands on: the first subscript varies fastest in storage.
int literalElement(const Symbol& target, const std::vector<int>& subs) {
  if (!target.dims) return 1;
  const Dims& d = *target.dims;
  long index = 1;
  long stride = 1;
  for (std::size_t k = 0; k < subs.size() && k < static_cast<std::size_t>(d.count()); ++k) {
    index += static_cast<long>(subs[k] - 1) * stride;
    stride *= static_cast<long>(d.hi[k]) - d.lo[k] + 1;
  }
  return static_cast<int>(index);
}

void storeLevel(Interp& in, Symbol& target, const ExprNode* level, std::vector<int>& subs) {
  const int depth = static_cast<int>(subs.size()) + 1;
  if (in.set.debugExec)
    std::printf("In assign_dataarray: %s i= %d func is %s args is %d\n", target.name.c_str(), depth,
                std::string(nodeKindName(level->kind)).c_str(), level->childCount());
  subs.push_back(0);
  for (int k = 0; k < level->childCount(); ++k) {
    subs.back() = k + 1;
    const ExprNode* e = level->children[static_cast<std::size_t>(k)];
    if (e->kind == NodeKind::DataArray) {
      storeLevel(in, target, e, subs);
    } else {
      const int at = literalElement(target, subs);
      if (at >= 1 && at <= target.count) assignRange(in, target, at, at, e);
    }
  }
  subs.pop_back();
}

}  // namespace

void checkAssignType(Interp& in, const Symbol& target, ValueType value) {
  const TypeSet ok = acceptedBy(target.type);
  if (ok == 0) parseError(in, "Bad type assigned in statement");
  if ((ok & typeBit(value)) == 0)
    parseError(in, "Can't assign value of type " + typeText(value) + " to variable of type " + typeText(target.type));
  if (target.has(kConst)) parseError(in, "Can't assign to constant " + target.name);
}

void checkShapes(Interp& in, const std::string& context, const Symbol& a, const Symbol& b) {
  const int na = a.dims ? a.dims->count() : 0;
  const int nb = b.dims ? b.dims->count() : 0;
  if (na != nb)
    parseError(in, "Wrong number of dimensions assigning " + a.name + context + ". Expected " + std::to_string(na) +
                       ", found " + std::to_string(nb));
  for (int i = 0; i < na; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (a.dims->lo[k] != b.dims->lo[k] || a.dims->hi[k] != b.dims->hi[k])
      parseError(in, "Bad subscripts assigning " + a.name + context + ". dimension " + std::to_string(i + 1) + "  " +
                         a.name + " range: " + std::to_string(a.dims->lo[k]) + " to " + std::to_string(a.dims->hi[k]) +
                         ". Found: " + std::to_string(b.dims->lo[k]) + " to " + std::to_string(b.dims->hi[k]) + ".");
  }
}

void checkAssign(Interp& in, const Symbol& target, const ExprNode* value, bool element) {
  checkAssignType(in, target, value->resultType);
  if (!isArrayValue(value)) return;
  if (!target.dims || element) parseError(in, "Cannot assign an array variable/function to scalar " + target.name);
  if (value->symbol) checkShapes(in, " an array variable/function ", target, *value->symbol);
}

void assignRange(Interp& in, Symbol& target, int first, int last, const ExprNode* value) {
  if (in.set.debugExec)
    std::printf("In do_assign: sym %s[%d..%d] is type %s func is type %s\n", target.name.c_str(), first, last,
                typeText(target.type).c_str(), typeText(value->resultType).c_str());
  if (target.has(kConst)) runError(in, "Can't assign to CONSTANT " + target.name);
  switch (target.type) {
    case ValueType::Char:
      for (int k = first; k <= last; ++k) setChar(in, target, k, evalChar(in, value));
      return;
    case ValueType::String: {
      std::string text;
      for (int k = first; k <= last; ++k) {
        evalString(in, value, text);
        setString(in, target, k, text);
      }
      return;
    }
    case ValueType::Boolean:
      for (int k = first; k <= last; ++k) setBoolean(in, target, k, evalBoolean(in, value));
      return;
    case ValueType::Integer:
      for (int k = first; k <= last; ++k) setInteger(in, target, k, evalInteger(in, value));
      return;
    case ValueType::Real:
      // evalReal reads an INTEGER-typed value with the integer evaluator and
      // converts it.
      for (int k = first; k <= last; ++k) setReal(in, target, k, evalReal(in, value));
      return;
    case ValueType::Complex:
      for (int k = first; k <= last; ++k) {
        const Complex c =
            value->resultType == ValueType::Complex ? evalComplex(in, value) : Complex{evalReal(in, value), 0};
        setComplex(in, target, k, c);
      }
      return;
    case ValueType::File: runError(in, "Can't assign a file type: " + target.name);
    default: runError(in, "Couldn't determine the type when assigning " + target.name);
  }
}

void copyElement(Interp& in, Symbol& target, int i, const Symbol& source, int j) {
  if (in.set.debugExec)
    std::printf("In do_assign_s: %s[%d] is type %s %s[%d] is type %s\n", target.name.c_str(), i,
                typeText(target.type).c_str(), source.name.c_str(), j, typeText(source.type).c_str());
  if (target.has(kConst)) runError(in, "Can't assign to this variable");
  const ValueType st = source.type;
  switch (target.type) {
    case ValueType::Boolean: setBoolean(in, target, i, getBoolean(in, source, j)); return;
    case ValueType::Integer: setInteger(in, target, i, getInteger(in, source, j)); return;
    case ValueType::Char:
      setChar(in, target, i, st == ValueType::String ? charOfString(in, getString(in, source, j)) : getChar(in, source, j));
      return;
    case ValueType::String:
      if (st == ValueType::Char) setString(in, target, i, std::string(1, getChar(in, source, j)));
      else setString(in, target, i, std::string(getString(in, source, j)));
      return;
    case ValueType::Real:
      setReal(in, target, i, st == ValueType::Integer ? getInteger(in, source, j) : getReal(in, source, j));
      return;
    case ValueType::Complex:
      if (st == ValueType::Complex) setComplex(in, target, i, getComplex(in, source, j));
      else if (st == ValueType::Real) setComplex(in, target, i, Complex{getReal(in, source, j), 0});
      else setComplex(in, target, i, Complex{static_cast<Real>(getInteger(in, source, j)), 0});
      return;
    case ValueType::File: runError(in, "Can't assign to a file type: " + target.name);
    default: runError(in, "Couldn't determine the type when assigning " + target.name);
  }
}

void assignLiteral(Interp& in, Symbol& target, const ExprNode* literal) {
  std::vector<int> subs;
  storeLevel(in, target, literal, subs);
}

void execAssign(Interp& in, const StmtNode& s) {
  const ExprNode* value = s.value;
  if (!value) return;  // a declaration without a value
  const ExprNode* t = s.target;
  Symbol& target = *t->symbol;
  // The common case, a plain REAL or INTEGER scalar, stores straight into its
  // element: this is the inner statement of most loops.
  if (t->kind == NodeKind::Identifier && t->children.empty() && !target.dims && !in.set.debugExec &&
      !target.has(kConst | kDataVar)) {
    if (target.type == ValueType::Real) {
      const Real v = evalReal(in, value);
      if (void* b = elementBlock(target)) {
        *static_cast<Real*>(b) = v;
        return;
      }
      setReal(in, target, 1, v);  // reports the missing storage
      return;
    }
    if (target.type == ValueType::Integer) {
      const std::int32_t v = evalInteger(in, value);
      if (void* b = elementBlock(target)) {
        *static_cast<std::int32_t*>(b) = v;
        return;
      }
      setInteger(in, target, 1, v);
      return;
    }
  }
  if (t->kind == NodeKind::Identifier) {
    if (in.set.debugExec) std::printf("%d: Assign %s = ...\n", s.line, target.name.c_str());
    // A DATA variable stores into the observation D_IDX names; a subscript
    // would only seem to choose another.
    if (target.has(kDataVar) && !t->children.empty())
      ReportError(in, ErrCat::RunTime,
                  target.name + " is a data variable: set D_IDX to choose the observation to assign");
    const int e = (t->children.empty() && !target.dims) || target.has(kDataVar) ? 1 : linearIndex(in, t);
    assignRange(in, target, e, e, value);
    return;
  }
  if (in.set.debugExec) std::printf("%d: Assign %s[] = ...\n", s.line, target.name.c_str());
  if (value->kind == NodeKind::Array) {
    const Symbol& source = *value->symbol;
    for (int i = 1; i <= target.count; ++i) copyElement(in, target, i, source, i);
  } else if (value->kind == NodeKind::DataArray) {
    assignLiteral(in, target, value);
  } else {
    assignRange(in, target, 1, target.count, value);
  }
}

}  // namespace zav
