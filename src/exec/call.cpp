// Calls of user routines: the argument binding shared by PROCEDURE calls and
// FUNCTION calls in expressions.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <variant>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/eval.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

std::size_t elemSize(ValueType t) {
  switch (t) {
    case ValueType::Char: return sizeof(char);
    case ValueType::Pointer: return sizeof(Symbol*);
    case ValueType::Boolean: return sizeof(bool);
    case ValueType::Integer: return sizeof(std::int32_t);
    case ValueType::Real: return sizeof(Real);
    case ValueType::Complex: return sizeof(Complex);
    case ValueType::String: return sizeof(std::string);
    case ValueType::Procedure:
    case ValueType::Function: return sizeof(Routine*);
    case ValueType::File: return sizeof(TextFile);
    case ValueType::Undef: return 0;
  }
  return 0;
}

// The caller's storage a VAR parameter refers to: the whole block for an
// array, the element itself for a subscripted name.
void* referenceOf(Interp& in, const ExprNode* a) {
  const Symbol& s = *a->symbol;
  requireBlock(in, s);
  auto* base = static_cast<char*>(elementBlock(s));
  if (a->kind == NodeKind::Array) return base;
  // A data variable is read at the current observation whatever its subscript.
  int index = a->children.empty() || s.has(kDataVar) ? elementOffset(in, s, 1) + 1 : linearIndex(in, a);
  return base + static_cast<std::size_t>(index - 1) * elemSize(s.type);
}

using Value = std::variant<std::monostate, char, bool, std::int32_t, Real, Complex, std::string, TextFile, void*>;

Value evaluateFor(Interp& in, const Symbol& formal, const ExprNode* a) {
  switch (formal.type) {
    case ValueType::Char: return evalChar(in, a);
    case ValueType::Boolean: return evalBoolean(in, a);
    case ValueType::Integer: return evalInteger(in, a);
    case ValueType::Real: return evalReal(in, a);
    case ValueType::Complex: return evalComplex(in, a);
    case ValueType::String: return evalString(in, a);
    case ValueType::File: return *evalFile(in, a);
    default: return std::monostate{};
  }
}

void store(Interp& in, Symbol& formal, int k, const Value& v) {
  switch (formal.type) {
    case ValueType::Char: setChar(in, formal, k, std::get<char>(v)); break;
    case ValueType::Boolean: setBoolean(in, formal, k, std::get<bool>(v)); break;
    case ValueType::Integer: setInteger(in, formal, k, std::get<std::int32_t>(v)); break;
    case ValueType::Real: setReal(in, formal, k, std::get<Real>(v)); break;
    case ValueType::Complex: setComplex(in, formal, k, std::get<Complex>(v)); break;
    case ValueType::String: setString(in, formal, k, std::get<std::string>(v)); break;
    case ValueType::File: element<ValueType::File>(in, formal, k) = std::get<TextFile>(v); break;
    default: break;
  }
}

template <typename T>
const T& at(const void* block, std::size_t j) {
  return static_cast<const T*>(block)[j];
}

// Element k of an array parameter from element k of the caller's block,
// read by the block's own type and converted to the parameter's as an
// assignment would: INTEGER to REAL or COMPLEX, REAL to COMPLEX, CHAR to
// STRING and a one-character STRING to CHAR. The parse-time checks leave
// no other pair.
void storeConverted(Interp& in, Symbol& formal, int k, ValueType from, const void* block) {
  const auto j = static_cast<std::size_t>(k - 1);
  switch (formal.type) {
    case ValueType::Boolean: setBoolean(in, formal, k, at<bool>(block, j)); return;
    case ValueType::Integer: setInteger(in, formal, k, at<std::int32_t>(block, j)); return;
    case ValueType::Real:
      setReal(in, formal, k, from == ValueType::Integer ? at<std::int32_t>(block, j) : at<Real>(block, j));
      return;
    case ValueType::Complex:
      if (from == ValueType::Complex) setComplex(in, formal, k, at<Complex>(block, j));
      else if (from == ValueType::Real) setComplex(in, formal, k, Complex{at<Real>(block, j), 0});
      else setComplex(in, formal, k, Complex{static_cast<Real>(at<std::int32_t>(block, j)), 0});
      return;
    case ValueType::String:
      if (from == ValueType::Char) setString(in, formal, k, std::string_view(&at<char>(block, j), 1));
      else setString(in, formal, k, at<std::string>(block, j));
      return;
    case ValueType::Char:
      if (from == ValueType::Char) {
        setChar(in, formal, k, at<char>(block, j));
      } else {
        const std::string& s = at<std::string>(block, j);
        if (s.size() != 1) ReportError(in, ErrCat::RunTime, "assigning a STRING with length <> 1 to a CHAR");
        setChar(in, formal, k, s[0]);
      }
      return;
    default: return;
  }
}

// Calls may nest this deep: far beyond sensible recursion, about 100 MB of
// stack in a Release build.
constexpr int kMaxCallDepth = 100000;

// Stops runaway recursion by the count of active calls and, should frames
// be larger than expected (sanitizer builds), by how far the stack has
// grown: a routine body without further calls needs at most what the
// parser's nesting limits allow, so calls stop while a quarter of the
// stack is still free.
void checkCallDepth(Interp& in) {
  if (in.callDepth >= kMaxCallDepth)
    ReportError(in, ErrCat::RunTime, "Procedure or function calls nested too deeply (recursion?)");
  const auto base = reinterpret_cast<std::uintptr_t>(in.drv.stackBase);
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  const std::size_t used = base > here ? base - here : 0;
  if (used > in.drv.stackBytes - in.drv.stackBytes / 4)
    ReportError(in, ErrCat::RunTime, "Procedure or function calls nested too deeply (recursion?)");
}

}  // namespace

SymbolTable* enterRoutine(Interp& in, const Routine& r, const std::vector<ExprNode*>& actuals) {
  checkCallDepth(in);
  ++in.callDepth;
  const std::size_t n = r.params.size();
  std::vector<Value> values(n);
  for (std::size_t i = 0; i < n && i < actuals.size(); ++i) {
    const ExprNode* a = actuals[i];
    if (r.byRef[i]) values[i] = referenceOf(in, a);
    else if (a->kind == NodeKind::Array) values[i] = static_cast<void*>(nullptr);  // copied after activation
    else values[i] = evaluateFor(in, *r.params[i], a);
  }
  // Array values are copied from the caller's block, which stays valid
  // because the caller's activation is not touched by the new one.
  std::vector<const void*> arraySources(n, nullptr);
  for (std::size_t i = 0; i < n && i < actuals.size(); ++i)
    if (!r.byRef[i] && actuals[i]->kind == NodeKind::Array) arraySources[i] = elementBlock(*actuals[i]->symbol);

  activate(in, r.table);
  for (std::size_t i = 0; i < n; ++i) {
    Symbol& formal = *r.params[i];
    if (r.byRef[i]) {
      (*r.table->current)[static_cast<std::size_t>(formal.slot - 1)] = std::get<void*>(values[i]);
    } else if (arraySources[i]) {
      const Symbol& source = *actuals[i]->symbol;
      const std::int32_t count = std::min(formal.count, source.count);
      for (int k = 1; k <= count; ++k) storeConverted(in, formal, k, source.type, arraySources[i]);
    } else {
      // A scalar given for an array parameter fills every element, as in
      // an assignment.
      const std::int32_t count = formal.dims ? formal.count : 1;
      for (int k = 1; k <= count; ++k) store(in, formal, k, values[i]);
    }
  }
  SymbolTable* const caller = in.current;
  in.current = r.table;
  return caller;
}

void leaveRoutine(Interp& in, const Routine& r, SymbolTable* caller) {
  in.current = caller;
  --in.callDepth;
  deactivate(in, r.table);
}

}  // namespace zav
