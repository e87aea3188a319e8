#include "exec/procs.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "data/dataprocs.h"
#include "estimate/transform.h"
#include "exec/fileio.h"
#include "exec/plot.h"
#include "exec/proctable.h"
#include "funcs/arraystats.h"
#include "funcs/eval.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

void appendInteger(std::string& out, std::int32_t v) { out += std::to_string(v); }

void appendReal(Interp& in, std::string& out, Real x) {
  out += realToText(in.set, x, in.set.realWidth, in.set.realDecimals);
}

void appendComplex(Interp& in, std::string& out, Complex c) {
  out += complexToText(in.set, c, in.set.complexWidth, in.set.complexDecimals);
}

// Element i of an array symbol, formatted by its type.
void formatElement(Interp& in, const Symbol& s, int i, std::string& out) {
  switch (s.type) {
    case ValueType::Char: out += getChar(in, s, i); break;
    case ValueType::Boolean: out += getBoolean(in, s, i) ? "TRUE" : "FALSE"; break;
    case ValueType::Integer: appendInteger(out, getInteger(in, s, i)); break;
    case ValueType::Real: appendReal(in, out, getReal(in, s, i)); break;
    case ValueType::Complex: appendComplex(in, out, getComplex(in, s, i)); break;
    case ValueType::String: out += getString(in, s, i); break;
    default: break;
  }
}

void writeItem(Interp& in, TextFile& f, std::string& text) {
  text += in.set.writeDelimiter;
  putText(in, f, text);
  text.clear();
}

// The elements of a whole array or of an array literal, each one item.
void writeElements(Interp& in, TextFile& f, const ExprNode* n, std::string& text) {
  if (n->kind == NodeKind::DataArray) {
    for (const ExprNode* e : n->children) {
      if (e->kind == NodeKind::DataArray) {
        writeElements(in, f, e, text);
      } else {
        formatValue(in, e, text);
        writeItem(in, f, text);
      }
    }
    return;
  }
  const Symbol& s = *n->symbol;
  for (int i = 1; i <= s.count; ++i) {
    formatElement(in, s, i, text);
    writeItem(in, f, text);
  }
}

// Procedures whose actions are not built yet stop the run with this.
// NOT YET AVAILABLE: their layers replace the calls below as they are built.
[[noreturn]] void notAvailable(Interp& in, std::string_view name) {
  ReportError(in, ErrCat::RunTime, "Calling procedure " + std::string(name) + " is not available yet");
}

}  // namespace

void putText(Interp& in, TextFile& f, const std::string& text) {
  if (!f.handle || (f.mode != FileMode::Write && f.mode != FileMode::Append)) {
    checkResult(in, f.handle ? 105 : 103, "writing to a file", f.name);
  }
  errno = 0;
  std::fwrite(text.data(), 1, text.size(), f.handle);
  if (std::ferror(f.handle)) {
    const int err = errno;
    std::clearerr(f.handle);
    checkResult(in, errnoToCode(err == 0 ? EIO : err, OsOp::Write), "writing to a file", f.name);
  }
}

void formatValue(Interp& in, const ExprNode* n, std::string& out) {
  switch (n->resultType) {
    case ValueType::Char: out += evalChar(in, n); break;
    case ValueType::Boolean: out += evalBoolean(in, n) ? "TRUE" : "FALSE"; break;
    case ValueType::Integer: appendInteger(out, evalInteger(in, n)); break;
    case ValueType::Real: appendReal(in, out, evalReal(in, n)); break;
    case ValueType::Complex: appendComplex(in, out, evalComplex(in, n)); break;
    case ValueType::String: {
      std::string s;
      evalString(in, n, s);
      out += s;
      break;
    }
    default: break;
  }
}

void writeItems(Interp& in, TextFile* file, const ExprNode* args, bool newline) {
  TextFile* f = file;
  std::string text;
  if (args) {
    for (const ExprNode* a : args->children) {
      if (!a || a->resultType == ValueType::Undef) continue;
      if (a->resultType == ValueType::File) {
        f = evalFile(in, a);
        continue;
      }
      if (a->kind == NodeKind::Array || a->kind == NodeKind::DataArray) {
        writeElements(in, *f, a, text);
        continue;
      }
      formatValue(in, a, text);
      writeItem(in, *f, text);
    }
  }
  if (newline) {
    text.assign(1, '\n');
    putText(in, *f, text);
  }
}

void callProcedure(Interp& in, int code, const ExprNode* args, int line) {
  const ProcInfo* info = procInfo(code);
  const std::string_view name = info ? info->name : std::string_view("?");
  if (in.set.debugExec) std::printf("%d: Call proc %.*s()\n", line, static_cast<int>(name.size()), name.data());
  switch (static_cast<Proc>(code)) {
    case Proc::WRITE: writeItems(in, &in.set.fOutput, args, false); return;
    case Proc::WRITELN: writeItems(in, &in.set.fOutput, args, true); return;
    case Proc::PRINT: writeItems(in, &in.set.fOutFile, args, false); return;
    case Proc::PRINTLN: writeItems(in, &in.set.fOutFile, args, true); return;
    case Proc::WRITEPLOT: writeItems(in, &in.set.fPlot, args, false); return;
    case Proc::WRITEPLOTLN: writeItems(in, &in.set.fPlot, args, true); return;
    case Proc::READ: procRead(in, args); return;
    case Proc::READLN: procReadln(in, args); return;
    case Proc::OUTFILE: procOutfile(in, args); return;
    case Proc::OPENAPPEND: procOpenAppend(in, args); return;
    case Proc::OPENREAD: procOpenRead(in, args); return;
    case Proc::OPENWRITE: procOpenWrite(in, args); return;
    case Proc::CLOSE: procClose(in, args); return;
    case Proc::FLUSH: procFlush(in, args); return;
    case Proc::DATAFILE: procDatafile(in, args); return;
    case Proc::ERASE: procErase(in, args); return;
    case Proc::RENAME: procRename(in, args); return;
    case Proc::CHDIR: procChdir(in, args); return;
    case Proc::MKDIR: procMkdir(in, args); return;
    case Proc::RMDIR: procRmdir(in, args); return;
    case Proc::GETDATE: procGetdate(in, args); return;
    case Proc::GETTIME: procGettime(in, args); return;
    case Proc::FILETIME: procFiletime(in, args); return;
    case Proc::INC: procInc(in, args); return;
    case Proc::DEC: procDec(in, args); return;
    case Proc::SEED: procSeed(in, args); return;
    case Proc::SLEEP: procSleep(in, args); return;
    case Proc::HALT: procHalt(in, args);
    case Proc::EXEC: procExec(in, args); return;
    case Proc::FINDQUIT: procFindquit(in, args); return;
    case Proc::DUMPSYMBOL: procDumpsymbol(in, args); return;
    case Proc::DUMPTABLE: procDumptable(in, args); return;
    case Proc::VSORT: procVsort(in, args); return;
    case Proc::ARRAYTODATA: procArrayToData(in, args); return;
    case Proc::DATATOARRAY: procDataToArray(in, args); return;
    case Proc::BOOTSTRAP: procBootstrap(in, args); return;
    case Proc::COPYDATAVAR: procCopydatavar(in, args); return;
    case Proc::DRAWDOWN: procDrawdown(in, args); return;
    case Proc::FINISHPLOT: procFinishplot(in, args); return;
    case Proc::PLOTFILE: procPlotfile(in, args); return;
    case Proc::PTRANSFORM: procPtransform(in, args); return;
  }
  notAvailable(in, name);
}

}  // namespace zav
