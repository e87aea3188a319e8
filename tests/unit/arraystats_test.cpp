// Array statistics, VSORT and the data-variable conversions.
//
// Every expected value is worked by hand from the definitions: for x = [1, 2, 3]
// and w = [1, 1, 2], sum w x = 9, sum w x^2 = 23, W = 4, so the mean is 9/4,
// the variance (23 - 81/4)/3 = 11/12. Quantiles use the position p = (W + 1) q
// on the cumulative weights of the sorted values (alternative rule
// p = 1 + (W - 1) q): for values [1, 2, 3] with weights [1, 1, 2] the
// cumulative weights are [1, 2, 4], so q = 0.5 gives p = 2.5, halfway between
// position 2 (value 2) and position 3 (value 3, whose weight covers 3 and 4).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "funcs/arraystats.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::expectError;

class ArrayStats : public ::testing::Test {
 protected:
  Interp in;
  std::vector<std::unique_ptr<ExprNode>> trees;

  void SetUp() override {
    test::prepareInterp(in);
    in.drv.staticCreation = true;
  }

  const ExprNode* parse(const std::string& text) {
    trees.emplace_back(test::parseInline(in, text, /*wholeText=*/false));
    return trees.back().get();
  }

  // The argument holder of a procedure call written as "(a, b, ...)".
  const ExprNode* args(const std::string& text) {
    test::openInline(in, text);
    auto* holder = new ExprNode(0, NodeKind::None, 0);
    trees.emplace_back(holder);
    parseArgList(in, holder, -1, -1);
    test::closeInline(in);
    return holder;
  }

  Real value(const std::string& text) { return evalReal(in, parse(text)); }

  template <ValueType T>
  Symbol* array(const char* name, const std::vector<typename Elem<T>::type>& v) {
    Dims d;
    d.lo = {1};
    d.hi = {static_cast<std::int32_t>(v.size())};
    Symbol* s = declareStatic(in, name, T, &d, 0);
    for (std::size_t i = 0; i < v.size(); ++i) element<T>(in, *s, static_cast<int>(i) + 1) = v[i];
    return s;
  }
  Symbol* reals(const char* name, const std::vector<Real>& v) { return array<ValueType::Real>(name, v); }

  Symbol* dataVar(const char* name, const std::vector<Real>& v) {
    Symbol* s = declareDataVariable(in, name);
    storeDataValues(in, *s, v.data(), static_cast<std::int32_t>(v.size()));
    in.set.nObs = static_cast<std::int32_t>(v.size());
    in.set.dIdx = 1;
    return s;
  }

  std::vector<Real> elements(const Symbol& s) {
    std::vector<Real> v;
    for (int i = 1; i <= s.count; ++i) v.push_back(element<ValueType::Real>(in, s, i));
    return v;
  }
};

TEST_F(ArrayStats, MomentsUnweightedAndWeighted) {
  reals("x", {1, 2, 3});
  reals("w", {1, 1, 2});
  array<ValueType::Integer>("k", {1, 2, 3});
  EXPECT_EQ(value("VSUM(x, 1)"), 6);
  EXPECT_EQ(value("VSUMSQ(x, 1)"), 14);
  EXPECT_EQ(value("VMEAN(x, 1)"), 2);
  EXPECT_EQ(value("VVARIANCE(x, 1)"), 1);
  EXPECT_EQ(value("VSTDEV(k, 1)"), 1);
  EXPECT_EQ(value("VSUM(x, w)"), 9);
  EXPECT_EQ(value("VSUMSQ(k, w)"), 23);
  EXPECT_EQ(value("VMEAN(x, w)"), 2.25L);
  EXPECT_NEAR(value("VVARIANCE(x, w)"), 11.0L / 12, 1e-18L);
  EXPECT_NEAR(value("VSTDEV(x, w)"), std::sqrt(11.0L / 12), 1e-18L);
  // A weight expression is evaluated with the element number as D_IDX:
  // weights 1, 2, 3 give (1 + 4 + 9)/6; D_IDX comes back afterwards.
  in.set.dIdx = 42;
  EXPECT_NEAR(value("VMEAN(x, D_IDX)"), 14.0L / 6, 1e-18L);
  EXPECT_EQ(in.set.dIdx, 42);
  // Equal values have a standard deviation of 0, not the NaN of a rounding
  // residue below 0.
  reals("same", {0.1L, 0.1L, 0.1L});
  EXPECT_NEAR(value("VSTDEV(same, 1)"), 0, 1e-15L);
}

TEST_F(ArrayStats, ComplexMoments) {
  array<ValueType::Complex>("z", {{1, 1}, {3, -1}});
  // (1+i) + (3-i) = 4; squares 2i and 8-6i sum to 8-4i; the variance is
  // ((8-4i) - 16/2)/(2 - 1) = -4i.
  const Complex s = evalComplex(in, parse("VSUM(z, 1)"));
  EXPECT_EQ(s.re, 4);
  EXPECT_EQ(s.im, 0);
  const Complex m = evalComplex(in, parse("VMEAN(z, 1)"));
  EXPECT_EQ(m.re, 2);
  const Complex q = evalComplex(in, parse("VSUMSQ(z, 1)"));
  EXPECT_EQ(q.re, 8);
  EXPECT_EQ(q.im, -4);
  const Complex v = evalComplex(in, parse("VVARIANCE(z, 1)"));
  EXPECT_EQ(v.re, 0);
  EXPECT_EQ(v.im, -4);
}

TEST_F(ArrayStats, ExtremesKeepTheElementType) {
  reals("r", {3, -1.5L, 2});
  array<ValueType::Integer>("i", {4, -7, 9});
  array<ValueType::String>("s", {"pear", "apple", "zoo"});
  array<ValueType::Char>("c", {'q', 'b', 'x'});
  EXPECT_EQ(value("VMAX(r)"), 3);
  EXPECT_EQ(value("VMIN(r)"), -1.5L);
  EXPECT_EQ(evalInteger(in, parse("VMAX(i)")), 9);
  EXPECT_EQ(evalInteger(in, parse("VMIN(i)")), -7);
  EXPECT_EQ(evalString(in, parse("VMAX(s)")), "zoo");
  EXPECT_EQ(evalString(in, parse("VMIN(s)")), "apple");
  EXPECT_EQ(evalChar(in, parse("VMAX(c)")), 'x');
  EXPECT_EQ(evalChar(in, parse("VMIN(c)")), 'b');
  // A data variable not yet read holds no observations.
  declareDataVariable(in, "empty");
  EXPECT_EQ(value("VMIN(empty)"), in.set.infinity);
  EXPECT_EQ(value("VMAX(empty)"), in.set.negInfinity);
}

TEST_F(ArrayStats, QuantilesLeaveTheArrayAlone) {
  Symbol* b = reals("b", {3, 1, 2});
  reals("w", {2, 1, 1});  // weights of 3, 1, 2
  EXPECT_EQ(value("VMEDIAN(b, 1)"), 2);
  EXPECT_EQ(elements(*b), (std::vector<Real>{3, 1, 2}));
  EXPECT_EQ(value("VMEDIAN(b, w)"), 2.5L);
  EXPECT_EQ(value("VQUANTILE(b, w, 0.25)"), 1.25L);  // p = 1.25: 0.75 * 1 + 0.25 * 2
  EXPECT_EQ(value("VQUANTILE(b, w, 0.9)"), 3);       // p = 4.5: past the total, the last value
  EXPECT_EQ(value("VQUANTILE(b, w, 0)"), 1);
  EXPECT_EQ(elements(*b), (std::vector<Real>{3, 1, 2}));
  reals("f", {4, 1, 3, 2});
  EXPECT_EQ(value("VQUANTILE(f, 1, 0.25)"), 1.25L);  // p = 5 * 0.25
  in.set.altVQuantile = true;
  EXPECT_EQ(value("VQUANTILE(f, 1, 0.25)"), 1.75L);  // p = 1 + 3 * 0.25
}

TEST(WeightedQuantile, PositionsOnCumulativeWeights) {
  struct Case {
    std::vector<Real> values, weights;
    Real q;
    Real want;
  };
  const Case cases[] = {
      {{10, 20, 30, 40}, {}, 0.5L, 25},          // p = 2.5
      {{10, 20, 30, 40}, {}, 0.2L, 10},          // p = 1
      {{10, 20, 30, 40}, {}, 1, 40},             // p = 5, past the end
      {{10, 20, 30}, {1, 0, 1}, 0.5L, 10 * 0.5L + 30 * 0.5L},  // zero weight never covers a position
      {{5, 1}, {3, 1}, 0.5L, 5},                 // sorted [1, 5], cumulative [1, 4]: p = 2.5 inside 5's weight
      {{7}, {}, 0.3L, 7},
  };
  for (const Case& c : cases) EXPECT_NEAR(weightedQuantile(c.values, c.weights, c.q, false), c.want, 1e-17L);
  EXPECT_TRUE(std::isnan(weightedQuantile({}, {}, 0.5L, false)));
}

TEST(HeapSortOrder, SortsAPermutationOfAllPositions) {
  std::vector<int> keys;
  unsigned seed = 12345;
  for (int i = 0; i < 1000; ++i) {
    seed = seed * 1103515245u + 12345u;
    keys.push_back(static_cast<int>((seed >> 16) % 50));  // many equal keys
  }
  const std::vector<std::int32_t> perm =
      heapSortOrder(1000, [&](std::int32_t a, std::int32_t b) { return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)]; });
  std::vector<bool> seen(1000, false);
  for (std::size_t k = 0; k < perm.size(); ++k) {
    seen[static_cast<std::size_t>(perm[k])] = true;
    if (k > 0) {
      EXPECT_LE(keys[static_cast<std::size_t>(perm[k - 1])], keys[static_cast<std::size_t>(perm[k])]);
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 1000);
  EXPECT_TRUE(heapSortOrder(0, [](std::int32_t, std::int32_t) { return false; }).empty());
  EXPECT_EQ(heapSortOrder(1, [](std::int32_t, std::int32_t) { return false; }), std::vector<std::int32_t>{0});
}

TEST_F(ArrayStats, VsortMovesEveryArrayWithTheFirst) {
  Symbol* a = reals("a", {3, 1, 2});
  Symbol* b = reals("b", {30, 10, 20});
  Symbol* s = array<ValueType::String>("s", {"c", "a", "b"});
  procVsort(in, args("(a, b, s)"));
  EXPECT_EQ(elements(*a), (std::vector<Real>{1, 2, 3}));
  EXPECT_EQ(elements(*b), (std::vector<Real>{10, 20, 30}));
  EXPECT_EQ(getString(in, *s, 1) + getString(in, *s, 2) + getString(in, *s, 3), "abc");
  // Keys of text sort by their characters.
  procVsort(in, args("(s, a)"));
  EXPECT_EQ(elements(*a), (std::vector<Real>{1, 2, 3}));
}

TEST_F(ArrayStats, DataVariablesSortAndConvert) {
  Symbol* v = dataVar("v", {5, 1, 4, 2});
  reals("x", {1, 2, 3, 4});
  EXPECT_EQ(value("VMEAN(v, 1)"), 3);
  EXPECT_EQ(value("VMEDIAN(v, 1)"), 3);  // sorted [1, 2, 4, 5], p = 2.5
  EXPECT_EQ(value("VMEAN(x, v)"), (5 + 2 + 12 + 8) / 12.0L);  // a data variable as the weight
  procVsort(in, args("(v, x)"));
  EXPECT_EQ(elements(*lookup(in, "x")), (std::vector<Real>{2, 4, 3, 1}));
  EXPECT_EQ(static_cast<const Real*>(v->block)[0], 1);
  EXPECT_EQ(static_cast<const Real*>(v->block)[3], 5);
  EXPECT_EQ(getReal(in, *lookup(in, "v.SUM"), 1), 12);

  procDataToArray(in, args("(v)"));
  EXPECT_FALSE(v->has(kDataVar));
  ASSERT_TRUE(v->dims);
  EXPECT_EQ(v->count, 4);
  EXPECT_EQ(value("VMAX(v)"), 5);
  element<ValueType::Real>(in, *v, 2) = 10;  // 1, 10, 4, 5
  procArrayToData(in, args("(v)"));
  EXPECT_TRUE(v->has(kDataVar));
  EXPECT_FALSE(v->dims);
  EXPECT_EQ(dataObsCount(*v), 4);
  EXPECT_EQ(getReal(in, *lookup(in, "v.MAX"), 1), 10);
  EXPECT_EQ(getReal(in, *lookup(in, "v.MEAN"), 1), 5);

  // An array of N_OBS reals becomes a data variable too.
  Symbol* x = lookup(in, "x");
  procArrayToData(in, args("(x)"));
  EXPECT_TRUE(x->has(kDataVar));
  in.set.dIdx = 2;
  EXPECT_EQ(value("x"), 4);
}

TEST_F(ArrayStats, Errors) {
  reals("x", {1, 2, 3});
  reals("short", {1, 2});
  array<ValueType::Integer>("ints", {1, 2, 3});
  in.set.nObs = 3;
  expectError([&] { value("VMEAN(2, 1)"); }, "data", "Argument 1 to VMEAN was not an array or data variable, it was IDENTIFIER");
  expectError([&] { value("VMAX(x[1] + 1)"); }, "data", "Argument 1 to VMAX was not an array or data variable, it was FUNCTION");
  expectError([&] { value("VSUM(x, short)"); }, "data", "Argument 2 to VSUM was not the same length as the first argument");
  expectError([&] { value("VQUANTILE(x, 1, 1.5)"); }, "math",
              "Bad quantile argument to VQUANTILE should be > 0 and < 1 but = 1.5000000000");
  expectError([&] { procVsort(in, args("")); }, "run time", "Too few arguments to VSORT");
  expectError([&] { procVsort(in, args("(x, 5)")); }, "data", "Argument 2 to VSORT  was not an array; it was a IDENTIFIER");
  expectError([&] { procVsort(in, args("(x, short)")); }, "data",
              "Argument 2 to VSORT . was not the same length as the first argument");
  expectError([&] { procDataToArray(in, args("(x)")); }, "data", "x isn't a data variable.  Can't change it to an array.");
  expectError([&] { procArrayToData(in, args("(short)")); }, "data",
              "Argument short is the wrong length   to be converted to a DATAARRAY");
  expectError([&] { procArrayToData(in, args("(ints)")); }, "data",
              "Argument ints is the wrong type   to be converted to a DATAARRAY");
  expectError([&] { procArrayToData(in, args("(x, PI)")); }, "data",
              "Argument 2 to ARRAYTODATA  was not an array; it was a IDENTIFIER");
}

}  // namespace
}  // namespace zav
