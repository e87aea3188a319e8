// Shared by the fuzzing harnesses: running the whole driver on a program
// held in memory, as a user would run it, with caps on its work and memory
// so that a hostile input ends quickly instead of hanging the fuzzer.
#pragma once

#include <sys/mman.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <string>
#include <string_view>
#include <vector>

#include "core/interp.h"
#include "driver/driver.h"

namespace zav::fuzz {

// Steps (statements, loop passes, numerical-form evaluations) and bytes of
// one element block a fuzzed run may use.
constexpr std::int64_t kStepBudget = 20000;
constexpr std::int64_t kBlockLimit = std::int64_t{8} << 20;

// Words that reach outside the process (files, directories, processes,
// plots, the terminal, the clock, the environment): an input that names one
// is not run, so fuzzing cannot touch the machine or wait on anything, and
// a run depends on nothing but its input, which keeps fixed-seed fuzzing
// runs repeatable.
inline bool reachesOutside(std::string_view text) {
  static const char* const kWords[] = {
      "EXEC",     "FORK",     "WAITPID",   "CHDIR",    "MKDIR",       "RMDIR",    "ERASE",  "RENAME",
      "OPEN",     "OUTFILE",  "PLOT",      "CURVE",    "DATAFILE",    "INCLUDE",  "SLEEP",  "READ",
      "STARTFILE", "TERMFILE", "FINPUT",   "FOUTFILE", "FDATA",       "CLOCKSEED", "NOW",   "TODAY",
      "GETDATE",  "GETTIME",  "FILETIME",  "PROFILE",  "MAXTIME",     "GETPID",   "GETPPID", "ENV",
      "FINDFIRST", "FINDNEXT", "EXISTS",   "FILESIZE", "GETDIR",      "FSEARCH",  "GETFILEATTR"};
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* w : kWords)
    if (upper.find(w) != std::string::npos) return true;
  return false;
}

// The run harness lets a program read and write files, but only in a
// private folder that is its working directory. A name without "/" cannot
// leave the working directory, so a program that touches files is run only
// when nothing in it can make such a name or move the working directory:
// no "/" or "\\" anywhere in its text and none of the words that give a
// text the program did not write (a character from its code, the settings
// and functions that hold paths). Programs that touch no file keep every
// operator. Processes, the clock and the environment stay out of reach as
// for every harness.
inline bool mayLeaveFolder(std::string_view text) {
  static const char* const kOutside[] = {
      "EXEC",    "FORK",     "WAITPID",  "FINISHPLOT", "GNUPLOT", "SLEEP",   "NOW",    "TODAY",
      "GETDATE", "GETTIME",  "FILETIME", "CLOCKSEED",  "MAXTIME", "PROFILE", "GETPID", "GETPPID",
      "ENV",     "CHDIR",    "GETDIR",   "FSEARCH",    "FINPUT"};
  static const char* const kFileWords[] = {
      "OPEN",   "OUTFILE", "PLOT",    "CURVE",     "DATAFILE", "INCLUDE",   "READ",        "STARTFILE",
      "TERMFILE", "ERASE", "RENAME",  "MKDIR",     "RMDIR",    "EXISTS",    "FILESIZE",    "FINDFIRST",
      "FINDNEXT", "GETFILEATTR", "FOUTFILE", "FDATA", "FPLOT", "FILENAME", "FLUSH",       "CLOSE"};
  static const char* const kPathWords[] = {"CHR", "CHAR", "OSSEP", "COPYRIGHT", "SYSTEM", "OSVERSION",
                                           "PROGRAM_NAME", "ARGSTRING", "ZAVFILE", "DEFAULT"};
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto any = [&](const auto& words) {
    for (const char* w : words)
      if (upper.find(w) != std::string::npos) return true;
    return false;
  };
  if (any(kOutside)) return true;
  if (!any(kFileWords)) return false;
  return upper.find_first_of("/\\") != std::string::npos || any(kPathWords);
}

// A fresh folder of the harness's own. While an input runs it is the
// working directory (the fuzzer's own files are handled outside the run, in
// the directory it was started in); afterwards it is emptied, so each run
// starts alike.
class PrivateFolder {
 public:
  PrivateFolder() {
    char name[] = "/tmp/zav_fuzz_XXXXXX";
    if (!mkdtemp(name)) std::abort();
    path_ = name;
    home_ = open(".", O_RDONLY | O_DIRECTORY);
    if (home_ < 0) std::abort();
  }
  ~PrivateFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  void enter(const char* program, const std::uint8_t* data, std::size_t size) {
    if (chdir(path_.c_str()) != 0) std::abort();
    std::FILE* f = std::fopen(program, "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
  }
  void leave() {
    if (fchdir(home_) != 0) std::abort();
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path_, ec)) std::filesystem::remove_all(e.path(), ec);
  }

 private:
  std::string path_;
  int home_ = -1;
};

// A crash is written while the run is in the private folder: the fuzzer's
// artifact prefix is made absolute (the directory the fuzzer started in,
// when none is given), so the crash file lands where it was asked for.
inline void absoluteArtifactPrefix(int* argc, char*** argv) {
  static std::vector<std::string> args;
  static std::vector<char*> pointers;
  const std::string here = std::filesystem::current_path().string() + "/";
  const std::string flag = "-artifact_prefix=";
  bool given = false;
  for (int i = 0; i < *argc; ++i) {
    std::string a = (*argv)[i];
    if (a.rfind(flag, 0) == 0) {
      given = true;
      if (a.size() > flag.size() && a[flag.size()] != '/') a = flag + here + a.substr(flag.size());
    }
    args.push_back(a);
  }
  if (!given) args.push_back(flag + here);
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = pointers.data();
}

// A file in memory that the driver opens by name, rewritten for each input.
class MemoryFile {
 public:
  explicit MemoryFile(const char* name) : fd_(memfd_create(name, 0)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& path() const { return path_; }
  std::string get() const {
    std::string text;
    char buffer[4096];
    for (off_t at = 0;;) {
      const ssize_t n = pread(fd_, buffer, sizeof buffer, at);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
      at += n;
    }
    return text;
  }
  void set(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(fd_, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
  }

 private:
  int fd_;
  std::string path_;
};

// Standard output goes nowhere (the fuzzer reports on standard error),
// unless ZAV_FUZZ_VERBOSE is set, for replaying one input by hand.
// Standard input is empty, so a READ of it ends at once.
inline void quietProcess() {
  const int in = open("/dev/null", O_RDONLY);
  if (in >= 0) dup2(in, 0);
  if (std::getenv("ZAV_FUZZ_VERBOSE")) return;
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, 1);
}

// Runs the driver with the switches and the program file, under the caps.
inline void runCapped(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"zav"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  Interp in;
  in.stepBudget = kStepBudget;
  in.blockLimit = kBlockLimit;
  runDriver(in, static_cast<int>(argv.size()), argv.data());
}

}  // namespace zav::fuzz
