#include "parse/forms.h"

#include <array>

namespace zav {
namespace {
constexpr std::array<std::string_view, kExprFormCount> kExprForms = {
    "IDENTIFIER", "FUNCTION",   "ARRAY",    "DATA",    "DATAARRAY", "DERIVATIVE", "FINDMIN",    "FINDZERO",
    "FUNCTION",   "IF",         "INTEGRATE", "LEVEL",  "LEVELDELTA", "PARAM",     "PDATA",      "PDF",
    "PHAZARD",    "PPDF",       "POSTASSIGN", "PREASSIGN", "PRODUCT", "QUANTILE", "QDF",        "SUMMATION"};

constexpr std::array<std::string_view, kParamFormCount> kParamForms = {
    "ADD",         "DIVIDE",   "EXCESS", "EXPADD", "FISHER",   "FISHERINV", "INVADD", "INVERT", "INVLOGLIN",
    "INVMULTIPLY", "LOGISTIC", "LOGIT",  "LOGLIN", "MULTIPLY", "NUMBER",    "POWER",  "POWEREXP"};

constexpr std::array<std::string_view, kDataFormCount> kDataForms = {"SUMLL", "SUM", "SUMMATION", "PROD", "PRODUCT"};

template <std::size_t N>
std::string_view row(const std::array<std::string_view, N>& table, int code) {
  return code >= 1 && code <= static_cast<int>(N) ? table[static_cast<std::size_t>(code - 1)] : std::string_view{};
}
}  // namespace

std::string_view exprFormName(int code) { return row(kExprForms, code); }
std::string_view paramFormName(int code) { return row(kParamForms, code); }
std::string_view dataFormName(int code) { return row(kDataForms, code); }

}  // namespace zav
