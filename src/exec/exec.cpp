#include "exec/exec.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastmt.h"
#include "estimate/model.h"
#include "exec/assign.h"
#include "exec/plot.h"
#include "exec/procs.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "parse/listing.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

[[noreturn]] void runError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::RunTime, msg); }

void at(Interp& in, const StmtNode& s) {
  spendStep(in);
  // A statement of an included file (a routine defined there, say) reports
  // with that file's name; the name is copied only when the file changes.
  if (s.file >= 0 && s.file != in.pos.fileIndex) {
    in.pos.file = in.scan.fileNames[static_cast<std::size_t>(s.file)];
    in.pos.fileIndex = s.file;
  }
  in.pos.line = s.line;
  in.pos.column = s.column;
}

void traceLine(const Interp& in, const StmtNode& s, const char* text) {
  if (in.set.debugExec) std::printf("%d: %s\n", s.line, text);
}

// How a loop goes on after a pass: BREAK ends it normally, EXIT ends it and
// travels on; normal completion and CONTINUE go to the next pass.
bool loopEnds(Flow f, Flow& result) {
  if (f == Flow::Break) {
    result = Flow::Normal;
    return true;
  }
  if (f == Flow::Exit) {
    result = Flow::Exit;
    return true;
  }
  return false;
}

Flow execIf(Interp& in, const StmtNode& s) {
  traceLine(in, s, "IF");
  if (evalBoolean(in, s.cond)) {
    traceLine(in, s, "THEN");
    return execList(in, s.body);
  }
  if (!s.elseBody) return Flow::Normal;
  traceLine(in, s, "ELSE");
  return execList(in, s.elseBody);
}

Flow execRepeat(Interp& in, const StmtNode& s) {
  traceLine(in, s, "REPEAT");
  for (;;) {
    Flow result;
    if (loopEnds(execList(in, s.body), result)) return result;
    at(in, s);
    if (evalBoolean(in, s.cond)) return Flow::Normal;
  }
}

Flow execWhile(Interp& in, const StmtNode& s) {
  traceLine(in, s, "WHILE");
  for (;;) {
    at(in, s);
    if (!evalBoolean(in, s.cond)) return Flow::Normal;
    Flow result;
    if (loopEnds(execList(in, s.body), result)) return result;
  }
}

// The loop variable's element, read and written without the checked
// accessors when it is a plain variable with storage (the common case).
template <ValueType T>
typename Elem<T>::type* loopElement(const Symbol& v) {
  if (v.flags & kDataVar) return nullptr;
  return static_cast<typename Elem<T>::type*>(elementBlock(v));
}

// The body of one pass, with the loop variable marked for its duration.
Flow runPass(const StmtNode& s, Interp& in, Symbol& v) {
  struct Mark {
    Symbol& v;
    std::uint32_t before;
    explicit Mark(Symbol& sym) : v(sym), before(sym.flags & kForPass) { v.flags |= kForPass; }
    ~Mark() { v.flags = (v.flags & ~kForPass) | before; }
  } mark(v);
  return execList(in, s.body);
}

// INTEGER loop variable: the pass count is fixed before the first pass.
Flow forInteger(Interp& in, const StmtNode& s, Symbol& v) {
  const std::int32_t first = evalInteger(in, s.first);
  const std::int32_t limit = evalInteger(in, s.limit);
  std::int32_t step = 1;
  if (s.form == ForForm::Step) {
    step = evalInteger(in, s.step);
    if (step == 0) runError(in, "FOR loop step size is zero");
  }
  // A limit on the wrong side of the first value, by however little, means
  // no pass at all.
  const std::int64_t span = static_cast<std::int64_t>(limit) - first;
  const std::int64_t passes = (span < 0 && step > 0) || (span > 0 && step < 0) ? 0 : span / step + 1;
  setInteger(in, v, 1, first);
  for (std::int64_t k = 0; k < passes; ++k) {
    Flow result;
    if (loopEnds(runPass(s, in, v), result)) return result;
    at(in, s);
    // The step is added to the current value, so an assignment to the
    // variable in the body moves the later passes. A loop that reaches the
    // end of the INTEGER range ends there rather than wrapping; only an
    // assignment in the body can push a later pass beyond it.
    std::int32_t* e = loopElement<ValueType::Integer>(v);
    const std::int32_t now = e ? *e : getInteger(in, v, 1);
    std::int32_t next;
    if (__builtin_add_overflow(now, step, &next)) {
      if (k + 1 == passes) break;
      ReportError(in, ErrCat::Math, "Integer overflow in FOR " + v.name);
    }
    if (e) *e = next;
    else setInteger(in, v, 1, next);
  }
  return Flow::Normal;
}

Flow forReal(Interp& in, const StmtNode& s, Symbol& v) {
  const Real first = evalReal(in, s.first);
  const Real limit = evalReal(in, s.limit);
  Real step = 1;
  if (s.form == ForForm::Step) {
    step = evalReal(in, s.step);
  } else if (s.form == ForForm::Steps) {
    const std::int32_t n = evalInteger(in, s.step);
    if (n == 1) runError(in, "FOR loop step size is zero");
    step = (limit - first) / (static_cast<Real>(n) - 1);
  }
  // A zero step (also STEPS over an empty range) would make the count 0/0.
  if (step == 0) runError(in, "FOR loop step size is zero");
  const Real q = (limit - first) / step + 1;
  std::int64_t passes = 0;
  if (q >= 1) passes = q >= 9.2e18L ? INT64_MAX : static_cast<std::int64_t>(q);
  setReal(in, v, 1, first);
  for (std::int64_t k = 0; k < passes; ++k) {
    Flow result;
    if (loopEnds(runPass(s, in, v), result)) return result;
    at(in, s);
    if (Real* e = loopElement<ValueType::Real>(v)) *e += step;
    else setReal(in, v, 1, getReal(in, v, 1) + step);
  }
  return Flow::Normal;
}

// The leaves of an array literal in the order written: each is assigned to
// the loop variable when its pass starts. Returns true when the loop ended.
bool forLiteral(Interp& in, const StmtNode& s, Symbol& v, const ExprNode* level, Flow& result) {
  for (const ExprNode* e : level->children) {
    if (e->kind == NodeKind::DataArray) {
      if (forLiteral(in, s, v, e, result)) return true;
      continue;
    }
    at(in, s);
    assignRange(in, v, 1, 1, e);
    if (loopEnds(runPass(s, in, v), result)) return true;
  }
  return false;
}

Flow forList(Interp& in, const StmtNode& s, Symbol& v) {
  Flow result = Flow::Normal;
  if (s.first->kind == NodeKind::DataArray) {
    forLiteral(in, s, v, s.first, result);
    return result;
  }
  const Symbol& source = *s.first->symbol;
  const std::int32_t passes = source.count;
  for (std::int32_t k = 1; k <= passes; ++k) {
    at(in, s);
    copyElement(in, v, 1, source, k);
    if (loopEnds(runPass(s, in, v), result)) return result;
  }
  return Flow::Normal;
}

Flow execFor(Interp& in, const StmtNode& s) {
  Symbol& v = *s.var;
  if (in.set.debugExec) std::printf("%d: FOR %s = ...\n", s.line, v.name.c_str());
  if (v.has(kConst)) runError(in, "Can't use " + v.name + " as a FOR variable");
  if (s.form == ForForm::List) return forList(in, s, v);
  switch (v.type) {
    case ValueType::Integer: return forInteger(in, s, v);
    case ValueType::Real: return forReal(in, s, v);
    default:
      runError(in, v.name + " is wrong type [" + std::string(typeName(v.type)) + "] for FOR loop variable");
  }
}

Real secondsNow() {
  using namespace std::chrono;
  return duration<Real>(system_clock::now().time_since_epoch()).count();
}

// PROFILE is made a fresh array for the block and given back afterwards,
// also when the run ends inside the block.
struct ProfileSave {
  Interp& in;
  Symbol& profile;
  void* block;
  std::int32_t count;
  std::int32_t hi;
  std::int32_t index;
  Real time;
  void* fresh = nullptr;
  std::int32_t freshCount = 0;

  ProfileSave(Interp& i, Symbol& p)
      : in(i), profile(p), block(p.block), count(p.count), hi(p.dims ? p.dims->hi[0] : 1),
        index(i.set.profileIndex), time(i.set.profileTime) {}
  ~ProfileSave() {
    if (fresh) freeBlock(in, fresh, freshCount, ValueType::Real);
    profile.block = block;
    profile.count = count;
    if (profile.dims) profile.dims->hi[0] = hi;
    in.set.profileIndex = index;
    in.set.profileTime = time;
  }
};

Flow execProfileBegin(Interp& in, const StmtNode& s) {
  traceLine(in, s, "PROFILEBEGIN");
  if (!s.body || !s.var) return Flow::Normal;
  Symbol& p = *s.var;
  ProfileSave save(in, p);
  std::int32_t size = s.cond ? evalInteger(in, s.cond) : 1;
  if (size < 1) size = 1;  // PROFILENEXT always needs an element to write
  save.fresh = createBlock(in, size, ValueType::Real);
  save.freshCount = size;
  p.block = save.fresh;
  p.count = size;
  if (p.dims) {
    p.dims->lo[0] = 1;
    p.dims->hi[0] = size;
  }
  in.set.profileIndex = 0;
  in.set.profileTime = secondsNow();
  return execList(in, s.body);
}

void execProfileNext(Interp& in, const StmtNode& s) {
  traceLine(in, s, "PROFILENEXT");
  if (!s.var) return;
  Symbol& p = *s.var;
  std::int32_t index = in.set.profileIndex + 1;
  if (index > p.count || index < 1) index = 1;
  in.set.profileIndex = index;
  const Real t = secondsNow();
  setReal(in, p, index, t - in.set.profileTime);
  in.set.profileTime = t;
}

void execUserCall(Interp& in, const StmtNode& s) {
  if (in.set.debugExec) std::printf("%d: Call user procedure %s()\n", s.line, s.var->name.c_str());
  const Routine& r = *s.routine;
  SymbolTable* const caller = enterRoutine(in, r, s.args->children);
  execList(in, r.body);  // an EXIT ends only the procedure
  leaveRoutine(in, r, caller);
  at(in, s);
}

Flow execStatement(Interp& in, const StmtNode& s) {
  switch (s.kind) {
    case StmtKind::Assign: execAssign(in, s); return Flow::Normal;
    case StmtKind::Intrinsic: callProcedure(in, s.code, s.args, s.line); return Flow::Normal;
    case StmtKind::If: return execIf(in, s);
    case StmtKind::Repeat: return execRepeat(in, s);
    case StmtKind::While: return execWhile(in, s);
    case StmtKind::For: return execFor(in, s);  // PFOR runs as FOR
    case StmtKind::Begin: return execList(in, s.body);  // PBEGIN runs as BEGIN
    case StmtKind::ProfileBegin: return execProfileBegin(in, s);
    case StmtKind::ProfileNext: execProfileNext(in, s); return Flow::Normal;
    case StmtKind::Break: traceLine(in, s, "BREAK"); return Flow::Break;
    case StmtKind::Continue: traceLine(in, s, "CONTINUE"); return Flow::Continue;
    case StmtKind::Exit: traceLine(in, s, "EXIT"); return Flow::Exit;
    case StmtKind::Data: runDataStatement(in, s); return Flow::Normal;
    case StmtKind::Model: runModelStatement(in, s); return Flow::Normal;  // PMODEL runs as MODEL
    case StmtKind::Plot: return runPlot(in, s);
    case StmtKind::MultiPlot: return runMultiPlot(in, s);
    case StmtKind::Curve: return runCurve(in, s);
    case StmtKind::ProcDef:
    case StmtKind::FuncDef: return Flow::Normal;
    case StmtKind::UserCall: execUserCall(in, s); return Flow::Normal;
  }
  return Flow::Normal;
}

}  // namespace

Flow execList(Interp& in, const StmtNode* list) {
  if (!list) return Flow::Normal;
  if (in.set.debugExec) std::printf("%d: statement block\n", list->line);
  for (const StmtNode* s = list; s; s = s->next) {
    at(in, *s);
    if (in.set.parseOnly) continue;
    const Flow f = execStatement(in, *s);
    if (f != Flow::Normal) return f;
  }
  return Flow::Normal;
}

void showExpression(Interp& in, const ExprNode* e, std::string& text) {
  activate(in, in.global);
  if (in.set.verbose) {
    listExpr(in, e);
    std::printf(" -> ");
  }
  text.clear();
  if (e->kind == NodeKind::Array || e->kind == NodeKind::DataArray) {
    // A whole array has no single value to show.
  } else {
    formatValue(in, e, text);
  }
  text += '\n';
  putText(in, in.set.fOutFile, text);
  deactivate(in, in.global);
}

bool expressionStep(Interp& in, std::string& text) {
  const Tok k = peekKind(in);
  if (k == Tok::EndOfFile) return false;
  if (k == Tok::End) {
    advance(in);
    return false;
  }
  std::unique_ptr<ExprNode> e(parseExpression(in));
  if (!in.set.parseOnly) showExpression(in, e.get(), text);
  return true;
}

void runExpressionMode(Interp& in) {
  std::string text;
  while (expressionStep(in, text)) {
  }
}

}  // namespace zav
