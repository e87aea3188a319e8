// Text files of the language: the standard files and the output file.
#pragma once

namespace zav {

struct Interp;

// Opens FOUTFILE for writing under OUTFILENAME; the empty name is the
// standard output.
void openOutputFile(Interp& in);

// Flushes and closes the standard output, the output file, the plot file and
// the data file.
void closeStandardFiles(Interp& in);

}  // namespace zav
