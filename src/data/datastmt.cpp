// The DATA statement: its declarations, and the run that builds the
// observations (from the data file or created empty), keeps or drops each
// one by its transforms and conditions, and turns the kept ones into the
// data variables.
#include "data/datastmt.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "data/datafile.h"
#include "data/datareport.h"
#include "data/datastore.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

void parseTrace(Interp& in, const std::string& text) {
  if (in.set.debugParse) std::printf("%s\n", text.c_str());
}

// ---- parsing ----

std::int32_t integerConstant(Interp& in);

// factor := ["-"] (integer number | INTEGER variable | "(" expression ")")
std::int32_t constantFactor(Interp& in) {
  switch (peekKind(in)) {
    case Tok::Minus:
      advance(in);
      return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(constantFactor(in)));
    case Tok::IntNumber: {
      const std::int32_t v = currentToken(in).intValue;
      advance(in);
      return v;
    }
    case Tok::LParen: {
      advance(in);
      std::unique_ptr<ExprNode> e(parseExpression(in));
      match(in, Tok::RParen);
      if (e->resultType != ValueType::Integer)
        parseError(in, "Expected an INTEGER constant, found " + std::string(typeName(e->resultType)));
      return evalInteger(in, e.get());
    }
    case Tok::Identifier: {
      const std::string name = currentToken(in).text;
      const Symbol* s = lookup(in, name);
      if (!s || s->type != ValueType::Integer || s->dims)
        parseError(in, "Expected an INTEGER constant, found " + name);
      advance(in);
      return getInteger(in, *s, 1);
    }
    default: break;
  }
  syntaxError(in, currentToken(in), KindSet{Tok::Minus, Tok::IntNumber, Tok::LParen, Tok::Identifier});
}

// The FIELD and LINE numbers: integer constants combined by "+", "-" and
// "*". A full expression would take the "=" of a transform as a comparison;
// inside parentheses any INTEGER expression is allowed.
std::int32_t integerConstant(Interp& in) {
  auto wrap = [](std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); };
  auto term = [&] {
    std::int32_t v = constantFactor(in);
    while (peekKind(in) == Tok::Star) {
      advance(in);
      v = wrap(static_cast<std::int64_t>(v) * constantFactor(in));
    }
    return v;
  };
  std::int32_t v = term();
  for (Tok k; (k = peekKind(in)) == Tok::Plus || k == Tok::Minus;) {
    advance(in);
    const std::int64_t rhs = term();
    v = wrap(k == Tok::Plus ? v + rhs : v - rhs);
  }
  return v;
}

std::int32_t positiveConstant(Interp& in) {
  const std::int32_t v = integerConstant(in);
  if (v < 1) parseError(in, "Expected a positive constant instead of " + std::to_string(v));
  return v;
}

// INPUT_NAME, INPUT_FIELD and INPUT_LINE: one element per data variable,
// grown as variables are declared.
Symbol* inputArray(Interp& in, const char* name, ValueType type) {
  Symbol* s = lookupHere(in, name);
  if (s && s->type == type && s->dims && s->dims->count() == 1 && s->dims->lo[0] == 1 && s->has(kStatic) &&
      !s->has(kBound))
    return s;
  Dims d;
  d.lo = {1};
  d.hi = {1};
  return declareStatic(in, name, type, &d, 0);  // reports a name in use
}

template <class T>
void growArray(Interp& in, Symbol& s, std::int32_t count) {
  void* block = createBlock(in, count, s.type);
  std::copy_n(static_cast<T*>(s.block), std::min(count, s.count), static_cast<T*>(block));
  freeBlock(in, s.block, s.count, s.type);
  s.block = block;
  s.count = count;
  s.dims->hi[0] = count;
}

void recordInputArrays(Interp& in, Symbol* v, std::int32_t field, std::int32_t line) {
  SymbolTable* saved = in.current;
  in.current = in.global;
  const bool fresh = lookupHere(in, "INPUT_NAME") == nullptr;
  Symbol& names = *inputArray(in, "INPUT_NAME", ValueType::Pointer);
  Symbol& fields = *inputArray(in, "INPUT_FIELD", ValueType::Integer);
  Symbol& lines = *inputArray(in, "INPUT_LINE", ValueType::Integer);
  in.current = saved;
  auto* ptrs = static_cast<Symbol**>(names.block);
  std::int32_t pos = fresh ? 1 : 0;
  for (std::int32_t i = 1; i <= names.count && pos == 0; ++i)
    if (ptrs[i - 1] == v) pos = i;  // FREQUENCY declared again
  if (pos == 0) {
    pos = names.count + 1;
    growArray<Symbol*>(in, names, pos);
    growArray<std::int32_t>(in, fields, pos);
    growArray<std::int32_t>(in, lines, pos);
  }
  static_cast<Symbol**>(names.block)[pos - 1] = v;
  static_cast<std::int32_t*>(fields.block)[pos - 1] = field;
  static_cast<std::int32_t*>(lines.block)[pos - 1] = line;
}

bool isFrequencyName(const std::string& name) { return sameName(name, "FREQUENCY") || sameName(name, "FREQ"); }

//   name FIELD f [LINE l] [= expr] {KEEPIF b | DROPIF b} [;]
//   name = expr {KEEPIF b | DROPIF b} [;]
void parseDeclaration(Interp& in, DataSpec& desc) {
  const std::string name = currentToken(in).text;
  advance(in);
  const Symbol* existing = lookup(in, name);
  const bool inThisStatement = std::any_of(desc.vars.begin(), desc.vars.end(),
                                           [&](const DataVarSpec& v) { return v.symbol == existing; });
  // Only the frequency variable may be declared again, by a later statement.
  if (existing && (!isFrequencyName(name) || !existing->has(kDataVar) || inThisStatement))
    parseError(in, "\"" + name + "\" already exists.  It cannot be a DATA variable.");
  DataVarSpec v;
  v.symbol = declareDataVariable(in, name);
  if (peekKind(in) == Tok::Field) {
    advance(in);
    v.field = positiveConstant(in);
    if (peekKind(in) == Tok::Line) {
      advance(in);
      v.line = positiveConstant(in);
    }
  } else {
    match(in, Tok::Assign, KindSet{Tok::Field, Tok::Assign});
  }
  parseTrace(in, "Setup " + name + " field " + std::to_string(v.field) + " line " + std::to_string(v.line));
  // A computed variable has consumed its "=" already.
  if (v.field == 0 || peekKind(in) == Tok::Assign) {
    if (v.field > 0) advance(in);
    v.transform.reset(parseExpression(in));
    parseTrace(in, "Added transform that begins " + std::string(nodeKindName(v.transform->kind)));
  }
  for (Tok k; (k = peekKind(in)) == Tok::KeepIf || k == Tok::DropIf;) {
    advance(in);
    DataCondition c;
    c.keep = k == Tok::KeepIf;
    c.test.reset(parseBoolean(in));
    v.conditions.push_back(std::move(c));
  }
  if (peekKind(in) == Tok::Semicolon) advance(in);
  desc.linesPerObs = std::max(desc.linesPerObs, v.line);
  recordInputArrays(in, v.symbol, v.field, v.line);
  desc.vars.push_back(std::move(v));
}

// ---- running ----

// While a statement builds its observations, each of its variables reads
// and writes its slot of the observation being built. The old blocks come
// back when reading ends (or fails), to be replaced by the new arrays.
class SlotBinding {
 public:
  SlotBinding(Interp& in, const DataSpec& desc, std::vector<Real>& slots) : in_(in), spec_(desc) {
    in.data.reading = true;
    saved_.reserve(desc.vars.size());
    for (std::size_t k = 0; k < desc.vars.size(); ++k) {
      Symbol& s = *desc.vars[k].symbol;
      saved_.push_back({s.block, s.count});
      s.block = &slots[k];
      s.count = 1;
    }
  }
  ~SlotBinding() { release(); }
  SlotBinding(const SlotBinding&) = delete;
  SlotBinding& operator=(const SlotBinding&) = delete;

  void release() {
    for (std::size_t k = 0; k < saved_.size(); ++k) {
      Symbol& s = *spec_.vars[k].symbol;
      s.block = saved_[k].block;
      s.count = saved_[k].count;
    }
    saved_.clear();
    in_.data.reading = false;
  }

 private:
  struct Saved {
    void* block;
    std::int32_t count;
  };
  Interp& in_;
  const DataSpec& spec_;
  std::vector<Saved> saved_;
};

// Data variables read the observation being built while it is set.
class TransformFlag {
 public:
  explicit TransformFlag(Interp& in) : in_(in) { in.drv.dataTransforming = true; }
  ~TransformFlag() { in_.drv.dataTransforming = false; }
  TransformFlag(const TransformFlag&) = delete;
  TransformFlag& operator=(const TransformFlag&) = delete;

 private:
  Interp& in_;
};

// Transforms and conditions of one observation in declaration order; false
// at the first condition that drops it.
bool transformAndTest(Interp& in, const DataSpec& desc, std::vector<Real>& slots) {
  TransformFlag flag(in);
  for (std::size_t k = 0; k < desc.vars.size(); ++k) {
    const DataVarSpec& v = desc.vars[k];
    if (const ExprNode* t = v.transform.get()) {
      switch (t->resultType) {
        case ValueType::Integer: slots[k] = static_cast<Real>(evalInteger(in, t)); break;
        case ValueType::Real: slots[k] = evalReal(in, t); break;
        default: ReportError(in, ErrCat::Data, "Data transformation, bad function type");
      }
    }
    for (const DataCondition& c : v.conditions) {
      if (evalBoolean(in, c.test.get()) == c.keep) continue;
      if (in.set.debug > 5 || in.set.debugData) std::printf("Dropping datafile line %d\n", in.set.lineNumb);
      return false;
    }
  }
  return true;
}

// The kept observations, one block per variable laid out as the variable
// will hold it (its values, then room for the statistics), so each value is
// held once: the blocks are reserved for as many observations as there can
// be, grown by half when that was not known, and trimmed when most of them
// went unused.
class ColumnStore {
 public:
  ColumnStore(Interp& in, std::size_t width) : in_(in), cols_(width, nullptr) {}
  ~ColumnStore() {
    for (Real* b : cols_) discardBlock(b, ValueType::Real);
  }
  ColumnStore(const ColumnStore&) = delete;
  ColumnStore& operator=(const ColumnStore&) = delete;

  std::int32_t count() const { return count_; }

  void reserve(std::int64_t n) {
    if (n > cap_) resize(std::min<std::int64_t>(n, kMaxObs));
  }

  void append(const std::vector<Real>& row) {
    if (count_ == cap_) resize(std::min<std::int64_t>(std::max<std::int64_t>(1024, cap_ + cap_ / 2), kMaxObs));
    for (std::size_t k = 0; k < cols_.size(); ++k) cols_[k][count_] = row[k];
    ++count_;
  }

  // Hands column k over to data variable v.
  void store(std::size_t k, Symbol& v) {
    if (!cols_[k] || cap_ - count_ > std::max(count_, 4096)) {
      Real* block = newBlock(count_);
      if (count_ > 0) std::copy_n(cols_[k], count_, block);
      discardBlock(cols_[k], ValueType::Real);
      cols_[k] = block;
    }
    adoptDataValues(in_, v, cols_[k], count_);
    cols_[k] = nullptr;
  }

 private:
  static constexpr std::int64_t kMaxObs = INT32_MAX - kDataStatCount;

  // A block as createBlock makes one (freeBlock releases it) but unwritten,
  // so the pages of observations not read yet take no memory.
  Real* newBlock(std::int64_t obs) {
    const std::int64_t count = obs + kDataStatCount;
    Real* block = nullptr;
    if (in_.blockLimit < 0 || count * typeWidth(ValueType::Real) <= in_.blockLimit)
      block = new (std::nothrow) Real[static_cast<std::size_t>(count)];
    if (!block) ReportError(in_, ErrCat::Data, "Out of memory allocating the observations of the DATA statement");
    return block;
  }

  void resize(std::int64_t cap) {
    if (cap <= count_) ReportError(in_, ErrCat::Data, "Too many observations for one DATA statement");
    for (Real*& col : cols_) {
      Real* block = newBlock(cap);
      if (count_ > 0) std::copy_n(col, count_, block);
      discardBlock(col, ValueType::Real);
      col = block;
    }
    cap_ = static_cast<std::int32_t>(cap);
  }

  Interp& in_;
  std::vector<Real*> cols_;
  std::int32_t count_ = 0, cap_ = 0;
};

// The observations of one run: kept ones go to the columns.
struct ObservationSink {
  Interp& in;
  const DataSpec& desc;
  std::vector<Real>& slots;
  ColumnStore kept;
  std::int32_t dropped = 0;
  std::int32_t missing = 0;  // of the dropped, those with a missing field

  // `complete` is false when a field the observation reads was missing: it
  // is dropped without running its transforms, so no stand-in value can
  // reach them or a fit.
  void finish(bool complete) {
    // The counters are the program's to read, and a transform could assign
    // them; the run's own counts are kept here.
    const std::int32_t keptCount = kept.count();
    in.set.dIdx = keptCount + 1;
    if (!complete) {
      if (in.set.debug > 5 || in.set.debugData) std::printf("Dropping datafile line %d\n", in.set.lineNumb);
      ++missing;
      ++dropped;
    } else if (transformAndTest(in, desc, slots)) {
      kept.append(slots);
    } else {
      ++dropped;
    }
    in.set.nObs = kept.count();
    in.set.droppedObs = dropped;
    in.set.dIdx = kept.count();
  }
};

std::int32_t createObservations(Interp& in, std::int32_t count, ObservationSink& sink) {
  in.set.dIdx = 0;
  in.set.nObs = 0;
  if (in.set.verbose || in.set.debugData)
    std::printf("Creating %d observations with %d variables each...\n", count, in.set.nVars);
  for (std::int32_t i = 1; i <= count; ++i) {
    spendStep(in);
    in.set.lineNumb = i;
    std::fill(sink.slots.begin(), sink.slots.end(), Real{0});
    sink.finish(true);
  }
  return count;
}

Symbol* frequencyVariable(const DataSpec& desc) {
  for (const char* name : {"FREQUENCY", "FREQ"})
    for (const DataVarSpec& v : desc.vars)
      if (sameName(v.symbol->name, name)) return v.symbol;
  return nullptr;
}

}  // namespace

StmtNode* parseDataStatement(Interp& in) {
  advance(in);  // DATA
  // The interpreter owns the desc from the start, so a parse error that ends
  // the run leaves nothing behind.
  in.data.specs.push_back(std::make_unique<DataSpec>());
  DataSpec& desc = *in.data.specs.back();
  while (peekKind(in) == Tok::Identifier) parseDeclaration(in, desc);
  match(in, Tok::End, KindSet{Tok::End, Tok::Identifier});
  auto* s = new StmtNode;
  s->kind = StmtKind::Data;
  s->record = &desc;
  return s;
}

void runDataStatement(Interp& in, const StmtNode& s) {
  const DataSpec& desc = *static_cast<const DataSpec*>(s.record);
  if (in.data.reading)
    ReportError(in, ErrCat::Data, "A DATA statement cannot run while another one is building its observations");
  DataStore store;
  store.desc = &desc;
  store.nVars = static_cast<std::int32_t>(desc.vars.size());
  in.data.stores.push_back(store);
  in.set.totalObs = in.set.lineNumb = in.set.nObs = in.set.droppedObs = 0;
  in.set.nVars = store.nVars;

  std::vector<Real> slots(desc.vars.size(), Real{0});
  ObservationSink sink{in, desc, slots, ColumnStore(in, desc.vars.size())};
  const std::int32_t create = in.set.createObs;
  std::string fileName;
  std::int32_t lineNumb = 0;
  try {
    SlotBinding binding(in, desc, slots);
    if (create > 0) {
      sink.kept.reserve(create);
      lineNumb = createObservations(in, create, sink);
    } else {
      lineNumb = readDataFile(
          in, desc, slots, [&](std::int64_t most) { sink.kept.reserve(most); },
          [&](bool complete) { sink.finish(complete); });
      fileName = getStringByName(in, "DATAFILENAME");
    }
  } catch (const std::bad_alloc&) {
    ReportError(in, ErrCat::Data, "Out of memory allocating the observations of the DATA statement");
  }

  const std::int32_t keptCount = sink.kept.count();
  for (std::size_t k = 0; k < desc.vars.size(); ++k) sink.kept.store(k, *desc.vars[k].symbol);
  in.set.nObs = keptCount;
  in.set.droppedObs = sink.dropped;
  in.set.lineNumb = lineNumb;
  DataStore& current = in.data.stores.back();
  current.frequency = frequencyVariable(desc);
  in.set.totalObs = current.frequency ? frequencyTotal(*current.frequency) : keptCount;
  in.set.dIdx = 1;
  current.totalObs = in.set.totalObs;
  current.lineNumb = lineNumb;
  current.nObs = keptCount;
  current.droppedObs = sink.dropped;

  if (getBooleanByName(in, "PRINT_COUNTS")) {
    if (create > 0)
      std::printf("\n%d lines created\n", lineNumb);
    else
      std::printf("\n%d lines read from file %s\n", lineNumb, fileName.c_str());
    std::printf("%d Observations kept and %d observations dropped.\n", keptCount, sink.dropped);
    if (sink.missing > 0) std::printf("%d observations dropped for missing values\n", sink.missing);
  }
  printDataTables(in, desc);
  printDataHeader(in, desc);
}

}  // namespace zav
