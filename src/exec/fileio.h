// File input and output of the language: the file operations behind the FILE
// procedures, READ and READLN, and the procedures that act on files,
// directories, the clock and variables by reference. WRITE and its kin live
// with the procedure dispatch (writeItems in exec/procs.h).
#pragma once
#include <string_view>

#include "parse/node.h"

namespace zav {

struct Interp;
struct TextFile;

enum class FileOp { Close, Flush, Append, Read, Write };

// Closes, flushes or opens `f`; the three opens first give the file `name`
// (the empty name is standard input for reading, standard output otherwise)
// and close it if it was open. Returns the error code; with `report` a
// failure is the run-time error "<operation text> <name> : <error text>".
int fileOperation(Interp& in, TextFile& f, FileOp op, std::string_view name, bool report);

// Closes every file the program opened and left open, checking that what
// was written reached it; each failure is reported as CLOSE would report
// it, and the result says whether all went well.
bool closeOpenFiles(Interp& in);

// EOF and EOLN of a file open for reading; they look at the next character
// without taking it. At the end of the file both are TRUE.
bool fileAtEof(Interp& in, TextFile& f);
bool fileAtEoln(Interp& in, TextFile& f);

// READ and READLN: reads each argument variable from `file` (a FILE argument
// switches the file for those after it); `skipLine` then drops the rest of
// the current line.
void readItems(Interp& in, TextFile* file, const ExprNode* args, bool skipLine);

// The procedures; `args` is the call's argument holder.
void procRead(Interp& in, const ExprNode* args);
void procReadln(Interp& in, const ExprNode* args);
void procOutfile(Interp& in, const ExprNode* args);
void procOpenAppend(Interp& in, const ExprNode* args);
void procOpenRead(Interp& in, const ExprNode* args);
void procOpenWrite(Interp& in, const ExprNode* args);
void procClose(Interp& in, const ExprNode* args);
void procFlush(Interp& in, const ExprNode* args);
void procDatafile(Interp& in, const ExprNode* args);
void procErase(Interp& in, const ExprNode* args);
void procRename(Interp& in, const ExprNode* args);
void procChdir(Interp& in, const ExprNode* args);
void procMkdir(Interp& in, const ExprNode* args);
void procRmdir(Interp& in, const ExprNode* args);
void procGetdate(Interp& in, const ExprNode* args);
void procGettime(Interp& in, const ExprNode* args);
void procFiletime(Interp& in, const ExprNode* args);
void procInc(Interp& in, const ExprNode* args);
void procDec(Interp& in, const ExprNode* args);
void procSeed(Interp& in, const ExprNode* args);
void procSleep(Interp& in, const ExprNode* args);
[[noreturn]] void procHalt(Interp& in, const ExprNode* args);
void procExec(Interp& in, const ExprNode* args);
void procFindquit(Interp& in, const ExprNode* args);
void procDumpsymbol(Interp& in, const ExprNode* args);
void procDumptable(Interp& in, const ExprNode* args);

}  // namespace zav
