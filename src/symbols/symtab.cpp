#include "symbols/symtab.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"

namespace zav {

int hashName(std::string_view name) {
  int h = 0;
  for (unsigned char c : name) h = ((h % 4) + 1) + (c % 32);
  return h % 19997;
}

SymbolTable* pushTable(Interp& in, SymbolTable* enclosing) {
  if (in.set.debugSym) std::printf("Pushing a symbol table\n");
  auto* t = new SymbolTable;
  t->buckets.assign(kBucketCount, nullptr);
  t->enclosing = enclosing;
  in.tables.push_back(t);
  return t;
}

SymbolTable* popTable(Interp& in, SymbolTable* t) {
  if (in.set.debugSym) std::printf("Popping a symbol table\n");
  if (!t) ReportError(in, ErrCat::SymTable, "Panic...disposing of nil table!");
  if (!t->enclosing) ReportError(in, ErrCat::SymTable, "Panic...trying to pop the last table!");
  return t->enclosing;
}

namespace {
// The index key: names compare with bit 5 of every character set.
std::string foldedName(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(static_cast<unsigned char>(c) | 32);
  return key;
}

Symbol* findIn(const SymbolTable* t, const std::string& key) {
  if (t->index.empty()) return nullptr;
  t->probes += t->index.bucket_size(t->index.bucket(key));
  auto it = t->index.find(key);
  return it == t->index.end() ? nullptr : it->second;
}

// Links a new symbol at the head of its chain and makes it the one the
// index finds under its name (the newest, as a chain walk would).
Symbol* linkSymbol(Interp& in, std::string_view name) {
  const int h = hashName(name);
  if (in.set.debugSym) std::printf("Adding symbol %.*s hashv= %d\n", static_cast<int>(name.size()), name.data(), h);
  auto* s = new Symbol;
  s->name.assign(name.substr(0, kMaxText));
  s->next = in.current->buckets[static_cast<std::size_t>(h)];
  in.current->buckets[static_cast<std::size_t>(h)] = s;
  in.current->bucketsUsed = std::max(in.current->bucketsUsed, static_cast<std::size_t>(h) + 1);
  in.current->index[foldedName(s->name)] = s;
  return s;
}
}  // namespace

Symbol* lookup(const Interp& in, std::string_view name) {
  if (name.size() > kMaxText) return nullptr;  // stored names are cut there, so none is equal
  const std::string key = foldedName(name);
  for (const SymbolTable* t = in.current; t; t = t->enclosing)
    if (Symbol* s = findIn(t, key)) return s;
  return nullptr;
}

Symbol* lookupHere(const Interp& in, std::string_view name) {
  if (!in.current || name.size() > kMaxText) return nullptr;
  return findIn(in.current, foldedName(name));
}

Symbol* addSymbol(Interp& in, std::string_view name) { return linkSymbol(in, name); }

namespace {
void giveShape(Symbol& s, ValueType type, const Dims* dims, std::uint32_t flags) {
  s.type = type;
  s.flags = flags;
  if (dims) s.dims = std::make_unique<Dims>(*dims);
  const std::int64_t n = dims ? dims->elements() : 1;
  s.count = typeWidth(type) == 0 || (flags & kNoStorage) ? 0 : static_cast<std::int32_t>(std::min(n, kMaxElements));
}
}  // namespace

Symbol* declareStatic(Interp& in, std::string_view name, ValueType type, const Dims* dims, std::uint32_t flags) {
  if (Symbol* old = lookupHere(in, name))
    ReportError(in, ErrCat::SymTable,
                "Declaring " + std::string(name) + " (" + std::string(typeName(type)) + "). Symbol exists already (" +
                    std::string(typeName(old->type)) + ")");
  Symbol* s = addSymbol(in, name);
  giveShape(*s, type, dims, flags | kStatic);
  s->block = createBlock(in, s->count, type);
  return s;
}

Symbol* declareConstant(Interp& in, std::string_view name, ValueType type, const Dims* dims) {
  Symbol* s = linkSymbol(in, name);
  giveShape(*s, type, dims, kConst | kStatic);
  s->block = createBlock(in, s->count, type);
  return s;
}

Symbol* declareInActivation(Interp& in, std::string_view name, ValueType type, const Dims* dims, bool noStorage,
                            std::uint32_t flags) {
  if (lookupHere(in, name))
    ReportError(in, ErrCat::SymTable, std::string(name) + " already exists and cannot be declared again");
  Symbol* s = addSymbol(in, name);
  giveShape(*s, type, dims, flags);
  s->table = in.current;
  SlotInfo slot{type, s->count, noStorage ? 0 : std::int64_t{s->count} * typeWidth(type)};
  in.current->slots.push_back(slot);
  s->slot = static_cast<std::int32_t>(in.current->slots.size());
  if (in.set.debugSym) std::printf("making variable %d : %s\n", s->slot, s->name.c_str());
  return s;
}

Symbol* findOrCreate(Interp& in, std::string_view name, ValueType type, std::uint32_t flags) {
  if (Symbol* s = lookup(in, name)) return s;
  if ((flags & kStatic) || in.drv.staticCreation) return declareStatic(in, name, type, nullptr, flags);
  return declareInActivation(in, name, type, nullptr, false, flags);
}

void activate(Interp& in, SymbolTable* t) {
  const int n = static_cast<int>(t->slots.size());
  if (in.set.debugSym) std::printf("Activate %d vars\n", n);
  t->saved.push_back(t->current);
  t->current = new std::vector<void*>(static_cast<std::size_t>(n), nullptr);
  for (int i = 1; i <= n; ++i) {
    const SlotInfo& slot = t->slots[static_cast<std::size_t>(i - 1)];
    if (in.set.debugSym) std::printf("Var %d size: %lld\n", i, static_cast<long long>(slot.bytes));
    if (slot.bytes > 0) (*t->current)[static_cast<std::size_t>(i - 1)] = createBlock(in, slot.count, slot.type);
  }
}

void deactivate(Interp& in, SymbolTable* t) {
  if (in.set.debugSym) std::printf("Deactivate vars\n");
  if (t->current) {
    for (std::size_t i = 0; i < t->slots.size(); ++i)
      if (t->slots[i].bytes > 0) freeBlock(in, (*t->current)[i], t->slots[i].count, t->slots[i].type);
    if (in.set.debugSym) std::printf("Free object[%zu]\n", 4 * t->slots.size());
    delete t->current;
    t->current = nullptr;
  }
  if (t->saved.empty()) ReportError(in, ErrCat::SymTable, "Tried to pop a nil activation record");
  t->current = t->saved.back();
  t->saved.pop_back();
}

void dumpTables(Interp& in, std::string_view pattern, const bool* stop) {
  std::string pat(pattern);
  for (char& c : pat) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (SymbolTable* t = in.current; t; t = t->enclosing) {
    if (pat.empty()) std::printf("-------- BEGIN TABLE ------------\n");
    for (int b = 1; b < kBucketCount; ++b) {
      for (Symbol* s = t->buckets[static_cast<std::size_t>(b)]; s; s = s->next) {
        if (stop && *stop) return;
        std::string upper = s->name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (pat.empty() || upper.find(pat) != std::string::npos) dumpSymbol(in, s);
      }
    }
  }
}

namespace {
// Teardown releases memory without the accounting traces: the run is over.
void releaseActivation(SymbolTable* t, std::vector<void*>* act) {
  if (!act) return;
  for (std::size_t i = 0; i < t->slots.size(); ++i) {
    discardBlock((*act)[i], t->slots[i].type);
  }
  delete act;
}
}  // namespace

void destroyTable(SymbolTable* t) {
  releaseActivation(t, t->current);
  for (auto* act : t->saved) releaseActivation(t, act);
  // Names hash into the first few dozen buckets only.
  for (std::size_t b = 0; b < t->bucketsUsed; ++b) {
    Symbol* head = t->buckets[b];
    while (head) {
      Symbol* next = head->next;
      if (head->has(kStatic) && !head->has(kBound)) discardBlock(head->block, head->type);
      delete head;
      head = next;
    }
  }
  delete t;
}

}  // namespace zav
