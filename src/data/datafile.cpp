// Reading observations from the data file: fields are maximal runs of
// non-delimiter characters, an observation spans a fixed number of lines,
// and only the fields some variable uses are kept.
#include "data/datafile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "exec/fileio.h"
#include "funcs/numtext.h"
#include "scan/numlit.h"

namespace zav {
namespace {

constexpr std::int32_t kMaxLinesPerObs = 65535;

[[noreturn]] void dataError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::Data, msg); }

std::string num(std::int64_t v) { return std::to_string(v); }

// A text buffer for one (line, field) pair that some variable reads.
struct FieldBuffer {
  std::int32_t line = 0, field = 0;
  std::string text;
};

// What to read on each line and where the texts go.
struct ReadPlan {
  std::vector<std::int32_t> fieldsOnLine;  // index 1..L
  // Per line, the used fields in increasing order with their buffers.
  std::vector<std::vector<std::pair<std::int32_t, std::size_t>>> used;
  std::vector<FieldBuffer> buffers;
  std::vector<std::size_t> bufferOf;  // per variable; unused for computed ones
};

ReadPlan makePlan(Interp& in, const DataSpec& desc) {
  const std::int32_t lines = desc.linesPerObs;
  ReadPlan p;
  p.fieldsOnLine.assign(static_cast<std::size_t>(lines) + 1, 0);
  p.used.resize(static_cast<std::size_t>(lines) + 1);
  p.bufferOf.assign(desc.vars.size(), 0);
  for (const DataVarSpec& v : desc.vars)
    if (v.field > 0) {
      std::int32_t& f = p.fieldsOnLine[static_cast<std::size_t>(v.line)];
      f = std::max(f, v.field);
    }
  if (in.set.debugData)
    for (std::int32_t l = 1; l <= lines; ++l)
      std::printf("%d fields for line %d\n", p.fieldsOnLine[static_cast<std::size_t>(l)], l);
  for (std::size_t k = 0; k < desc.vars.size(); ++k) {
    const DataVarSpec& v = desc.vars[k];
    if (v.field <= 0) continue;
    auto& onLine = p.used[static_cast<std::size_t>(v.line)];
    auto it = std::find_if(onLine.begin(), onLine.end(), [&](const auto& u) { return u.first == v.field; });
    if (it != onLine.end()) {
      p.bufferOf[k] = it->second;
      continue;
    }
    if (in.set.debugData)
      std::printf("Var %zu: %s in field %d on line %d\n", k + 1, v.symbol->name.c_str(), v.field, v.line);
    p.buffers.push_back(FieldBuffer{v.line, v.field, {}});
    p.bufferOf[k] = p.buffers.size() - 1;
    onLine.emplace_back(v.field, p.buffers.size() - 1);
  }
  for (auto& onLine : p.used) std::sort(onLine.begin(), onLine.end());
  return p;
}

// Character access to the open data file. A line ends at a line feed, or at
// a carriage return (so files with CR LF line ends read the same).
class DataReader {
 public:
  DataReader(Interp& in, TextFile& file, const std::string& delimiters) : in_(in), file_(file), fp_(file.handle) {
    for (char c : delimiters) delim_[static_cast<unsigned char>(c)] = true;
  }

  int peek() {
    const int c = get();
    if (c != EOF) unget(c);
    return c;
  }
  bool atEof() { return peek() == EOF; }
  // Editors and spreadsheets often leave blank lines after the last
  // observation: when only white space is left, the file has ended. Blank
  // lines with observations after them are read as usual (and refused), so
  // the position is restored. A file that cannot seek is read as usual.
  bool onlyWhiteSpaceLeft() {
    if (!isWhite(peek())) return false;
    const long at = std::ftell(fp_);
    if (at < 0) return false;
    int c;
    while (isWhite(c = get())) {
    }
    if (c == EOF) return true;
    std::fseek(fp_, at, SEEK_SET);
    return false;
  }
  bool atEoln() {
    const int c = peek();
    return c == '\n' || c == '\r';
  }
  void skipLine() {
    int c;
    while ((c = get()) != EOF && c != '\n') {
    }
  }
  void unget(int c) { std::ungetc(c, fp_); }
  bool isDelimiter(int c) const { return c != EOF && delim_[static_cast<unsigned char>(c)]; }
  static bool isWhite(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

  int get() {
    errno = 0;
    const int c = std::getc(fp_);
    if (c == EOF && std::ferror(fp_)) {
      const int err = errno ? errno : EIO;
      std::clearerr(fp_);
      checkResult(in_, errnoToCode(err, OsOp::Read), "reading from a file", file_.name);
    }
    return c;
  }

  // A transform may have closed or reopened FDATA; reading on from a
  // released handle would be undefined.
  void checkStillOpen() {
    if (file_.handle != fp_) dataError(in_, "The data file " + file_.name + " was closed while it was being read");
  }

 private:
  Interp& in_;
  TextFile& file_;
  std::FILE* fp_;
  std::array<bool, 256> delim_{};
};

struct FieldPos {
  std::int32_t obs, line, lines, field, fields;
};

[[noreturn]] void endOfLine(Interp& in, const FieldPos& p) {
  dataError(in, "Unexpected end of line reading obs. " + num(p.obs) + ", line " + num(p.line) + " of " + num(p.lines) +
                    ", field " + num(p.field) + " of " + num(p.fields));
}

[[noreturn]] void endOfFile(Interp& in, const std::string& name, const FieldPos& p) {
  dataError(in, "Unexpected end of file " + name + " reading observation " + num(p.obs) + ", line " + num(p.line) +
                    " of " + num(p.lines) + ", field " + num(p.field) + " of " + num(p.fields));
}

// One field into `text`: delimiters are skipped, then non-delimiters are
// taken up to a delimiter (consumed), the line end (left for the next test)
// or the end of the file. Characters past 255 are read and dropped.
void readField(Interp& in, DataReader& r, const std::string& fileName, const FieldPos& pos, std::string& text) {
  text.clear();
  int c = r.get();
  while (r.isDelimiter(c)) c = r.get();
  if (c == EOF) endOfFile(in, fileName, pos);
  // Only delimiters were left on the line: the field is missing, as when the
  // line had ended before it.
  if (c == '\n' || c == '\r') endOfLine(in, pos);
  text += static_cast<char>(c);
  while ((c = r.get()) != EOF && !r.isDelimiter(c)) {
    if (c == '\n' || c == '\r') {
      r.unget(c);
      break;
    }
    if (text.size() < kMaxText) text += static_cast<char>(c);
  }
}

// The texts that number-to-text conversion writes for values no number
// literal can spell, so a file the program wrote reads back (and a field can
// hold a right-censored time).
bool writtenSpecial(const Settings& s, const std::string& text, Real& x) {
  if (text == "+oo" || text == "oo") x = s.infinity;
  else if (text == "-oo") x = s.negInfinity;
  else if (text == "NaN") x = s.nan;
  else return false;
  return true;
}

}  // namespace

std::int32_t readDataFile(Interp& in, const DataSpec& desc, std::vector<Real>& slots,
                          const std::function<void()>& finish) {
  in.set.dIdx = 0;
  in.set.nObs = 0;
  const std::string fileName = getStringByName(in, "DATAFILENAME");
  if (!fileExists(fileName)) dataError(in, "No data file assigned.  Use DATAFILE procedure");
  if (in.set.verbose || in.set.debugData) std::printf("Reading data from %s...\n", fileName.c_str());
  const std::int32_t lines = desc.linesPerObs;
  if (lines > kMaxLinesPerObs)
    dataError(in, "Can't have " + num(lines) + " lines per observation.  Max is " + num(kMaxLinesPerObs));
  ReadPlan plan = makePlan(in, desc);
  const std::string delimiters = getStringByName(in, "DATADELIMITERS");

  TextFile& file = in.set.fData;
  if (in.set.verbose) std::printf("Opening  DATAFILE %s for reading\n", fileName.c_str());
  fileOperation(in, file, FileOp::Read, fileName, true);
  DataReader r(in, file, delimiters);
  for (std::int32_t skip = getIntegerByName(in, "INPUT_SKIP"); skip > 0 && !r.atEof(); --skip) r.skipLine();

  const bool traceFields = in.set.debug > 29 || in.set.debugData;
  const bool traceValues = in.set.debug > 39 || in.set.debugData;
  std::string scratch;
  std::int32_t obs = 0;
  in.set.lineNumb = 0;
  while (!r.atEof() && !r.onlyWhiteSpaceLeft()) {
    in.set.lineNumb = ++obs;
    std::fill(slots.begin(), slots.end(), Real{0});
    for (std::int32_t l = 1; l <= lines; ++l) {
      const std::int32_t fields = plan.fieldsOnLine[static_cast<std::size_t>(l)];
      const auto& onLine = plan.used[static_cast<std::size_t>(l)];
      std::size_t next = 0;
      for (std::int32_t f = 1; f <= fields; ++f) {
        const FieldPos pos{obs, l, lines, f, fields};
        if (r.atEoln()) endOfLine(in, pos);
        std::string* text = &scratch;
        if (next < onLine.size() && onLine[next].first == f) text = &plan.buffers[onLine[next++].second].text;
        readField(in, r, fileName, pos, *text);
        if (traceFields) std::printf("Reading obs %d line %d field %d-->\"%s\"\n", obs, l, f, text->c_str());
      }
      if (!r.atEof()) r.skipLine();
    }
    for (std::size_t k = 0; k < desc.vars.size(); ++k) {
      const DataVarSpec& v = desc.vars[k];
      if (v.field <= 0 || v.line <= 0) continue;
      const std::string& text = plan.buffers[plan.bufferOf[k]].text;
      const NumLit value = parseNumber(text);
      // A data variable is REAL: a complex field has no value it could hold.
      Real x = value.r;
      bool ok = value.valid && value.type != NumType::Complex;
      if (!ok) ok = writtenSpecial(in.set, text, x);
      if (traceValues)
        std::printf("Obs %d, var %zu, (line %d col %d):\n   \"%s\" --> %s\n", obs, k + 1, v.line, v.field, text.c_str(),
                    ok ? realToText(in.set, x, 13, 7).c_str() : "was bad");
      if (!ok)
        dataError(in, "Bad value for observation #: " + num(obs) + " (line " + num(v.line) + ", field " + num(v.field) +
                          "). Can't convert: \"" + text + "\" to a number");
      slots[k] = x;
    }
    finish();
    r.checkStillOpen();
  }
  fileOperation(in, file, FileOp::Close, fileName, true);
  return obs;
}

}  // namespace zav
