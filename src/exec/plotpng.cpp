#include "exec/plotpng.h"

#include <cctype>
#include <fstream>
#include <string_view>

#include "core/os.h"

namespace zav {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// gnuplot takes any abbreviation of "terminal" down to "t" after "set".
bool setsTerminal(std::string_view command) {
  std::size_t i = 0;
  while (i < command.size() && isBlank(command[i])) ++i;
  if (command.substr(i, 3) != "set" || i + 3 >= command.size() || !isBlank(command[i + 3])) return false;
  i += 3;
  while (i < command.size() && isBlank(command[i])) ++i;
  std::size_t end = i;
  while (end < command.size() && std::isalpha(static_cast<unsigned char>(command[end]))) ++end;
  const std::string_view word = command.substr(i, end - i);
  return !word.empty() && std::string_view("terminal").substr(0, word.size()) == word;
}

bool plotFileSetsTerminal(const std::string& plotFile) {
  std::ifstream file(plotFile);
  std::string line;
  while (std::getline(file, line)) {
    std::string_view rest(line);
    for (;;) {
      const auto semi = rest.find(';');
      if (setsTerminal(rest.substr(0, semi))) return true;
      if (semi == std::string_view::npos) break;
      rest.remove_prefix(semi + 1);
    }
  }
  return false;
}

bool isGnuplot(const std::string& program) {
  const auto slash = program.find_last_of('/');
  const std::string_view base = std::string_view(program).substr(slash == std::string::npos ? 0 : slash + 1);
  return base.substr(0, 7) == "gnuplot";
}

// A gnuplot string in single quotes, where a quote is written twice.
std::string gnuplotQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("''") : std::string(1, c);
  return q + "'";
}

// A shell word in single quotes.
std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

std::string headlessPngFor(const std::string& plotFile, const std::string& program) {
  if (!getEnv("DISPLAY").empty() || !isGnuplot(program) || plotFileSetsTerminal(plotFile)) return {};
  return plotFile + ".png";
}

std::string pngTerminalArguments(const std::string& png) {
  return "-e " + shellQuoted("set terminal pngcairo size 800,500; set output " + gnuplotQuoted(png));
}

}  // namespace zav
