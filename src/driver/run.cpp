#include "driver/run.h"

#include <cstdio>

#include "core/interp.h"
#include "exec/exec.h"
#include "parse/stmtparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// The kinds that may follow a statement list, for the syntax error when
// something else does.
KindSet afterList(Tok closing) {
  KindSet set{Tok::Data,     Tok::Model,     Tok::PModel,   Tok::Plot,         Tok::MultiPlot,   Tok::Procedure,
              Tok::Function, Tok::Include,   Tok::For,      Tok::PFor,         Tok::If,          Tok::Repeat,
              Tok::While,    Tok::Begin,     Tok::PBegin,   Tok::Break,        Tok::Continue,    Tok::Exit,
              Tok::ProfileBegin, Tok::ProfileNext, Tok::Identifier};
  set.add(closing);
  return set;
}

// Runs a parsed list inside an activation of the global table. The list is
// kept: procedures it defines are called from later blocks.
void runList(Interp& in, StmtNode* list) {
  activate(in, in.global);
  execList(in, list);
  deactivate(in, in.global);
}

}  // namespace

void runProgramFile(Interp& in, const std::string& name) {
  openSource(in, name);
  runOpenSource(in);
}

void runOpenSource(Interp& in) {
  if (peekKind(in) != Tok::Zav) {
    runExpressionMode(in);
    return;
  }
  do {
    match(in, Tok::Zav, KindSet{Tok::Zav});
    StmtNode* list = parseStmtList(in);
    in.programs.push_back(list);
    match(in, Tok::End, afterList(Tok::End));
    if (in.set.debugParse) std::printf("End Parsing.  Begin execution\n");
    runList(in, list);
    // A block may end inside an included file.
    skipIncludeEnds(in);
  } while (peekKind(in) == Tok::Zav);
}

void runInline(Interp& in, int index, bool expressions) {
  in.drv.inlineIndex = index;
  openSource(in, "");
  if (expressions) {
    runExpressionMode(in);
  } else {
    // Variables the text creates keep their values after it: they are made
    // static while it is parsed and run.
    in.drv.staticCreation = true;
    StmtNode* list = parseStmtList(in);
    in.programs.push_back(list);
    match(in, Tok::EndOfFile, afterList(Tok::EndOfFile));
    if (in.set.debugParse) std::printf("End CL, start execution\n");
    runList(in, list);
    in.drv.staticCreation = false;
  }
  resetScanner(in);
}

}  // namespace zav
