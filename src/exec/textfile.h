// The record behind a FILE value: a text file of the run-time's text I/O.
#pragma once
#include <cstdio>
#include <string>

namespace zav {

enum class FileMode { Closed, Read, Write, Append };

struct TextFile {
  std::string name;
  FileMode mode = FileMode::Closed;
  std::FILE* handle = nullptr;
  bool ownsHandle = false;  // false for standard input and output
  bool atEof = false;
  bool warnedCut = false;  // a READ string was cut to 255 characters (warned once per opening)
};

}  // namespace zav
