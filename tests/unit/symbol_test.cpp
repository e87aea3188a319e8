// Values, symbols, their setters and messages, the dump format and the
// symbol-table scopes and activations.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/machine.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::captured;
using test::endedRun;

class SymbolTest : public ::testing::Test {
 protected:
  SymbolTest() { initMachineConstants(in.set); }

  Interp in;
};

TEST_F(SymbolTest, TypeNamesAndWidths) {
  EXPECT_EQ(typeName(ValueType::Undef), "undef type");
  EXPECT_EQ(typeName(ValueType::Complex), "COMPLEX");
  EXPECT_EQ(typeName(ValueType::File), "FILE");
  EXPECT_EQ(typeWidth(ValueType::Real), 10);
  EXPECT_EQ(typeWidth(ValueType::Complex), 21);
  EXPECT_EQ(typeWidth(ValueType::File), 592);
  EXPECT_EQ(typeBit(ValueType::Real), 32u);
}

TEST_F(SymbolTest, NamesCompareIgnoringCase) {
  EXPECT_TRUE(sameName("maxIter", "MAXITER"));
  EXPECT_FALSE(sameName("MAXITER", "MAXITE"));
  declareStatic(in, "x", ValueType::Real, nullptr, 0);
  EXPECT_NE(lookup(in, "X"), nullptr);
}

TEST_F(SymbolTest, SettersConvertOrRefuseWithExactMessages) {
  Symbol* r = declareStatic(in, "r", ValueType::Real, nullptr, 0);
  setIntegerByName(in, "r", 7, 0);
  EXPECT_EQ(getReal(in, *r, 1), 7.0L);

  declareStatic(in, "n", ValueType::Integer, nullptr, 0);
  // Width 10 for 2.5: one integer digit, one column for the point, so 8 decimals.
  EXPECT_EQ(endedRun([&] { setRealByName(in, "n", 2.5L, 0); }),
            "(0,0) Error (sym table): Wrong type: can't assign 2.50000000 (REAL) to n (INTEGER)\n");

  declareStatic(in, "s", ValueType::String, nullptr, 0);
  EXPECT_EQ(endedRun([&] { setBooleanByName(in, "s", true, 0); }),
            "(0,0) Error (sym table): Wrong type: can't assign  BOOLEAN to s (STRING)\n");
  EXPECT_EQ(endedRun([&] { setStringByName(in, "n", "hi", 0); }),
            "(0,0) Error (sym table): Wrong type: can't assign STRING \"hi\" to n (INTEGER)\n");
  EXPECT_EQ(endedRun([&] { setIntegerByName(in, "s", 3, 0); }),
            "(0,0) Error (sym table): Wrong type: can't assign 3 (INTEGER) to s (STRING)\n");
}

TEST_F(SymbolTest, SettersCreateMissingSymbolsStatic) {
  Symbol* s = setStringByName(in, "greeting", "hello", kConst);
  EXPECT_TRUE(s->has(kStatic));
  EXPECT_TRUE(s->has(kConst));
  EXPECT_EQ(getStringByName(in, "GREETING"), "hello");
  setStringByName(in, "greeting", "", 0);
  EXPECT_EQ(getStringByName(in, "greeting"), "");
}

TEST_F(SymbolTest, BoundSymbolsShareTheInterpretersVariable) {
  std::int32_t level = 3;
  Symbol* s = bindInteger(in, "LEVEL", &level, 0);
  EXPECT_EQ(getInteger(in, *s, 1), 3);
  setIntegerByName(in, "level", 9, 0);
  EXPECT_EQ(level, 9);
}

TEST_F(SymbolTest, CopyByName) {
  setRealByName(in, "a", 1.25L, 0);
  copySymbol(in, "a", "b", 0);
  EXPECT_EQ(getRealByName(in, "b"), 1.25L);
  EXPECT_EQ(endedRun([&] { copySymbol(in, "nothing", "b", 0); }),
            "(0,0) Error (sym table): Error trying to copy undefined symbol \"nothing\" to \"b\"\n");
}

TEST_F(SymbolTest, DumpFormats) {
  setIntegerByName(in, "k", 42, kConst);
  EXPECT_EQ(captured([&] { dumpSymbol(in, lookup(in, "k")); }), "k{INTEGER Const Static} = 42\n");

  Dims d;
  d.lo = {1, 0};
  d.hi = {3, 4};
  Symbol* x = declareStatic(in, "x", ValueType::Real, &d, 0);
  EXPECT_EQ(x->count, 15);
  std::string dump = captured([&] { dumpSymbol(in, x); });
  EXPECT_EQ(dump.substr(0, dump.find('\n')), "x{REAL Static, Dims:2[1..15]}");
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 16);
  EXPECT_NE(dump.find(" [15]= "), std::string::npos);

  Symbol* p = declareStatic(in, "p", ValueType::Pointer, nullptr, 0);
  setPointer(in, *p, 1, x);
  EXPECT_EQ(captured([&] { dumpSymbol(in, p); }), "p{POINTER Static} =  PTR->x{REAL Static, Dims:2[1..15]}\n");
  EXPECT_EQ(captured([&] { dumpSymbol(in, nullptr); }), "NIL\n");
  // A nil target is the dump of no symbol, "NIL" with its own line end, and
  // the element's line end follows it.
  Symbol* q = declareStatic(in, "q", ValueType::Pointer, nullptr, 0);
  setPointer(in, *q, 1, nullptr);
  EXPECT_EQ(captured([&] { dumpSymbol(in, q); }), "q{POINTER Static} =  PTR->NIL\n\n");

  setBooleanByName(in, "flag", true, 0);
  EXPECT_EQ(captured([&] { dumpSymbol(in, lookup(in, "flag")); }), "flag{BOOLEAN Static} = TRUE\n");
}

TEST_F(SymbolTest, MemoryTraces) {
  in.set.debugSym = true;
  std::string out = captured([&] {
    void* b = createBlock(in, 3, ValueType::Real);
    freeBlock(in, b, 3, ValueType::Real);
    EXPECT_EQ(b, nullptr);
  });
  EXPECT_EQ(out, "Create REAL[3 x 10]\nFree object[30]\n");
  in.set.debugSym = false;
  void* nil = nullptr;
  EXPECT_EQ(captured([&] { freeBlock(in, nil, 2, ValueType::Integer); }),
            "Warning: trying to free nil pointer, size 8\n");
}

TEST_F(SymbolTest, HashAndAddTrace) {
  // h = ((h mod 4) + 1) + (code mod 32): 'A' = 65 -> 1 + 1 = 2; 'B' = 66 -> (2 mod 4)+1 + 2 = 5.
  EXPECT_EQ(hashName("A"), 2);
  EXPECT_EQ(hashName("AB"), 5);
  EXPECT_EQ(hashName("ab"), hashName("AB"));
  in.set.debugSym = true;
  EXPECT_EQ(captured([&] { addSymbol(in, "AB"); }), "Adding symbol AB hashv= 5\n");
}

TEST_F(SymbolTest, ScopesShadowAndRefuseDuplicates) {
  declareStatic(in, "v", ValueType::Integer, nullptr, 0);
  EXPECT_EQ(endedRun([&] { declareStatic(in, "V", ValueType::Real, nullptr, 0); }),
            "(0,0) Error (sym table): Declaring V (REAL). Symbol exists already (INTEGER)\n");
  SymbolTable* inner = pushTable(in, in.current);
  in.current = inner;
  Symbol* local = declareInActivation(in, "v", ValueType::Real, nullptr, false, 0);
  EXPECT_EQ(lookup(in, "v"), local);
  EXPECT_EQ(endedRun([&] { declareInActivation(in, "v", ValueType::Real, nullptr, false, 0); }),
            "(0,0) Error (sym table): v already exists and cannot be declared again\n");
  in.current = popTable(in, inner);
  EXPECT_EQ(lookup(in, "v")->type, ValueType::Integer);
  EXPECT_EQ(endedRun([&] { popTable(in, in.current); }),
            "(0,0) Error (sym table): Panic...trying to pop the last table!\n");
}

TEST_F(SymbolTest, ActivationsGiveEachCallFreshStorage) {
  SymbolTable* t = pushTable(in, in.current);
  in.current = t;
  Symbol* v = declareInActivation(in, "v", ValueType::Integer, nullptr, false, 0);
  in.current = popTable(in, t);

  std::string missing = endedRun([&] { setInteger(in, *v, 1, 1); });
  EXPECT_EQ(missing, "(0,0) Error (sym table): Variable v is not defined here\n");

  activate(in, t);
  setInteger(in, *v, 1, 10);
  activate(in, t);  // a recursive call
  setInteger(in, *v, 1, 20);
  EXPECT_EQ(getInteger(in, *v, 1), 20);
  deactivate(in, t);
  EXPECT_EQ(getInteger(in, *v, 1), 10);
  deactivate(in, t);
  EXPECT_EQ(endedRun([&] { deactivate(in, t); }),
            "(0,0) Error (sym table): Tried to pop a nil activation record\n");
}

TEST_F(SymbolTest, ActivationTraces) {
  SymbolTable* t = pushTable(in, in.current);
  in.current = t;
  declareInActivation(in, "a", ValueType::Real, nullptr, false, 0);
  declareInActivation(in, "b", ValueType::Integer, nullptr, true, 0);
  in.current = popTable(in, t);
  in.set.debugSym = true;
  EXPECT_EQ(captured([&] { activate(in, t); }),
            "Activate 2 vars\nVar 1 size: 10\nCreate REAL[1 x 10]\nVar 2 size: 0\n");
  EXPECT_EQ(captured([&] { deactivate(in, t); }), "Deactivate vars\nFree object[10]\nFree object[8]\n");
}

TEST_F(SymbolTest, TableDumpFiltersByPattern) {
  setIntegerByName(in, "MAXITER", 100, 0);
  setIntegerByName(in, "maxevals", 5, 0);
  setIntegerByName(in, "other", 1, 0);
  std::string out = captured([&] { dumpTables(in, "max"); });
  EXPECT_NE(out.find("MAXITER{INTEGER Static} = 100"), std::string::npos);
  EXPECT_NE(out.find("maxevals{INTEGER Static} = 5"), std::string::npos);
  EXPECT_EQ(out.find("other"), std::string::npos);
  EXPECT_EQ(out.find("BEGIN TABLE"), std::string::npos);
  EXPECT_EQ(captured([&] { dumpTables(in, ""); }).rfind("-------- BEGIN TABLE ------------\n", 0), 0u);
}

TEST_F(SymbolTest, ElementCountsSaturateAboveTheLimit) {
  // Extents of 2^32 - 1 multiply to about 1.8e19, past 64 bits: the count
  // must stay above the limit instead of wrapping.
  Dims huge;
  huge.lo = {-2147483647, -2147483647};
  huge.hi = {2147483647, 2147483647};
  EXPECT_EQ(huge.elements(), kMaxElements + 1);
  Dims fits;
  fits.lo = {1, 0};
  fits.hi = {65536, 32767};  // 65536 * 32768 = 2^31, one above the limit
  EXPECT_EQ(fits.elements(), kMaxElements + 1);
  fits.hi = {65535, 32767};  // 65535 * 32768
  EXPECT_EQ(fits.elements(), 2147450880);
}

TEST_F(SymbolTest, DumpOrderIsBucketThenNewestFirst) {
  // "B" hashes to 3, "A" and "a1" differ: A -> 2, and a1: 'a' -> 2, '1' (49 mod 32 = 17) -> 3 + 17 = 20.
  declareStatic(in, "B", ValueType::Integer, nullptr, 0);
  declareStatic(in, "A", ValueType::Integer, nullptr, 0);
  declareConstant(in, "%T1", ValueType::Integer, nullptr);
  declareStatic(in, "a1", ValueType::Integer, nullptr, 0);
  // '%' (37 mod 32 = 5) -> 6, 'T' -> (6 mod 4) + 1 + 20 = 23, '1' -> (23 mod 4) + 1 + 17 = 21.
  ASSERT_EQ(hashName("%T1"), 21);
  const std::string out = captured([&] { dumpTables(in, ""); });
  const auto at = [&](const char* name) { return out.find(std::string("\n") + name + "{"); };
  EXPECT_LT(at("A"), at("B"));
  EXPECT_LT(at("B"), at("a1"));
  EXPECT_LT(at("a1"), at("%T1"));
  EXPECT_EQ(lookup(in, "A1")->name, "a1");
}

}  // namespace
}  // namespace zav
