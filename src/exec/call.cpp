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

void store(Interp& in, Symbol& formal, Value& v) {
  switch (formal.type) {
    case ValueType::Char: setChar(in, formal, 1, std::get<char>(v)); break;
    case ValueType::Boolean: setBoolean(in, formal, 1, std::get<bool>(v)); break;
    case ValueType::Integer: setInteger(in, formal, 1, std::get<std::int32_t>(v)); break;
    case ValueType::Real: setReal(in, formal, 1, std::get<Real>(v)); break;
    case ValueType::Complex: setComplex(in, formal, 1, std::get<Complex>(v)); break;
    case ValueType::String: setString(in, formal, 1, std::get<std::string>(v)); break;
    case ValueType::File: element<ValueType::File>(in, formal, 1) = std::get<TextFile>(v); break;
    default: break;
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

void enterRoutine(Interp& in, const Routine& r, const std::vector<ExprNode*>& actuals) {
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
      const std::int32_t count = std::min(formal.count, actuals[i]->symbol->count);
      for (int k = 1; k <= count; ++k) {
        switch (formal.type) {
          case ValueType::Real: setReal(in, formal, k, static_cast<const Real*>(arraySources[i])[k - 1]); break;
          case ValueType::Integer: setInteger(in, formal, k, static_cast<const std::int32_t*>(arraySources[i])[k - 1]); break;
          case ValueType::Boolean: setBoolean(in, formal, k, static_cast<const bool*>(arraySources[i])[k - 1]); break;
          case ValueType::Char: setChar(in, formal, k, static_cast<const char*>(arraySources[i])[k - 1]); break;
          case ValueType::Complex: setComplex(in, formal, k, static_cast<const Complex*>(arraySources[i])[k - 1]); break;
          case ValueType::String: setString(in, formal, k, static_cast<const std::string*>(arraySources[i])[k - 1]); break;
          default: break;
        }
      }
    } else {
      store(in, formal, values[i]);
    }
  }
}

void leaveRoutine(Interp& in, const Routine& r) {
  --in.callDepth;
  deactivate(in, r.table);
}

}  // namespace zav
