// The parsed program: typed expression trees and statement lists.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "symbols/symbol.h"

namespace zav {

struct StmtNode;

enum class NodeKind : std::uint8_t {
  None = 0,  // an argument-list holder of a procedure call
  Identifier = 1,
  UserFunction = 2,
  Array = 3,
  Data = 4,
  DataArray = 5,
  Derivative = 6,
  FindMin = 7,
  FindZero = 8,
  Function = 9,
  If = 10,
  Integrate = 11,
  Level = 12,
  LevelDelta = 13,
  Param = 14,
  PData = 15,
  Pdf = 16,
  PHazard = 17,
  PPdf = 18,
  PostAssign = 19,
  PreAssign = 20,
  Product = 21,
  Quantile = 22,
  Qdf = 23,
  Summation = 24,
};

// The printed name of a node kind ("FUNCTION" for both call kinds).
std::string_view nodeKindName(NodeKind k);

struct ExprNode {
  NodeKind kind = NodeKind::None;
  ValueType resultType = ValueType::Undef;
  ValueType opType = ValueType::Undef;
  std::uint16_t index = 0;  // function code, PDF number or data form code
  Symbol* symbol = nullptr;
  std::vector<ExprNode*> children;  // a slot may be empty
  // Slots that hold a statement list instead of an expression (PREASSIGN,
  // POSTASSIGN, the blocks of the DATA family); empty unless used.
  std::vector<StmtNode*> blocks;
  void* record = nullptr;  // the PARAM record of the model layer, when any
  // What the evaluator keeps for this node between evaluations (the compiled
  // plan of a DATA form), released with the node.
  mutable void* cache = nullptr;
  mutable void (*releaseCache)(void*) = nullptr;
  // Levels of the tree from here down, statement blocks' expressions
  // included: bounds the recursion that evaluating or listing it takes.
  std::int32_t height = 1;

  ExprNode(std::uint16_t idx, NodeKind k, int childCount) : kind(k), index(idx), children(childCount, nullptr) {}
  ~ExprNode();
  ExprNode(const ExprNode&) = delete;
  ExprNode& operator=(const ExprNode&) = delete;

  int childCount() const { return static_cast<int>(children.size()); }
  StmtNode* block(int slot) const {
    return slot < static_cast<int>(blocks.size()) ? blocks[static_cast<std::size_t>(slot)] : nullptr;
  }
  void setBlock(int slot, StmtNode* list);
};

enum class StmtKind : std::uint8_t {
  Assign = 1,
  Intrinsic = 3,
  If = 4,
  Repeat = 5,
  While = 6,
  For = 7,
  Begin = 8,
  ProfileBegin = 9,
  ProfileNext = 10,
  Break = 11,
  Continue = 12,
  Exit = 13,
  Data = 14,
  Model = 15,
  Plot = 16,
  MultiPlot = 17,
  Curve = 18,
  ProcDef = 19,
  FuncDef = 20,
  UserCall = 21,
};

// FOR forms.
enum class ForForm : std::uint8_t { To = 0, List = 1, Step = 2, Steps = 3 };

// A user-defined PROCEDURE or FUNCTION: its scope, parameters and body.
struct Routine {
  Symbol* self = nullptr;
  SymbolTable* table = nullptr;
  std::vector<Symbol*> params;
  std::vector<bool> byRef;  // VAR parameters
  Symbol* result = nullptr;  // RETURN, for a FUNCTION
  StmtNode* body = nullptr;
};

// The parts of a CURVE statement.
struct CurveIndex {
  bool rangeForm = false;  // name = from TO to; otherwise name(from, to, points)
  Symbol* var = nullptr;
  ExprNode* from = nullptr;
  ExprNode* to = nullptr;
  ExprNode* points = nullptr;
};
struct CurveRecord {
  ExprNode* key = nullptr;
  ExprNode* with = nullptr;
  ExprNode* axes = nullptr;
  CurveIndex first, by;
  bool hasBy = false;
  ExprNode* exprs = nullptr;  // list node of the curve expressions
};

// One statement. Each kind uses the fields its comment names.
struct StmtNode {
  std::int32_t line = 0;
  std::int32_t column = 0;
  std::int32_t file = -1;  // the scanner's fileNames index, -1 for none
  StmtNode* next = nullptr;
  StmtKind kind = StmtKind::Assign;
  std::uint8_t flag = 0;  // parallel PFOR / PBEGIN

  ExprNode* target = nullptr;    // Assign
  ExprNode* value = nullptr;     // Assign (null for a bare declaration)
  ExprNode* cond = nullptr;      // If, Repeat, While; Plot: string list; MultiPlot: x count; ProfileBegin: size
  ExprNode* first = nullptr;     // For: first value or the list; MultiPlot: y count
  ExprNode* limit = nullptr;     // For
  ExprNode* step = nullptr;      // For: step, or count with STEPS
  ExprNode* args = nullptr;      // Intrinsic, UserCall: argument holder
  StmtNode* body = nullptr;      // If (THEN), loops, Begin, ProfileBegin, Plot, MultiPlot, definitions
  StmtNode* elseBody = nullptr;  // If
  Symbol* var = nullptr;         // For: loop variable; UserCall, definitions: the routine's symbol
  ForForm form = ForForm::To;
  int code = 0;                  // Intrinsic: procedure number
  Routine* routine = nullptr;    // ProcDef, FuncDef (owned by the interpreter: later blocks call it)
  CurveRecord* curve = nullptr;  // Curve (owned)
  void* record = nullptr;        // Data, Model: their layers' records (owned by them)

  StmtNode() = default;
  ~StmtNode();
  StmtNode(const StmtNode&) = delete;
  StmtNode& operator=(const StmtNode&) = delete;
};

// Frees a whole statement list.
void freeStmtList(StmtNode* head);

}  // namespace zav
