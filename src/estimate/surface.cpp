// The likelihood surface of a FULL run: a PLOT statement with one CURVE is
// built and run, its index running over the first SURFACE parameter from
// LOW to HIGH in SURFACE_POINTS steps (and a BY index over the second, for
// a surface), plotting the parameter values against the value of the
// model's likelihood expression.
#include <memory>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "exec/plot.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

ExprNode* identifier(Symbol* s) {
  auto* n = new ExprNode(0, NodeKind::Identifier, 0);
  n->symbol = s;
  n->resultType = s->type;
  n->opType = s->type;
  return n;
}

// The likelihood as the objective sees it: the model's pre- and
// post-likelihood blocks around the expression. The pieces are the
// model's; the wrappers only borrow them.
ExprNode* likelihoodValue(const Model& m) {
  ExprNode* e = m.likelihood.get();
  if (m.pre) {
    auto* pre = new ExprNode(0, NodeKind::PreAssign, 2);
    pre->setBlock(0, m.pre);
    pre->children[1] = e;
    pre->resultType = pre->opType = ValueType::Real;
    e = pre;
  }
  if (m.post) {
    auto* post = new ExprNode(0, NodeKind::PostAssign, 1);
    post->children[0] = e;
    post->setBlock(1, m.post);
    post->resultType = post->opType = ValueType::Real;
    e = post;
  }
  return e;
}

// Gives the model back what the wrappers borrowed, so that freeing the
// built statement frees only what was built for it.
void releaseBorrowed(ExprNode* e, const Model& m) {
  while (e && e != m.likelihood.get()) {
    e->blocks.clear();
    ExprNode*& inner = e->kind == NodeKind::PreAssign ? e->children[1] : e->children[0];
    if (inner == m.likelihood.get()) {
      inner = nullptr;
      return;
    }
    e = inner;  // a wrapper of ours: freed with the statement
  }
}

struct BuiltPlot {
  const Model& m;
  StmtNode* plot = nullptr;
  ExprNode* value = nullptr;  // the curve's likelihood column
  ~BuiltPlot() {
    if (!plot) return;
    std::vector<ExprNode*>& exprs = plot->body->curve->exprs->children;
    releaseBorrowed(value, m);
    if (value == m.likelihood.get()) exprs.back() = nullptr;
    freeStmtList(plot);
  }
};

CurveIndex indexOver(Interp& in, const ModelParam& p) {
  CurveIndex c;
  c.var = p.symbol;
  c.from = identifier(p.lowSym);
  c.to = identifier(p.highSym);
  c.points = identifier(lookup(in, "SURFACE_POINTS"));
  return c;
}

}  // namespace

void plotSurface(Interp& in, const Model& m, const ModelRun& r) {
  const ModelParam* p1 = r.surface[0];
  const ModelParam* p2 = r.surface[1];
  BuiltPlot built{m};
  built.plot = new StmtNode;
  built.plot->kind = StmtKind::Plot;
  built.plot->line = in.pos.line;
  built.plot->column = in.pos.column;
  auto* curveStmt = new StmtNode;
  built.plot->body = curveStmt;
  curveStmt->kind = StmtKind::Curve;
  curveStmt->line = in.pos.line;
  curveStmt->column = in.pos.column;
  curveStmt->curve = new CurveRecord;
  CurveRecord& c = *curveStmt->curve;
  c.first = indexOver(in, *p1);
  if (p2) {
    c.hasBy = true;
    c.by = indexOver(in, *p2);
  }
  c.exprs = new ExprNode(0, NodeKind::None, 0);
  c.exprs->children.push_back(identifier(p1->symbol));
  if (p2) c.exprs->children.push_back(identifier(p2->symbol));
  built.value = likelihoodValue(m);
  c.exprs->children.push_back(built.value);

  // The curve moves the parameters; the estimates are put back after it.
  Real* x1 = static_cast<Real*>(elementBlock(*p1->symbol));
  Real* x2 = p2 ? static_cast<Real*>(elementBlock(*p2->symbol)) : nullptr;
  const Real saved1 = *x1, saved2 = x2 ? *x2 : 0;
  struct Restore {
    Real* x1;
    Real* x2;
    Real v1, v2;
    ~Restore() {
      *x1 = v1;
      if (x2) *x2 = v2;
    }
  } restore{x1, x2, saved1, saved2};
  runPlot(in, *built.plot);
}

}  // namespace zav
