// File input and output: file operations and their messages, READ/READLN
// with delimiters and every data error, EOF/EOLN, write-then-read round
// trips, the clock and file-time procedures, directory procedures, and the
// file, environment and process functions.
#include "exec/fileio.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "core/predefined.h"
#include "dists/random.h"
#include "exec/filefuncs.h"
#include "exec/procs.h"
#include "funcs/catalog.h"
#include "funcs/numtext.h"
#include "parse/exprparse.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using test::endedRun;

using VT = ValueType;

class FileIoTest : public ::testing::Test {
 protected:
  FileIoTest() {
    createPredefined(in);
    char tmpl[] = "/tmp/zav_fileio_XXXXXX";
    dir = ::mkdtemp(tmpl);
  }
  ~FileIoTest() override {
    for (TextFile* f : open) fileOperation(in, *f, FileOp::Close, f->name, false);
    std::string cmd = "rm -rf '" + dir + "'";
    if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "could not remove " << dir;
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(path(name), std::ios::binary) << text;
  }
  std::string readFile(const std::string& name) {
    std::ifstream f(path(name), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }

  // Nodes as the parser builds them: literals and variables are IDENTIFIER
  // nodes; a call holder is a node of no kind.
  ExprNode* ident(Symbol* s) {
    auto* n = new ExprNode(0, NodeKind::Identifier, 0);
    n->symbol = s;
    n->resultType = n->opType = s->type;
    return n;
  }
  ExprNode* str(const std::string& v) {
    Symbol* s = makeConstant(in, VT::String);
    setString(in, *s, 1, v);
    return ident(s);
  }
  ExprNode* integer(std::int32_t v) {
    Symbol* s = makeConstant(in, VT::Integer);
    setInteger(in, *s, 1, v);
    return ident(s);
  }
  ExprNode* real(Real v) {
    Symbol* s = makeConstant(in, VT::Real);
    setReal(in, *s, 1, v);
    return ident(s);
  }
  ExprNode* boolean(bool v) { return ident(lookup(in, v ? "TRUE" : "FALSE")); }
  ExprNode* var(const char* name, VT t) { return ident(declareStatic(in, name, t, nullptr, 0)); }
  ExprNode* elem(Symbol* s, std::int32_t i) {
    ExprNode* n = ident(s);
    n->children.push_back(integer(i));
    return n;
  }
  ExprNode* call(Fn f, VT result, VT op, std::initializer_list<ExprNode*> args) {
    auto* n = new ExprNode(static_cast<std::uint16_t>(f), NodeKind::Function, 0);
    n->resultType = result;
    n->opType = op;
    for (ExprNode* a : args) n->children.push_back(a);
    return n;
  }
  std::unique_ptr<ExprNode> args(std::initializer_list<ExprNode*> items) {
    auto h = std::make_unique<ExprNode>(0, NodeKind::None, 0);
    for (ExprNode* a : items) h->children.push_back(a);
    return h;
  }
  ExprNode* fileVar(const char* name) {
    ExprNode* n = var(name, VT::File);
    open.push_back(evalFileOf(n));
    return n;
  }
  TextFile* evalFileOf(ExprNode* n) { return &element<VT::File>(in, *n->symbol, 1); }

  std::string fnString(ExprNode* n) {
    std::unique_ptr<ExprNode> own(n);
    std::string out;
    EXPECT_TRUE(libFileString(in, n, out));
    return out;
  }
  std::int32_t fnInteger(ExprNode* n) {
    std::unique_ptr<ExprNode> own(n);
    std::int32_t out = 0;
    EXPECT_TRUE(libFileInteger(in, n, out));
    return out;
  }
  bool fnBoolean(ExprNode* n) {
    std::unique_ptr<ExprNode> own(n);
    bool out = false;
    EXPECT_TRUE(libFileBoolean(in, n, out));
    return out;
  }

  Interp in;
  std::string dir;
  std::vector<TextFile*> open;
};

std::string runErr(const std::string& m) { return "(0,0) Error (run time): " + m + "\n"; }
std::string dataErr(const std::string& m) { return "(0,0) Error (data): " + m + "\n"; }

// ---- write, then read back ----

TEST_F(FileIoTest, WriteThenReadBackEveryType) {
  ExprNode* f = fileVar("f");
  auto open1 = args({f, str(path("a.txt"))});
  procOpenWrite(in, open1.get());
  // The items go to f because it is the first argument.
  auto items = args({ident(f->symbol), str("ab"), integer(-42), real(2.5L), boolean(true),
                     ident(lookup(in, "FALSE"))});
  writeItems(in, &in.set.fOutput, items.get(), true);
  auto items2 = args({ident(f->symbol), integer(7)});
  writeItems(in, &in.set.fOutput, items2.get(), false);
  auto close1 = args({ident(f->symbol)});
  procClose(in, close1.get());

  const std::string r25 = realToText(in.set, 2.5L, 12, 5);
  EXPECT_EQ(r25.size(), 12u);
  EXPECT_EQ(readFile("a.txt"), "ab-42" + r25 + "TRUEFALSE\n7");

  // Reading needs delimiters between the fields, so the same values go back
  // with blanks between them.
  writeFile("b.txt", "ab -42 " + r25 + "\n7\n");
  auto open2 = args({ident(f->symbol), str(path("b.txt"))});
  procOpenRead(in, open2.get());
  ExprNode* s = var("s", VT::String);
  ExprNode* i = var("i", VT::Integer);
  ExprNode* x = var("x", VT::Real);
  ExprNode* k = var("k", VT::Integer);
  auto rd = args({ident(f->symbol), s, i, x, k});
  readItems(in, &in.set.fInput, rd.get(), false);
  EXPECT_EQ(getString(in, *s->symbol, 1), "ab");
  EXPECT_EQ(getInteger(in, *i->symbol, 1), -42);
  EXPECT_EQ(getReal(in, *x->symbol, 1), 2.5L);
  EXPECT_EQ(getInteger(in, *k->symbol, 1), 7);
  EXPECT_FALSE(fileAtEof(in, *evalFileOf(f)));  // the final line feed is still unread
  auto rl = args({ident(f->symbol)});
  readItems(in, &in.set.fInput, rl.get(), true);
  EXPECT_TRUE(fileAtEof(in, *evalFileOf(f)));
}

TEST_F(FileIoTest, ComplexItemsUseTheComplexWidthAndRoundTrip) {
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("c.txt"))});
  procOpenWrite(in, o.get());
  Symbol* zc = makeConstant(in, VT::Complex);
  setComplex(in, *zc, 1, Complex{1.5L, -2.25L});
  auto items = args({ident(f->symbol), ident(zc)});
  writeItems(in, nullptr, items.get(), true);
  auto c = args({ident(f->symbol)});
  procClose(in, c.get());
  // real part, sign of the imaginary part, its magnitude, "i"
  const std::string want = realToText(in.set, 1.5L, 7, 2) + "-" + realToText(in.set, 2.25L, 7, 2) + "i\n";
  EXPECT_EQ(readFile("c.txt"), want);

  // A number literal is real or imaginary, never both: a COMPLEX field
  // reads either, and the written pair is no single number.
  writeFile("d.txt", "-2.25i 3 1.5-2.25i\n");
  auto o2 = args({ident(f->symbol), str(path("d.txt"))});
  procOpenRead(in, o2.get());
  ExprNode* z = var("z", VT::Complex);
  ExprNode* w = var("w", VT::Complex);
  auto rd = args({ident(f->symbol), z, w});
  readItems(in, nullptr, rd.get(), false);
  EXPECT_EQ(getComplex(in, *z->symbol, 1).re, 0.0L);
  EXPECT_EQ(getComplex(in, *z->symbol, 1).im, -2.25L);
  EXPECT_EQ(getComplex(in, *w->symbol, 1).re, 3.0L);
  EXPECT_EQ(getComplex(in, *w->symbol, 1).im, 0.0L);
  auto rd2 = args({ident(f->symbol), ident(z->symbol)});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rd2.get(), false); }),
            dataErr("Bad COMPLEX number format: \"1.5-2.25i\""));
}

TEST_F(FileIoTest, OutfileRedirectsPrint) {
  auto o = args({str(path("out.txt"))});
  procOutfile(in, o.get());
  EXPECT_EQ(getStringByName(in, "OUTFILENAME"), path("out.txt"));
  auto items = args({str("hello")});
  writeItems(in, &in.set.fOutFile, items.get(), true);
  auto back = args({str("")});
  procOutfile(in, back.get());  // back to the standard output; closes the file
  EXPECT_EQ(readFile("out.txt"), "hello\n");
  EXPECT_EQ(in.set.fOutFile.handle, stdout);

  in.set.verbose = true;
  testing::internal::CaptureStdout();
  auto again = args({str(path("out2.txt"))});
  procOutfile(in, again.get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Opening OUTFILE " + path("out2.txt") + " for writing\n");
  open.push_back(&in.set.fOutFile);
}

// ---- file operation messages ----

TEST_F(FileIoTest, FileOperationFailuresNameTheOperationAndTheFile) {
  ExprNode* f = fileVar("f");
  const std::string missing = path("nope.txt");
  auto o = args({f, str(missing)});
  EXPECT_EQ(endedRun([&] { procOpenRead(in, o.get()); }),
            runErr("opening for reading FILE  " + missing + " : File was not found"));
  auto w = args({ident(f->symbol), str(path("no/such/dir.txt"))});
  EXPECT_EQ(endedRun([&] { procOpenWrite(in, w.get()); }),
            runErr("opening for writing FILE  " + path("no/such/dir.txt") + " : File was not found"));
  auto a = args({ident(f->symbol), str(path("no/such/dir.txt"))});
  EXPECT_EQ(endedRun([&] { procOpenAppend(in, a.get()); }),
            runErr("opening for appending FILE  " + path("no/such/dir.txt") + " : File was not found"));
  auto c = args({ident(f->symbol)});
  EXPECT_EQ(endedRun([&] { procClose(in, c.get()); }),
            runErr("closing FILE  " + path("no/such/dir.txt") + " : File is not open"));
  EXPECT_EQ(endedRun([&] { procFlush(in, c.get()); }),
            runErr("flushing FILE  " + path("no/such/dir.txt") + " : File is not open"));
  auto d = args({ident(f->symbol), str(dir)});
  EXPECT_EQ(endedRun([&] { procOpenRead(in, d.get()); }),
            runErr("opening for reading FILE  " + dir + " : File access denied"));
}

TEST_F(FileIoTest, WrongDirectionIsReported) {
  writeFile("r.txt", "1\n");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("r.txt"))});
  procOpenRead(in, o.get());
  auto items = args({ident(f->symbol), integer(1)});
  EXPECT_EQ(endedRun([&] { writeItems(in, nullptr, items.get(), false); }),
            runErr("writing to a file " + path("r.txt") + " : File not open for writing"));

  ExprNode* g = fileVar("g");
  auto ow = args({g, str(path("w.txt"))});
  procOpenWrite(in, ow.get());
  ExprNode* i = var("i", VT::Integer);
  auto rd = args({ident(g->symbol), i});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rd.get(), false); }),
            runErr("reading from a file " + path("w.txt") + " : File not open for reading"));
  std::unique_ptr<ExprNode> eof(call(Fn::EOF_, VT::Boolean, VT::File, {ident(g->symbol)}));
  bool b;
  EXPECT_EQ(endedRun([&] { libFileBoolean(in, eof.get(), b); }),
            runErr("reading from a file " + path("w.txt") + " : File not open for reading"));
}

TEST_F(FileIoTest, ReopeningClosesTheOldFileFirst) {
  ExprNode* f = fileVar("f");
  auto o1 = args({f, str(path("one.txt"))});
  procOpenWrite(in, o1.get());
  auto items = args({ident(f->symbol), str("x")});
  writeItems(in, nullptr, items.get(), false);
  auto o2 = args({ident(f->symbol), str(path("two.txt"))});
  procOpenWrite(in, o2.get());
  EXPECT_EQ(readFile("one.txt"), "x");  // closed, hence flushed
  EXPECT_EQ(evalFileOf(f)->name, path("two.txt"));
}

// ---- READ and READLN ----

TEST_F(FileIoTest, ReadSkipsDelimitersAndStopsAtTheNext) {
  writeFile("n.txt", "  42,\t7\r\n\n  -3 x\n4.2\n");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("n.txt"))});
  procOpenRead(in, o.get());
  Symbol* i = declareStatic(in, "i", VT::Integer, nullptr, 0);
  std::int32_t got[3];
  for (std::int32_t& g : got) {
    auto rd = args({ident(f->symbol), ident(i)});
    readItems(in, nullptr, rd.get(), false);
    g = getInteger(in, *i, 1);
  }
  EXPECT_EQ(got[0], 42);
  EXPECT_EQ(got[1], 7);
  EXPECT_EQ(got[2], -3);  // crossed the CR LF and the empty line
  // READLN drops " x" with the line end; the next field is 4.2.
  auto rl = args({ident(f->symbol)});
  readItems(in, nullptr, rl.get(), true);
  auto rd = args({ident(f->symbol), ident(i)});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rd.get(), false); }), dataErr("Bad INTEGER format: \"4.2\""));
}

TEST_F(FileIoTest, ReadDataErrorsAreExact) {
  writeFile("e.txt", "abc 1.5 q\n");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("e.txt"))});
  procOpenRead(in, o.get());
  Symbol* fs = f->symbol;

  struct Case {
    const char* what;
    ExprNode* arg;
    std::string message;
  };
  ExprNode* sum = call(Fn::ADD, VT::Integer, VT::Integer, {integer(1), integer(2)});
  Case cases[] = {
      {"function call", sum, "Argument to READ/READLN was not a variable, it was FUNCTION"},
      {"constant", integer(3), "Argument to READ/READLN was a constant"},
      {"boolean", var("b", VT::Boolean), "Cannot READ/READLN BOOLEAN variables"},
      {"real", var("x", VT::Real), "Bad REAL number format: \"abc\""},
  };
  for (Case& c : cases) {
    auto rd = args({ident(fs), c.arg});
    EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rd.get(), false); }), dataErr(c.message)) << c.what;
  }
  // The failed REAL took "abc"; 1.5 is next, then q.
  ExprNode* n = var("n", VT::Integer);
  auto rn = args({ident(fs), n});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rn.get(), false); }), dataErr("Bad INTEGER format: \"1.5\""));
  ExprNode* z = var("z", VT::Complex);
  auto rz = args({ident(fs), z});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rz.get(), false); }), dataErr("Bad COMPLEX number format: \"q\""));
  ExprNode* s = var("s", VT::String);
  auto rs = args({ident(fs), s});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rs.get(), false); }),
            dataErr("Unexpected end of file in READ/READLN statement"));
  ExprNode* ch = var("ch", VT::Char);
  auto rc = args({ident(fs), ch});
  EXPECT_EQ(endedRun([&] { readItems(in, nullptr, rc.get(), false); }),
            dataErr("Unexpected end of file in READ/READLN statement"));
}

TEST_F(FileIoTest, CharReadsOneCharacterAndCustomDelimiters) {
  writeFile("c.txt", "xy;a b;;c\nlast");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("c.txt"))});
  procOpenRead(in, o.get());
  ExprNode* c1 = var("c1", VT::Char);
  ExprNode* c2 = var("c2", VT::Char);
  ExprNode* c3 = var("c3", VT::Char);
  auto rc = args({ident(f->symbol), c1, c2, c3});
  readItems(in, nullptr, rc.get(), false);
  EXPECT_EQ(getChar(in, *c1->symbol, 1), 'x');
  EXPECT_EQ(getChar(in, *c2->symbol, 1), 'y');
  EXPECT_EQ(getChar(in, *c3->symbol, 1), ';');  // no skipping for CHAR

  in.set.readDelimiters = ";";
  Dims d;
  d.lo = {1};
  d.hi = {3};
  Symbol* arr = declareStatic(in, "arr", VT::String, &d, 0);
  auto rs = args({ident(f->symbol), elem(arr, 1), elem(arr, 2), elem(arr, 3)});
  readItems(in, nullptr, rs.get(), true);
  EXPECT_EQ(getString(in, *arr, 1), "a b");  // the blank is no delimiter now
  EXPECT_EQ(getString(in, *arr, 2), "c");    // ";;" skipped
  EXPECT_EQ(getString(in, *arr, 3), "");     // the end of the line ends a field; newline is no delimiter
  auto rl = args({ident(f->symbol), elem(arr, 1)});
  readItems(in, nullptr, rl.get(), false);
  EXPECT_EQ(getString(in, *arr, 1), "last");  // READLN left the first line; no final line feed needed
}

TEST_F(FileIoTest, LongStringFieldsKeep255AndDropTheRest) {
  writeFile("long.txt", std::string(300, 'a') + " b\n");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("long.txt"))});
  procOpenRead(in, o.get());
  ExprNode* s = var("s", VT::String);
  auto rd = args({ident(f->symbol), s});
  readItems(in, nullptr, rd.get(), false);
  EXPECT_EQ(getString(in, *s->symbol, 1), std::string(255, 'a'));
  readItems(in, nullptr, rd.get(), false);
  EXPECT_EQ(getString(in, *s->symbol, 1), "b");
}

TEST_F(FileIoTest, EofAndEolnLookWithoutTaking) {
  writeFile("e.txt", "ab\nc");
  ExprNode* f = fileVar("f");
  auto o = args({f, str(path("e.txt"))});
  procOpenRead(in, o.get());
  auto eof = [&] { return fnBoolean(call(Fn::EOF_, VT::Boolean, VT::File, {ident(f->symbol)})); };
  auto eoln = [&] { return fnBoolean(call(Fn::EOLN, VT::Boolean, VT::File, {ident(f->symbol)})); };
  ExprNode* ch = var("ch", VT::Char);
  auto rc = args({ident(f->symbol), ch});
  std::string seen;
  std::string flags;
  while (!eof()) {
    flags += eoln() ? 'L' : '-';
    readItems(in, nullptr, rc.get(), false);
    seen += getChar(in, *ch->symbol, 1);
  }
  EXPECT_EQ(seen, "ab\nc");
  EXPECT_EQ(flags, "--L-");
  EXPECT_TRUE(eoln());  // at the end of the file, also at the end of a line
}

// ---- clock and file time ----

TEST_F(FileIoTest, ClockArgumentChecks) {
  Symbol* y = declareStatic(in, "y", VT::Integer, nullptr, 0);
  auto four = args({ident(y), ident(y), ident(y), ident(y)});
  EXPECT_EQ(endedRun([&] { procGetdate(in, four.get()); }), dataErr("Expected 1 to 3 arguments to GETDATE, found 4"));
  auto none = args({});
  EXPECT_EQ(endedRun([&] { procGettime(in, none.get()); }), dataErr("Expected 1 to 4 arguments to GETTIME, found 0"));
  auto one = args({str("x")});
  EXPECT_EQ(endedRun([&] { procFiletime(in, one.get()); }), dataErr("Expected 2 to 7 arguments to FILETIME, found 1"));

  ExprNode* sum = call(Fn::ADD, VT::Integer, VT::Integer, {integer(1), integer(2)});
  auto notVar = args({ident(y), sum});
  EXPECT_EQ(endedRun([&] { procGetdate(in, notVar.get()); }),
            dataErr("Argument 2 to GETDATE was not a variable, it is FUNCTION"));
  auto constant = args({integer(5)});
  EXPECT_EQ(endedRun([&] { procGettime(in, constant.get()); }), dataErr("Argument 1to GETTIME is a constant"));
  auto wrong = args({str(path("x")), ident(y), var("s", VT::String)});
  EXPECT_EQ(endedRun([&] { procFiletime(in, wrong.get()); }), dataErr("Invalid argument 3 to FILETIME"));
  auto missing = args({str(path("x")), ident(y)});
  EXPECT_EQ(endedRun([&] { procFiletime(in, missing.get()); }),
            runErr("reading the time of file " + path("x") + " : File was not found"));
}

TEST_F(FileIoTest, GetdateAndGettimeStoreTodayConverted) {
  ExprNode* y = var("y", VT::Integer);
  ExprNode* m = var("m", VT::Real);
  ExprNode* d = var("d", VT::Complex);
  const DateTime before = now();
  auto a = args({y, m, d});
  procGetdate(in, a.get());
  const DateTime after = now();
  const int gy = getInteger(in, *y->symbol, 1);
  const Real gm = getReal(in, *m->symbol, 1);
  const Complex gd = getComplex(in, *d->symbol, 1);
  // The date may roll over between the two readings; it equals one of them.
  auto same = [&](const DateTime& t) { return gy == t.year && gm == t.month && gd.re == t.day && gd.im == 0; };
  EXPECT_TRUE(same(before) || same(after));

  ExprNode* h = var("h", VT::Integer);
  ExprNode* mi = var("mi", VT::Integer);
  ExprNode* s = var("s", VT::Integer);
  ExprNode* hs = var("hs", VT::Integer);
  auto t = args({h, mi, s, hs});
  procGettime(in, t.get());
  EXPECT_GE(getInteger(in, *h->symbol, 1), 0);
  EXPECT_LE(getInteger(in, *h->symbol, 1), 23);
  EXPECT_LE(getInteger(in, *mi->symbol, 1), 59);
  EXPECT_LE(getInteger(in, *s->symbol, 1), 60);
  EXPECT_LE(getInteger(in, *hs->symbol, 1), 99);
}

TEST_F(FileIoTest, FiletimeReadsTheModificationTime) {
  writeFile("t.txt", "x");
  // 2001-02-03 04:05:06 local time, set through the C library's own calendar.
  std::tm tm{};
  tm.tm_year = 101;
  tm.tm_mon = 1;
  tm.tm_mday = 3;
  tm.tm_hour = 4;
  tm.tm_min = 5;
  tm.tm_sec = 6;
  tm.tm_isdst = -1;
  const std::time_t when = std::mktime(&tm);
  struct timeval tv[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimes(path("t.txt").c_str(), tv), 0);
  Dims dims;
  dims.lo = {1};
  dims.hi = {6};
  Symbol* v = declareStatic(in, "v", VT::Integer, &dims, 0);
  auto a = args({str(path("t.txt")), elem(v, 1), elem(v, 2), elem(v, 3), elem(v, 4), elem(v, 5),
                 elem(v, 6)});
  procFiletime(in, a.get());
  const int want[] = {2001, 2, 3, 4, 5, 6};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(getInteger(in, *v, k + 1), want[k]) << "element " << k + 1;
}

// ---- variables by reference ----

TEST_F(FileIoTest, IncAndDecChangeTheVariableOrElement) {
  Symbol* i = declareStatic(in, "i", VT::Integer, nullptr, 0);
  setInteger(in, *i, 1, 5);
  auto a = args({ident(i)});
  procInc(in, a.get());
  procInc(in, a.get());
  procDec(in, a.get());
  EXPECT_EQ(getInteger(in, *i, 1), 6);

  Dims d;
  d.lo = {0};
  d.hi = {2};
  Symbol* arr = declareStatic(in, "arr", VT::Integer, &d, 0);
  auto e = args({elem(arr, 2)});
  procDec(in, e.get());
  EXPECT_EQ(getInteger(in, *arr, 3), -1);
  EXPECT_EQ(getInteger(in, *arr, 1), 0);

  auto r = args({var("x", VT::Real)});
  EXPECT_EQ(endedRun([&] { procInc(in, r.get()); }), runErr("Argument 1 to INC was not an INTEGER variable"));
  auto c = args({integer(1)});
  EXPECT_EQ(endedRun([&] { procDec(in, c.get()); }), runErr("Argument 1 to DEC was a constant"));
}

// ---- files and directories ----

TEST_F(FileIoTest, DirectoryAndFileProcedures) {
  const std::string sub = path("sub");
  auto mk = args({str(sub)});
  procMkdir(in, mk.get());
  EXPECT_TRUE(dirExists(sub));
  EXPECT_EQ(endedRun([&] { procMkdir(in, mk.get()); }), runErr("creating directory  " + sub + " : File access denied"));

  writeFile("sub/a.txt", "x");
  auto rn = args({str(sub + "/a.txt"), str(sub + "/b.txt")});
  procRename(in, rn.get());
  EXPECT_TRUE(fileExists(sub + "/b.txt"));
  EXPECT_EQ(endedRun([&] { procRename(in, rn.get()); }),
            runErr("renaming file  " + sub + "/a.txt to " + sub + "/b.txt : File was not found"));

  auto rmFull = args({str(sub)});
  EXPECT_EQ(endedRun([&] { procRmdir(in, rmFull.get()); }), runErr("deleting directory  " + sub + " : File access denied"));
  auto er = args({str(sub + "/b.txt")});
  procErase(in, er.get());
  EXPECT_FALSE(fileExists(sub + "/b.txt"));
  EXPECT_EQ(endedRun([&] { procErase(in, er.get()); }), runErr("erasing file  " + sub + "/b.txt : File was not found"));
  procRmdir(in, rmFull.get());
  EXPECT_FALSE(dirExists(sub));
  EXPECT_EQ(endedRun([&] { procChdir(in, rmFull.get()); }), runErr("changing to directory  " + sub + " : Path was not found"));

  std::string here;
  ASSERT_EQ(currentDir(here), 0);
  auto cd = args({str(dir)});
  procChdir(in, cd.get());
  EXPECT_EQ(fnString(call(Fn::GETDIR, VT::String, VT::Undef, {})), fullPath(dir));
  ASSERT_EQ(changeDir(here), 0);
}

TEST_F(FileIoTest, DatafileNamesAndChecks) {
  writeFile("d.dat", "1\n");
  auto ok = args({str(path("d.dat"))});
  procDatafile(in, ok.get());
  EXPECT_EQ(getStringByName(in, "DATAFILENAME"), path("d.dat"));
  auto bad = args({str(path("none.dat"))});
  EXPECT_EQ(endedRun([&] { procDatafile(in, bad.get()); }), runErr("Can't find DATAFILE " + path("none.dat")));
  EXPECT_EQ(getStringByName(in, "DATAFILENAME"), path("none.dat"));  // named before the check
}

TEST_F(FileIoTest, FileTestsAndSizes) {
  writeFile("five.txt", "12345");
  EXPECT_TRUE(fnBoolean(call(Fn::EXISTS, VT::Boolean, VT::String, {str(path("five.txt"))})));
  EXPECT_FALSE(fnBoolean(call(Fn::EXISTS, VT::Boolean, VT::String, {str(dir)})));
  EXPECT_TRUE(fnBoolean(call(Fn::DIREXISTS, VT::Boolean, VT::String, {str(dir)})));
  EXPECT_EQ(fnInteger(call(Fn::FILESIZE, VT::Integer, VT::String, {str(path("five.txt"))})), 5);
  EXPECT_EQ(fnInteger(call(Fn::FILESIZE, VT::Integer, VT::String, {str(path("none"))})), -1);
  EXPECT_EQ(fnInteger(call(Fn::GETFILEATTR, VT::Integer, VT::String, {str(dir)})) & kAttrDirectory, kAttrDirectory);
  EXPECT_EQ(fnString(call(Fn::FSEARCH, VT::String, VT::String, {str("five.txt"), str("/nonexistent:" + dir)})),
            fullPath(path("five.txt")));
  EXPECT_EQ(fnString(call(Fn::FSEARCH, VT::String, VT::String, {str("six.txt"), str(dir)})), "");
}

TEST_F(FileIoTest, FindFirstNextAndQuit) {
  for (const char* n : {"b.txt", "a.txt", "c.dat", ".hidden.txt"}) writeFile(n, "x");
  ASSERT_EQ(::mkdir(path("d.txt").c_str(), 0755), 0);
  auto first = [&](std::int32_t attr) {
    return fnString(call(Fn::FINDFIRST, VT::String, VT::String, {str(path("*.txt")), integer(attr)}));
  };
  auto next = [&] { return fnString(call(Fn::FINDNEXT, VT::String, VT::Undef, {})); };
  EXPECT_EQ(first(0), "a.txt");
  EXPECT_EQ(next(), "b.txt");
  EXPECT_EQ(next(), "");  // hidden files and directories need their attribute bits
  EXPECT_EQ(next(), "");
  EXPECT_EQ(first(kAttrDirectory | kAttrHidden), ".hidden.txt");
  EXPECT_EQ(next(), "a.txt");
  EXPECT_EQ(next(), "b.txt");
  EXPECT_EQ(next(), "d.txt");
  EXPECT_EQ(first(0), "a.txt");
  procFindquit(in, nullptr);
  EXPECT_EQ(next(), "");
  EXPECT_EQ(first(0) + "|" + fnString(call(Fn::FINDFIRST, VT::String, VT::String, {str(path("*.none")), integer(0)})),
            "a.txt|");
}

TEST_F(FileIoTest, FileNameParts) {
  struct Case {
    const char* name;
    const char* path;
    const char* base;
    const char* ext;
  };
  const Case cases[] = {
      {"/a/b/prog.zav", "/a/b/", "prog", ".zav"},
      {"prog", "", "prog", ""},
      {"dir.v2/prog", "dir.v2/", "prog", ""},
      {"x.tar.gz", "", "x.tar", ".gz"},
      {".profile", "", ".profile", ""},
      {"/a/", "/a/", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fnString(call(Fn::GETFILEPATH, VT::String, VT::String, {str(c.name)})), c.path) << c.name;
    EXPECT_EQ(fnString(call(Fn::GETFILEBNAME, VT::String, VT::String, {str(c.name)})), c.base) << c.name;
    EXPECT_EQ(fnString(call(Fn::GETFILEEXT, VT::String, VT::String, {str(c.name)})), c.ext) << c.name;
    EXPECT_EQ(fnString(call(Fn::GETFILEDRIVE, VT::String, VT::String, {str(c.name)})), "") << c.name;
  }
}

// ---- environment, arguments, processes ----

TEST_F(FileIoTest, ArgumentsCountFromTheProgramsOwn) {
  // zav -q prog.zav a b : two arguments are left for the program.
  in.drv.args = {"zav", "-q", "prog.zav", "a", "b"};
  in.drv.argCount = 2;
  EXPECT_EQ(fnInteger(call(Fn::ARGCOUNT, VT::Integer, VT::Undef, {})), 2);
  auto arg = [&](std::int32_t i) { return fnString(call(Fn::ARGSTRING, VT::String, VT::Integer, {integer(i)})); };
  EXPECT_EQ(arg(1), "a");
  EXPECT_EQ(arg(2), "b");
  EXPECT_EQ(arg(0), "prog.zav");
  EXPECT_EQ(arg(-1), "-q");
  EXPECT_EQ(arg(3), "");
  EXPECT_EQ(arg(-9), "");
}

TEST_F(FileIoTest, EnvironmentFunctions) {
  ASSERT_EQ(::setenv("ZAV_FILEIO_TEST", "value 1", 1), 0);
  EXPECT_EQ(fnString(call(Fn::GETENV, VT::String, VT::String, {str("ZAV_FILEIO_TEST")})), "value 1");
  EXPECT_EQ(fnString(call(Fn::GETENV, VT::String, VT::String, {str("ZAV_FILEIO_UNSET")})), "");
  const std::int32_t count = fnInteger(call(Fn::ENVCOUNT, VT::Integer, VT::Undef, {}));
  bool found = false;
  for (std::int32_t i = 1; i <= count; ++i)
    found |= fnString(call(Fn::ENVSTRING, VT::String, VT::Integer, {integer(i)})) == "ZAV_FILEIO_TEST=value 1";
  EXPECT_TRUE(found);
  EXPECT_EQ(fnString(call(Fn::ENVSTRING, VT::String, VT::Integer, {integer(count + 1)})), "");
  ::unsetenv("ZAV_FILEIO_TEST");
}

TEST_F(FileIoTest, ExecFunctionReturnsTheExitCodeAndProcedureReportsStartFailure) {
  EXPECT_EQ(fnInteger(call(Fn::EXEC, VT::Integer, VT::String, {str("sh"), str("-c 'exit 3'")})), 3);
  EXPECT_EQ(fnInteger(call(Fn::EXEC, VT::Integer, VT::String, {str("true"), str("")})), 0);
  EXPECT_EQ(fnInteger(call(Fn::EXEC, VT::Integer, VT::String, {str("zav-no-such-command"), str("")})),
            kErrFileNotFound);

  auto ok = args({str("sh"), str("-c 'exit 4'")});
  procExec(in, ok.get());  // it ran: the exit code is no failure of EXEC
  auto bad = args({str("zav-no-such-command"), str("x")});
  EXPECT_EQ(endedRun([&] { procExec(in, bad.get()); }),
            runErr("executing command zav-no-such-command : File was not found"));
}

TEST_F(FileIoTest, DefaultNamesReplaceTheProgramExtension) {
  auto out = [&] { return fnString(call(Fn::DEFAULTOUTNAME, VT::String, VT::Undef, {})); };
  auto plt = [&] { return fnString(call(Fn::DEFAULTPLOTNAME, VT::String, VT::Undef, {})); };
  EXPECT_EQ(out(), "");  // no program file yet
  setStringByName(in, "ZAVFILE", "", kStatic);
  EXPECT_EQ(plt(), "");
  const std::pair<const char*, const char*> cases[] = {
      {"prog.zav", "prog"}, {"prog", "prog"}, {"dir.v1/prog", "dir.v1/prog"}, {"../a.b.zav", "../a.b"}};
  for (const auto& [name, stem] : cases) {
    setStringByName(in, "ZAVFILE", name, kStatic);
    EXPECT_EQ(out(), std::string(stem) + ".out") << name;
    EXPECT_EQ(plt(), std::string(stem) + ".plt") << name;
  }
}

TEST_F(FileIoTest, SeedAndSleepTakeIntegers) {
  // The same seed gives the same sequence again.
  auto s = args({integer(17)});
  procSeed(in, s.get());
  const Real u1 = randUniform(in), u2 = randUniform(in);
  procSeed(in, s.get());
  EXPECT_EQ(randUniform(in), u1);
  EXPECT_EQ(randUniform(in), u2);
  auto r = args({real(1.5L)});
  EXPECT_EQ(endedRun([&] { procSleep(in, r.get()); }), runErr("Argument 1 to SLEEP must be an INTEGER, found REAL"));
}

TEST_F(FileIoTest, DumpSymbolByNameOrReference) {
  Symbol* x = declareStatic(in, "xyz", VT::Integer, nullptr, 0);
  setInteger(in, *x, 1, 9);
  testing::internal::CaptureStdout();
  dumpSymbol(in, x);
  const std::string direct = testing::internal::GetCapturedStdout();
  ASSERT_NE(direct.find("= 9"), std::string::npos);

  auto byName = args({str("XYZ")});
  testing::internal::CaptureStdout();
  procDumpsymbol(in, byName.get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), direct);
  auto byRef = args({ident(x)});
  testing::internal::CaptureStdout();
  procDumpsymbol(in, byRef.get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), direct);
  auto unknown = args({str("no_such_symbol")});
  testing::internal::CaptureStdout();
  procDumpsymbol(in, unknown.get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "NIL\n");
}

}  // namespace
}  // namespace zav
