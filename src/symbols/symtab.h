// Symbol tables: scopes chained outwards, hashed buckets, and activation
// records that give each call of a routine its own storage.
#pragma once
#include <cstdint>
#include <string_view>

#include "symbols/symbol.h"

namespace zav {

constexpr int kBucketCount = 19998;

// The bucket of a name. The sum stays below 36, so only the first buckets
// are used; it is fine for parse-time lookups, which is all it serves.
int hashName(std::string_view name);

SymbolTable* pushTable(Interp& in, SymbolTable* enclosing);
SymbolTable* popTable(Interp& in, SymbolTable* t);

Symbol* lookup(const Interp& in, std::string_view name);
Symbol* lookupHere(const Interp& in, std::string_view name);
Symbol* addSymbol(Interp& in, std::string_view name);

Symbol* declareStatic(Interp& in, std::string_view name, ValueType type, const Dims* dims, std::uint32_t flags);
// An anonymous constant ("%T" names): unique by construction, so it is
// linked in without the duplicate check of declareStatic.
Symbol* declareConstant(Interp& in, std::string_view name, ValueType type, const Dims* dims);
Symbol* declareInActivation(Interp& in, std::string_view name, ValueType type, const Dims* dims, bool noStorage,
                            std::uint32_t flags);
Symbol* findOrCreate(Interp& in, std::string_view name, ValueType type, std::uint32_t flags);

void activate(Interp& in, SymbolTable* t);
void deactivate(Interp& in, SymbolTable* t);

// Dumps every symbol whose upper-cased name contains the pattern, innermost
// table first; `stop` is polled before each symbol.
void dumpTables(Interp& in, std::string_view pattern, const bool* stop = nullptr);

// Releases a table with its symbols and activations (interpreter teardown).
void destroyTable(SymbolTable* t);

}  // namespace zav
