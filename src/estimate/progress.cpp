#include "estimate/progress.h"

#include <array>
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

std::string progressText(Interp& in, std::int64_t elapsedNs, bool monitorAvailable, std::size_t width) {
  const ProgressState& p = in.monitor.progress;
  const Settings& s = in.set;
  // The fields after the head, in the order they are given up when the line
  // is wider than the terminal: the method was chosen by the user, the
  // evaluations and the time say less than the iteration and the
  // log-likelihood, and the hint matters more than either count.
  enum Field { Method, Evals, Clock, Hint, LogLik, Iteration, kFields };
  std::array<std::string, kFields> f;
  const Symbol* method = lookup(in, "METHOD");
  if (method && method->type == ValueType::String) f[Method] = " " + getStringByName(in, "METHOD");
  f[Iteration] = " iteration " + std::to_string(s.iterations);
  f[Evals] = ", " + std::to_string(s.evals) + " evals";
  // The maximisers publish the objective at the end of an iteration; before
  // the first one there is nothing to show.
  if (s.iterations > 0 || s.logLikelihood != 0) f[LogLik] = ", ll " + trimmedNumber(in, -s.logLikelihood);
  f[Clock] = ", " + clock(elapsedNs);
  if (monitorAvailable) f[Hint] = " - press any key for the monitor";
  const std::string head = "Model " + std::to_string(p.model) + " Run " + std::to_string(p.runNumber) + ":";
  std::string text;
  for (int drop = 0; drop <= kFields; ++drop) {
    text = head + f[Method] + f[Iteration] + f[Evals] + f[LogLik] + f[Clock] + f[Hint];
    if (text.size() <= width || drop == kFields) break;
    f[static_cast<std::size_t>(drop)].clear();
  }
  // A terminal narrower than the head alone: its whole words that fit.
  if (text.size() > width) {
    const std::size_t cut = text.rfind(' ', width);
    text.resize(cut == std::string::npos ? 0 : cut);
  }
  return text;
}

void progressTick(Interp& in, std::int64_t now, bool monitorAvailable) {
  ProgressState& p = in.monitor.progress;
  if (!p.terminal || now - p.started <= kQuietStart || now < p.nextDraw) return;
  p.nextDraw = now + kRedraw;
  std::fflush(stdout);  // what is already written comes first
  // One column short of the width, so the line never wraps and a carriage
  // return always gets back to its start.
  const int columns = terminalColumns(2);
  const std::size_t room = columns > 1 ? static_cast<std::size_t>(columns - 1) : 0;
  const std::string text = progressText(in, now - p.started, monitorAvailable, room);
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
