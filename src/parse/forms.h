// Name tables of the special expression forms, the parameter forms of a
// PARAM clause and the data forms of a DATA likelihood. Each row's 1-based
// position is its code.
#pragma once
#include <string_view>

namespace zav {

constexpr int kExprFormCount = 24;
constexpr int kParamFormCount = 17;
constexpr int kDataFormCount = 5;

// The expression forms are the node kinds (IDENTIFIER = 1 ... SUMMATION =
// 24); FUNCTION is both the user function call (2) and the intrinsic call (9).
std::string_view exprFormName(int code);

// Parameter forms: how a parameter p combines with the covariate sum XB.
// Code 0 is the plain parameter; 18 is the form a HAZARD clause gives its
// multiplier, which has no name of its own.
enum class ParamForm : int {
  None = 0,
  ADD = 1,
  DIVIDE,
  EXCESS,
  EXPADD,
  FISHER,
  FISHERINV,
  INVADD,
  INVERT,
  INVLOGLIN,
  INVMULTIPLY,
  LOGISTIC,
  LOGIT,
  LOGLIN,
  MULTIPLY,
  NUMBER,
  POWER,
  POWEREXP = 17,
  HazardMultiplier = 18,
};
std::string_view paramFormName(int code);  // "" outside 1..17

// Data forms: how a DATA likelihood combines the observations.
enum class DataForm : int { SUMLL = 1, SUM, SUMMATION, PROD, PRODUCT };
std::string_view dataFormName(int code);  // "" outside 1..5

}  // namespace zav
