// The fatal error report: its two-line format and the .erk file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "support.h"

namespace zav {
namespace {

std::string report(Interp& in, ErrCat cat, const std::string& msg) {
  return test::endedRun([&] { ReportError(in, cat, msg); });
}

TEST(ErrorReport, BeforeAnySourceLineOnlyOneLine) {
  Interp in;
  EXPECT_EQ(report(in, ErrCat::Math, "boom"), "(0,0) Error (math): boom\n");
}

TEST(ErrorReport, WithASourceLineNamesIt) {
  Interp in;
  in.pos.file = "prog.zav";
  in.pos.line = 12;
  in.pos.column = 5;
  EXPECT_EQ(report(in, ErrCat::RunTime, "FOR loop step size is zero"),
            "prog.zav(12,5) Error (run time): FOR loop step size is zero\n Line 12 of prog.zav\n");
}

TEST(ErrorReport, CategoryNames) {
  EXPECT_EQ(errCatName(ErrCat::Unknown), "Unknown");
  EXPECT_EQ(errCatName(ErrCat::SymTable), "sym table");
  EXPECT_EQ(errCatName(ErrCat::Funct), "funct");
}

class ErkFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("zav_erk_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
  }
  std::filesystem::path dir, old;
};

TEST_F(ErkFile, WrittenOnlyWithTheSwitch) {
  Interp in;
  in.pos.file = "model.zav";
  in.pos.line = 3;
  in.pos.column = 7;
  report(in, ErrCat::Data, "x");
  EXPECT_FALSE(std::filesystem::exists("model.erk"));

  in.pos.errorFile = true;
  report(in, ErrCat::Data, "x");
  std::ifstream f("model.erk");
  std::string path, pos;
  std::getline(f, path);
  std::getline(f, pos);
  EXPECT_EQ(path, (dir / "model.zav").string());
  EXPECT_EQ(pos, "3 7");
}

TEST_F(ErkFile, HoldsTheFullPathWithoutDotSteps) {
  std::filesystem::create_directories("sub");
  Interp in;
  in.pos.file = "./sub/../model.zav";
  in.pos.line = 1;
  in.pos.column = 2;
  in.pos.errorFile = true;
  report(in, ErrCat::Parser, "x");
  std::ifstream f("model.erk");
  std::string path;
  std::getline(f, path);
  EXPECT_EQ(path, (dir / "model.zav").string());
}

TEST_F(ErkFile, NameWithoutExtensionGetsOneAppended) {
  Interp in;
  in.pos.file = "prog";
  in.pos.errorFile = true;
  report(in, ErrCat::Data, "x");
  EXPECT_TRUE(std::filesystem::exists("prog.erk"));
}

}  // namespace
}  // namespace zav
