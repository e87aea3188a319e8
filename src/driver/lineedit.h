// Standard input of the calculator on a terminal: lines asked for with the
// prompt "> ", edited and kept in a history when zav is built with libedit.
#pragma once
#include <cstdio>
#include <memory>

namespace zav {

class TerminalInput {
 public:
  // `out` is the terminal's own stream (the editor needs its descriptor).
  explicit TerminalInput(std::FILE* out);
  ~TerminalInput();
  TerminalInput(const TerminalInput&) = delete;
  TerminalInput& operator=(const TerminalInput&) = delete;

  // A new stream that reads the lines typed, one line per read, so the
  // scanner never asks for a line before it needs one. Closing the stream
  // leaves the editor and its history in place.
  std::FILE* stream();
  // Forgets what is left of the line being read (after an error in it).
  void dropLine();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace zav
