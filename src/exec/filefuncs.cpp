#include "exec/filefuncs.h"

#include <limits>

#include "core/interp.h"
#include "core/os.h"
#include "exec/fileio.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

const ExprNode* arg(const ExprNode* n, int k) { return n->children[static_cast<std::size_t>(k)]; }
std::string textArg(Interp& in, const ExprNode* n, int k) { return evalString(in, arg(n, k)); }

// Where the last path component of a name starts.
std::size_t baseStart(const std::string& name) {
  const auto slash = name.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension (with its dot) starts in a name, or npos. A leading dot
// marks a hidden file, not an extension.
std::size_t extensionStart(const std::string& name) {
  const std::size_t base = baseStart(name);
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot <= base ? std::string::npos : dot;
}

// The program file with its extension replaced; empty without a program.
std::string programNameWith(Interp& in, std::string_view ext) {
  const Symbol* s = lookup(in, "ZAVFILE");
  if (!s || s->type != ValueType::String || !elementBlock(*s)) return "";
  const std::string& name = getString(in, *s, 1);
  if (name.empty()) return "";
  std::string out = name.substr(0, extensionStart(name));
  out += '.';
  out += ext;
  return out.size() > kMaxText ? out.substr(0, kMaxText) : out;
}

std::string cut(std::string s) {
  if (s.size() > kMaxText) s.resize(kMaxText);
  return s;
}

std::int32_t clampToInteger(std::int64_t v) {
  return v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                       : static_cast<std::int32_t>(v);
}

}  // namespace

// No function of this group has a REAL result.
bool libFileReal(Interp&, const ExprNode*, Real&) { return false; }

bool libFileInteger(Interp& in, const ExprNode* n, std::int32_t& out) {
  switch (static_cast<Fn>(n->index)) {
    case Fn::ARGCOUNT: out = in.drv.argCount; return true;
    case Fn::ENVCOUNT: out = envCount(); return true;
    case Fn::EXEC: {
      const std::string command = textArg(in, n, 0);
      const std::string params = textArg(in, n, 1);
      int status = 0;
      const int code = execCommand(in, command, params, &status);
      // A command that never started has no exit code of its own; its start
      // failure (never 0) stands in, so a test for 0 means it ran and succeeded.
      out = code != 0 ? code : status;
      return true;
    }
    case Fn::FILESIZE: out = clampToInteger(fileSize(textArg(in, n, 0))); return true;
    case Fn::GETFILEATTR: out = fileAttributes(textArg(in, n, 0)); return true;
    case Fn::GETPID: out = processId(); return true;
    case Fn::GETPPID: out = parentProcessId(); return true;
    case Fn::FORK: out = 0; return true;  // parallel mode is off: nothing to fork
    case Fn::WAITPID:
      (void)evalInteger(in, arg(n, 0));
      out = -1;  // no child was ever started
      return true;
    default: return false;
  }
}

bool libFileBoolean(Interp& in, const ExprNode* n, bool& out) {
  switch (static_cast<Fn>(n->index)) {
    case Fn::EOF_: out = fileAtEof(in, *evalFile(in, arg(n, 0))); return true;
    case Fn::EOLN: out = fileAtEoln(in, *evalFile(in, arg(n, 0))); return true;
    case Fn::EXISTS: out = fileExists(textArg(in, n, 0)); return true;
    case Fn::DIREXISTS: out = dirExists(textArg(in, n, 0)); return true;
    default: return false;
  }
}

bool libFileString(Interp& in, const ExprNode* n, std::string& out) {
  switch (static_cast<Fn>(n->index)) {
    case Fn::ARGSTRING: {
      // Counted back from the program's own arguments: 1 is the first of
      // them, 0 the program file.
      const std::int64_t total = static_cast<std::int64_t>(in.drv.args.size()) - 1;
      const std::int64_t k = total - in.drv.argCount + evalInteger(in, arg(n, 0));
      out = k >= 0 && k <= total ? cut(in.drv.args[static_cast<std::size_t>(k)]) : std::string();
      return true;
    }
    case Fn::ENVSTRING: out = cut(envString(evalInteger(in, arg(n, 0)))); return true;
    case Fn::GETENV: out = cut(getEnv(textArg(in, n, 0))); return true;
    case Fn::FINDFIRST: {
      const std::string pattern = textArg(in, n, 0);
      const std::int32_t attr = evalInteger(in, arg(n, 1));
      in.find.names = listMatches(pattern, attr);
      in.find.next = 0;
      [[fallthrough]];
    }
    case Fn::FINDNEXT:
      out = in.find.next < in.find.names.size() ? cut(in.find.names[in.find.next++]) : std::string();
      return true;
    case Fn::FSEARCH: {
      const std::string name = textArg(in, n, 0);
      out = cut(searchFile(name, textArg(in, n, 1)));
      return true;
    }
    case Fn::GETDIR:
      if (currentDir(out) != 0) out.clear();
      out = cut(out);
      return true;
    case Fn::GETFILEBNAME: {
      const std::string name = textArg(in, n, 0);
      const std::size_t base = baseStart(name);
      const std::size_t ext = extensionStart(name);
      out = name.substr(base, ext == std::string::npos ? std::string::npos : ext - base);
      return true;
    }
    case Fn::GETFILEDRIVE:
      (void)textArg(in, n, 0);
      out.clear();  // no drive letters on this platform
      return true;
    case Fn::GETFILEEXT: {
      const std::string name = textArg(in, n, 0);
      const std::size_t ext = extensionStart(name);
      out = ext == std::string::npos ? std::string() : name.substr(ext);
      return true;
    }
    case Fn::GETFILEPATH: {
      const std::string name = textArg(in, n, 0);
      out = name.substr(0, baseStart(name));
      return true;
    }
    case Fn::DEFAULTOUTNAME: out = programNameWith(in, "out"); return true;
    case Fn::DEFAULTPLOTNAME: out = programNameWith(in, "plt"); return true;
    default: return false;
  }
}

}  // namespace zav
