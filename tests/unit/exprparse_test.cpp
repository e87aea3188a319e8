// Argument checks of user-defined FUNCTION calls, and how a reference to a
// data variable picks its element: both decide which storage an expression
// may reach, so a gap here reads or writes past a variable's block.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::Outcome;
using test::runLine;

constexpr const char* kArrayFormal = "FUNCTION f(VAR a: REAL[1 TO 3]): REAL a[3] = 7 RETURN = a[1] + a[3] END ";

TEST(VarArrayParameter, TakesOnlyAWholeArrayOfItsShape) {
  struct Case {
    const char* declaration;
    const char* argument;
    const char* message;
  } cases[] = {
      // A scalar or one element would give the routine three elements where
      // the caller has one.
      {"x: REAL x = 1 ", "x", "Wrong number of dimensions assigning a passed as a VAR parameter to x. Expected 1, found 0"},
      {"x: REAL[1 TO 3] x = 1 ", "x[2]",
       "Wrong number of dimensions assigning a passed as a VAR parameter to x. Expected 1, found 0"},
      {"x: REAL[0 TO 2] x = 1 ", "x",
       "Bad subscripts assigning a passed as a VAR parameter to x. dimension 1  a range: 1 to 3. Found: 0 to 2."},
      {"x: REAL[1 TO 3, 1 TO 1] x = 1 ", "x",
       "Wrong number of dimensions assigning a passed as a VAR parameter to x. Expected 1, found 2"},
  };
  for (const Case& c : cases) {
    const std::string program = std::string(c.declaration) + kArrayFormal + "y = f(" + c.argument + ")";
    SCOPED_TRACE(program);
    const Outcome o = runLine(program);
    EXPECT_EQ(o.status, kExitError);
    EXPECT_NE(o.out.find(") Error (parser): " + std::string(c.message) + "\n"), std::string::npos) << o.out;
  }
}

TEST(VarArrayParameter, WholeArrayIsSharedWithTheCaller) {
  // 1 + 7 from the function; then the caller sees the 7 written through a.
  const Outcome o = runLine(std::string("x: REAL[1 TO 3] x = 1 ") + kArrayFormal + "PRINTLN(f(x)) PRINTLN(x[3])");
  EXPECT_EQ(o.status, kExitOk) << o.out;
  EXPECT_EQ(o.out, "8.0000000000\n7.0000000000\n");
}

// A data variable holds one element per observation; a reference reads the
// current observation D_IDX whatever subscript it carries.
class DataVariable : public ::testing::Test {
 protected:
  Interp in;
  std::unique_ptr<ExprNode> tree;

  void SetUp() override { test::prepareInterp(in); }

  // A REAL data variable v holding 10, 20, 30 for observations 1 to 3.
  Symbol* makeDataVariable() {
    Dims three;
    three.lo = {1};
    three.hi = {3};
    Symbol* v = declareStatic(in, "v", ValueType::Real, &three, 0);
    v->dims.reset();
    v->flags |= kDataVar;
    for (int i = 1; i <= 3; ++i) static_cast<Real*>(v->block)[i - 1] = 10.0L * i;
    return v;
  }

  const ExprNode* parse(const std::string& text) {
    tree.reset(test::parseInline(in, text, /*wholeText=*/false));
    return tree.get();
  }
};

TEST_F(DataVariable, ASubscriptPicksTheObservation) {
  Symbol* v = makeDataVariable();
  // The block holds observations and the seven statistics behind them.
  void* block = createBlock(in, 3 + 7, ValueType::Real);
  for (int i = 1; i <= 3; ++i) static_cast<Real*>(block)[i - 1] = 10.0L * i;
  freeBlock(in, v->block, v->count, ValueType::Real);
  v->block = block;
  v->count = 3 + 7;
  in.set.dIdx = 2;
  EXPECT_EQ(evalReal(in, parse("v")), 20.0L);
  EXPECT_EQ(evalReal(in, parse("v[3]")), 30.0L);
  EXPECT_EQ(evalReal(in, parse("v[1]")), 10.0L);
  // An observation number past the store reads nothing outside it.
  EXPECT_THROW(evalReal(in, parse("v[4]")), RunEnd);
}

// Every literal is an anonymous constant in the global table. Parsing must
// cost the same per literal however many there are: the symbol-table probes
// (index entries compared by lookups) of ten times the literals are about
// ten times as many, not a hundred. The bounds are loose because the load
// of the index's hash buckets varies between its rehashes.
std::uint64_t probesToParse(int literals) {
  Interp in;
  test::prepareInterp(in);
  declareStatic(in, "x", ValueType::Real, nullptr, 0);
  // Groups of 100 terms keep the tree far below the height limit.
  std::string text;
  for (int i = 0; i < literals; ++i) {
    if (i % 100 == 0) text += i == 0 ? "(" : ") + (";
    else text += " + ";
    text += "x * " + std::to_string(i);
  }
  text += ")";
  const std::uint64_t before = in.global->probes;
  std::unique_ptr<ExprNode> tree(test::parseInline(in, text));
  EXPECT_EQ(in.drv.tempCounter, literals);
  return in.global->probes - before;
}

TEST(ParseCost, SymbolTableProbesGrowLinearlyWithTheLiterals) {
  const std::uint64_t small = probesToParse(10000);
  const std::uint64_t large = probesToParse(100000);
  ASSERT_GT(small, 0u);
  const double ratio = static_cast<double>(large) / static_cast<double>(small);
  EXPECT_GT(ratio, 5.0) << small << " " << large;
  EXPECT_LT(ratio, 30.0) << small << " " << large;
}

}  // namespace
}  // namespace zav
