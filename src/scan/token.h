// Token kinds and the token record the scanner hands to the parser.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "symbols/value.h"

namespace zav {

// The kind codes. The order is fixed: the keyword table is built from it,
// and kinds 99..117 double as the states of the scanner's state machine.
enum class Tok : std::uint8_t {
  None = 0,
  Comma = 1,
  Semicolon,
  LBracket,
  RBracket,
  LParen,
  RParen,
  Minus,
  Assign,  // "="
  Equal,   // "=="
  Greater,
  Less,
  GreaterEq,
  LessEq,
  NotEqual,
  Caret,
  Star,
  Slash,
  Plus,
  Colon,
  Static = 20,
  Integer,
  Real,
  Complex,
  Boolean,
  String,
  Char,
  File,
  Data,
  Field,
  Line = 30,
  Model,
  PModel,
  Plot,
  Curve,
  MultiPlot,
  Surface,
  Key,
  With,
  Axes,
  By = 40,
  Procedure,
  Function,
  Include,
  NFunction,      // matched against the intrinsic function catalog
  BFunction,
  IFunction,
  SFunction,
  CmplxFunction,  // matched against the special expression forms
  DistFunction,   // matched against the PDF catalog
  IntrinsicProc = 50,  // matched against the intrinsic procedures
  PFor,
  For,
  Step,
  Steps,
  To,
  If,
  Repeat,
  Until,
  While,
  Do = 60,
  Var,
  PBegin,
  Begin,
  Continue,
  Break,
  Exit,
  ProfileBegin,
  ProfileNext,
  ParamForm,  // "FORM" matched against the parameter forms
  DataForm = 70,
  Then,
  Else,
  ElseIf,
  Param,
  Covar,
  Hazard,
  Run,
  Low,
  High,
  Start = 80,
  Test,
  Form,  // the word FORM scans as this kind
  Full,
  Reduce,
  End,
  Div,
  Mod,
  Shl,
  Shr,
  And = 90,
  Or,
  Xor,
  Not,
  True,
  False,
  Zav,
  KeepIf,
  DropIf,
  StartState,  // 99
  EndOfFile = 100,
  InSingleQuote,
  InDoubleQuote,
  InComment,
  InLineComment,
  QuotedStr,
  Character,
  InIdent,
  Identifier,
  EndOfLine,
  InSymbol = 110,
  InOperator,
  Bad,
  BooleanConst,
  RealNumber,
  ComplexNumber,
  IntNumber,
  InNumber = 117,
};

constexpr int kTokKindCount = 117;
// Kinds 1..116 are entered in the keyword table by name.
constexpr int kKeywordCount = 116;

// The printable name of a kind, exactly as traces and syntax errors print it.
std::string_view tokName(Tok k);
inline std::string_view tokName(int k) { return tokName(static_cast<Tok>(k)); }

// A set of token kinds, for "One of the following was expected".
class KindSet {
 public:
  constexpr KindSet() = default;
  constexpr KindSet(std::initializer_list<Tok> kinds) {
    for (Tok k : kinds) add(k);
  }
  constexpr KindSet& add(Tok k) {
    const int i = static_cast<int>(k);
    bits_[i / 64] |= std::uint64_t{1} << (i % 64);
    return *this;
  }
  constexpr bool has(Tok k) const {
    const int i = static_cast<int>(k);
    return (bits_[i / 64] >> (i % 64)) & 1u;
  }
  constexpr KindSet operator|(const KindSet& o) const {
    KindSet r;
    r.bits_[0] = bits_[0] | o.bits_[0];
    r.bits_[1] = bits_[1] | o.bits_[1];
    return r;
  }
  constexpr bool empty() const { return bits_[0] == 0 && bits_[1] == 0; }

 private:
  std::uint64_t bits_[2] = {0, 0};
};

// The six catalogs a word is looked up in; the value is the slot in
// Token::codes plus one.
enum class Catalog : int { Pdf = 1, ExprForm = 2, Function = 3, Procedure = 4, ParamForm = 5, DataForm = 6 };
constexpr int kCatalogCount = 6;

struct Token {
  Tok kind = Tok::None;
  std::array<std::uint8_t, kCatalogCount> codes{};  // index in catalogs 1..6, 0 where absent
  std::string text;  // as written, without the quotes of a quoted text; "\x04" at end of file
  std::int32_t line = 0;
  std::int32_t column = 0;
  std::string file;
  // How many sources were open when its line was read: 1 for the program,
  // one more per INCLUDE level. An included file's end has that file's
  // depth; the end of the last source has 0.
  std::int32_t depth = 0;
  std::int32_t intValue = 0;
  Real realValue = 0;
  Complex complexValue;

  int code(Catalog c) const { return codes[static_cast<std::size_t>(c) - 1]; }
};

}  // namespace zav
