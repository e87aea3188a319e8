// The string library.
#include "funcs/strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/machine.h"
#include "support.h"

namespace zav {
namespace {

using test::endedRun;

TEST(Strings, NumbersToText) {
  Interp in;
  EXPECT_EQ(strInt2Str(-42), "-42");
  EXPECT_EQ(strInt2Str(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(strPadInt(7, 3, '0'), "007");
  EXPECT_EQ(strPadInt(1234, 3, '0'), "1234");
  EXPECT_EQ(strPadInt(-5, 4, ' '), "  -5");
  EXPECT_EQ(strPadInt(1, 1000, '*').size(), 255u);
  EXPECT_EQ(strToBase(in, 255, 16), "FF");
  EXPECT_EQ(strToBase(in, -5, 2), "-101");
  EXPECT_EQ(strToBase(in, 0, 7), "0");
  EXPECT_EQ(strToBase(in, 35, 36), "Z");
  EXPECT_EQ(strToBase(in, -2147483647 - 1, 16), "-80000000");
  EXPECT_EQ(strBool2Str(true), "TRUE");
  EXPECT_EQ(strBool2Str(false), "FALSE");
}

TEST(Strings, RealToTextGoesThroughTheNumberFormat) {
  Interp in;
  initMachineConstants(in.set);
  // Width 8, |x| >= 1 with one integer digit: 8 - 1 - 1 = 6 decimals.
  EXPECT_EQ(strReal2Str(in.set, 1.5L, 8, 3), "1.500000");
  EXPECT_LE(strReal2Str(in.set, 1.5L, 400, 3).size(), 255u);
}

TEST(Strings, Characters) {
  Interp in;
  EXPECT_EQ(strChr(in, 65), 'A');
  EXPECT_EQ(strOrd(strChr(in, 255)), 255);
  EXPECT_EQ(strOrd('\xe9'), 233);  // codes count from 0 to 255, not signed
  EXPECT_EQ(strOrd('a'), 97);
}

TEST(Strings, CaseAndTrim) {
  EXPECT_EQ(strToUpper("abc xyz 1\xe9"), "ABC XYZ 1\xe9");  // accented letters stay
  EXPECT_EQ(strToLower("ABC\xc9z"), "abc\xc9z");
  EXPECT_EQ(strTrimL("  a b  "), "a b  ");
  EXPECT_EQ(strTrimR("  a b  "), "  a b");
  EXPECT_EQ(strTrim("  a b  "), "a b");
  EXPECT_EQ(strTrim("\t a \t"), "\t a \t");  // blanks only, not tabs
  EXPECT_EQ(strTrim("    "), "");
}

TEST(Strings, PositionsCountFromOneAndClamp) {
  struct Row {
    std::string got, want;
  } rows[] = {
      {strLeft("abcdef", 2), "ab"},
      {strLeft("abc", 9), "abc"},
      {strLeft("abc", -1), ""},
      {strRight("abcdef", 2), "ef"},
      {strRight("abc", 9), "abc"},
      {strRight("abc", 0), ""},
      {strSub("abcdef", 2, 3), "bcd"},
      {strSub("abc", 3, 9), "c"},
      {strSub("abc", 4, 1), ""},
      {strSub("abc", 0, 2), "ab"},
      {strSub("abc", 2, -1), ""},
      {strDelete("abcdef", 2, 3), "aef"},
      {strDelete("abcdef", 5, 10), "abcd"},
      {strDelete("abc", 7, 1), "abc"},
      {strDelete("abc", 0, 1), "bc"},
      {strInsert("abef", "cd", 3), "abcdef"},
      {strInsert("abc", "X", 1), "Xabc"},
      {strInsert("abc", "X", 4), "abcX"},
      {strInsert("abc", "X", 99), "abcX"},
      {strInsert("abc", "X", -2), "Xabc"},
      {strConcat("ab", "cd"), "abcd"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.want);
  EXPECT_EQ(strPos("hello world", "o"), 5);
  EXPECT_EQ(strPos("hello world", "world"), 7);
  EXPECT_EQ(strPos("hello", "z"), 0);
  EXPECT_EQ(strPos("hello", ""), 0);
  EXPECT_EQ(strLen(""), 0);
  EXPECT_EQ(strLen("abc"), 3);
  EXPECT_EQ(strConcat(std::string(200, 'a'), std::string(100, 'b')).size(), 255u);
  EXPECT_EQ(strInsert(std::string(250, 'a'), std::string(10, 'b'), 1).substr(0, 10), std::string(10, 'b'));
  EXPECT_EQ(strInsert(std::string(250, 'a'), std::string(10, 'b'), 1).size(), 255u);
}

TEST(Strings, Replace) {
  EXPECT_EQ(strReplace("a-b-c", "-", "+", false, true), "a+b+c");
  EXPECT_EQ(strReplace("a-b-c", "-", "+", true, true), "a+b-c");
  EXPECT_EQ(strReplace("Cat cat CAT", "cat", "dog", false, false), "dog dog dog");
  EXPECT_EQ(strReplace("Cat cat CAT", "cat", "dog", false, true), "Cat dog CAT");
  EXPECT_EQ(strReplace("Cat cat CAT", "CAT", "x", true, false), "x cat CAT");
  EXPECT_EQ(strReplace("aaa", "a", "aa", false, true), "aaaaaa");  // no re-scan of the replacement
  EXPECT_EQ(strReplace("abc", "", "x", false, true), "abc");
  EXPECT_EQ(strReplace(std::string(200, 'a'), "a", "bb", false, true).size(), 255u);
}

TEST(Strings, Comparison) {
  EXPECT_LT(strCompare("abc", "abd"), 0);
  EXPECT_GT(strCompare("b", "abc"), 0);
  EXPECT_LT(strCompare("ab", "abc"), 0);
  EXPECT_EQ(strCompare("abc", "abc"), 0);
  EXPECT_GT(strCompare("\xe9", "z"), 0);  // code 233 after 'z'
  EXPECT_LT(strCompare("Z", "a"), 0);
}

TEST(Strings, TextToNumbers) {
  Interp in;
  EXPECT_EQ(strToInt(in, "123"), 123);
  EXPECT_EQ(strToInt(in, "-7"), -7);
  EXPECT_EQ(strToInt(in, "16XFF"), 255);
  EXPECT_EQ(strToReal(in, "2.5"), 2.5L);
  EXPECT_EQ(strToReal(in, "12"), 12);
  EXPECT_EQ(strToReal(in, "5k"), 5000);
  struct Bad {
    std::function<void()> call;
    const char* message;
  } bad[] = {
      {[&] { strToInt(in, "abc"); }, "Error (run time): Bad string \"abc\" in STRING2INT"},
      {[&] { strToInt(in, "1.5"); }, "Error (run time): Bad string \"1.5\" in STRING2INT"},
      {[&] { strToReal(in, "x1"); }, "Error (run time): Bad string \"x1\" in STRING2REAL"},
      {[&] { strToReal(in, "2i"); }, "Error (run time): Bad string \"2i\" in STRING2REAL"},
      {[&] { strChr(in, 256); }, "Error (string lib): value out of range for conversion to a character"},
      {[&] { strChr(in, -1); }, "Error (string lib): value out of range for conversion to a character"},
      {[&] { strToBase(in, 5, 1); }, "Error (string lib): Can't convert a number to base 1"},
      {[&] { strToBase(in, 5, 37); }, "Error (string lib): Can't convert a number to base 37"},
  };
  for (const Bad& b : bad) {
    std::string out = endedRun(b.call);
    EXPECT_NE(out.find(b.message), std::string::npos) << out;
  }
}

TEST(Strings, SharedHelpers) {
  EXPECT_EQ(durationText(0), "00:00:00");
  EXPECT_EQ(durationText(3723.9L), "01:02:03");
  EXPECT_EQ(durationText(100 * 3600 + 59), "100:00:59");
  EXPECT_EQ(stripExtension("model.zav"), "model");
  EXPECT_EQ(stripExtension("a.b.c"), "a.b");
  EXPECT_EQ(stripExtension("noext"), "noext");
  EXPECT_EQ(stripExtension("./dir.d/prog"), "./dir.d/prog");
  EXPECT_EQ(stripExtension("../run/out.txt"), "../run/out");
}

}  // namespace
}  // namespace zav
