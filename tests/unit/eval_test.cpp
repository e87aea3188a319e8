// The evaluators end to end: expressions are scanned and parsed from text
// by the real scanner and parser, then walked. Covers the array element
// mapping and its messages, the pair typing rule row by row, ROUND and TRUNC
// at ties and limits, ISNEAR, and IF evaluating only the branch it chooses.
//
// Reference values are worked by hand from the definitions: element numbers
// from "first subscript varies fastest", rounding from round-half-to-even,
// and the message numbers from the real-to-text width rules (an integer part
// of m digits in a field of w leaves w - 1 - m decimals, one fewer with a
// sign).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::captured;
using test::endedRun;
using test::expectError;

using VT = ValueType;

class Eval : public ::testing::Test {
 protected:
  Interp in;
  std::vector<std::unique_ptr<ExprNode>> trees;

  void SetUp() override { test::prepareInterp(in); }

  // Parses the whole text as one expression, read as a command-line source.
  const ExprNode* parse(const std::string& text) {
    trees.emplace_back(test::parseInline(in, text));
    return trees.back().get();
  }

  Symbol* array(const char* name, VT type, std::vector<std::int32_t> lo, std::vector<std::int32_t> hi) {
    Dims d;
    d.lo = std::move(lo);
    d.hi = std::move(hi);
    return declareStatic(in, name, type, &d, 0);
  }
};

// ------------------------------------------------------------ linearIndex

TEST_F(Eval, LinearIndexFirstSubscriptVariesFastest) {
  array("a", VT::Integer, {0, 1}, {2, 3});
  struct Case {
    const char* text;
    int element;
  };
  const Case cases[] = {
      {"a[0, 1]", 1}, {"a[1, 1]", 2}, {"a[2, 1]", 3}, {"a[0, 2]", 4}, {"a[1, 2]", 5},
      {"a[2, 2]", 6}, {"a[0, 3]", 7}, {"a[1 3]", 8},  {"a[2, 3]", 9},
  };
  for (const Case& c : cases) EXPECT_EQ(linearIndex(in, parse(c.text)), c.element) << c.text;
}

TEST_F(Eval, LinearIndexThreeDimensions) {
  // Extents 2, 2, 3: the third subscript steps over 4 elements.
  array("c", VT::Real, {1, 0, 5}, {2, 1, 7});
  EXPECT_EQ(linearIndex(in, parse("c[1, 0, 5]")), 1);
  EXPECT_EQ(linearIndex(in, parse("c[2, 0, 5]")), 2);
  EXPECT_EQ(linearIndex(in, parse("c[1, 1, 5]")), 3);
  EXPECT_EQ(linearIndex(in, parse("c[2, 0, 6]")), 6);
  EXPECT_EQ(linearIndex(in, parse("c[2, 1, 7]")), 12);
}

TEST_F(Eval, SubscriptsAreExpressions) {
  array("a", VT::Integer, {0, 1}, {2, 3});
  EXPECT_EQ(linearIndex(in, parse("a[5 - 3, 1 + 2]")), 9);
  EXPECT_EQ(linearIndex(in, parse("a[IF TRUE THEN 1 ELSE 0 END, 7 DIV 3]")), 5);
}

TEST_F(Eval, ElementsAreReadAtTheirLinearIndex) {
  Symbol* a = array("a", VT::Integer, {0, 1}, {2, 3});
  for (int i = 1; i <= 9; ++i) setInteger(in, *a, i, 100 + i);
  EXPECT_EQ(evalInteger(in, parse("a[2, 1]")), 103);
  EXPECT_EQ(evalInteger(in, parse("a[0, 2]")), 104);
  EXPECT_EQ(evalInteger(in, parse("a[2, 3] - a[0, 1]")), 8);
  EXPECT_EQ(evalReal(in, parse("a[1, 2] / 2")), 52.5L);
}

TEST_F(Eval, SubscriptOutOfRangeNamesTheDimensionBounds) {
  array("a", VT::Integer, {0, 1}, {2, 3});
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"a[3, 1]", "Subscript out of range for a. Found 3.  Valid range is [0 to 2]"},
      {"a[-1, 1]", "Subscript out of range for a. Found -1.  Valid range is [0 to 2]"},
      {"a[0, 0]", "Subscript out of range for a. Found 0.  Valid range is [1 to 3]"},
      {"a[2, 4]", "Subscript out of range for a. Found 4.  Valid range is [1 to 3]"},
  };
  for (const Case& c : cases) {
    const ExprNode* n = parse(c.text);
    expectError([&] { linearIndex(in, n); }, "run time", c.message);
  }
}

TEST_F(Eval, WholeArrayHasNoElementNumber) {
  array("a", VT::Integer, {0, 1}, {2, 3});
  const ExprNode* n = parse("a");
  EXPECT_EQ(n->kind, NodeKind::Array);
  expectError([&] { linearIndex(in, n); }, "run time", "Missing subscript, dimension 1 for, a");
}

TEST_F(Eval, ScalarIsElementOneAndRefusesSubscripts) {
  declareStatic(in, "s", VT::Integer, nullptr, 0);
  EXPECT_EQ(linearIndex(in, parse("s")), 1);
  // The parser never subscripts a scalar, so the tree is made by hand.
  ExprNode n(0, NodeKind::Identifier, 0);
  n.symbol = lookup(in, "s");
  n.children.push_back(const_cast<ExprNode*>(parse("1")));
  trees.back().release();  // now owned by n
  expectError([&] { linearIndex(in, &n); }, "run time", "s can't be called with subscripts");
}

// ------------------------------------------------------------- pair rule

TypeSet set(std::initializer_list<VT> types) {
  TypeSet s = 0;
  for (VT t : types) s |= typeBit(t);
  return s;
}

TEST(PairRule, FirstMatchingRowDecides) {
  const TypeSet numbers = set({VT::Integer, VT::Real, VT::Complex});                              // 112
  const TypeSet anyValue = set({VT::Boolean, VT::Integer, VT::Real, VT::Complex, VT::String});  // 248
  struct Row {
    const char* what;
    TypeSet operands, allowed;
    VT result, op;
  };
  const Row rows[] = {
      {"1: integers stay integer", set({VT::Integer}), numbers, VT::Integer, VT::Integer},
      {"1: before 2 when both allowed", set({VT::Integer}), set({VT::Integer, VT::Real}), VT::Integer, VT::Integer},
      {"2: integers computed, real result", set({VT::Integer}), set({VT::Real, VT::Complex}), VT::Real,
       VT::Integer},
      {"3: reals", set({VT::Real}), numbers, VT::Real, VT::Real},
      {"3: integer and real", set({VT::Integer, VT::Real}), numbers, VT::Real, VT::Real},
      {"3: before the complex rows", set({VT::Real}), set({VT::Real, VT::Complex}), VT::Real, VT::Real},
      {"4: complex", set({VT::Complex}), numbers, VT::Complex, VT::Complex},
      {"4: integer and complex", set({VT::Integer, VT::Complex}), numbers, VT::Complex, VT::Complex},
      {"4: real and complex", set({VT::Real, VT::Complex}), numbers, VT::Complex, VT::Complex},
      {"5: real under complex only", set({VT::Real}), set({VT::Complex}), VT::Complex, VT::Real},
      {"5: integer and real under complex only", set({VT::Integer, VT::Real}), set({VT::Complex}), VT::Complex,
       VT::Real},
      {"6: integer under complex only", set({VT::Integer}), set({VT::Complex}), VT::Complex, VT::Integer},
      {"7: booleans", set({VT::Boolean}), anyValue, VT::Boolean, VT::Boolean},
      {"8: characters join to a string", set({VT::Char}), set({VT::Char}) | anyValue, VT::String, VT::String},
      {"9: characters under STRING", set({VT::Char}), anyValue, VT::String, VT::Char},
      {"9: character and string", set({VT::Char, VT::String}), anyValue, VT::String, VT::Char},
      {"9: strings", set({VT::String}), anyValue, VT::String, VT::Char},
  };
  for (const Row& r : rows) {
    const CallTyping t = pairRule(r.operands, r.allowed);
    EXPECT_TRUE(t.ok) << r.what;
    EXPECT_EQ(t.result, r.result) << r.what;
    EXPECT_EQ(t.op, r.op) << r.what;
  }
}

TEST(PairRule, NoRowIsTheBadTypeError) {
  const TypeSet order = set({VT::Boolean, VT::Integer, VT::Real, VT::String});  // 184
  const TypeSet anyValue = set({VT::Boolean, VT::Integer, VT::Real, VT::Complex, VT::String});
  struct Row {
    const char* what;
    TypeSet operands, allowed;
  };
  const Row rows[] = {
      {"boolean beside integer under order", set({VT::Boolean, VT::Integer}), order},
      {"complex is not ordered", set({VT::Complex}), order},
      {"real where only integers go", set({VT::Real}), set({VT::Integer})},
      {"mixed logical operands", set({VT::Boolean, VT::Integer}), set({VT::Boolean, VT::Integer})},
      {"string not allowed", set({VT::String}), set({VT::Integer, VT::Real, VT::Complex})},
      // A number beside a string or a boolean is an error, not a COMPLEX
      // value: IF 1 ... ELSE "a" must not type as COMPLEX.
      {"integer beside string", set({VT::Integer, VT::String}), anyValue},
      {"real beside boolean", set({VT::Real, VT::Boolean}), anyValue},
      {"character under complex", set({VT::Char}), set({VT::Complex})},
  };
  for (const Row& r : rows) {
    const CallTyping t = pairRule(r.operands, r.allowed);
    EXPECT_FALSE(t.ok) << r.what;
    EXPECT_EQ(t.found, r.operands) << r.what;
    EXPECT_EQ(t.expected, r.allowed) << r.what;
  }
}

TEST_F(Eval, OperatorTreesTakeTheirTypesFromThePairRule) {
  struct Case {
    const char* text;
    VT result, op;
  };
  const Case cases[] = {
      {"7 / 2", VT::Real, VT::Integer},
      {"7 DIV 2", VT::Integer, VT::Integer},
      {"7 * 2.5", VT::Real, VT::Real},
      {"1 = 2.5", VT::Boolean, VT::Real},
      {"1 + 2i", VT::Complex, VT::Complex},
      // ADD does not allow CHAR itself, so two characters join under STRING.
      {"'a' + 'b'", VT::String, VT::Char},
      {"\"a\" + 'b'", VT::String, VT::Char},
      {"'a' < \"b\"", VT::Boolean, VT::Char},
      {"TRUE AND FALSE", VT::Boolean, VT::Boolean},
      {"6 AND 3", VT::Integer, VT::Integer},
      {"2 ^ 3", VT::Real, VT::Integer},
      {"IF TRUE THEN 1 ELSE 2.5 END", VT::Real, VT::Real},
      {"IF TRUE THEN 'a' ELSE \"bc\" END", VT::String, VT::String},
  };
  for (const Case& c : cases) {
    const ExprNode* n = parse(c.text);
    EXPECT_EQ(n->resultType, c.result) << c.text;
    EXPECT_EQ(n->opType, c.op) << c.text;
  }
}

TEST_F(Eval, OperatorsAreCallsOfTheirFunctions) {
  const ExprNode* byName = parse("ADD(1, MULTIPLY(2, 3))");
  const ExprNode* byOperator = parse("1 + 2 * 3");
  for (const ExprNode* n : {byName, byOperator}) {
    ASSERT_EQ(n->kind, NodeKind::Function);
    EXPECT_EQ(n->index, static_cast<int>(Fn::ADD));
    ASSERT_EQ(n->childCount(), 2);
    EXPECT_EQ(n->children[1]->index, static_cast<int>(Fn::MULTIPLY));
  }
  // The operand of a unary minus is a factor, and ^ folds to the left.
  const ExprNode* neg = parse("-2^2");
  EXPECT_EQ(neg->index, static_cast<int>(Fn::POWER));
  EXPECT_EQ(neg->children[0]->index, static_cast<int>(Fn::NEGATE));
  const ExprNode* pow = parse("2^3^2");
  EXPECT_EQ(pow->children[0]->index, static_cast<int>(Fn::POWER));
  EXPECT_EQ(pow->children[1]->kind, NodeKind::Identifier);
  EXPECT_EQ(evalReal(in, neg), 4.0L);
  EXPECT_EQ(evalReal(in, pow), 64.0L);
}

TEST_F(Eval, ChainedComparisonIsATypeError) {
  const std::string out = endedRun([&] { parse("1 < 2 < 3"); });
  EXPECT_NE(out.find("ISLT(x1, x2) returns x1 < x2\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Error (parser): Bad argument type to function ISLT. Found:  BOOLEAN INTEGER . Expected:  "
                     "BOOLEAN INTEGER REAL STRING \n"),
            std::string::npos)
      << out;
}

// -------------------------------------------------------- ROUND and TRUNC

TEST_F(Eval, RoundTiesGoToEven) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"ROUND(0.5)", 0},        {"ROUND(1.5)", 2},
      {"ROUND(2.5)", 2},        {"ROUND(3.5)", 4},
      {"ROUND(-0.5)", 0},       {"ROUND(-1.5)", -2},
      {"ROUND(-2.5)", -2},      {"ROUND(2.4999)", 2},
      {"ROUND(2.5001)", 3},     {"ROUND(-2.5001)", -3},
      {"ROUND(7 / 2)", 4},      {"ROUND(2147483646.5)", 2147483646},
      {"ROUND(-(2147483645.5))", -2147483646},
      {"TRUNC(2.7)", 2},        {"TRUNC(-2.7)", -2},
      {"TRUNC(2147483646.9)", 2147483646},
  };
  for (const Case& c : cases) EXPECT_EQ(evalInteger(in, parse(c.text)), c.value) << c.text;
}

TEST_F(Eval, RoundOutsideTheIntegerRangeStops) {
  struct Case {
    const char* text;
    const char* message;
  };
  // The argument prints in 16 columns: ten integer digits leave 5 decimals,
  // 4 after a minus sign.
  const Case cases[] = {
      {"ROUND(3E9)", "calling ROUND(3000000000.00000): out of range of integer"},
      {"ROUND(2147483648.0)", "calling ROUND(2147483648.00000): out of range of integer"},
      {"TRUNC(-2147483649.0)", "calling TRUNC(-2147483649.0000): out of range of integer"},
  };
  for (const Case& c : cases) {
    const ExprNode* n = parse(c.text);
    expectError([&] { evalInteger(in, n); }, "run time", c.message);
  }
}

// ------------------------------------------------------------------ ISNEAR

TEST_F(Eval, IsNearIncludesBothEnds) {
  struct Case {
    const char* text;
    bool value;
  };
  const Case cases[] = {
      {"ISNEAR(1.05, 1, 0.05)", true}, {"ISNEAR(0.95, 1, 0.1)", true}, {"ISNEAR(1.2, 1, 0.1)", false},
      {"ISNEAR(0.8, 1, 0.1)", false},  {"ISNEAR(1, 1, 0)", true},       {"ISNEAR(2, 1, 1)", true},
      {"ISNEAR(0, 1, 1)", true},       {"ISNEAR(3, 1, 1)", false},      {"ISNEAR(-1, 1, 1)", false},
  };
  for (const Case& c : cases) EXPECT_EQ(evalBoolean(in, parse(c.text)), c.value) << c.text;
}

TEST_F(Eval, IsNearTakesNumbersOnly) {
  const std::string out = endedRun([&] { parse("ISNEAR(\"a\", 1, 1)"); });
  EXPECT_NE(out.find("Bad argument type to function ISNEAR. Found:  INTEGER STRING . Expected:  REAL \n"),
            std::string::npos)
      << out;
}

// ---------------------------------------------------------------------- IF

TEST_F(Eval, IfEvaluatesOnlyTheChosenValue) {
  EXPECT_EQ(evalReal(in, parse("IF FALSE THEN SQRT(-1) ELSE 2.5 END")), 2.5L);
  EXPECT_EQ(evalReal(in, parse("IF TRUE THEN 1.5 ELSE SQRT(-1) END")), 1.5L);
  EXPECT_EQ(evalReal(in, parse("IF 1 > 2 THEN INVERT(0) ELSEIF 2 > 1 THEN 7.5 ELSE INVERT(0) END")), 7.5L);
  EXPECT_EQ(evalString(in, parse("IF FALSE THEN SUBSTRING(\"abc\", 1, 1) + 'x' ELSE \"yz\" END")), "yz");
  // The error is real when that value is chosen.
  const ExprNode* chosen = parse("IF FALSE THEN 1.5 ELSE SQRT(-1) END");
  expectError([&] { evalReal(in, chosen); }, "funct",
              "Attempted the square root of a negative number: -1.000000");
}

TEST_F(Eval, IfStopsTestingAtTheFirstTrueCondition) {
  // PUT writes its argument, so the output shows which parts ran.
  const ExprNode* n =
      parse("IF PUT(1) > 1 THEN PUT(10) ELSEIF PUT(2) > 1 THEN PUT(20) ELSEIF PUT(3) > 1 THEN PUT(30) ELSE PUT(40) END");
  std::int32_t v = 0;
  EXPECT_EQ(captured([&] { v = evalInteger(in, n); }), "1\n2\n20\n");
  EXPECT_EQ(v, 20);
}

TEST_F(Eval, IfWithoutTrueConditionTakesElse) {
  const ExprNode* n = parse("IF PUT(1) > 1 THEN PUT(10) ELSEIF PUT(2) > 2 THEN PUT(20) ELSE PUT(30) END");
  std::int32_t v = 0;
  EXPECT_EQ(captured([&] { v = evalInteger(in, n); }), "1\n2\n30\n");
  EXPECT_EQ(v, 30);
}

// ---------------------------------------------------- INTEGER overflow

TEST_F(Eval, IntegerResultsOutsideThirtyTwoBitsStop) {
  struct Case {
    const char* text;
    const char* message;
  };
  // MAXINT = 2^31 - 1, so -MAXINT - 1 = -2^31; 65536 * 65536 = 2^32.
  const Case cases[] = {
      {"MAXINT + 1", "Integer overflow in 2147483647 + 1"},
      {"(-MAXINT - 1) - 1", "Integer overflow in -2147483648 - 1"},
      {"65536 * 65536", "Integer overflow in 65536 * 65536"},
      {"-(-MAXINT - 1)", "Integer overflow in -(-2147483648)"},
      {"ABS((-MAXINT - 1))", "Integer overflow in ABS(-2147483648)"},
      {"INC(MAXINT)", "Integer overflow in INC(2147483647)"},
      {"DEC((-MAXINT - 1))", "Integer overflow in DEC(-2147483648)"},
      {"1 SHL 40", "Integer overflow in 1 SHL 40"},
      {"1 SHL 31", "Integer overflow in 1 SHL 31"},
      {"3 SHL 30", "Integer overflow in 3 SHL 30"},
      {"1 SHL -1", "Integer overflow in 1 SHL -1"},
      {"1 SHR -1", "Integer overflow in 1 SHR -1"},
      {"(-MAXINT - 1) DIV -1", "Integer overflow in -2147483648 DIV -1"},
      {"SIGN((-MAXINT - 1), 1)", "Integer overflow in SIGN(-2147483648)"},
  };
  for (const Case& c : cases) {
    const ExprNode* n = parse(c.text);
    expectError([&] { evalInteger(in, n); }, "math", c.message);
  }
}

TEST_F(Eval, IntegerResultsAtTheEdgesOfTheRangeFit) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"MAXINT - 1 + 1", 2147483647},  {"(-MAXINT - 1) + 1 - 1", -2147483647 - 1}, {"-MAXINT", -2147483647},
      {"46340 * 46340", 2147395600},   {"-65536 * 32768", -2147483647 - 1}, {"ABS(-MAXINT)", 2147483647},
      {"INC(MAXINT - 1)", 2147483647}, {"DEC((-MAXINT - 1) + 1)", -2147483647 - 1}, {"1 SHL 30", 1073741824},
      {"-1 SHL 31", -2147483647 - 1},  {"0 SHL 40", 0},                     {"8 SHR 40", 0},
      {"-1 SHR 28", 15},               {"(-MAXINT - 1) DIV 1", -2147483647 - 1},   {"(-MAXINT - 1) MOD -1", 0},
      {"SIGN((-MAXINT - 1), -1)", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(evalInteger(in, parse(c.text)), c.value) << c.text;
}

}  // namespace
}  // namespace zav
