// The operating-system layer: error texts and codes, file and directory
// services in a scratch directory, path searches, running commands, clock.
#include "core/os.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "support.h"

namespace zav {
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& name, const std::string& text) {
  std::ofstream f(name);
  f << text;
}

void writeScript(const std::string& name, const std::string& body) {
  writeFile(name, "#!/bin/sh\n" + body + "\n");
  ::chmod(name.c_str(), 0755);
}

// Runs each test in a fresh scratch directory and restores the working
// directory and PATH afterwards.
class OsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCwd_ = fs::current_path();
    char tmpl[] = "/tmp/zav_os_test_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = fs::canonical(tmpl).string();
    fs::current_path(dir_);
    if (const char* p = std::getenv("PATH")) oldPath_ = p;
  }
  void TearDown() override {
    fs::current_path(oldCwd_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
    if (oldPath_) ::setenv("PATH", oldPath_->c_str(), 1);
  }
  std::string dir_;
  fs::path oldCwd_;
  std::optional<std::string> oldPath_;
};

TEST(OsErrorText, TableTexts) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {2, "File was not found"},
      {3, "Path was not found"},
      {4, "Too many open files"},
      {5, "File access denied"},
      {6, "Invalid file reference"},
      {12, "Invalid file reference"},
      {8, "Not enough memory"},
      {10, "Invalid environment"},
      {15, "Invalid drive letter"},
      {16, "Can't remove current directory"},
      {17, "Can't rename files across drives"},
      {100, "Disk read error"},
      {101, "Disk write error"},
      {102, "File not assigned"},
      {103, "File is not open"},
      {104, "File not open for reading"},
      {105, "File not open for writing"},
      {106, "reading a bad number"},
      {150, "Disk is write-protected"},
      {151, "Unknown device"},
      {152, "Disk drive is not ready"},
      {154, "Disk sector, seek or crc error (154)"},
      {155, "Disk sector, seek or crc error (155)"},
      {156, "Disk sector, seek or crc error (156)"},
      {158, "Disk sector, seek or crc error (158)"},
      {157, "Unknown media"},
      {159, "The printer is out of paper"},
      {160, "Error trying to write to the output device"},
      {161, "Error trying to read an input device"},
      {162, "A hardware failure occured"},
      {999, "An error has occurred (999)"},
      {1, "An error has occurred (1)"},
      {153, "An error has occurred (153)"},
  };
  for (const auto& c : cases) EXPECT_EQ(errorText(c.code), c.text) << "code " << c.code;
}

TEST(OsErrorText, ErrnoMapping) {
  struct Case {
    int err;
    OsOp op;
    int code;
  } cases[] = {
      {0, OsOp::File, 0},         {ENOENT, OsOp::File, 2},   {ENOENT, OsOp::Dir, 3},   {ENOTDIR, OsOp::File, 3},
      {EMFILE, OsOp::File, 4},    {ENFILE, OsOp::File, 4},   {EACCES, OsOp::File, 5},  {EPERM, OsOp::File, 5},
      {EEXIST, OsOp::Dir, 5},     {ENOTEMPTY, OsOp::Dir, 5}, {EBADF, OsOp::File, 6},   {ENOMEM, OsOp::File, 8},
      {EXDEV, OsOp::File, 17},    {EROFS, OsOp::Write, 150}, {EIO, OsOp::Read, 100},   {EIO, OsOp::Write, 101},
      {ENOSPC, OsOp::Write, 101}, {EBUSY, OsOp::Dir, 16},    {ENODEV, OsOp::File, 151},
  };
  for (const auto& c : cases) EXPECT_EQ(errnoToCode(c.err, c.op), c.code) << "errno " << c.err;
  // An errno without a counterpart must not pass for a code of the table:
  // EINVAL (22) and ESRCH (3) would otherwise read as other errors.
  for (int err : {EINVAL, ESRCH, EINTR, ENOEXEC}) {
    int code = errnoToCode(err);
    EXPECT_EQ(code, kUnmappedBase + err);
    EXPECT_EQ(errorText(code), "An error has occurred (" + std::to_string(code) + ")");
  }
}

TEST(OsErrorText, CheckResult) {
  Interp in;
  checkResult(in, 0, "erasing file ", "x");  // nothing happens
  const std::string out = test::endedRun([&] { checkResult(in, 2, "erasing file", "foo.txt"); });
  EXPECT_NE(out.find("Error (run time): erasing file foo.txt : File was not found\n"), std::string::npos) << out;
}

TEST_F(OsFiles, DirectoryServices) {
  EXPECT_EQ(makeDir("sub"), 0);
  EXPECT_TRUE(dirExists("sub"));
  EXPECT_FALSE(fileExists("sub"));
  EXPECT_EQ(makeDir("sub"), 5);
  EXPECT_EQ(makeDir("missing/sub"), 3);
  EXPECT_EQ(changeDir("missing"), 3);
  EXPECT_EQ(removeDir("missing"), 3);

  writeFile("sub/f.txt", "x");
  EXPECT_EQ(removeDir("sub"), 5);  // not empty
  EXPECT_EQ(deleteFile("sub"), 5);  // a directory is no file

  EXPECT_EQ(changeDir("sub"), 0);
  std::string cwd;
  EXPECT_EQ(currentDir(cwd), 0);
  EXPECT_EQ(cwd, dir_ + "/sub");
  EXPECT_EQ(deleteFile("f.txt"), 0);
  // The working directory is refused even though it is empty now.
  EXPECT_EQ(removeDir(cwd), 16);
  EXPECT_EQ(removeDir("."), 16);
  EXPECT_TRUE(dirExists(cwd));
  EXPECT_EQ(changeDir(".."), 0);
  EXPECT_EQ(removeDir("sub"), 0);
  EXPECT_FALSE(dirExists("sub"));
}

TEST_F(OsFiles, FileServices) {
  writeFile("a.txt", "hello");
  EXPECT_TRUE(fileExists("a.txt"));
  EXPECT_FALSE(dirExists("a.txt"));
  EXPECT_FALSE(fileExists(""));
  EXPECT_EQ(fileSize("a.txt"), 5);
  EXPECT_EQ(fileSize("nope"), -1);

  EXPECT_EQ(renameFile("a.txt", "b.txt"), 0);
  EXPECT_FALSE(fileExists("a.txt"));
  EXPECT_TRUE(fileExists("b.txt"));
  EXPECT_EQ(renameFile("a.txt", "c.txt"), 2);
  writeFile("c.txt", "keep");
  EXPECT_EQ(renameFile("b.txt", "c.txt"), 5);  // no silent overwrite
  EXPECT_EQ(fileSize("c.txt"), 4);
  EXPECT_EQ(renameFile("b.txt", "missing/b.txt"), 3);

  EXPECT_EQ(deleteFile("b.txt"), 0);
  EXPECT_EQ(deleteFile("b.txt"), 2);
  EXPECT_EQ(deleteFile("missing/b.txt"), 2);
}

TEST_F(OsFiles, AttributesAndTime) {
  writeFile("plain", "");
  writeFile(".hidden", "");
  ASSERT_EQ(makeDir("d"), 0);
  EXPECT_EQ(fileAttributes("plain"), kAttrArchive);
  EXPECT_EQ(fileAttributes(".hidden"), kAttrArchive | kAttrHidden);
  EXPECT_EQ(fileAttributes("d"), kAttrDirectory);
  EXPECT_EQ(fileAttributes("none"), -1);
  if (::geteuid() != 0) {  // root may write anything
    ::chmod("plain", 0444);
    EXPECT_EQ(fileAttributes("plain"), kAttrArchive | kAttrReadOnly);
  }

  // A modification time set through the C library's own local-time
  // conversion comes back field by field.
  std::tm tm{};
  tm.tm_year = 2001 - 1900;
  tm.tm_mon = 1;
  tm.tm_mday = 3;
  tm.tm_hour = 4;
  tm.tm_min = 5;
  tm.tm_sec = 6;
  tm.tm_isdst = -1;
  struct utimbuf times{std::mktime(&tm), std::mktime(&tm)};
  ASSERT_EQ(::utime(".hidden", &times), 0);
  FileStamp st;
  ASSERT_EQ(fileTime(".hidden", st), 0);
  EXPECT_EQ(st.year, 2001);
  EXPECT_EQ(st.month, 2);
  EXPECT_EQ(st.day, 3);
  EXPECT_EQ(st.hour, 4);
  EXPECT_EQ(st.minute, 5);
  EXPECT_EQ(st.second, 6);
  EXPECT_EQ(fileTime("none", st), 2);
}

TEST_F(OsFiles, SearchAndFullPath) {
  ASSERT_EQ(makeDir("a"), 0);
  ASSERT_EQ(makeDir("b"), 0);
  writeFile("b/data.txt", "1");
  EXPECT_EQ(searchFile("data.txt", "a:b"), dir_ + "/b/data.txt");
  EXPECT_EQ(searchFile("data.txt", "a;" + dir_ + "/b"), dir_ + "/b/data.txt");
  EXPECT_EQ(searchFile("data.txt", "a"), "");
  EXPECT_EQ(searchFile("", "a:b"), "");
  writeFile("data.txt", "2");  // the name itself comes first
  EXPECT_EQ(searchFile("data.txt", "b"), dir_ + "/data.txt");

  EXPECT_EQ(fullPath("x/../y/./z"), dir_ + "/y/z");
  EXPECT_EQ(fullPath("/usr//lib/"), "/usr/lib");
  EXPECT_EQ(fullPath("/"), "/");
  EXPECT_EQ(fullPath(""), dir_);
}

TEST_F(OsFiles, SearchPathFindsExecutablesOnly) {
  ASSERT_EQ(makeDir("p1"), 0);
  ASSERT_EQ(makeDir("p2"), 0);
  writeFile("p1/tool", "not executable");
  writeScript("p2/tool", "exit 0");
  ::setenv("PATH", (dir_ + "/p1:" + dir_ + "/p2").c_str(), 1);
  EXPECT_EQ(searchPath("tool"), dir_ + "/p2/tool");
  EXPECT_EQ(searchPath("nothing"), "");
  EXPECT_EQ(searchPath("p2/tool"), dir_ + "/p2/tool");

  // Without gnuplot on PATH the identity has an empty gnuplot; with one it
  // has its full path.
  OsInfo os;
  initOs(os);
  EXPECT_EQ(os.gnuplot, "");
  writeScript("p1/gnuplot", "exit 0");
  initOs(os);
  EXPECT_EQ(os.gnuplot, dir_ + "/p1/gnuplot");
}

TEST(OsIdentity, NameSeparatorVersion) {
  OsInfo os;
  initOs(os);
  struct utsname u;
  ASSERT_EQ(::uname(&u), 0);
  EXPECT_EQ(os.systemName, u.sysname);
  EXPECT_EQ(os.separator, "/");
  // The release text read from /proc, taken apart by hand.
  std::ifstream f("/proc/sys/kernel/osrelease");
  std::string release;
  if (f >> release) {
    auto dot = release.find('.');
    int major = std::stoi(release.substr(0, dot));
    int minor = std::stoi(release.substr(dot + 1));
    EXPECT_EQ(os.version, major * 100 + minor);
  }
}

TEST_F(OsFiles, ListMatches) {
  for (const char* n : {"a.txt", "b.txt", "c.dat", ".h.txt", "noext"}) writeFile(n, "");
  ASSERT_EQ(makeDir("sub.txt"), 0);
  using V = std::vector<std::string>;
  EXPECT_EQ(listMatches("*.txt", 0), (V{"a.txt", "b.txt"}));
  EXPECT_EQ(listMatches(dir_ + "/*.txt", kAttrHidden), (V{".h.txt", "a.txt", "b.txt"}));
  EXPECT_EQ(listMatches("*.txt", kAttrDirectory), (V{"a.txt", "b.txt", "sub.txt"}));
  EXPECT_EQ(listMatches("*.*", 0), (V{"a.txt", "b.txt", "c.dat", "noext"}));
  EXPECT_EQ(listMatches("?.dat", kAttrAnyFile), (V{"c.dat"}));
  EXPECT_EQ(listMatches("nodir/*", kAttrAnyFile), V{});
}

TEST(OsEnvironment, Variables) {
  ::setenv("ZAV_OS_TEST_VAR", "xyz", 1);
  EXPECT_EQ(getEnv("ZAV_OS_TEST_VAR"), "xyz");
  EXPECT_EQ(getEnv("ZAV_OS_TEST_UNSET_VAR"), "");
  int n = envCount();
  ASSERT_GT(n, 0);
  bool seen = false;
  for (int i = 1; i <= n; ++i) seen = seen || envString(i) == "ZAV_OS_TEST_VAR=xyz";
  EXPECT_TRUE(seen);
  EXPECT_EQ(envString(0), "");
  EXPECT_EQ(envString(n + 1), "");
  ::unsetenv("ZAV_OS_TEST_VAR");
  EXPECT_EQ(processId(), static_cast<int>(::getpid()));
  EXPECT_EQ(processorCount(), 1);
}

TEST_F(OsFiles, ExecMissingCommandRunsNothing) {
  Interp in;
  in.set.debugExec = true;
  testing::internal::CaptureStdout();
  int status = -7;
  EXPECT_EQ(execCommand(in, "zav-no-such-command-here", "> ran.txt", &status), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(status, -7);
  EXPECT_FALSE(fileExists("ran.txt"));
}

TEST_F(OsFiles, ExecRunsAndWaits) {
  Interp in;
  int status = -1;
  EXPECT_EQ(execCommand(in, "true", "", &status), 0);
  EXPECT_EQ(status, 0);
  // The child has finished when the call returns: its file is complete.
  EXPECT_EQ(execCommand(in, "sh", "-c 'sleep 0.2; echo done > out.txt; exit 3'", &status), 0);
  EXPECT_EQ(status, 3);
  std::ifstream f("out.txt");
  std::string word;
  f >> word;
  EXPECT_EQ(word, "done");
}

TEST_F(OsFiles, ExecTraceAndOutputOrder) {
  Interp in;
  in.set.debugExec = true;
  std::string sh = searchPath("sh");
  ASSERT_FALSE(sh.empty());
  testing::internal::CaptureStdout();
  std::printf("before\n");  // still buffered when the child starts
  EXPECT_EQ(execCommand(in, "sh", "-c 'echo child'"), 0);
  std::printf("after\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "before\nExecuting command >" + sh + "< with params >-c 'echo child'<\nchild\nafter\n");
}

TEST_F(OsFiles, ExecBareNameOnlyAlongPath) {
  Interp in;
  // A bare name is never the file of that name in the working folder; a
  // name with a "/" is, and its odd characters reach the shell as one word.
  writeScript("my 'odd' $tool", "echo \"$1\" > got.txt\nexit 5");
  int status = -1;
  EXPECT_EQ(execCommand(in, "my 'odd' $tool", "arg1", &status), 2);
  EXPECT_FALSE(fileExists("got.txt"));
  EXPECT_EQ(execCommand(in, "./my 'odd' $tool", "arg1", &status), 0);
  EXPECT_EQ(status, 5);
  std::ifstream f("got.txt");
  std::string got;
  f >> got;
  EXPECT_EQ(got, "arg1");
  writeFile("plain.txt", "");
  EXPECT_EQ(execCommand(in, "./plain.txt", "", &status), 5);  // not executable
}

TEST(OsClock, NowIsConsistent) {
  DateTime t = now();
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
  EXPECT_GE(t.hundredths, 0);
  EXPECT_LE(t.hundredths, 99);
  // Gregorian day number by the Fliegel and Van Flandern formula (CACM 11,
  // 1968), independent of the epoch arithmetic used by now().
  long y = t.year, m = t.month, d = t.day;
  long jd = (1461 * (y + 4800 + (m - 14) / 12)) / 4 + (367 * (m - 2 - 12 * ((m - 14) / 12))) / 12 -
            (3 * ((y + 4900 + (m - 14) / 12) / 100)) / 4 + d - 32075;
  EXPECT_EQ(t.julianDay, jd);
  // Day number 0 was a Monday, so Sunday = 0 gives (day + 1) mod 7.
  EXPECT_EQ(t.dayOfWeek, (jd + 1) % 7);
}

TEST(OsClock, SleepWaits) {
  auto start = std::chrono::steady_clock::now();
  sleepMs(60);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(ms, 60);
  sleepMs(-5);  // returns at once
}

TEST(OsConsole, NoKeyWithoutTerminal) {
  if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
  EXPECT_FALSE(keyWaiting());
  OsInfo os;
  consoleKeyMode(os, true);
  EXPECT_FALSE(os.savedConsole);
}

}  // namespace
}  // namespace zav
