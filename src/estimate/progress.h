// The live status line of a MODEL run: when standard error is a terminal and
// a run has been solving for more than two seconds, one line on standard
// error is rewritten in place a few times a second, and cleared before any
// other output and when the run ends. It never reaches standard output or
// the output file.
#pragma once
#include <cstdint>
#include <string>

namespace zav {

struct Interp;

// The text of the line: model and run, method, iteration, evaluations, the
// log-likelihood once known, the elapsed time, and the monitor's hint; at
// most `width` characters, made by leaving out the least useful fields
// whole, never by cutting a word.
std::string progressText(Interp& in, std::int64_t elapsedNs, bool monitorAvailable,
                         std::size_t width = std::string::npos);

// Called by the keyboard poll with the steady-clock time in nanoseconds.
void progressTick(Interp& in, std::int64_t now, bool monitorAvailable);

// Clears the line if it is on screen.
void progressErase(Interp& in);

// The hook that clears the line ahead of every write to standard output
// (the context is the Interp).
void progressBeforeOutput(void* context);

}  // namespace zav
