#include "exec/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "dists/random.h"
#include "funcs/eval.h"
#include "scan/numlit.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// Codes of the error-text table for files used the wrong way.
constexpr int kErrNotOpen = 103;
constexpr int kErrNotForReading = 104;

[[noreturn]] void runError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::RunTime, msg); }
[[noreturn]] void dataError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::Data, msg); }

std::string_view opText(FileOp op) {
  switch (op) {
    case FileOp::Close: return "closing FILE ";
    case FileOp::Flush: return "flushing FILE ";
    case FileOp::Append: return "opening for appending FILE ";
    case FileOp::Read: return "opening for reading FILE ";
    case FileOp::Write: return "opening for writing FILE ";
  }
  return "";
}

// Releases the handle; the standard streams are only flushed, never closed.
int closeHandle(TextFile& f) {
  if (!f.handle) return kErrNotOpen;
  int code = 0;
  // A write that failed earlier leaves only the error flag behind: the
  // buffer it could not write is gone, and fclose would not say so.
  if (f.mode != FileMode::Read && std::ferror(f.handle)) code = errnoToCode(EIO, OsOp::Write);
  errno = 0;
  if (f.ownsHandle) {
    if (std::fclose(f.handle) != 0 && code == 0) code = errnoToCode(errno ? errno : EIO, OsOp::Write);
  } else if (f.mode != FileMode::Read) {
    if (std::fflush(f.handle) != 0 && code == 0) code = errnoToCode(errno ? errno : EIO, OsOp::Write);
  }
  f.handle = nullptr;
  f.ownsHandle = false;
  f.mode = FileMode::Closed;
  f.atEof = false;
  return code;
}

int openHandle(TextFile& f, FileOp op, std::string_view name) {
  f.name.assign(name.substr(0, kMaxText));
  const bool reading = op == FileOp::Read;
  if (f.name.empty()) {
    f.handle = reading ? stdin : stdout;
    f.ownsHandle = false;
  } else {
    // Opening a directory for reading succeeds on this platform, and the
    // failure would only show at the first read.
    if (reading && dirExists(f.name)) return errnoToCode(EISDIR);
    errno = 0;
    f.handle = std::fopen(f.name.c_str(), reading ? "r" : op == FileOp::Append ? "a" : "w");
    if (!f.handle) return errnoToCode(errno ? errno : ENOENT);
    f.ownsHandle = true;
  }
  f.mode = reading ? FileMode::Read : op == FileOp::Append ? FileMode::Append : FileMode::Write;
  f.atEof = false;
  f.warnedCut = false;
  return 0;
}

const ExprNode* argAt(const ExprNode* args, int k) {
  if (!args || k >= args->childCount()) return nullptr;
  return args->children[static_cast<std::size_t>(k)];
}

std::string stringArg(Interp& in, const ExprNode* args, int k) {
  const ExprNode* n = argAt(args, k);
  return n ? evalString(in, n) : std::string();
}

std::int32_t integerArg(Interp& in, const ExprNode* args, int k, std::string_view proc) {
  const ExprNode* n = argAt(args, k);
  if (!n || n->resultType != ValueType::Integer)
    runError(in, "Argument " + std::to_string(k + 1) + " to " + std::string(proc) + " must be an INTEGER, found " +
                     std::string(typeName(n ? n->resultType : ValueType::Undef)));
  return evalInteger(in, n);
}

TextFile& fileArg(Interp& in, const ExprNode* args, int k) {
  const ExprNode* n = argAt(args, k);
  if (!n) runError(in, "Bad file identifier type found");
  return *evalFile(in, n);
}

// The element a variable argument names. A DATA variable stores into the
// current observation, as an assignment to it does.
int targetElement(Interp& in, const ExprNode* n) {
  const Symbol& s = *n->symbol;
  if (s.has(kDataVar) || (n->children.empty() && !s.dims)) return 1;
  return linearIndex(in, n);
}

// ---- reading ----

void requireReadable(Interp& in, TextFile& f) {
  if (!f.handle) checkResult(in, kErrNotOpen, "reading from a file", f.name);
  if (f.mode != FileMode::Read) checkResult(in, kErrNotForReading, "reading from a file", f.name);
}

// One character, EOF at the end; a read error is fatal.
int nextChar(Interp& in, TextFile& f) {
  if (f.handle == stdin) releaseConsole(in);
  errno = 0;
  const int c = std::getc(f.handle);
  if (c == EOF) {
    if (std::ferror(f.handle)) {
      const int err = errno ? errno : EIO;
      std::clearerr(f.handle);
      checkResult(in, errnoToCode(err, OsOp::Read), "reading from a file", f.name);
    }
    f.atEof = true;
  }
  return c;
}

int peekChar(Interp& in, TextFile& f) {
  const int c = nextChar(in, f);
  if (c != EOF) std::ungetc(c, f.handle);
  return c;
}

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

[[noreturn]] void unexpectedEnd(Interp& in) { dataError(in, "Unexpected end of file in READ/READLN statement"); }

// Skips delimiters, then takes the field: characters up to the next
// delimiter or the end of the line, which stays unread. The field is always
// consumed whole, so the next READ starts at the next field; at most `keep`
// characters of it are kept, and `cut` tells whether any were dropped.
std::string readField(Interp& in, TextFile& f, std::size_t keep, bool& cut) {
  const std::string& delims = in.set.readDelimiters;
  auto isDelim = [&](int c) { return delims.find(static_cast<char>(c)) != std::string::npos; };
  int c = nextChar(in, f);
  while (c != EOF && isDelim(c)) c = nextChar(in, f);
  if (c == EOF) unexpectedEnd(in);
  std::string field;
  cut = false;
  while (c != EOF && !isLineEnd(c) && !isDelim(c)) {
    if (field.size() < keep) field += static_cast<char>(c);
    else cut = true;
    c = nextChar(in, f);
  }
  if (c != EOF) std::ungetc(c, f.handle);
  return field;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

void readVariable(Interp& in, TextFile& f, const ExprNode* a) {
  if (a->kind != NodeKind::Identifier)
    dataError(in, "Argument to READ/READLN was not a variable, it was " + std::string(nodeKindName(a->kind)));
  Symbol& s = *a->symbol;
  if (s.has(kConst)) dataError(in, "Argument to READ/READLN was a constant");
  switch (s.type) {
    case ValueType::Char: {
      requireReadable(in, f);
      const int c = nextChar(in, f);
      if (c == EOF) unexpectedEnd(in);
      setChar(in, s, targetElement(in, a), static_cast<char>(c));
      return;
    }
    case ValueType::Boolean: dataError(in, "Cannot READ/READLN BOOLEAN variables");
    case ValueType::Integer:
    case ValueType::Real:
    case ValueType::Complex:
    case ValueType::String: break;
    default: dataError(in, "Cannot READ/READLN " + std::string(typeName(s.type)) + " variables");
  }
  requireReadable(in, f);
  // A number is read whole, however long its text: a cut one would be
  // another number. A string holds 255 characters; the rest of its field is
  // dropped, with one warning per file.
  bool cut = false;
  const bool text = s.type == ValueType::String;
  const std::string field = readField(in, f, text ? kMaxText : std::string::npos, cut);
  if (text) {
    if (cut && !f.warnedCut) {
      f.warnedCut = true;
      std::printf("Warning: READ/READLN field longer than %zu characters cut in FILE %s\n", kMaxText,
                  f.name.c_str());
    }
    setString(in, s, targetElement(in, a), field);
    return;
  }
  const NumLit v = parseNumber(field);
  switch (s.type) {
    case ValueType::Integer:
      if (!v.valid || v.type != NumType::Integer) dataError(in, "Bad INTEGER format: " + quoted(field));
      setInteger(in, s, targetElement(in, a), v.i);
      return;
    case ValueType::Real:
      if (!v.valid || v.type == NumType::Complex) dataError(in, "Bad REAL number format: " + quoted(field));
      setReal(in, s, targetElement(in, a), v.r);
      return;
    default:
      if (!v.valid) dataError(in, "Bad COMPLEX number format: " + quoted(field));
      setComplex(in, s, targetElement(in, a), v.c);
      return;
  }
}

// ---- clock outputs ----

// Checks the output arguments of GETDATE, GETTIME and FILETIME (from
// argument `first`, 0-based) before anything is stored.
void checkOutputs(Interp& in, const ExprNode* args, std::string_view proc, int first, int minCount, int maxCount) {
  const int count = args ? args->childCount() : 0;
  const std::string p(proc);
  if (count < minCount || count > maxCount)
    dataError(in, "Expected " + std::to_string(minCount) + " to " + std::to_string(maxCount) + " arguments to " + p +
                      ", found " + std::to_string(count));
  for (int k = first; k < count; ++k) {
    const ExprNode* a = argAt(args, k);
    const std::string pos = std::to_string(k + 1);
    if (!a || a->kind != NodeKind::Identifier)
      dataError(in, "Argument " + pos + " to " + p + " was not a variable, it is " +
                        std::string(nodeKindName(a ? a->kind : NodeKind::None)));
    // No blank between the position and "to": the message has always read so.
    if (a->symbol->has(kConst)) dataError(in, "Argument " + pos + "to " + p + " is a constant");
    const ValueType t = a->symbol->type;
    if (t != ValueType::Integer && t != ValueType::Real && t != ValueType::Complex)
      dataError(in, "Invalid argument " + pos + " to " + p);
  }
}

void storeNumber(Interp& in, const ExprNode* a, int value) {
  Symbol& s = *a->symbol;
  const int e = targetElement(in, a);
  switch (s.type) {
    case ValueType::Integer: setInteger(in, s, e, value); break;
    case ValueType::Real: setReal(in, s, e, value); break;
    default: setComplex(in, s, e, Complex{static_cast<Real>(value), 0}); break;
  }
}

void storeOutputs(Interp& in, const ExprNode* args, int first, const int* values) {
  for (int k = first; k < args->childCount(); ++k) storeNumber(in, argAt(args, k), values[k - first]);
}

// ---- INC and DEC ----

void step(Interp& in, const ExprNode* args, std::string_view proc, int by) {
  const ExprNode* v = argAt(args, 0);
  const std::string p(proc);
  if (!v || v->kind != NodeKind::Identifier)
    runError(in, "Argument 1 to " + p + " was not a variable, it was " +
                     std::string(nodeKindName(v ? v->kind : NodeKind::None)));
  Symbol& s = *v->symbol;
  if (s.has(kConst)) runError(in, "Argument 1 to " + p + " was a constant");
  if (s.type != ValueType::Integer) runError(in, "Argument 1 to " + p + " was not an INTEGER variable");
  const int e = targetElement(in, v);
  const std::int64_t next = std::int64_t{getInteger(in, s, e)} + by;
  if (next != static_cast<std::int32_t>(next)) ReportError(in, ErrCat::Math, "Integer overflow in " + p);
  setInteger(in, s, e, static_cast<std::int32_t>(next));
}

void openProc(Interp& in, const ExprNode* args, FileOp op) {
  TextFile& f = fileArg(in, args, 0);
  const std::string name = stringArg(in, args, 1);
  fileOperation(in, f, op, name, true);
}

// The files the program opened, so that the end of the run can close those
// it left open and report what could not be written.
void forgetHandle(Interp& in, std::FILE* h) {
  auto& open = in.openFiles;
  open.erase(std::remove_if(open.begin(), open.end(), [&](const OpenFile& o) { return o.handle == h; }), open.end());
}

int closeRegistered(Interp& in, TextFile& f) {
  if (f.ownsHandle) forgetHandle(in, f.handle);
  return closeHandle(f);
}

int openRegistered(Interp& in, TextFile& f, FileOp op, std::string_view name) {
  const int code = openHandle(f, op, name);
  if (code == 0 && f.ownsHandle) in.openFiles.push_back(OpenFile{f.handle, f.name, f.mode != FileMode::Read});
  return code;
}

}  // namespace

bool closeOpenFiles(Interp& in) {
  bool ok = true;
  std::vector<OpenFile> open;
  open.swap(in.openFiles);
  for (OpenFile& o : open) {
    int code = 0;
    if (o.writing && std::ferror(o.handle)) code = errnoToCode(EIO, OsOp::Write);
    errno = 0;
    if (std::fclose(o.handle) != 0 && o.writing && code == 0) code = errnoToCode(errno ? errno : EIO, OsOp::Write);
    if (code == 0) continue;
    ok = false;
    try {
      checkResult(in, code, opText(FileOp::Close), o.name);
    } catch (const RunEnd&) {
      // Reported; the others are still closed and checked.
    }
  }
  return ok;
}

int fileOperation(Interp& in, TextFile& f, FileOp op, std::string_view name, bool report) {
  int code = 0;
  switch (op) {
    case FileOp::Close: code = closeRegistered(in, f); break;
    case FileOp::Flush:
      if (!f.handle) {
        code = kErrNotOpen;
      } else if (f.mode != FileMode::Read) {
        errno = 0;
        if (std::fflush(f.handle) != 0) code = errnoToCode(errno ? errno : EIO, OsOp::Write);
      }
      break;
    case FileOp::Append:
    case FileOp::Read:
    case FileOp::Write:
      if (f.handle) {
        const std::string old = f.name;
        const int closed = closeRegistered(in, f);
        if (report) checkResult(in, closed, opText(FileOp::Close), old);
      }
      code = openRegistered(in, f, op, name);
      break;
  }
  if (report) checkResult(in, code, opText(op), f.name);
  return code;
}

bool fileAtEof(Interp& in, TextFile& f) {
  requireReadable(in, f);
  return peekChar(in, f) == EOF;
}

bool fileAtEoln(Interp& in, TextFile& f) {
  requireReadable(in, f);
  const int c = peekChar(in, f);
  return c == EOF || isLineEnd(c);
}

void readItems(Interp& in, TextFile* file, const ExprNode* args, bool skipLine) {
  TextFile* f = file;
  if (args) {
    for (const ExprNode* a : args->children) {
      if (!a) continue;
      // FILE arguments come first: the standard files are constants.
      if (a->resultType == ValueType::File) {
        f = evalFile(in, a);
        continue;
      }
      readVariable(in, *f, a);
    }
  }
  if (!skipLine) return;
  requireReadable(in, *f);
  int c = nextChar(in, *f);
  while (c != EOF && c != '\n') c = nextChar(in, *f);
}

void procRead(Interp& in, const ExprNode* args) { readItems(in, &in.set.fInput, args, false); }
void procReadln(Interp& in, const ExprNode* args) { readItems(in, &in.set.fInput, args, true); }

void procOutfile(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  setStringByName(in, "OUTFILENAME", name, 0);
  if (in.set.verbose) std::printf("Opening OUTFILE %s for writing\n", name.c_str());
  TextFile& out = in.set.fOutFile;
  if (out.handle) fileOperation(in, out, FileOp::Close, out.name, true);
  fileOperation(in, out, FileOp::Write, name, true);
}

void procOpenAppend(Interp& in, const ExprNode* args) { openProc(in, args, FileOp::Append); }
void procOpenRead(Interp& in, const ExprNode* args) { openProc(in, args, FileOp::Read); }
void procOpenWrite(Interp& in, const ExprNode* args) { openProc(in, args, FileOp::Write); }

void procClose(Interp& in, const ExprNode* args) {
  TextFile& f = fileArg(in, args, 0);
  fileOperation(in, f, FileOp::Close, f.name, true);
}

void procFlush(Interp& in, const ExprNode* args) {
  TextFile& f = fileArg(in, args, 0);
  fileOperation(in, f, FileOp::Flush, f.name, true);
}

void procDatafile(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  setStringByName(in, "DATAFILENAME", name, 0);
  if (!fileExists(name)) runError(in, "Can't find DATAFILE " + name);
}

void procErase(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  checkResult(in, deleteFile(name), "erasing file ", name);
}

void procRename(Interp& in, const ExprNode* args) {
  const std::string from = stringArg(in, args, 0);
  const std::string to = stringArg(in, args, 1);
  checkResult(in, renameFile(from, to), "renaming file ", from + " to " + to);
}

void procChdir(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  checkResult(in, changeDir(name), "changing to directory ", name);
}

void procMkdir(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  checkResult(in, makeDir(name), "creating directory ", name);
}

void procRmdir(Interp& in, const ExprNode* args) {
  const std::string name = stringArg(in, args, 0);
  checkResult(in, removeDir(name), "deleting directory ", name);
}

void procGetdate(Interp& in, const ExprNode* args) {
  checkOutputs(in, args, "GETDATE", 0, 1, 3);
  const DateTime t = now();
  const int values[] = {t.year, t.month, t.day};
  storeOutputs(in, args, 0, values);
}

void procGettime(Interp& in, const ExprNode* args) {
  checkOutputs(in, args, "GETTIME", 0, 1, 4);
  const DateTime t = now();
  const int values[] = {t.hour, t.minute, t.second, t.hundredths};
  storeOutputs(in, args, 0, values);
}

void procFiletime(Interp& in, const ExprNode* args) {
  checkOutputs(in, args, "FILETIME", 1, 2, 7);
  const std::string name = stringArg(in, args, 0);
  FileStamp st;
  checkResult(in, fileTime(name, st), "reading the time of file", name);
  const int values[] = {st.year, st.month, st.day, st.hour, st.minute, st.second};
  storeOutputs(in, args, 1, values);
}

void procInc(Interp& in, const ExprNode* args) { step(in, args, "INC", 1); }
void procDec(Interp& in, const ExprNode* args) { step(in, args, "DEC", -1); }

void procSeed(Interp& in, const ExprNode* args) { randSeed(in, integerArg(in, args, 0, "SEED")); }

void procSleep(Interp& in, const ExprNode* args) {
  const std::int32_t ms = integerArg(in, args, 0, "SLEEP");
  std::fflush(nullptr);  // what was written shows before the pause
  sleepMs(ms);
}

void procHalt(Interp&, const ExprNode*) {
  std::fflush(nullptr);
  throw RunEnd{kExitOk};
}

void procExec(Interp& in, const ExprNode* args) {
  const std::string command = stringArg(in, args, 0);
  const std::string params = stringArg(in, args, 1);
  checkResult(in, execCommand(in, command, params), "executing command", command);
}

void procFindquit(Interp& in, const ExprNode*) { in.find = FindSearch{}; }

void procDumpsymbol(Interp& in, const ExprNode* args) {
  const ExprNode* x = argAt(args, 0);
  if (!x) return;
  // A STRING expression names the symbol to dump; a whole array (of any
  // type) or any other variable is dumped itself.
  if (x->kind != NodeKind::Array && x->resultType == ValueType::String) {
    dumpSymbol(in, lookup(in, evalString(in, x)));
    return;
  }
  const bool named = x->kind == NodeKind::Identifier || x->kind == NodeKind::Array;
  dumpSymbol(in, named ? x->symbol : nullptr);
}

void procDumptable(Interp& in, const ExprNode*) { dumpTables(in, ""); }

}  // namespace zav
