// Reading observations from the data file. The file is read in large blocks
// and split into lines (LF, CR LF or a lone CR ends one) and fields. Blanks
// between fields are one separator however many there are; any other
// delimiter (comma, tab) separates exactly two fields, so two of them in a
// row enclose an empty field. A field in double quotes may hold delimiters.
// An empty field, "NA", "N/A", "." or a field past the end of its line is a
// missing value, and an observation that reads one is dropped before its
// transforms run.
#include "data/datafile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "data/fieldnum.h"
#include "exec/fileio.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

constexpr std::int32_t kMaxLinesPerObs = 65535;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

[[noreturn]] void dataError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::Data, msg); }

std::string num(std::int64_t v) { return std::to_string(v); }

// Field text as a message shows it: a NUL byte would end the line early.
std::string shown(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\0') out += "\\0";
    else out += c;
  }
  return out;
}

// The text of one (line, field) pair that some variable reads.
struct FieldBuffer {
  std::int32_t line = 0, field = 0;
  std::string text;
  bool missing = false;
  bool converted = false;
  Real value = 0;
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

// Lines of the open data file, read a block at a time. A line handed out
// stays valid until the next call.
class LineSource {
 public:
  LineSource(Interp& in, TextFile& file) : in_(in), file_(file), fp_(file.handle), buf_(kBlockBytes) {}

  // The number of lines in the whole file, read ahead so the observations
  // can be stored at their final size from the start; -1 when the file
  // cannot be read twice (a pipe). Call before reading anything else.
  std::int64_t countLines() {
    const long start = std::ftell(fp_);
    if (start < 0) return -1;
    std::int64_t count = 0;
    bool crBefore = false, any = false;
    for (std::size_t got; (got = std::fread(buf_.data(), 1, buf_.size(), fp_)) > 0;) {
      const char* b = buf_.data();
      any = true;
      if (!crBefore && !std::memchr(b, '\r', got)) {
        count += std::count(b, b + got, '\n');
      } else {
        for (std::size_t i = 0; i < got; ++i) {
          // CR LF is one line end, a lone CR one as well.
          if (b[i] == '\n' ? !crBefore : b[i] == '\r') ++count;
          crBefore = b[i] == '\r';
        }
      }
      crBefore = buf_[got - 1] == '\r';
    }
    std::clearerr(fp_);
    if (std::fseek(fp_, start, SEEK_SET) != 0) {
      // Cannot happen after ftell worked on a regular file; read nothing twice.
      dataError(in_, "The data file " + file_.name + " cannot be read from its start again");
    }
    return any ? count + 1 : 0;
  }

  // A byte-order mark, as spreadsheets write in front of UTF-8 text.
  void skipByteOrderMark() {
    ensure(3);
    if (end_ - pos_ >= 3 && std::memcmp(&buf_[pos_], "\xEF\xBB\xBF", 3) == 0) pos_ += 3;
  }

  bool atEof() { return !ensure(1); }

  // The next line without its line end; false at the end of the file.
  bool nextLine(std::string_view& line) {
    std::size_t scanned = 0;  // bytes after pos_ known to hold no line end
    for (;;) {
      const char* begin = &buf_[pos_];
      const char* stop = begin + (end_ - pos_);
      const char* p = begin + scanned;
      while (p != stop && *p != '\n' && *p != '\r') ++p;
      scanned = static_cast<std::size_t>(p - begin);
      if (p != stop) {
        // A CR at the end of the block may be the first half of CR LF.
        if (*p == '\r' && p + 1 == stop && ensure(scanned + 2)) continue;
        const std::size_t eolAt = pos_ + scanned;
        std::size_t next = eolAt + 1;
        if (buf_[eolAt] == '\r' && next < end_ && buf_[next] == '\n') ++next;
        line = std::string_view(&buf_[pos_], scanned);
        pos_ = next;
        return true;
      }
      if (!ensure(scanned + 1)) break;
    }
    if (scanned == 0) return false;
    line = std::string_view(&buf_[pos_], scanned);  // the last line had no line end
    pos_ = end_;
    return true;
  }

  // Editors and spreadsheets often leave blank lines after the last
  // observation: when only white space is left, the file has ended.
  bool onlyWhiteSpaceLeft() {
    for (std::size_t i = 0;; ++i) {
      if (!ensure(i + 1)) return true;
      if (!isWhite(buf_[pos_ + i])) return false;
    }
  }

  // A transform may have closed or reopened FDATA; reading on from a
  // released handle would be undefined.
  void checkStillOpen() {
    if (file_.handle != fp_) dataError(in_, "The data file " + file_.name + " was closed while it was being read");
  }

 private:
  static bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

  // At least `want` unread bytes in the buffer, unless the file ends first.
  bool ensure(std::size_t want) {
    while (end_ - pos_ < want) {
      if (eof_) return false;
      if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
      }
      // A line longer than the buffer: the buffer grows to hold it whole.
      if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
      errno = 0;
      const std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, fp_);
      end_ += got;
      if (got == 0) {
        if (std::ferror(fp_)) {
          const int err = errno ? errno : EIO;
          std::clearerr(fp_);
          checkResult(in_, errnoToCode(err, OsOp::Read), "reading from a file", file_.name);
        }
        eof_ = true;
      }
    }
    return true;
  }

  Interp& in_;
  TextFile& file_;
  std::FILE* fp_;
  std::vector<char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
};

// The fields of one line, left to right.
class FieldSplitter {
 public:
  explicit FieldSplitter(const std::string& delimiters) {
    for (char c : delimiters) {
      const auto u = static_cast<unsigned char>(c);
      kind_[u] = c == ' ' ? kBlank : kHard;
    }
  }

  void start(std::string_view line) {
    p_ = line.data();
    end_ = p_ + line.size();
  }

  // The next field's text into `text` (quotes removed); past the end of the
  // line the text is empty.
  void next(std::string& text) {
    text.clear();
    while (p_ != end_ && kindOf(*p_) == kBlank) ++p_;
    if (p_ == end_) return;
    if (kindOf(*p_) == kHard) {
      ++p_;
      return;
    }
    const char* from = p_;
    if (*p_ == '"') {
      ++p_;
      for (;;) {
        const char* q = p_;
        while (q != end_ && *q != '"') ++q;
        text.append(p_, q);
        if (q == end_) {
          p_ = q;
          break;
        }
        p_ = q + 1;
        if (p_ == end_ || *p_ != '"') break;
        text += '"';  // a doubled quote stands for itself
        ++p_;
      }
      from = p_;
    }
    while (p_ != end_ && kindOf(*p_) == kNone) ++p_;
    text.append(from, p_);
    while (p_ != end_ && kindOf(*p_) == kBlank) ++p_;
    if (p_ != end_ && kindOf(*p_) == kHard) ++p_;
  }

 private:
  enum : unsigned char { kNone = 0, kBlank, kHard };
  unsigned char kindOf(char c) const { return kind_[static_cast<unsigned char>(c)]; }

  std::array<unsigned char, 256> kind_{};
  const char* p_ = nullptr;
  const char* end_ = nullptr;
};

[[noreturn]] void endOfFile(Interp& in, const std::string& name, std::int32_t obs, std::int32_t line,
                            std::int32_t lines, std::int32_t fields) {
  dataError(in, "Unexpected end of file " + name + " reading observation " + num(obs) + ", line " + num(line) +
                    " of " + num(lines) + ", field 1 of " + num(fields));
}

}  // namespace

std::int32_t readDataFile(Interp& in, const DataSpec& desc, std::vector<Real>& slots,
                          const std::function<void(std::int64_t)>& reserve,
                          const std::function<void(bool complete)>& finish) {
  in.set.dIdx = 0;
  in.set.nObs = 0;
  const std::string fileName = getStringByName(in, "DATAFILENAME");
  if (!fileExists(fileName)) dataError(in, "No data file assigned.  Use DATAFILE procedure");
  if (in.set.verbose || in.set.debugData) std::printf("Reading data from %s...\n", fileName.c_str());
  const std::int32_t lines = desc.linesPerObs;
  if (lines > kMaxLinesPerObs)
    dataError(in, "Can't have " + num(lines) + " lines per observation.  Max is " + num(kMaxLinesPerObs));
  ReadPlan plan = makePlan(in, desc);
  FieldSplitter split(getStringByName(in, "DATADELIMITERS"));

  TextFile& file = in.set.fData;
  if (in.set.verbose) std::printf("Opening  DATAFILE %s for reading\n", fileName.c_str());
  fileOperation(in, file, FileOp::Read, fileName, true);
  LineSource src(in, file);
  const std::int32_t skipLines = getIntegerByName(in, "INPUT_SKIP");
  if (const std::int64_t count = src.countLines(); count >= 0)
    reserve((std::max<std::int64_t>(count - std::max(skipLines, 0), 0) + lines - 1) / lines);
  src.skipByteOrderMark();
  std::string_view line;
  for (std::int32_t skip = skipLines; skip > 0 && src.nextLine(line); --skip) {
  }

  const bool traceFields = in.set.debug > 29 || in.set.debugData;
  const bool traceValues = in.set.debug > 39 || in.set.debugData;
  std::string scratch;
  std::int32_t obs = 0;
  in.set.lineNumb = 0;
  while (!src.atEof() && !src.onlyWhiteSpaceLeft()) {
    in.set.lineNumb = ++obs;
    std::fill(slots.begin(), slots.end(), Real{0});
    for (std::int32_t l = 1; l <= lines; ++l) {
      const std::int32_t fields = plan.fieldsOnLine[static_cast<std::size_t>(l)];
      if (!src.nextLine(line)) {
        if (fields > 0) endOfFile(in, fileName, obs, l, lines, fields);
        continue;
      }
      split.start(line);
      const auto& onLine = plan.used[static_cast<std::size_t>(l)];
      std::size_t next = 0;
      for (std::int32_t f = 1; f <= fields; ++f) {
        FieldBuffer* used = nullptr;
        if (next < onLine.size() && onLine[next].first == f) used = &plan.buffers[onLine[next++].second];
        std::string& text = used ? used->text : scratch;
        split.next(text);
        if (used) {
          used->missing = isMissingField(text);
          used->converted = false;
        }
        if (traceFields) std::printf("Reading obs %d line %d field %d-->\"%s\"\n", obs, l, f, shown(text).c_str());
      }
    }
    bool complete = true;
    for (std::size_t k = 0; k < desc.vars.size(); ++k) {
      const DataVarSpec& v = desc.vars[k];
      if (v.field <= 0 || v.line <= 0) continue;
      FieldBuffer& b = plan.buffers[plan.bufferOf[k]];
      if (b.missing) {
        complete = false;
        if (traceValues)
          std::printf("Obs %d, var %zu, (line %d col %d):\n   \"%s\" --> missing\n", obs, k + 1, v.line, v.field,
                      shown(b.text).c_str());
        continue;
      }
      bool ok = true;
      if (!b.converted) {
        ok = readFieldNumber(in.set, b.text, b.value);
        b.converted = ok;
      }
      if (traceValues)
        std::printf("Obs %d, var %zu, (line %d col %d):\n   \"%s\" --> %s\n", obs, k + 1, v.line, v.field,
                    shown(b.text).c_str(), ok ? realToText(in.set, b.value, 13, 7).c_str() : "was bad");
      if (!ok) {
        std::string msg = "Bad value for observation #: " + num(obs) + " (line " + num(v.line) + ", field " +
                          num(v.field) + "). Can't convert: \"" + shown(b.text) + "\" to a number";
        if (obs == 1 && v.line == 1 && skipLines <= 0) msg += " (a header line? set INPUT_SKIP = 1)";
        dataError(in, msg);
      }
      slots[k] = b.value;
    }
    finish(complete);
    src.checkStillOpen();
  }
  fileOperation(in, file, FileOp::Close, fileName, true);
  return obs;
}

}  // namespace zav
