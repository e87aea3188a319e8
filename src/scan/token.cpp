#include "scan/token.h"

#include <array>

namespace zav {
namespace {
// Index = kind code. Leading and trailing blanks are part of the names.
constexpr std::array<std::string_view, kTokKindCount + 1> kTokNames = {
    "",               // 0: no token
    ",",              ";",           "[",           "]",
    "(",              ")",           "-",           "=",
    "==",             ">",           "<",           ">=",
    "<=",             "<>",          "^",           "*",
    "/",              "+",           ":",           "STATIC",
    "INTEGER",        "REAL",        "COMPLEX",     "BOOLEAN",
    "STRING",         "CHAR",        "FILE",        "DATA",
    "FIELD",          "LINE",        "MODEL",       "PMODEL",
    "PLOT",           "CURVE",       "MULTIPLOT",   "SURFACE",
    "KEY",            "WITH",        "AXES",        "BY",
    "PROCEDURE",      "FUNCTION",    "INCLUDE",     "NFUNCTION",
    "BFUNCTION",      "IFUNCTION",   "SFUNCTION",   "CMPLX FUNCTION",
    "DIST FUNCTION",  "INTRINSIC PROC", "PFOR",     "FOR",
    "STEP",           "STEPS",       "TO",          "IF",
    "REPEAT",         "UNTIL",       "WHILE",       "DO",
    "VAR",            "PBEGIN",      "BEGIN",       "CONTINUE",
    "BREAK",          "EXIT",        "PROFILEBEGIN", "PROFILENEXT",
    "FORM",           "DATA FORM",   "THEN",        "ELSE",
    "ELSEIF",         "PARAM",       "COVAR",       "HAZARD",
    "RUN",            "LOW",         "HIGH",        "START",
    "TEST",           "FORM",        "FULL",        "REDUCE",
    "END",            "DIV",         "MOD",         "SHL",
    "SHR",            "AND",         "OR",          "XOR",
    "NOT",            "TRUE",        "FALSE",       "ZAV",
    "KEEPIF",         "DROPIF",      "_START ",     "END OF FILE",
    "MATCH '",        "MATCH \"",    " COMMENT",    "# END LINE",
    "QUOTED STR",     "Character",   "IN IDENT",    "IDENTIFIER",
    "END OF LINE",    " SYMBOL",     " OPERATOR ",  " BAD",
    "BOOLEAN const",  "REAL number", "COMPLEX number", "INT number",
    " number",
};
}  // namespace

std::string_view tokName(Tok k) {
  const auto i = static_cast<std::size_t>(k);
  return i < kTokNames.size() ? kTokNames[i] : kTokNames[0];
}

}  // namespace zav
