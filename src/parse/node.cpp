#include "parse/node.h"

#include <array>

namespace zav {
namespace {
constexpr std::array<std::string_view, 25> kKindNames = {
    "",         "IDENTIFIER", "FUNCTION", "ARRAY",     "DATA",       "DATAARRAY", "DERIVATIVE",
    "FINDMIN",  "FINDZERO",   "FUNCTION", "IF",        "INTEGRATE",  "LEVEL",     "LEVELDELTA",
    "PARAM",    "PDATA",      "PDF",      "PHAZARD",   "PPDF",       "POSTASSIGN", "PREASSIGN",
    "PRODUCT",  "QUANTILE",   "QDF",      "SUMMATION"};
}  // namespace

std::string_view nodeKindName(NodeKind k) {
  auto i = static_cast<std::size_t>(k);
  return i < kKindNames.size() ? kKindNames[i] : "";
}

ExprNode::~ExprNode() {
  if (releaseCache) releaseCache(cache);
  // A flat sum of many terms is a tree as deep as it is long: descendants
  // are taken apart through a work list, not by recursion. Statement blocks
  // recurse only as deep as the parser's nesting limit allows.
  std::vector<ExprNode*> work;
  work.swap(children);
  while (!work.empty()) {
    ExprNode* n = work.back();
    work.pop_back();
    if (!n) continue;
    for (ExprNode* c : n->children) work.push_back(c);
    n->children.clear();
    delete n;
  }
  for (StmtNode* b : blocks) freeStmtList(b);
}

void ExprNode::setBlock(int slot, StmtNode* list) {
  if (static_cast<int>(blocks.size()) <= slot) blocks.resize(static_cast<std::size_t>(slot) + 1, nullptr);
  blocks[static_cast<std::size_t>(slot)] = list;
}

StmtNode::~StmtNode() {
  delete target;
  delete value;
  delete cond;
  delete first;
  delete limit;
  delete step;
  delete args;
  freeStmtList(body);
  freeStmtList(elseBody);
  if (curve) {
    delete curve->key;
    delete curve->with;
    delete curve->axes;
    for (CurveIndex* c : {&curve->first, &curve->by}) {
      delete c->from;
      delete c->to;
      delete c->points;
    }
    delete curve->exprs;
    delete curve;
  }
}

void freeStmtList(StmtNode* head) {
  while (head) {
    StmtNode* next = head->next;
    delete head;
    head = next;
  }
}

}  // namespace zav
