// Text files of the language: the standard files and the output file.
#pragma once

namespace zav {

struct Interp;

// Opens FOUTFILE for writing under OUTFILENAME; the empty name is the
// standard output.
void openOutputFile(Interp& in);

// Flushes and closes the standard output, the output file, the plot file,
// the data file and every file the program left open; false when something
// written could not be (each such file has been reported).
bool closeStandardFiles(Interp& in);

}  // namespace zav
