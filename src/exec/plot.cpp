#include "exec/plot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "exec/fileio.h"
#include "exec/plotpng.h"
#include "exec/procs.h"
#include "funcs/complex.h"
#include "funcs/eval.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// Matched in this order by leading characters, so the order decides
// ("linespoints" takes the row of "lines"). gnuplot's own column counts
// decide the sizes: financebars reads x, open, low, high, close, and a 3-D
// vector reads x, y, z, dx, dy, dz.
constexpr PlotStyle kStyles[] = {
    {"boxerrorbars", false, 2, 4, 0, 0}, {"boxes", false, 0, 0, 0, 0},    {"boxxyerrorbars", false, 2, 5, 0, 0},
    {"candlesticks", false, 5, 5, 0, 0}, {"dots", true, 0, 0, 0, 0},      {"errorbars", false, 1, 2, 0, 0},
    {"financebars", false, 3, 3, 0, 0},  {"fsteps", false, 0, 0, 0, 0},   {"histeps", false, 0, 0, 0, 0},
    {"impulses", true, 0, 0, 0, 0},      {"lines", true, 0, 0, 0, 0},     {"linespoints", true, 0, 0, 0, 0},
    {"points", true, 0, 0, 0, 0},        {"steps", false, 0, 0, 0, 0},    {"vector", true, 2, 2, 3, 3},
    {"xerrorbars", false, 1, 2, 0, 0},   {"xyerrorbars", false, 2, 4, 0, 0},
};

const PlotStyle* findStyle(std::string_view with) {
  for (const PlotStyle& s : kStyles)
    if (with.substr(0, s.name.size()) == s.name) return &s;
  return nullptr;
}

[[noreturn]] void runError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::RunTime, msg); }

void trace(const Interp& in, const StmtNode& s, const char* text) {
  if (in.set.debugExec) std::printf("%d: %s\n", s.line, text);
}

void writeLine(Interp& in, std::string text) {
  text += '\n';
  putText(in, in.set.fPlot, text);
}

std::string textOf(Interp& in, const ExprNode* e) {
  if (e->resultType == ValueType::Char) return std::string(1, evalChar(in, e));
  return evalString(in, e);
}

// The settings that are plain symbols rather than bound fields; read at the
// moment of use so that a program's assignment counts.
std::string stringSetting(Interp& in, std::string_view name) {
  const Symbol* s = lookup(in, name);
  if (!s || s->type != ValueType::String) return "";
  return getString(in, *s, 1);
}

// The plot names are global settings even when a routine opens the file.
void setGlobalString(Interp& in, std::string_view name, const std::string& value) {
  SymbolTable* const saved = in.current;
  in.current = in.global;
  try {
    setStringByName(in, name, value, 0);
  } catch (...) {
    in.current = saved;
    throw;
  }
  in.current = saved;
}

bool plotFileOpened(Interp& in) { return in.set.fPlot.handle || !stringSetting(in, "PLOTFILENAME").empty(); }

// The program's name with the extension "plt"; a program given on the
// command line has no file name to borrow, so the program's own name stands in.
std::string defaultPlotName(Interp& in) {
  std::string base = stringSetting(in, "ZAVFILEBASE");
  if (base.empty()) base = "zav";
  return base + ".plt";
}

void ensurePlotFile(Interp& in) {
  if (!plotFileOpened(in)) openPlotFile(in, defaultPlotName(in));
}

std::string panelNumber(Interp& in, Real x) { return realToText(in.set, x, 8, 3); }

void advancePanel(Interp& in) {
  MultiPlotFrame& m = in.plot.multi;
  if (m.column > m.nx) {
    m.column = 1;
    ++m.row;
    if (m.row > m.ny) {  // the page is full: a new one
      writeLine(in, "set nomultiplot");
      writeLine(in, stringSetting(in, "INTERMPLOT"));
      writeLine(in, "set multiplot");
      writeLine(in, in.set.multiPlotInit);
      m.column = m.row = 1;
    }
  }
  writeLine(in, "set size " + panelNumber(in, m.width) + ", " + panelNumber(in, m.height));
  writeLine(in, "set origin " + panelNumber(in, static_cast<Real>(m.column - 1) / m.nx) + ", " +
                    panelNumber(in, static_cast<Real>(m.ny - m.row) / m.ny));
  ++m.column;
}

// Types that make a data column.
bool isColumnType(ValueType t) {
  return t == ValueType::Char || t == ValueType::Integer || t == ValueType::Real || t == ValueType::Complex ||
         t == ValueType::String;
}

bool isTextType(ValueType t) { return t == ValueType::Char || t == ValueType::String; }

// The values one index clause gives its variable.
struct IndexValues {
  Symbol* var = nullptr;
  bool integer = false;  // the `=`...`TO` form
  std::int64_t from = 0;
  Real realFrom = 0, step = 0;
  std::int64_t count = 0;
};

std::int32_t integerLimit(Interp& in, const ExprNode* e, const Symbol& var, const char* what) {
  if (e->resultType != ValueType::Integer)
    runError(in, std::string("CURVE ") + what + " of " + var.name + " must be INTEGER, found " +
                     std::string(typeName(e->resultType)));
  return evalInteger(in, e);
}

Real realLimit(Interp& in, const ExprNode* e, const Symbol& var) {
  if (e->resultType != ValueType::Integer && e->resultType != ValueType::Real)
    runError(in, "CURVE limits of " + var.name + " must be REAL, found " + std::string(typeName(e->resultType)));
  return evalReal(in, e);
}

// The first clause takes at least two values; the BY clause takes what it
// is given.
IndexValues prepareIndex(Interp& in, const CurveIndex& c, bool isFirst) {
  IndexValues v;
  v.var = c.var;
  Symbol& var = *c.var;
  if (var.has(kConst)) runError(in, "Can't use " + var.name + " as a CURVE variable");
  v.integer = c.rangeForm;
  if (var.type != ValueType::Real && (var.type != ValueType::Integer || !c.rangeForm))
    runError(in, var.name + " is wrong type [" + std::string(typeName(var.type)) + "] for CURVE variable");
  if (c.rangeForm) {
    const std::int64_t from = integerLimit(in, c.from, var, "limits");
    const std::int64_t to = integerLimit(in, c.to, var, "limits");
    v.from = from;
    v.count = to - from + 1;
    if (isFirst) v.count = std::max<std::int64_t>(2, v.count);
    return v;
  }
  v.realFrom = realLimit(in, c.from, var);
  const Real to = realLimit(in, c.to, var);
  v.count = c.points ? integerLimit(in, c.points, var, "points") : in.set.plotPoints;
  if (isFirst) v.count = std::max<std::int64_t>(2, v.count);
  // One point of a BY clause sits at its start.
  v.step = v.count > 1 ? (to - v.realFrom) / static_cast<Real>(v.count - 1) : 0;
  return v;
}

void setIndex(Interp& in, const IndexValues& v, std::int64_t i) {
  Symbol& var = *v.var;
  if (v.integer) {
    const std::int64_t x = v.from + i;
    if (x > INT32_MAX || x < INT32_MIN) runError(in, "CURVE variable " + var.name + " is beyond the INTEGER range");
    if (var.type == ValueType::Integer) setInteger(in, var, 1, static_cast<std::int32_t>(x));
    else setReal(in, var, 1, static_cast<Real>(x));
    return;
  }
  setReal(in, var, 1, v.realFrom + static_cast<Real>(i) * v.step);
}

// One line of the data file: every curve expression, separated by a blank.
void appendDataLine(Interp& in, const std::vector<ExprNode*>& exprs, std::string& line) {
  line.clear();
  bool first = true;
  for (const ExprNode* e : exprs) {
    if (!first) line += ' ';
    first = false;
    switch (e->resultType) {
      case ValueType::Char: line += evalChar(in, e); break;
      case ValueType::String: line += evalString(in, e); break;
      case ValueType::Integer: line += std::to_string(evalInteger(in, e)); break;
      case ValueType::Real: line += realToText(in.set, evalReal(in, e), in.set.realWidth, in.set.realDecimals); break;
      case ValueType::Complex:
        // gnuplot reads numbers only, and one column per expression keeps
        // the using clause and the styles' column counts: the modulus.
        line += realToText(in.set, cxAbs(evalComplex(in, e)), in.set.complexWidth, in.set.complexDecimals);
        break;
      default: break;  // a BOOLEAN leaves only its separator
    }
  }
  line += '\n';
}

// The counter never wraps: a plot file may hold more curves than three
// digits number, and every curve must keep its own data file while the
// command that reads it is still being written. Names widen past 999.
std::string dataFileName(Interp& in) {
  ++in.plot.dataCounter;
  std::string stem = stringSetting(in, "PLOTDATAFILENAME");
  if (stem.empty()) stem = plotDataStem(stringSetting(in, "PLOTFILENAME"));
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", in.plot.dataCounter);
  return stem + digits;
}

// The plot file's argument on gnuplot's command line: quoted for the shell.
std::string quotedArgument(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

const ExprNode* argAt(const ExprNode* args, int k) {
  if (!args || k >= args->childCount()) return nullptr;
  return args->children[static_cast<std::size_t>(k)];
}

}  // namespace

std::span<const PlotStyle> plotStyles() { return kStyles; }

// A string inside a gnuplot command, in double quotes. gnuplot reads
// backslash escapes there and runs a backquoted text as a shell command, so
// the backslash, the quote and the backquote are escaped, and line ends
// (which would end the command) are written as escapes: gnuplot then shows
// the text as it is and runs nothing.
std::string gnuplotQuoted(std::string_view s) {
  std::string q = "\"";
  for (char c : s) {
    switch (c) {
      case '\\': q += "\\\\"; break;
      case '"': q += "\\\""; break;
      case '`': q += "\\`"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      default: q += c;
    }
  }
  return q + '"';
}

std::string nextPlotDataName(Interp& in) { return dataFileName(in); }

std::string plotDataStem(const std::string& plotName) {
  const auto slash = plotName.rfind('/');
  const auto base = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = plotName.rfind('.');
  if (dot == std::string::npos || dot < base) return plotName + ".";
  return plotName.substr(0, dot + 1);
}

void openPlotFile(Interp& in, const std::string& name) {
  const std::string plotName = name.substr(0, kMaxText);
  TextFile& f = in.set.fPlot;
  if (f.handle) fileOperation(in, f, FileOp::Close, f.name, true);
  in.plot.dataCounter = 0;
  setGlobalString(in, "PLOTFILENAME", plotName);
  setGlobalString(in, "PLOTDATAFILENAME", plotDataStem(plotName).substr(0, kMaxText));
  if (in.set.verbose) std::printf("Opening plot file %s\n", plotName.c_str());
  fileOperation(in, f, FileOp::Write, plotName, true);
  writeLine(in, stringSetting(in, "GNUPLOTINIT"));
}

Flow runPlot(Interp& in, const StmtNode& s) {
  trace(in, s, "PLOT");
  ensurePlotFile(in);
  struct Restore {
    Interp& in;
    PlotFrame saved;
    ~Restore() { in.plot.plot = saved; }
  } restore{in, in.plot.plot};
  in.plot.plot = PlotFrame{};
  in.plot.plot.active = true;
  writeLine(in, stringSetting(in, "PLOTINIT"));
  if (in.plot.multi.active) advancePanel(in);
  if (s.cond)
    for (const ExprNode* e : s.cond->children)
      if (e) writeLine(in, textOf(in, e));
  const Flow f = execList(in, s.body);
  in.pos.line = s.line;
  in.pos.column = s.column;
  writeLine(in, "");  // ends the continued plot command
  return f;
}

Flow runMultiPlot(Interp& in, const StmtNode& s) {
  trace(in, s, "MULTIPLOT");
  ensurePlotFile(in);
  const std::int32_t x = evalInteger(in, s.cond);
  const std::int32_t y = evalInteger(in, s.first);
  struct Restore {
    Interp& in;
    MultiPlotFrame saved;
    ~Restore() { in.plot.multi = saved; }
  } restore{in, in.plot.multi};
  MultiPlotFrame& m = in.plot.multi;
  m = MultiPlotFrame{};
  m.active = true;
  m.nx = std::max(1, x);
  m.ny = std::max(1, y);
  m.width = in.set.mPlotXScale / m.nx;
  m.height = in.set.mPlotYScale / m.ny;
  writeLine(in, "set multiplot");
  writeLine(in, in.set.multiPlotInit);
  const Flow f = execList(in, s.body);
  in.pos.line = s.line;
  in.pos.column = s.column;
  writeLine(in, "set nomultiplot");
  return f;
}

Flow runCurve(Interp& in, const StmtNode& s) {
  trace(in, s, "CURVE");
  const CurveRecord& c = *s.curve;
  const int dims = c.hasBy ? 3 : 2;
  PlotFrame& p = in.plot.plot;
  if (!p.active) runError(in, "PLOT statement must be executed before CURVE");
  if (!p.firstCurve && p.dims != dims) runError(in, "Wrong number of dimensions for 2nd or later curve");
  TextFile& plot = in.set.fPlot;
  putText(in, plot, !p.firstCurve ? "    , " : dims == 3 ? "splot " : "plot  ");
  p.firstCurve = false;
  p.dims = dims;

  const std::string dataName = dataFileName(in);
  TextFile& data = in.set.fPlotData;
  fileOperation(in, data, FileOp::Write, dataName, true);

  int required = dims;
  int columns = dims;
  std::string with;
  if (c.with) {
    with = textOf(in, c.with);
    if (const PlotStyle* st = findStyle(with)) {
      required += dims == 3 ? st->extraRequired3d : st->extraRequired;
      columns += dims == 3 ? st->extraColumns3d : st->extraColumns;
      if (dims == 3 && !st->allows3d) runError(in, "3 dimensional CURVE not allowed for: \"" + with + "\"");
    }
  }

  // The using clause: one column per expression that has a data value.
  const std::vector<ExprNode*>& exprs = c.exprs->children;
  const int n = static_cast<int>(exprs.size());
  std::string line;
  int used = 0;
  for (int pos = 1; used < columns && (pos <= n || pos <= required); ++pos) {
    const ExprNode* e = pos <= n ? exprs[static_cast<std::size_t>(pos - 1)] : nullptr;
    if (e && isColumnType(e->resultType)) {
      if (used == 0) {
        line += gnuplotQuoted(dataName);
        line += " using 1";
      } else {
        line += ':';
        line += std::to_string(pos);
      }
      ++used;
    } else if (pos <= required) {
      // A missing expression counts what was found; a wrong one names its place.
      runError(in, "Too few CURVE expressions.  Found " + std::to_string(e ? pos : n) + " needed at least " +
                       std::to_string(required));
    }
  }
  if (c.axes) line += " axes " + textOf(in, c.axes);
  if (c.key) line += " title " + gnuplotQuoted(textOf(in, c.key));
  else line += " notitle";
  if (c.with) line += " with " + with;
  line += " \\\n";
  putText(in, plot, line);
  for (int pos = required + 1; pos <= n; ++pos) {
    const ExprNode* e = exprs[static_cast<std::size_t>(pos - 1)];
    if (isTextType(e->resultType)) {
      // Each option line continues the plot command, like the curve's own
      // line; the empty line after the last curve ends it.
      std::string text(1, ' ');
      text += textOf(in, e);
      text += " \\";
      writeLine(in, text);
    }
  }

  const IndexValues outer = prepareIndex(in, c.first, true);
  IndexValues inner;
  if (c.hasBy) inner = prepareIndex(in, c.by, false);
  for (std::int64_t i = 0; i < outer.count; ++i) {
    setIndex(in, outer, i);
    if (!c.hasBy) {
      appendDataLine(in, exprs, line);
      putText(in, data, line);
      continue;
    }
    for (std::int64_t j = 0; j < inner.count; ++j) {
      setIndex(in, inner, j);
      appendDataLine(in, exprs, line);
      putText(in, data, line);
    }
    putText(in, data, "\n");
  }
  fileOperation(in, data, FileOp::Close, data.name, true);
  return Flow::Normal;
}

std::string findGnuplot(const std::string& setting) {
  // Found as a command is: a name with a "/" as that file, a bare name
  // along PATH only.
  auto locate = [](const std::string& name) -> std::string {
    if (name.find('/') != std::string::npos) return fileExists(name) ? name : "";
    return searchPath(name);
  };
  std::string found = locate(setting);
  if (found.empty()) found = locate(getEnv("GNUPLOT"));
  return found;
}

void procPlotfile(Interp& in, const ExprNode* args) {
  const ExprNode* a = argAt(args, 0);
  openPlotFile(in, a ? textOf(in, a) : std::string());
}

void procFinishplot(Interp& in, const ExprNode* args) {
  const std::string plotName = stringSetting(in, "PLOTFILENAME");
  if (plotName.empty()) runError(in, "FINISHPLOT: plotfile is not defined");
  const ExprNode* a = argAt(args, 0);
  const bool pause = a && a->resultType == ValueType::Boolean && evalBoolean(in, a);
  writeLine(in, "");
  if (pause) writeLine(in, "pause -1");
  TextFile& f = in.set.fPlot;
  fileOperation(in, f, FileOp::Close, f.name, true);

  const std::string setting = stringSetting(in, "GNUPLOT");
  const std::string program = findGnuplot(setting);
  if (program.empty()) {
    std::printf("GNUPLOT program not found at %s\n", setting.c_str());
    return;
  }
  const std::string png = headlessPngFor(f.name, program);
  std::string params = quotedArgument(f.name);
  if (!png.empty()) {
    std::remove(png.c_str());  // so that the line below only follows a fresh picture
    params = pngTerminalArguments(png) + " " + params;
  }
  // execCommand flushes our output first, so gnuplot's comes after it.
  checkResult(in, execCommand(in, program, params), "executing command", program);
  if (!png.empty() && fileExists(png)) std::printf("Plot written to %s\n", png.c_str());
}

}  // namespace zav
