// The operating-system layer: the only code that talks to the system.
// Services report failures as error codes of the program's own table (see
// errorText); only checkResult turns a code into a fatal error.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct termios;

namespace zav {

struct Interp;

// The system's identity, settled once at start-up.
struct OsInfo {
  std::string systemName;  // the kernel's own name, as uname reports it
  std::string separator = "/";
  int version = 0;         // kernel major * 100 + minor, e.g. 6.8 -> 608
  std::string gnuplot;     // full path of gnuplot along PATH, empty if none
  // The terminal's settings before the monitor's single-key mode, when active.
  std::shared_ptr<::termios> savedConsole;
  // Standard output as the C library opened it, while hookStdout has put a
  // stream in its place; the hook itself.
  std::FILE* plainStdout = nullptr;
  std::shared_ptr<void> stdoutHook;
};

// Fills the identity from uname and PATH.
void initOs(OsInfo& os);

// Error codes of the services. Codes of the text table are kept as they are;
// errno values without a counterpart are shown as kUnmappedBase + errno so
// they never collide with a code of the table.
constexpr int kErrFileNotFound = 2;
constexpr int kErrPathNotFound = 3;
constexpr int kErrAccessDenied = 5;
constexpr int kErrCurrentDir = 16;
constexpr int kUnmappedBase = 1000;

// What the failed call was doing: EIO means a read error on input and a
// write error on output; a missing name is a missing path for directories.
enum class OsOp { File, Dir, Read, Write };

int errnoToCode(int err, OsOp op = OsOp::File);

// The text of an error code; unknown codes get "An error has occurred (n)".
std::string errorText(int code);

// Nothing for code 0; otherwise the "run time" error
// "<message> <name> : <error text>".
void checkResult(Interp& in, int code, std::string_view message, std::string_view name);

// Files and directories. A directory is not a file.
bool fileExists(const std::string& name);
bool dirExists(const std::string& name);
int makeDir(const std::string& name);
int removeDir(const std::string& name);
int changeDir(const std::string& name);
int currentDir(std::string& out);
int deleteFile(const std::string& name);
int renameFile(const std::string& from, const std::string& to);
// Renames `from` over `to` in one step, replacing it: readers see the old
// file or the new one, never neither.
int replaceFile(const std::string& from, const std::string& to);

struct FileStamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// Local modification time of the file.
int fileTime(const std::string& name, FileStamp& out);

// Attribute bits in the classic layout the language's programs test.
enum FileAttr : int {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSysFile = 0x04,
  kAttrVolumeId = 0x08,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrAnyFile = 0x3F,
};
// The attributes of a name, -1 when it does not exist.
int fileAttributes(const std::string& name);
// Size in bytes, -1 when the file does not exist.
std::int64_t fileSize(const std::string& name);

// The name itself, then each directory of the list (separated by ':' or
// ';'); the full path of the first existing file, or empty.
std::string searchFile(const std::string& name, const std::string& dirList);
// An executable file along PATH (empty entries mean the current directory).
std::string searchPath(const std::string& name);
// Absolute, lexically normalised name; symbolic links are kept.
std::string fullPath(const std::string& name);
// The name without the extension of its last part: the text before the last
// "." after the last "/", so a folder's "." is never taken ("x.d/prog" stays
// whole); a last part without "." is whole.
std::string withoutExtension(const std::string& name);

// Entries of one directory whose names match a shell pattern (the directory
// part of the pattern is searched; "*" and "?" match in the last part only)
// and whose attributes fall within the mask; sorted by name.
std::vector<std::string> listMatches(const std::string& pattern, int attrMask);

// Environment.
std::string getEnv(const std::string& name);
int envCount();
std::string envString(int i);  // from 1; empty when out of range
int processId();
int parentProcessId();
int processorCount();

// Clock.
struct DateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, hundredths = 0;
  int dayOfWeek = 0;           // 0 = Sunday
  std::int32_t julianDay = 0;  // day number of today's date
};
DateTime now();
void sleepMs(std::int64_t ms);

// Runs a command with an argument string and waits for it. Returns the error
// code of the start (0 when it ran); the child's exit status goes to
// *exitStatus when asked (128 + signal number for a killed child).
// Runs `body` on a thread with a stack of `bytes` and waits for it, so how
// deep the interpreter may recurse does not depend on `ulimit -s`. If no
// such thread can be made (an address-space limit), smaller stacks are
// tried, then the calling thread runs it; `body` is told the stack bytes it
// has (on the calling thread, what RLIMIT_STACK allows).
void runWithStack(std::size_t bytes, void (*body)(void*, std::size_t), void* arg);

int execCommand(Interp& in, const std::string& command, const std::string& params, int* exitStatus = nullptr);

// The monitor's keyboard. The poll only says yes when standard input is a
// terminal; single-key mode lets one key press count without a line end and
// turns echo off. While it is on, a signal that ends or stops the process
// first puts the console's line mode back.
void consoleKeyMode(OsInfo& os, bool on);
// While on, SIGINT and SIGTERM do not end the process at once but are kept
// for pendingInterrupt, which returns the signal's number (0 when none came);
// a second signal ends the process as usual.
void deferInterrupts(bool on);
int pendingInterrupt();

bool keyWaiting();
int readKey();  // one byte, -1 at end of input
// Writes the prompt to standard output and reads one line typed at the
// console with echo and editing, also while in single-key mode; the line
// end is dropped. False at end of input.
bool readConsoleLine(OsInfo& os, std::string_view prompt, std::string& line);

bool isTerminal(int fd);
// The width of the terminal on fd (80 when it cannot tell).
int terminalColumns(int fd);
// Unbuffered write straight to a descriptor.
void writeRaw(int fd, std::string_view text);

// Replaces standard output with a stream that calls before(context) ahead
// of every write that reaches the descriptor, so something drawn on the
// terminal can be cleared before any output lands; unhookStdout puts the
// original back (flushing what is buffered).
void hookStdout(OsInfo& os, void (*before)(void*), void* context);
void unhookStdout(OsInfo& os);

}  // namespace zav
