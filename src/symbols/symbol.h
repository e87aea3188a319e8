// Symbols: named, typed storage. Element blocks are typed arrays; a static
// symbol owns its block, a non-static one finds it in its table's current
// activation, so every call of a routine gets fresh locals.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exec/textfile.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct SymbolTable;
struct Symbol;
struct Routine;  // a parsed user PROCEDURE or FUNCTION

// Flag bits of a symbol. The low bits are the language's; kBound marks a
// block that belongs to the interpreter and must never be freed. kForPass
// marks a FOR variable during a pass: it shows as static in dumps, but the
// storage stays where it is, since moving it would lose the variable.
enum SymFlag : std::uint32_t {
  kConst = 2,
  kStatic = 4,
  kNoStorage = 16,
  kDataVar = 32,
  kBound = 1u << 16,
  kForPass = 1u << 17,
};

struct Dims {
  std::vector<std::int32_t> lo, hi;
  int count() const { return static_cast<int>(lo.size()); }
  // The product of the extents; any product above kMaxElements reads as
  // kMaxElements + 1, so hostile bounds cannot wrap it back into range.
  std::int64_t elements() const;
};

// Most elements one symbol may hold: the count is a 32-bit signed field.
constexpr std::int64_t kMaxElements = 0x7fffffff;

// The element storage of each type.
template <ValueType T> struct Elem;
template <> struct Elem<ValueType::Char> { using type = char; };
template <> struct Elem<ValueType::Pointer> { using type = Symbol*; };
template <> struct Elem<ValueType::Boolean> { using type = bool; };
template <> struct Elem<ValueType::Integer> { using type = std::int32_t; };
template <> struct Elem<ValueType::Real> { using type = Real; };
template <> struct Elem<ValueType::Complex> { using type = Complex; };
template <> struct Elem<ValueType::String> { using type = std::string; };
template <> struct Elem<ValueType::Procedure> { using type = Routine*; };
template <> struct Elem<ValueType::Function> { using type = Routine*; };
template <> struct Elem<ValueType::File> { using type = TextFile; };

// One activation slot: what the block holds and how big the traces say it is.
struct SlotInfo {
  ValueType type = ValueType::Undef;
  std::int32_t count = 0;
  std::int64_t bytes = 0;  // count x width overflows 32 bits for large arrays
};

struct SymbolTable {
  std::vector<SlotInfo> slots;
  std::vector<void*>* current = nullptr;          // blocks of the running activation
  std::vector<std::vector<void*>*> saved;         // activations of the calls below
  std::vector<Symbol*> buckets;                   // hash chains, newest first
  std::size_t bucketsUsed = 0;                    // one past the highest bucket with a symbol
  // Lookup goes through this index, keyed by the case-folded name: the hash
  // of the buckets uses only 36 of them, so walking a chain is linear in the
  // table's size (every literal is a symbol). The chains still give the dump
  // its order.
  std::unordered_map<std::string, Symbol*> index;
  mutable std::uint64_t probes = 0;  // index entries compared by lookups
  SymbolTable* enclosing = nullptr;
};

struct Symbol {
  std::string name;
  ValueType type = ValueType::Undef;
  std::uint32_t flags = 0;
  std::int32_t count = 0;
  std::unique_ptr<Dims> dims;
  Symbol* next = nullptr;
  void* block = nullptr;           // static symbols: the element block
  SymbolTable* table = nullptr;    // others: the table whose activation holds it
  std::int32_t slot = 0;           // from 1

  bool has(std::uint32_t f) const { return (flags & f) != 0; }
};

// Case-insensitive name equality: characters compare with bit 5 set.
bool sameName(std::string_view a, std::string_view b);

// Memory accounting: every element block is made and released here.
void* createBlock(Interp& in, std::int32_t count, ValueType type);
void freeBlock(Interp& in, void*& block, std::int32_t count, ValueType type);
// Releases a block outside the accounting (interpreter teardown).
void discardBlock(void* block, ValueType type);

// The element block of a symbol, or nullptr when its table has no activation.
inline void* elementBlock(const Symbol& s) {
  if (s.flags & kStatic) return s.block;
  const auto* act = s.table ? s.table->current : nullptr;
  return act ? (*act)[s.slot - 1] : nullptr;
}

// The 0-based position of element i (from 1); data variables read the
// current observation instead.
int elementOffset(const Interp& in, const Symbol& s, int i);

template <ValueType T>
typename Elem<T>::type& element(const Interp& in, const Symbol& s, int i) {
  return static_cast<typename Elem<T>::type*>(elementBlock(s))[elementOffset(in, s, i)];
}

// Element access checked for a present block ("is not defined here") and,
// for a data variable outside a DATA transform, for a D_IDX within its
// observations (a run-time error otherwise).
void requireBlock(Interp& in, const Symbol& s);

// Element setters and getters (i from 1).
void setChar(Interp& in, Symbol& s, int i, char v);
void setPointer(Interp& in, Symbol& s, int i, Symbol* v);
void setBoolean(Interp& in, Symbol& s, int i, bool v);
void setInteger(Interp& in, Symbol& s, int i, std::int32_t v);
void setReal(Interp& in, Symbol& s, int i, Real v);
void setComplex(Interp& in, Symbol& s, int i, Complex v);
void setString(Interp& in, Symbol& s, int i, std::string_view v);
char getChar(Interp& in, const Symbol& s, int i);
Symbol* getPointer(Interp& in, const Symbol& s, int i);
bool getBoolean(Interp& in, const Symbol& s, int i);
std::int32_t getInteger(Interp& in, const Symbol& s, int i);
Real getReal(Interp& in, const Symbol& s, int i);
Complex getComplex(Interp& in, const Symbol& s, int i);
const std::string& getString(Interp& in, const Symbol& s, int i);

// Typed setters by name: create the symbol static when missing, store in
// element 1 when the type allows, otherwise a "Wrong type" error.
Symbol* setIntegerByName(Interp& in, std::string_view name, std::int32_t v, std::uint32_t flags);
Symbol* setRealByName(Interp& in, std::string_view name, Real v, std::uint32_t flags);
Symbol* setBooleanByName(Interp& in, std::string_view name, bool v, std::uint32_t flags);
Symbol* setStringByName(Interp& in, std::string_view name, std::string_view v, std::uint32_t flags);

// Typed getters by name; the symbol must exist.
std::int32_t getIntegerByName(Interp& in, std::string_view name);
Real getRealByName(Interp& in, std::string_view name);
bool getBooleanByName(Interp& in, std::string_view name);
std::string getStringByName(Interp& in, std::string_view name);

// Binders: the symbol's single element is the interpreter's own variable.
Symbol* bindString(Interp& in, std::string_view name, std::string* var, std::uint32_t flags);
Symbol* bindReal(Interp& in, std::string_view name, Real* var, std::uint32_t flags);
Symbol* bindBoolean(Interp& in, std::string_view name, bool* var, std::uint32_t flags);
Symbol* bindInteger(Interp& in, std::string_view name, std::int32_t* var, std::uint32_t flags);
Symbol* bindFile(Interp& in, std::string_view name, TextFile* var, std::uint32_t flags);

// Copies element 1 of one symbol to another, creating the destination.
void copySymbol(Interp& in, std::string_view source, std::string_view dest, std::uint32_t flags);

// The symbol dump; headerOnly for the target of a POINTER.
void dumpSymbol(Interp& in, const Symbol* s, bool headerOnly = false);

// Frees a symbol record with its static storage.
void freeSymbol(Interp& in, Symbol* s);

}  // namespace zav
