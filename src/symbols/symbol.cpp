#include "symbols/symbol.h"

#include <cstdio>
#include <new>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// Allocation failure is a fatal error with a message, not an uncaught
// exception: nothrow new lets the caller report it (and behaves the same
// under the address sanitizer, whose throwing new aborts instead).
template <class T>
void* allocate(std::int32_t count) {
  return new (std::nothrow) T[static_cast<std::size_t>(count)]();
}

template <class T>
void release(void* block) {
  delete[] static_cast<T*>(block);
}

// Calls f.template operator()<T>() with the element type of `type`; returns
// false for a type without storage.
template <class F>
bool withElemType(ValueType type, F&& f) {
  switch (type) {
    case ValueType::Char: f.template operator()<char>(); return true;
    case ValueType::Pointer: f.template operator()<Symbol*>(); return true;
    case ValueType::Boolean: f.template operator()<bool>(); return true;
    case ValueType::Integer: f.template operator()<std::int32_t>(); return true;
    case ValueType::Real: f.template operator()<Real>(); return true;
    case ValueType::Complex: f.template operator()<Complex>(); return true;
    case ValueType::String: f.template operator()<std::string>(); return true;
    case ValueType::Procedure:
    case ValueType::Function: f.template operator()<Routine*>(); return true;
    case ValueType::File: f.template operator()<TextFile>(); return true;
    case ValueType::Undef: return false;
  }
  return false;
}

std::string typeText(const Symbol& s) { return std::string(typeName(s.type)); }

[[noreturn]] void wrongType(Interp& in, const std::string& what, const Symbol& s) {
  ReportError(in, ErrCat::SymTable, "Wrong type: can't assign " + what + " to " + s.name + " (" + typeText(s) + ")");
}

Symbol* findOrMakeStatic(Interp& in, std::string_view name, ValueType type, std::uint32_t flags) {
  if (Symbol* s = lookup(in, name)) return s;
  return declareStatic(in, name, type, nullptr, flags | kStatic);
}

Symbol* requireSymbol(Interp& in, std::string_view name) {
  Symbol* s = lookup(in, name);
  if (!s) ReportError(in, ErrCat::SymTable, "Symbol " + std::string(name) + " is not defined");
  return s;
}

Symbol* bindTo(Interp& in, std::string_view name, ValueType type, void* var, std::uint32_t flags) {
  Symbol* s = lookup(in, name);
  if (!s) s = addSymbol(in, name);
  s->type = type;
  s->flags = flags | kStatic | kBound;
  s->count = 1;
  s->block = var;
  return s;
}

}  // namespace

std::int64_t Dims::elements() const {
  // Each extent is at most 2^32 and n stays at most kMaxElements before a
  // step, so no product leaves 64 bits.
  std::int64_t n = 1;
  for (std::size_t k = 0; k < lo.size(); ++k) {
    n *= static_cast<std::int64_t>(hi[k]) - lo[k] + 1;
    if (n > kMaxElements) return kMaxElements + 1;
  }
  return n;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((static_cast<unsigned char>(a[i]) | 32) != (static_cast<unsigned char>(b[i]) | 32)) return false;
  return true;
}

void* createBlock(Interp& in, std::int32_t count, ValueType type) {
  if (in.set.debugSym) std::printf("Create %s[%d x %d]\n", std::string(typeName(type)).c_str(), count, typeWidth(type));
  void* block = nullptr;
  if (count > 0) {
    if (in.blockLimit < 0 || std::int64_t{count} * typeWidth(type) <= in.blockLimit)
      withElemType(type, [&]<class T>() { block = allocate<T>(count); });
    if (!block && typeWidth(type) > 0)
      ReportError(in, ErrCat::SymTable, "Out of memory allocating " + std::string(typeName(type)) + "[" +
                                            std::to_string(count) + " x " + std::to_string(typeWidth(type)) + "]");
  }
  return block;
}

void freeBlock(Interp& in, void*& block, std::int32_t count, ValueType type) {
  if (type == ValueType::String && block) {
    auto* strs = static_cast<std::string*>(block);
    for (std::int32_t i = 0; i < count; ++i)
      if (!strs[i].empty() && in.set.debugSym) std::printf("Free object[%zu]\n", strs[i].size());
  }
  const long size = static_cast<long>(count) * typeWidth(type);
  if (in.set.debugSym) std::printf("Free object[%ld]\n", size);
  if (!block) {
    std::printf("Warning: trying to free nil pointer, size %ld\n", size);
    return;
  }
  discardBlock(block, type);
  block = nullptr;
}

void discardBlock(void* block, ValueType type) {
  if (block) withElemType(type, [&]<class T>() { release<T>(block); });
}

int elementOffset(const Interp& in, const Symbol& s, int i) {
  if (s.flags & kDataVar) return in.drv.dataTransforming ? 0 : in.set.dIdx - 1;
  return i - 1;
}

void requireBlock(Interp& in, const Symbol& s) {
  if (!elementBlock(s)) ReportError(in, ErrCat::SymTable, "Variable " + s.name + " is not defined here");
  if ((s.flags & kDataVar) && !in.drv.dataTransforming) {
    // A data variable holds its observations followed by seven statistics;
    // a block made without them (too small to hold them) is all observations.
    std::int32_t n = s.count >= 7 ? s.count - 7 : s.count;
    if (in.drv.dataSummaries) n = s.count;
    if (in.set.dIdx < 1 || in.set.dIdx > n)
      ReportError(in, ErrCat::RunTime, "D_IDX out of range for DATA variable " + s.name + ". Found " +
                                           std::to_string(in.set.dIdx) + ".  Valid range is [1 to " +
                                           std::to_string(n) + "]");
  }
}

void setChar(Interp& in, Symbol& s, int i, char v) { requireBlock(in, s); element<ValueType::Char>(in, s, i) = v; }
void setPointer(Interp& in, Symbol& s, int i, Symbol* v) { requireBlock(in, s); element<ValueType::Pointer>(in, s, i) = v; }
void setBoolean(Interp& in, Symbol& s, int i, bool v) { requireBlock(in, s); element<ValueType::Boolean>(in, s, i) = v; }
void setInteger(Interp& in, Symbol& s, int i, std::int32_t v) { requireBlock(in, s); element<ValueType::Integer>(in, s, i) = v; }
void setReal(Interp& in, Symbol& s, int i, Real v) { requireBlock(in, s); element<ValueType::Real>(in, s, i) = v; }
void setComplex(Interp& in, Symbol& s, int i, Complex v) { requireBlock(in, s); element<ValueType::Complex>(in, s, i) = v; }

void setString(Interp& in, Symbol& s, int i, std::string_view v) {
  requireBlock(in, s);
  std::string& dst = element<ValueType::String>(in, s, i);
  if (in.set.debugSym && !dst.empty()) std::printf("Free object[%zu]\n", dst.size());
  dst.assign(v.substr(0, kMaxText));
  if (in.set.debugSym) std::printf("String %s made.\n", dst.c_str());
}

char getChar(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Char>(in, s, i); }
Symbol* getPointer(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Pointer>(in, s, i); }
bool getBoolean(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Boolean>(in, s, i); }
std::int32_t getInteger(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Integer>(in, s, i); }
Real getReal(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Real>(in, s, i); }
Complex getComplex(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::Complex>(in, s, i); }
const std::string& getString(Interp& in, const Symbol& s, int i) { requireBlock(in, s); return element<ValueType::String>(in, s, i); }

Symbol* setIntegerByName(Interp& in, std::string_view name, std::int32_t v, std::uint32_t flags) {
  Symbol* s = findOrMakeStatic(in, name, ValueType::Integer, flags);
  switch (s->type) {
    case ValueType::Integer: setInteger(in, *s, 1, v); break;
    case ValueType::Real: setReal(in, *s, 1, v); break;
    case ValueType::Complex: setComplex(in, *s, 1, Complex{static_cast<Real>(v), 0}); break;
    default: wrongType(in, std::to_string(v) + " (INTEGER)", *s);
  }
  return s;
}

Symbol* setRealByName(Interp& in, std::string_view name, Real v, std::uint32_t flags) {
  Symbol* s = findOrMakeStatic(in, name, ValueType::Real, flags);
  if (s->type != ValueType::Real) wrongType(in, realToText(in.set, v, 10, 4) + " (REAL)", *s);
  setReal(in, *s, 1, v);
  return s;
}

Symbol* setBooleanByName(Interp& in, std::string_view name, bool v, std::uint32_t flags) {
  Symbol* s = findOrMakeStatic(in, name, ValueType::Boolean, flags);
  if (s->type != ValueType::Boolean) wrongType(in, " BOOLEAN", *s);
  setBoolean(in, *s, 1, v);
  return s;
}

Symbol* setStringByName(Interp& in, std::string_view name, std::string_view v, std::uint32_t flags) {
  Symbol* s = findOrMakeStatic(in, name, ValueType::String, flags);
  if (s->type != ValueType::String) wrongType(in, "STRING \"" + std::string(v) + "\"", *s);
  setString(in, *s, 1, v);
  return s;
}

std::int32_t getIntegerByName(Interp& in, std::string_view name) { return getInteger(in, *requireSymbol(in, name), 1); }
Real getRealByName(Interp& in, std::string_view name) { return getReal(in, *requireSymbol(in, name), 1); }
bool getBooleanByName(Interp& in, std::string_view name) { return getBoolean(in, *requireSymbol(in, name), 1); }
std::string getStringByName(Interp& in, std::string_view name) { return getString(in, *requireSymbol(in, name), 1); }

Symbol* bindString(Interp& in, std::string_view name, std::string* var, std::uint32_t flags) {
  return bindTo(in, name, ValueType::String, var, flags);
}
Symbol* bindReal(Interp& in, std::string_view name, Real* var, std::uint32_t flags) {
  return bindTo(in, name, ValueType::Real, var, flags);
}
Symbol* bindBoolean(Interp& in, std::string_view name, bool* var, std::uint32_t flags) {
  return bindTo(in, name, ValueType::Boolean, var, flags);
}
Symbol* bindInteger(Interp& in, std::string_view name, std::int32_t* var, std::uint32_t flags) {
  return bindTo(in, name, ValueType::Integer, var, flags);
}
Symbol* bindFile(Interp& in, std::string_view name, TextFile* var, std::uint32_t flags) {
  return bindTo(in, name, ValueType::File, var, flags);
}

void copySymbol(Interp& in, std::string_view source, std::string_view dest, std::uint32_t flags) {
  Symbol* src = lookup(in, source);
  if (!src)
    ReportError(in, ErrCat::SymTable,
                "Error trying to copy undefined symbol \"" + std::string(source) + "\" to \"" + std::string(dest) + "\"");
  Symbol* dst = lookup(in, dest);
  if (!dst) dst = declareStatic(in, dest, src->type, nullptr, flags | kStatic);
  switch (src->type) {
    case ValueType::Char: setChar(in, *dst, 1, getChar(in, *src, 1)); break;
    case ValueType::Pointer: setPointer(in, *dst, 1, getPointer(in, *src, 1)); break;
    case ValueType::Boolean: setBoolean(in, *dst, 1, getBoolean(in, *src, 1)); break;
    case ValueType::Integer: setInteger(in, *dst, 1, getInteger(in, *src, 1)); break;
    case ValueType::Real: setReal(in, *dst, 1, getReal(in, *src, 1)); break;
    case ValueType::Complex: setComplex(in, *dst, 1, getComplex(in, *src, 1)); break;
    case ValueType::String: setString(in, *dst, 1, getString(in, *src, 1)); break;
    default: break;
  }
}

namespace {

void dumpHeader(const Symbol& s) {
  std::printf("%s{%s", s.name.c_str(), typeText(s).c_str());
  if (s.has(kConst)) std::printf(" Const");
  if (s.has(kDataVar)) std::printf(" Data");
  if (s.has(kStatic | kForPass)) std::printf(" Static");
  if (s.dims) std::printf(", Dims:%d", s.dims->count());
  if (s.count > 1) std::printf("[1..%d]", s.count);
  std::printf("}");
}

void dumpValue(Interp& in, const Symbol& s, int i) {
  switch (s.type) {
    case ValueType::Char: std::printf("%c", element<ValueType::Char>(in, s, i)); break;
    case ValueType::Boolean: std::printf("%s", element<ValueType::Boolean>(in, s, i) ? "TRUE" : "FALSE"); break;
    case ValueType::Integer: std::printf("%d", element<ValueType::Integer>(in, s, i)); break;
    case ValueType::Real: std::printf("%s", realToText(in.set, element<ValueType::Real>(in, s, i), 13, 4).c_str()); break;
    case ValueType::Complex: {
      Complex c = element<ValueType::Complex>(in, s, i);
      std::printf("%s+%si", realToText(in.set, c.re, 9, 2).c_str(), realToText(in.set, c.im, 9, 2).c_str());
      break;
    }
    case ValueType::String: std::printf("%s", element<ValueType::String>(in, s, i).c_str()); break;
    case ValueType::Pointer:
      // The target is dumped header-only; a nil one reads "NIL" with its own
      // line end, as every dump of no symbol does.
      std::printf(" PTR->");
      dumpSymbol(in, element<ValueType::Pointer>(in, s, i), true);
      break;
    case ValueType::Procedure: std::printf("user-defined procedure"); break;
    case ValueType::Function: std::printf("user-defined function"); break;
    case ValueType::File: std::printf("File"); break;
    case ValueType::Undef: break;
  }
}

}  // namespace

void dumpSymbol(Interp& in, const Symbol* s, bool headerOnly) {
  if (!s) {
    std::printf("NIL\n");
    return;
  }
  dumpHeader(*s);
  if (headerOnly) return;
  if (s->count > 1) std::printf("\n");
  const std::int32_t savedIdx = in.set.dIdx;
  for (int i = 1; i <= s->count; ++i) {
    in.set.dIdx = i;
    std::printf(" ");
    if (s->count > 1) std::printf("[%d]", i);
    std::printf("= ");
    if (elementBlock(*s)) dumpValue(in, *s, i); else std::printf("nil");
    std::printf("\n");
  }
  in.set.dIdx = savedIdx;
}

void freeSymbol(Interp& in, Symbol* s) {
  if (!s) ReportError(in, ErrCat::SymTable, "Tried to free a nil symbol");
  if (s->has(kStatic) && !s->has(kBound) && s->block) freeBlock(in, s->block, s->count, s->type);
  delete s;
}

}  // namespace zav
