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
#include <cstdlib>
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

// A file in memory that the driver opens by name, rewritten for each input.
class MemoryFile {
 public:
  explicit MemoryFile(const char* name) : fd_(memfd_create(name, 0)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& path() const { return path_; }
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
inline void quietProcess() {
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
