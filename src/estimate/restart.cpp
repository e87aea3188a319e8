// Restart and termination files: a run's free parameters are written to its
// restart file every iteration (-Sw) and read back as start values (-Sr), so
// a long maximisation can resume where it was interrupted; the mere
// existence of the termination file (-t) stops the current maximisation.
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "estimate/estimate.h"
#include "exec/fileio.h"
#include "exec/procs.h"
#include "scan/numlit.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

Real& realCell(const Symbol& s) { return *static_cast<Real*>(elementBlock(s)); }

// The program file's directory (with its separator) and its name without
// the extension.
void splitProgramName(const std::string& zavFile, std::string& dir, std::string& stem) {
  const std::size_t slash = zavFile.find_last_of('/');
  dir = slash == std::string::npos ? std::string() : zavFile.substr(0, slash + 1);
  stem = slash == std::string::npos ? zavFile : zavFile.substr(slash + 1);
  const std::size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos) stem.erase(dot);
}

// Sets free parameter k's start value (and the parameter itself, which
// starts there).
void setStart(Interp& in, std::size_t k, Real v) {
  RunWork& w = in.models.work;
  w.start[k] = v;
  realCell(*w.free[k]->startSym) = v;
  realCell(*w.free[k]->symbol) = v;
}

// Reads one number per line, like READLN of a REAL: leading delimiters
// (line ends among them) are skipped, the field is taken, the rest of its
// line is dropped.
void readStartValues(Interp& in, const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return;
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, got);
  std::fclose(f);
  const std::string& delims = in.set.readDelimiters;
  std::size_t pos = 0;
  for (std::size_t k = 0; k < in.models.work.free.size(); ++k) {
    pos = text.find_first_not_of(delims, pos);
    if (pos == std::string::npos) return;
    std::size_t end = text.find_first_of(delims, pos);
    if (end == std::string::npos) end = text.size();
    const std::string field = text.substr(pos, end - pos);
    const NumLit v = parseNumber(field);
    if (!v.valid || v.type == NumType::Complex)
      ReportError(in, ErrCat::Data, "Bad REAL number format: \"" + field + "\"");
    setStart(in, k, v.r);
    pos = text.find('\n', end);
    if (pos == std::string::npos) return;
  }
}

}  // namespace

std::string restartNumber(Real x) {
  // 21 significant digits give back every extended value exactly; the
  // number reader takes no "+" in an exponent.
  char number[64];
  std::snprintf(number, sizeof number, "%.20LE", x);
  std::string text = number;
  const std::size_t plus = text.find("E+");
  if (plus != std::string::npos) text.erase(plus + 1, 1);
  return text;
}

std::string restartFileName(const std::string& zavFile, int model, int run) {
  std::string dir, stem;
  splitProgramName(zavFile, dir, stem);
  return dir + stem + "_" + std::to_string(model) + "." + std::to_string(run);
}

void prepareRestartFile(Interp& in, const Model& m, const ModelRun& r) {
  RunWork& w = in.models.work;
  w.startFile.clear();
  if (!in.set.readStartFile && !in.set.writeStartFile) return;
  w.startFile = restartFileName(getStringByName(in, "ZAVFILE"), m.number, r.number);
  if (in.set.verbose) std::printf("Start file is %s\n", w.startFile.c_str());
  if (in.set.readStartFile && fileExists(w.startFile)) readStartValues(in, w.startFile);
}

// The iterate goes to a file of its own beside the restart file, which is
// then renamed over it: a run killed at any moment leaves the previous
// complete iterate or the new one, never a half-written or empty file.
// (No fsync: that would cost a disk round trip per iteration and only
// guards against the machine failing, not the process.)
void writeRestartFile(Interp& in) {
  const RunWork& w = in.models.work;
  if (w.startFile.empty()) return;  // WRITESTARTFILE switched on during the run
  std::string text;
  for (std::size_t k = 0; k < w.free.size(); ++k) text += restartNumber(paramValue(in, k)) + "\n";
  const std::string temp = w.startFile + ".tmp";
  TextFile f;
  fileOperation(in, f, FileOp::Write, temp, true);
  putText(in, f, text);
  fileOperation(in, f, FileOp::Close, temp, true);
  checkResult(in, replaceFile(temp, w.startFile), "renaming FILE ", temp);
}

const std::string& terminationFileName(Interp& in) {
  std::string& name = in.models.termFile;
  if (name.empty()) {
    std::string dir, stem;
    splitProgramName(getStringByName(in, "ZAVFILE"), dir, stem);
    name = dir + stem + ".trm";
  }
  return name;
}

}  // namespace zav
