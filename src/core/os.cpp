#include "core/os.h"

#include <dirent.h>
#include <fnmatch.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "core/error.h"
#include "core/interp.h"

extern char** environ;

namespace zav {
namespace {

// Day number of 1 January 1970, the epoch of the system clock.
constexpr std::int64_t kJulianDayOfEpoch = 2440588;

bool statOf(const std::string& name, struct stat& st) { return !name.empty() && ::stat(name.c_str(), &st) == 0; }

bool isExecutableFile(const std::string& name) {
  struct stat st;
  return statOf(name, st) && S_ISREG(st.st_mode) && ::access(name.c_str(), X_OK) == 0;
}

std::string joinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// Splits a directory list; empty entries are kept so callers decide what
// they mean.
std::vector<std::string> splitList(const std::string& list, std::string_view seps) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    auto end = list.find_first_of(seps, start);
    parts.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

// Single quotes make every character literal to the shell; an embedded
// quote closes, escapes and reopens.
std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Starts argv and waits; returns the start's error code.
int spawnAndWait(char* const argv[], int* exitStatus) {
  std::fflush(nullptr);  // the child's output must come after ours
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ);
  if (rc != 0) return errnoToCode(rc);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return errnoToCode(errno);
  }
  if (exitStatus) {
    if (WIFEXITED(status))
      *exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      *exitStatus = 128 + WTERMSIG(status);
    else
      *exitStatus = 0;
  }
  return 0;
}

}  // namespace

void initOs(OsInfo& os) {
  struct utsname u;
  if (::uname(&u) == 0) {
    os.systemName = u.sysname;
    // The version is one whole number built from the kernel release
    // "major.minor...": major * 100 + minor, so 6.8 reads 608 and 6.12 612.
    int major = 0, minor = 0;
    if (std::sscanf(u.release, "%d.%d", &major, &minor) >= 1) os.version = major * 100 + minor;
  } else {
    os.systemName = "Unix";
  }
  os.gnuplot = searchPath("gnuplot");
}

int errnoToCode(int err, OsOp op) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return op == OsOp::Dir ? kErrPathNotFound : kErrFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return kErrPathNotFound;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
    case ETXTBSY: return kErrAccessDenied;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case E2BIG: return 10;
    case EBUSY: return op == OsOp::Dir ? kErrCurrentDir : kErrAccessDenied;
    case EXDEV: return 17;
    case EIO: return op == OsOp::Write ? 101 : 100;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 101;
    case EROFS: return 150;
    case ENXIO:
    case ENODEV: return 151;
    default: return kUnmappedBase + err;
  }
}

std::string errorText(int code) {
  switch (code) {
    case 2: return "File was not found";
    case 3: return "Path was not found";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 6:
    case 12: return "Invalid file reference";
    case 8: return "Not enough memory";
    case 10: return "Invalid environment";
    case 15: return "Invalid drive letter";
    case 16: return "Can't remove current directory";
    case 17: return "Can't rename files across drives";
    case 100: return "Disk read error";
    case 101: return "Disk write error";
    case 102: return "File not assigned";
    case 103: return "File is not open";
    case 104: return "File not open for reading";
    case 105: return "File not open for writing";
    case 106: return "reading a bad number";
    case 150: return "Disk is write-protected";
    case 151: return "Unknown device";
    case 152: return "Disk drive is not ready";
    case 154:
    case 155:
    case 156:
    case 158: return "Disk sector, seek or crc error (" + std::to_string(code) + ")";
    case 157: return "Unknown media";
    case 159: return "The printer is out of paper";
    case 160: return "Error trying to write to the output device";
    case 161: return "Error trying to read an input device";
    case 162: return "A hardware failure occured";
    default: return "An error has occurred (" + std::to_string(code) + ")";
  }
}

void checkResult(Interp& in, int code, std::string_view message, std::string_view name) {
  if (code == 0) return;
  std::string text(message);
  text += ' ';
  text += name;
  text += " : ";
  text += errorText(code);
  ReportError(in, ErrCat::RunTime, text);
}

bool fileExists(const std::string& name) {
  struct stat st;
  return statOf(name, st) && !S_ISDIR(st.st_mode);
}

bool dirExists(const std::string& name) {
  struct stat st;
  return statOf(name, st) && S_ISDIR(st.st_mode);
}

int makeDir(const std::string& name) {
  return ::mkdir(name.c_str(), 0777) == 0 ? 0 : errnoToCode(errno, OsOp::Dir);
}

int removeDir(const std::string& name) {
  // Linux lets a process remove its own working directory and then work in
  // a directory that no longer exists; refuse, as the language always has.
  struct stat target, here;
  if (statOf(name, target) && ::stat(".", &here) == 0 && target.st_dev == here.st_dev &&
      target.st_ino == here.st_ino)
    return kErrCurrentDir;
  return ::rmdir(name.c_str()) == 0 ? 0 : errnoToCode(errno, OsOp::Dir);
}

int changeDir(const std::string& name) {
  return ::chdir(name.c_str()) == 0 ? 0 : errnoToCode(errno, OsOp::Dir);
}

int currentDir(std::string& out) {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  if (ec) {
    out.clear();
    return errnoToCode(ec.value(), OsOp::Dir);
  }
  out = p.string();
  return 0;
}

int deleteFile(const std::string& name) {
  return ::unlink(name.c_str()) == 0 ? 0 : errnoToCode(errno);
}

int renameFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (from.empty() || ::lstat(from.c_str(), &st) != 0) return errnoToCode(from.empty() ? ENOENT : errno);
  // POSIX rename silently replaces an existing target; renaming onto a file
  // that exists is refused instead, so no data is lost by accident.
  if (::lstat(to.c_str(), &st) == 0) return kErrAccessDenied;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errnoToCode(errno, OsOp::Dir);
}

int replaceFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errnoToCode(errno, OsOp::Dir);
}

int fileTime(const std::string& name, FileStamp& out) {
  struct stat st;
  if (!statOf(name, st)) return errnoToCode(name.empty() ? ENOENT : errno);
  std::tm tm{};
  ::localtime_r(&st.st_mtime, &tm);
  out = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  return 0;
}

int fileAttributes(const std::string& name) {
  struct stat st;
  if (!statOf(name, st)) return -1;
  // Directories are directories; other non-regular entries (devices, pipes,
  // sockets) count as system files; a regular file carries the archive bit
  // as a freshly written file does; dot names are hidden.
  int attr = S_ISDIR(st.st_mode) ? kAttrDirectory : S_ISREG(st.st_mode) ? kAttrArchive : kAttrSysFile;
  if (::access(name.c_str(), W_OK) != 0) attr |= kAttrReadOnly;
  std::string base = std::filesystem::path(name).filename().string();
  if (base.size() > 1 && base[0] == '.' && base != "..") attr |= kAttrHidden;
  return attr;
}

std::int64_t fileSize(const std::string& name) {
  struct stat st;
  if (!statOf(name, st)) return -1;
  return S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
}

std::string searchFile(const std::string& name, const std::string& dirList) {
  if (name.empty()) return "";
  if (fileExists(name)) return fullPath(name);
  if (name[0] == '/') return "";
  // Both list separators are accepted, so programs written with ';' work.
  for (const auto& dir : splitList(dirList, ":;")) {
    if (dir.empty()) continue;
    std::string candidate = joinPath(dir, name);
    if (fileExists(candidate)) return fullPath(candidate);
  }
  return "";
}

std::string searchPath(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return isExecutableFile(name) ? fullPath(name) : "";
  const char* path = std::getenv("PATH");
  if (!path) return "";
  for (const auto& dir : splitList(path, ":")) {
    std::string candidate = joinPath(dir.empty() ? "." : dir, name);
    if (isExecutableFile(candidate)) return fullPath(candidate);
  }
  return "";
}

std::string withoutExtension(const std::string& name) {
  const auto slash = name.rfind('/');
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
  return name.substr(0, dot);
}

std::string fullPath(const std::string& name) {
  std::error_code ec;
  auto p = std::filesystem::absolute(name.empty() ? std::filesystem::path(".") : std::filesystem::path(name), ec);
  if (ec) return name;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::vector<std::string> listMatches(const std::string& pattern, int attrMask) {
  std::vector<std::string> found;
  auto slash = pattern.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : pattern.substr(0, slash);
  std::string base = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  // "*.*" means every file to the programs of this language, also those
  // without an extension.
  if (base == "*.*") base = "*";
  DIR* d = ::opendir(dir.c_str());
  if (!d) return found;
  constexpr int kSpecial = kAttrHidden | kAttrSysFile | kAttrVolumeId | kAttrDirectory;
  while (const dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::fnmatch(base.c_str(), name.c_str(), 0) != 0) continue;
    int attr = fileAttributes(joinPath(dir, name));
    // Plain files always qualify; special ones only when the mask asks.
    if (attr < 0 || (attr & kSpecial & ~attrMask) != 0) continue;
    found.push_back(name);
  }
  ::closedir(d);
  std::sort(found.begin(), found.end());
  return found;
}

std::string getEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? v : "";
}

int envCount() {
  int n = 0;
  for (char** e = environ; e && *e; ++e) ++n;
  return n;
}

std::string envString(int i) {
  if (i < 1 || i > envCount()) return "";
  return environ[i - 1];
}

int processId() { return static_cast<int>(::getpid()); }
int parentProcessId() { return static_cast<int>(::getppid()); }

// Parallel statements run one child at a time.
int processorCount() { return 1; }

DateTime now() {
  struct timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  ::localtime_r(&ts.tv_sec, &tm);
  DateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.hundredths = static_cast<int>(ts.tv_nsec / 10000000);
  t.dayOfWeek = tm.tm_wday;
  // Whole local days since the epoch, floored, give today's day number.
  std::int64_t local = static_cast<std::int64_t>(ts.tv_sec) + tm.tm_gmtoff;
  std::int64_t days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
  t.julianDay = static_cast<std::int32_t>(days + kJulianDayOfEpoch);
  return t;
}

void sleepMs(std::int64_t ms) {
  if (ms <= 0) return;
  struct timespec req{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&req, &req) != 0 && errno == EINTR) {
  }
}

int execCommand(Interp& in, const std::string& command, const std::string& params, int* exitStatus) {
  if (command.empty()) {
    // No command: an interactive shell, the user's own or the standard one.
    std::string shell = getEnv("SHELL");
    if (shell.empty()) shell = "/bin/sh";
    char* argv[] = {shell.data(), nullptr};
    return spawnAndWait(argv, exitStatus);
  }
  // A name with a "/" is the file it names; a bare name is looked up along
  // PATH only, as a shell does, so a file of that name in the working
  // folder (planted or not) is never run in the command's place.
  std::string path, shown;
  if (command.find('/') != std::string::npos) {
    if (!fileExists(command)) return kErrFileNotFound;
    path = shown = command;
  } else {
    path = shown = searchPath(command);
    if (path.empty()) return kErrFileNotFound;
  }
  if (in.set.debugExec) std::printf("Executing command >%s< with params >%s<\n", shown.c_str(), params.c_str());
  if (::access(path.c_str(), X_OK) != 0) return errnoToCode(errno);
  // The argument string is the shell's to split; the command name is quoted
  // so nothing in it is taken for shell syntax.
  std::string line = shellQuote(path);
  if (!params.empty()) line += " " + params;
  std::string sh = "/bin/sh", dashC = "-c";
  char* argv[] = {sh.data(), dashC.data(), line.data(), nullptr};
  return spawnAndWait(argv, exitStatus);
}

namespace {

// A signal handler can reach nothing but statics, so the console settings
// it must put back live here as well as in OsInfo: the line-mode settings
// from before single-key mode, the single-key settings, and whether the
// console is in single-key mode now. Written only outside the handlers,
// while no handler can be running.
::termios gLineMode;
::termios gKeyMode;
volatile std::sig_atomic_t gInKeyMode = 0;
bool gHandlersInstalled = false;
// While a fit runs, SIGINT and SIGTERM are only noted here and the fit ends
// at its next step, with its files complete; a second one ends at once.
volatile std::sig_atomic_t gDeferInterrupts = 0;
volatile std::sig_atomic_t gPendingInterrupt = 0;
bool gInterruptHandlersInstalled = false;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A signal that ends the process: the console gets its line mode back, then
// the signal does what it would have done without us.
void onEndingSignal(int sig) {
  if (gDeferInterrupts && !gPendingInterrupt && (sig == SIGINT || sig == SIGTERM)) {
    gPendingInterrupt = sig;
    return;
  }
  if (gInKeyMode) ::tcsetattr(STDIN_FILENO, TCSANOW, &gLineMode);
  ::signal(sig, SIG_DFL);
  ::raise(sig);  // delivered when the handler returns
}

// Ctrl-Z: line mode while stopped, single-key mode again on continuing.
void onStopSignal(int sig) {
  const int savedErrno = errno;
  if (gInKeyMode) ::tcsetattr(STDIN_FILENO, TCSANOW, &gLineMode);
  ::signal(sig, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(sig);  // stops here until SIGCONT
  ::sigprocmask(SIG_BLOCK, &set, nullptr);
  ::signal(sig, onStopSignal);
  if (gInKeyMode) ::tcsetattr(STDIN_FILENO, TCSANOW, &gKeyMode);
  errno = savedErrno;
}

// Signals the parent set to be ignored (nohup, background jobs) stay ignored.
void catchUnlessIgnored(int sig, void (*handler)(int)) {
  struct sigaction old{};
  if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
  struct sigaction act{};
  act.sa_handler = handler;
  sigemptyset(&act.sa_mask);
  ::sigaction(sig, &act, nullptr);
}

void installConsoleHandlers() {
  if (gHandlersInstalled) return;
  gHandlersInstalled = true;
  for (int sig : kEndingSignals) catchUnlessIgnored(sig, onEndingSignal);
  catchUnlessIgnored(SIGTSTP, onStopSignal);
}

bool setConsole(const ::termios& t) { return ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0; }

}  // namespace

void deferInterrupts(bool on) {
  if (on && !gInterruptHandlersInstalled) {
    gInterruptHandlersInstalled = true;
    catchUnlessIgnored(SIGINT, onEndingSignal);
    catchUnlessIgnored(SIGTERM, onEndingSignal);
  }
  gDeferInterrupts = on ? 1 : 0;
}

int pendingInterrupt() { return gPendingInterrupt; }

void consoleKeyMode(OsInfo& os, bool on) {
  if (!::isatty(STDIN_FILENO)) return;
  if (on) {
    if (os.savedConsole) return;
    auto saved = std::make_shared<::termios>();
    if (::tcgetattr(STDIN_FILENO, saved.get()) != 0) return;
    // Only line editing and echo go: Ctrl-C still interrupts, output is
    // still translated.
    ::termios raw = *saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    gLineMode = *saved;
    gKeyMode = raw;
    installConsoleHandlers();
    gInKeyMode = 1;
    if (setConsole(raw)) {
      os.savedConsole = saved;
    } else {
      gInKeyMode = 0;
    }
  } else if (os.savedConsole) {
    gInKeyMode = 0;
    setConsole(*os.savedConsole);
    os.savedConsole.reset();
  }
}

bool keyWaiting() {
  if (!::isatty(STDIN_FILENO)) return false;
  struct pollfd p{STDIN_FILENO, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

int readKey() {
  unsigned char c = 0;
  for (;;) {
    // An interrupt noted while a fit waits for a key ends the wait. The
    // signal may be taken by another thread than this one, so the wait
    // looks at the note now and then rather than relying on EINTR.
    if (gPendingInterrupt) return -1;
    struct pollfd p{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&p, 1, 100);
    if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    const ssize_t got = ::read(STDIN_FILENO, &c, 1);
    if (got == 1) return c;
    if (got < 0 && errno == EINTR) continue;
    return -1;
  }
}

bool readConsoleLine(OsInfo& os, std::string_view prompt, std::string& line) {
  line.clear();
  // The line is typed with echo and editing, as at any prompt; the console
  // is switched before the prompt shows, so nothing typed at it goes unechoed.
  if (os.savedConsole) setConsole(*os.savedConsole);
  std::fwrite(prompt.data(), 1, prompt.size(), stdout);
  std::fflush(stdout);
  int c = 0;
  while ((c = readKey()) != -1 && c != '\n') {
    if (c != '\r' && line.size() < kMaxText) line += static_cast<char>(c);
  }
  if (os.savedConsole) setConsole(gKeyMode);
  return c != -1 || !line.empty();
}

bool isTerminal(int fd) { return ::isatty(fd) == 1; }

int terminalColumns(int fd) {
  struct winsize ws{};
  if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

void writeRaw(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(put));
  }
}

namespace {

struct StdoutHook {
  void (*before)(void*);
  void* context;
};

ssize_t hookedWrite(void* cookie, const char* buf, std::size_t size) {
  const auto* hook = static_cast<const StdoutHook*>(cookie);
  hook->before(hook->context);
  writeRaw(STDOUT_FILENO, std::string_view(buf, size));
  return static_cast<ssize_t>(size);
}

}  // namespace

void hookStdout(OsInfo& os, void (*before)(void*), void* context) {
  if (os.plainStdout) return;
  std::fflush(stdout);
  auto hook = std::make_shared<StdoutHook>(StdoutHook{before, context});
  cookie_io_functions_t io{};
  io.write = hookedWrite;
  std::FILE* f = ::fopencookie(hook.get(), "w", io);
  if (!f) return;
  std::setvbuf(f, nullptr, isTerminal(STDOUT_FILENO) ? _IOLBF : _IOFBF, BUFSIZ);
  os.stdoutHook = hook;
  os.plainStdout = stdout;
  stdout = f;  // the C library lets its standard streams be replaced
}

void unhookStdout(OsInfo& os) {
  if (!os.plainStdout) return;
  std::FILE* hooked = stdout;
  stdout = os.plainStdout;
  std::fclose(hooked);
  os.plainStdout = nullptr;
  os.stdoutHook.reset();
}

namespace {
struct ThreadBody {
  void (*body)(void*, std::size_t);
  void* arg;
  std::size_t bytes;
};
void* startBody(void* p) {
  auto* t = static_cast<ThreadBody*>(p);
  t->body(t->arg, t->bytes);
  return nullptr;
}
}  // namespace

namespace {
bool runOnThread(ThreadBody& t) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  pthread_t thread;
  const bool started =
      pthread_attr_setstacksize(&attr, t.bytes) == 0 && pthread_create(&thread, &attr, startBody, &t) == 0;
  pthread_attr_destroy(&attr);
  if (started) pthread_join(thread, nullptr);
  return started;
}

// What the main thread's stack may grow to: its limit, or a cautious size
// when the limit is unlimited or unknown.
std::size_t mainStackBytes() {
  constexpr std::size_t kCautious = std::size_t{8} << 20;
  struct rlimit r{};
  if (::getrlimit(RLIMIT_STACK, &r) != 0 || r.rlim_cur == RLIM_INFINITY) return kCautious;
  return static_cast<std::size_t>(r.rlim_cur);
}
}  // namespace

void runWithStack(std::size_t bytes, void (*body)(void*, std::size_t), void* arg) {
  // Under an address-space limit the large stack may not be had: smaller
  // ones are tried down to what the main stack could offer anyway.
  const std::size_t floor = std::max<std::size_t>(mainStackBytes(), std::size_t{1} << 20);
  for (std::size_t size = bytes; size >= floor; size /= 2) {
    ThreadBody t{body, arg, size};
    if (runOnThread(t)) return;
  }
  body(arg, mainStackBytes());
}

}  // namespace zav
