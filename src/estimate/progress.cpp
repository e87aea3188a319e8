#include "estimate/progress.h"

#include <cstdio>
#include <string>

#include "core/interp.h"
#include "core/os.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr std::int64_t kQuietStart = 2'000'000'000;  // ns of solving before the line appears
constexpr std::int64_t kRedraw = 250'000'000;        // ns between redraws

std::string clock(std::int64_t ns) {
  const long long total = ns > 0 ? ns / 1'000'000'000 : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
  return text;
}

std::string trimmedNumber(const Interp& in, Real x) {
  std::string t = realToText(in.set, x, 0, 4);
  const auto first = t.find_first_not_of(' ');
  const auto last = t.find_last_not_of(' ');
  return first == std::string::npos ? t : t.substr(first, last - first + 1);
}

}  // namespace

std::string progressText(Interp& in, std::int64_t elapsedNs, bool monitorAvailable) {
  const ProgressState& p = in.monitor.progress;
  const Settings& s = in.set;
  const Symbol* method = lookup(in, "METHOD");
  std::string text = "Model " + std::to_string(p.model) + " Run " + std::to_string(p.runNumber) + ": ";
  if (method && method->type == ValueType::String) text += getStringByName(in, "METHOD") + " ";
  text += "iteration " + std::to_string(s.iterations) + ", " + std::to_string(s.evals) + " evals";
  // The maximisers publish the objective at the end of an iteration; before
  // the first one there is nothing to show.
  if (s.iterations > 0 || s.logLikelihood != 0) text += ", ll " + trimmedNumber(in, -s.logLikelihood);
  text += ", " + clock(elapsedNs);
  if (monitorAvailable) text += " - press any key for the monitor";
  return text;
}

void progressTick(Interp& in, std::int64_t now, bool monitorAvailable) {
  ProgressState& p = in.monitor.progress;
  if (!p.terminal || now - p.started <= kQuietStart || now < p.nextDraw) return;
  p.nextDraw = now + kRedraw;
  std::fflush(stdout);  // what is already written comes first
  std::string text = progressText(in, now - p.started, monitorAvailable);
  // One column short of the width, so the line never wraps and a carriage
  // return always gets back to its start.
  const std::size_t room = static_cast<std::size_t>(terminalColumns(2)) - 1;
  if (text.size() > room) text.resize(room);
  std::string line(1, '\r');
  line += text;
  if (text.size() < p.shown) {
    line.append(p.shown - text.size(), ' ');
    line += '\r';
    line += text;
  }
  writeRaw(2, line);
  p.shown = text.size();
}

void progressErase(Interp& in) {
  ProgressState& p = in.monitor.progress;
  if (p.shown == 0) return;
  std::string blank(1, '\r');
  blank.append(p.shown, ' ');
  blank += '\r';
  writeRaw(2, blank);
  p.shown = 0;
}

void progressBeforeOutput(void* context) { progressErase(*static_cast<Interp*>(context)); }

}  // namespace zav
