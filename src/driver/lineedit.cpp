#include "driver/lineedit.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <string>

#ifdef ZAV_HAVE_LIBEDIT
#include <histedit.h>
#endif

namespace zav {

struct TerminalInput::Impl {
  std::string line;  // the line being handed out, with its line end
  std::size_t used = 0;
  bool ended = false;
#ifdef ZAV_HAVE_LIBEDIT
  EditLine* editor = nullptr;
  History* history = nullptr;
#endif

  // Reads the next line typed into `line`; false at the end of input.
  bool next();
};

namespace {

constexpr const char* kPrompt = "> ";

#ifdef ZAV_HAVE_LIBEDIT
char* prompt(EditLine*) { return const_cast<char*>(kPrompt); }
#endif

ssize_t readLines(void* cookie, char* buf, std::size_t size) {
  auto& t = *static_cast<TerminalInput::Impl*>(cookie);
  if (t.used == t.line.size() && !t.next()) return 0;
  const std::size_t n = std::min(size, t.line.size() - t.used);
  std::memcpy(buf, t.line.data() + t.used, n);
  t.used += n;
  return static_cast<ssize_t>(n);
}

}  // namespace

bool TerminalInput::Impl::next() {
  line.clear();
  used = 0;
  if (ended) return false;
  // The value of the line before must stand above the prompt.
  std::fflush(stdout);
#ifdef ZAV_HAVE_LIBEDIT
  int count = 0;
  const char* got = el_gets(editor, &count);
  if (got && count > 0) {
    line.assign(got, static_cast<std::size_t>(count));
    if (line.find_first_not_of(" \t\r\n") != std::string::npos) {
      HistEvent ev;
      ::history(history, &ev, H_ENTER, line.c_str());
    }
  }
#else
  std::fputs(kPrompt, stdout);
  std::fflush(stdout);
  char part[256];
  while (std::fgets(part, sizeof part, stdin)) {
    line += part;
    if (line.back() == '\n') break;
  }
#endif
  if (line.empty()) {
    // End of input typed at the prompt: the shell's prompt starts a fresh line.
    ended = true;
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return false;
  }
  if (line.back() != '\n') line += '\n';
  return true;
}

TerminalInput::TerminalInput([[maybe_unused]] std::FILE* out) : impl_(std::make_unique<Impl>()) {
#ifdef ZAV_HAVE_LIBEDIT
  impl_->editor = el_init("zav", stdin, out, stderr);
  impl_->history = history_init();
  HistEvent ev;
  ::history(impl_->history, &ev, H_SETSIZE, 1000);
  el_set(impl_->editor, EL_PROMPT, prompt);
  el_set(impl_->editor, EL_EDITOR, "emacs");
  el_set(impl_->editor, EL_HIST, ::history, impl_->history);
  el_set(impl_->editor, EL_SIGNAL, 1);
  el_source(impl_->editor, nullptr);  // the user's ~/.editrc
#endif
}

TerminalInput::~TerminalInput() {
#ifdef ZAV_HAVE_LIBEDIT
  history_end(impl_->history);
  el_end(impl_->editor);
#endif
}

std::FILE* TerminalInput::stream() {
  cookie_io_functions_t io{};
  io.read = readLines;
  return fopencookie(impl_.get(), "r", io);
}

void TerminalInput::dropLine() { impl_->used = impl_->line.size(); }

}  // namespace zav
