// zav -i: standard input as the program.
#pragma once

namespace zav {

struct Interp;

// Runs standard input: ZAV ... END blocks as a program file, otherwise the
// calculator, which prints each expression's value as soon as the line that
// completes it ends. On a terminal the lines are asked for with a prompt and
// can be edited, and an error ends only the line it is in. Returns the exit
// status: that of the last line.
int runStandardInput(Interp& in);

}  // namespace zav
