#!/usr/bin/env python3
"""Drives the interactive monitor, the progress line and the calculator
through a real pseudo-terminal, the way a person at a terminal would.

    monitor_pty.py ZAV CASE...   (no CASE: every case)

Each case starts zav on a fresh pseudo-terminal in a scratch copy of this
folder, sends keys and lines, and compares every screen the monitor writes
with its exact texts. Timing is never tight: every wait is for a text to
appear, with a generous limit, so a loaded machine only makes it slower.
"""
import fcntl
import os
import pty
import re
import select
import signal
import struct
import subprocess
import sys
import termios
import time

sys.dont_write_bytecode = True
from cases import Failure, run_cases  # noqa: E402

ZAV = None
LIMIT = 60  # seconds to wait for any one text

MENU = "e(X)it (R)esume (O)ne_step (P)ick_sym (C)hange_sym (S)earch_syms (H)elp: "
HELP = ("Menu:\n"
        "  E(X)it zav\n"
        "  (R)esume solving\n"
        "  Resume solving for (O)ne step\n"
        "  (P)ick a symbol\n"
        "  (C)hange the value of {}\n"
        "  (S)earch for symbols by name\n")
# The symbol dumps: REAL values in width 13, where the width decides the
# digits shown (1 is 1.00000000000, 1500 is 1500.00000000).
MAXITER = "MAXITER{{INTEGER Static}} = {}\n"
WEIGHTS = "weights{{REAL, Dims:1[1..5]}}\n" + "".join(" [%d]= {%d}\n" % (i, i - 1) for i in range(1, 6))
FLAG = "flag{{BOOLEAN}} = {}\n"
ONE, TWO, THREE, FOUR, FIVE = ("1.00000000000", "2.00000000000", "3.00000000000", "4.00000000000",
                               "5.00000000000")

# What the progress line draws and erases on standard error.
PROGRESS = re.compile(r"\rModel \d+ Run \d+: [^\r\n]*")
ERASE = re.compile(r"\r +\r")



class Session:
    """zav on a pseudo-terminal; `screen` is everything written since the
    last check, with the terminal's line ends turned into plain ones."""

    def __init__(self, work, args, stderr_file=None, shell=None):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(work)
            if stderr_file:
                err = os.open(stderr_file, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
                os.dup2(err, 2)
            if shell:
                os.execv("/bin/sh", ["/bin/sh", "-c", shell])
            os.execv(ZAV, [ZAV] + args)
        # A wide terminal, so the progress line shows in full.
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 160, 0, 0))
        self.raw = b""
        self.seen = 0
        self.status = None

    def pump(self, timeout):
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return True
        try:
            data = os.read(self.fd, 65536)
        except OSError:
            data = b""
        if not data:
            return False
        self.raw += data
        return True

    def text(self, start=0):
        return self.raw.decode("latin-1").replace("\r\n", "\n")[start:]

    def wait_for(self, pattern, what):
        """Reads until the new output matches pattern (a regex searched
        from the last check); returns the new output and moves past it."""
        end = time.time() + LIMIT
        rx = re.compile(pattern, re.S)
        while True:
            new = self.text(self.seen)
            found = rx.search(new)
            if found:
                self.seen += found.end()
                return new[:found.end()]
            if time.time() > end or not self.pump(0.2):
                if rx.search(self.text(self.seen)):
                    continue
                raise Failure("waiting for %s, got %r" % (what, self.text(self.seen)))

    def screen(self, send, expected, what):
        """Sends keys, then compares the output up to the expected text's
        end exactly (placeholders {N} stand for any whole number)."""
        if send:
            os.write(self.fd, send.encode())
        rx = "".join(r"\d+" if part == "{N}" else re.escape(part) for part in re.split(r"(\{N\})", expected))
        got = self.wait_for(rx + r"\Z", what)
        if not re.fullmatch(rx, got, re.S):
            raise Failure("%s: expected %r, got %r" % (what, expected, got))

    def entry(self, send, title, shown, what):
        """The monitor opening: whatever ran before, the progress line
        erased, then the title, the picked symbol and the menu line."""
        if send:
            os.write(self.fd, send.encode())
        rx = re.escape(title).replace(r"\{N\}", r"\d+")
        got = self.wait_for(rx + r"\n" + re.escape(shown + MENU) + r"\Z", what)
        before = got[:re.search(rx + r"\n" + re.escape(shown + MENU) + r"\Z", got, re.S).start()]
        rest = ERASE.sub("", PROGRESS.sub("", before))
        if rest.strip("\n") not in ("", "R", "O"):
            raise Failure("%s: unexpected output before the title: %r" % (what, before))
        return before

    def finish(self):
        """Reads to the end; returns the exit status."""
        end = time.time() + LIMIT
        while self.pump(0.2):
            if time.time() > end:
                os.kill(self.pid, signal.SIGKILL)
                raise Failure("zav did not end: %r" % self.text(self.seen))
        _, status = os.waitpid(self.pid, 0)
        self.status = os.waitstatus_to_exitcode(status)
        return self.status

    def console_restored(self):
        # The pair shares one set of settings; the master still reads them.
        lflag = termios.tcgetattr(self.fd)[3]
        return bool(lflag & termios.ICANON) and bool(lflag & termios.ECHO)

    def close(self):
        try:
            os.close(self.fd)
        except OSError:
            pass


def check(cond, message):
    if not cond:
        raise Failure(message)


def read(work, name):
    with open(os.path.join(work, name)) as f:
        return f.read()


def case_walk(work):
    """Title and menu, pick, change, resume, one step twice, search, exit."""
    s = Session(work, ["-q", "longfit.zav"])
    time.sleep(0.5)
    s.entry("k", "In direct iteration {N}", "", "first entry")
    s.screen("h", "H\n" + HELP.format("a symbol") + MENU, "help without a symbol")
    s.screen("p", "P\nSymbol: ", "pick prompt")
    s.screen("MAXITER\n", "MAXITER\n" + MAXITER.format(1000000) + MENU, "MAXITER picked")
    s.screen("?", "?\n" + HELP.format("MAXITER") + MAXITER.format(1000000) + MENU, "help with a symbol")
    s.screen("c", "C\nNew value: ", "change prompt")
    s.screen("999999\n", "999999\n" + MAXITER.format(999999) + MENU, "MAXITER changed")
    s.screen("r", "R\n", "resume")
    time.sleep(0.3)
    s.entry("k", "In direct iteration {N}", MAXITER.format(999999), "second entry")
    for step in (1, 2):
        # Straight back after the next step, the picked symbol shown again.
        s.screen("o", "O\nIn direct iteration {N}\n" + MAXITER.format(999999) + MENU, "one step %d" % step)
    s.screen("s", "S\nText to search symbols on: ", "search prompt")
    # Case does not matter; the matches come first, then the picked symbol.
    s.screen("axiter\n", "axiter\n" + MAXITER.format(999999) + MAXITER.format(999999) + MENU, "search")
    s.screen("x", "X\n", "exit")
    check(s.finish() == 0, "exit key: status %s" % s.status)
    check(s.console_restored(), "exit key: the console is still in single-key mode")
    s.close()
    # The output file was flushed and closed: its method header is there,
    # and the interrupted run printed no summary.
    fit = read(work, "fit.txt")
    check("METHOD = DIRECT  MAXITER = 1000000  MAXEVALS = 2000000000\n" in fit, "fit.txt: %r" % fit)
    check("LogLikelihood" not in fit, "fit.txt has a summary: %r" % fit)


def case_changes(work):
    """An array element, bad indexes, a BOOLEAN, an unknown key, and a
    MAXITER change that ends the fit."""
    s = Session(work, ["-q", "longfit.zav"])
    time.sleep(0.5)
    s.entry("k", "In direct iteration {N}", "", "entry")
    s.screen("z", "Z\nhuh?\n" + MENU, "unknown key")
    s.screen("\x1b[A", "\nhuh?\n" + MENU, "a cursor key is one unknown key, not echoed")
    s.screen("p", "P\nSymbol: ", "pick prompt")
    weights = [ONE, TWO, THREE, FOUR, FIVE]
    s.screen("weights\n", "weights\n" + WEIGHTS.format(*weights) + MENU, "array picked")
    for bad in ("0", "6"):
        s.screen("c", "C\nIndex (1 to 5): ", "index prompt")
        s.screen(bad + "\n", bad + "\nAssignment failed\n" + WEIGHTS.format(*weights) + MENU, "index " + bad)
    s.screen("c", "C\nIndex (1 to 5): ", "index prompt")
    s.screen("3\n", "3\nNew value: ", "value prompt")
    weights[2] = "1500.00000000"
    s.screen("1.5k\n", "1.5k\n" + WEIGHTS.format(*weights) + MENU, "element 3 set to 1.5k")
    s.screen("c", "C\nIndex (1 to 5): ", "index prompt")
    s.screen("1\n", "1\nNew value: ", "value prompt")
    s.screen("one\n", "one\nAssignment failed\n" + WEIGHTS.format(*weights) + MENU, "not a number")
    s.screen("p", "P\nSymbol: ", "pick prompt")
    s.screen("flag\n", "flag\n" + FLAG.format("FALSE") + MENU, "BOOLEAN picked")
    s.screen("c", "C\nNew value: ", "value prompt")
    s.screen("yes\n", "yes\nAssignment failed\n" + FLAG.format("FALSE") + MENU, "BOOLEAN refuses yes")
    s.screen("c", "C\nNew value: ", "value prompt")
    s.screen("true\n", "true\n" + FLAG.format("TRUE") + MENU, "BOOLEAN takes true")
    s.screen("p", "P\nSymbol: ", "pick prompt")
    s.screen("nosuchname\n", "nosuchname\n" + MENU, "unknown name picks nothing")
    s.screen("c", "C\nSymbol: ", "change without a symbol picks one")
    s.screen("MAXITER\n", "MAXITER\nNew value: ", "value prompt")
    s.screen("1\n", "1\n" + MAXITER.format(1) + MENU, "MAXITER set to 1")
    # The bound setting takes effect at once: the fit stops at the next check.
    os.write(s.fd, b"r")
    s.wait_for(r"\AR\n(.*\n)?weights 1500\.0+ flag TRUE\n", "resume to the program's last line")
    check(s.finish() == 0, "status %s" % s.status)
    check(s.console_restored(), "the console is still in single-key mode")
    s.close()
    fit = read(work, "fit.txt")
    check("Stopped after maximum number of iterations" in fit, "fit.txt: %r" % fit)


def case_methods(work):
    """Each maximiser and FINDMIN names itself in the title."""
    titles = {"SIMPLEX": "In simplex iteration {N}",
              "CGRADIENT2": "In cgradient iteration {N}",
              "ANNEALING": "In SA. Dim. {N} cycle {N} step {N} iteration {N}"}
    program = read(work, "longfit.zav")
    # Conjugate gradients reach a zero gradient within a few iterations, so
    # theirs are made slow: the same eight values 6000 times over.
    with open(os.path.join(work, "n48k.dat"), "w") as f:
        f.write(read(work, "n8.dat") * 6000)
    for method, title in titles.items():
        name = "fit_%s.zav" % method.lower()
        text = program.replace("  EPSILON = -1\n", "  EPSILON = -1\n  METHOD = %s\n" % method)
        if method.startswith("CGRADIENT"):
            text = text.replace('"n8.dat"', '"n48k.dat"')
        with open(os.path.join(work, name), "w") as f:
            f.write(text)
        s = Session(work, ["-q", name])
        time.sleep(0.5)
        s.entry("k", title, "", method)
        s.screen("x", "X\n", "exit")
        check(s.finish() == 0, "%s: status %s" % (method, s.status))
        s.close()
    s = Session(work, ["-q", "findmin.zav"])
    time.sleep(0.5)
    s.entry("k", "In FINDMIN iteration {N}", "", "FINDMIN")
    s.screen("x", "X\n", "exit")
    check(s.finish() == 0, "FINDMIN: status %s" % s.status)
    check(s.console_restored(), "FINDMIN: the console is still in single-key mode")
    s.close()


def case_progress(work):
    """The live line on a terminal's standard error, and nothing of it on a
    file."""
    s = Session(work, ["-q", "longfit.zav"])
    s.wait_for(r"\rModel 1 Run 1: DIRECT iteration \d+, \d+ evals, ll -16\.8967, 00:00:\d\d"
               r" - press any key for the monitor", "the progress line")
    s.entry("k", "In direct iteration {N}", "", "entry over the progress line")
    check(re.search(r"\r {40,}\rIn direct iteration", s.text()), "the line was not erased: %r" % s.text()[-300:])
    s.screen("x", "X\n", "exit")
    check(s.finish() == 0, "status %s" % s.status)
    s.close()
    # Without the monitor the line has no hint.
    s = Session(work, ["-q", "-b", "longfit.zav"])
    s.wait_for(r"\rModel 1 Run 1: DIRECT iteration \d+, \d+ evals, ll -16\.8967, 00:00:\d\d\r", "the line with -b")
    check("press any key" not in s.text(), "-b: the line offers the monitor")
    os.kill(s.pid, signal.SIGTERM)
    s.finish()
    check(s.console_restored(), "SIGTERM: the console is not in line mode")
    s.close()
    # Standard error on a file: the fit runs well past two seconds, and
    # neither the file nor the terminal gets the line.
    s = Session(work, ["-q", "longfit.zav"], stderr_file="err.txt")
    time.sleep(4)
    got = s.entry("k", "In direct iteration {N}", "", "entry")
    check("Model" not in got, "the line reached the terminal: %r" % got)
    s.screen("x", "X\n", "exit")
    check(s.finish() == 0, "status %s" % s.status)
    s.close()
    check(read(work, "err.txt") == "", "standard error: %r" % read(work, "err.txt"))


def case_batch(work):
    """With -b, keys typed during the fit change nothing and stay unread."""
    ref = subprocess.run([ZAV, "-q", "batchfit.zav"], cwd=work, stdin=subprocess.DEVNULL,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=600)
    check(ref.returncode == 0 and "Stopped after maximum number of iterations" in ref.stdout.decode(),
          "reference run: %r" % ref.stdout)
    s = Session(work, [], shell="'%s' -q -b batchfit.zav > out.txt 2>/dev/null; echo \"status:$?\"; "
                                "read line; echo \"left:$line\"" % ZAV)
    time.sleep(0.3)
    os.write(s.fd, b"xrq\n")
    s.wait_for(r"status:0\n", "the end of the fit")
    s.wait_for(r"left:xrq\n", "the keys left for the next reader")
    s.finish()
    s.close()
    untimed = lambda text: re.sub(r"Time: \d\d:\d\d:\d\d", "Time: -", text)
    check(untimed(read(work, "out.txt")) == untimed(ref.stdout.decode()), "output differs from the run without keys")


def case_interrupt(work):
    """Ctrl-C in the middle of a fit and in the monitor's menu ends the run
    as the monitor's exit does, with "Interrupted" and status 130, and
    leaves the console in line mode."""
    for in_menu in (False, True):
        s = Session(work, ["-q", "longfit.zav"])
        time.sleep(0.5)
        if in_menu:
            s.entry("k", "In direct iteration {N}", "", "entry")
        else:
            s.entry("k", "In direct iteration {N}", "", "entry")
            s.screen("r", "R\n", "resume")
            time.sleep(0.3)
        os.write(s.fd, b"\x03")
        s.wait_for(r"Interrupted\n", "the interrupt's line")
        s.finish()
        check(s.status == 130, "Ctrl-C: status %s" % s.status)
        check(s.console_restored(), "Ctrl-C: the console is still in single-key mode")
        s.close()


def case_fatal(work):
    """A fatal error while solving ends with status 1 and the console in
    line mode; during the fit it was in single-key mode."""
    s = Session(work, ["-q", "errfit.zav"])
    time.sleep(0.3)
    check(not s.console_restored(), "the console is not in single-key mode while solving")
    s.wait_for(r"Error \(run time\): Subscript out of range for weights", "the error report")
    check(s.finish() == 1, "status %s" % s.status)
    check(s.console_restored(), "the console is still in single-key mode")
    s.close()


def case_suspend(work):
    """Ctrl-Z under a job-control shell: line mode while stopped, the
    monitor again after the job is continued."""
    s = Session(work, [], shell="set -m; '%s' -q longfit.zav; echo \"stopped:$?\"; "
                                "stty -a | grep -o -- '-\\?icanon'; fg; echo \"end:$?\"" % ZAV)
    time.sleep(0.5)
    os.write(s.fd, b"\x1a")
    s.wait_for(r"stopped:148\n", "the job stopped")
    s.wait_for(r"\A(?!-)icanon\n", "line mode while stopped")
    s.wait_for(r"longfit\.zav\n", "the job continued")
    time.sleep(0.3)
    s.entry("k", "In direct iteration {N}", "", "entry after continuing")
    s.screen("x", "X\n", "exit")
    s.wait_for(r"end:0\n", "the end")
    s.finish()
    s.close()


def case_calculator(work):
    """zav -i on a terminal: the value at Enter, before the next prompt; an
    open expression goes on over the next line; a typo is reported and the
    session goes on; through a pipe too, each value comes at its line end."""
    s = Session(work, ["-q", "-i"])
    try:
        s.wait_for(r"> \Z", "the first prompt")
        os.write(s.fd, b"1 + 2 * 3\r")
        s.wait_for(r"1 \+ 2 \* 3[^\n]*\n7\n.*> \Z", "7, then the prompt")
        os.write(s.fd, b"2 ^\r")
        s.wait_for(r"2 \^[^\n]*\n.*> \Z", "the prompt after an open line")
        os.write(s.fd, b"10\r")
        s.wait_for(r"10[^\n]*\n1024\.0000000\n.*> \Z", "1024, then the prompt")
        os.write(s.fd, b"1 +* 2\r")
        got = s.wait_for(r"\n.*> \Z", "the report of the typo, then the prompt")
        check("Bad syntax" in got, "no report of the typo: %r" % got)
        os.write(s.fd, b"SQRT(16)\r")
        s.wait_for(r"SQRT\(16\)[^\n]*\n4\.0000000000\n.*> \Z", "4, then the prompt")
        # Between lines the line editor hands the terminal back in line mode,
        # where a Ctrl-D with no reader waiting is lost when it takes the
        # terminal again; a person cannot type that fast, a test can.
        end = time.time() + LIMIT
        while termios.tcgetattr(s.fd)[3] & termios.ICANON and time.time() < end:
            time.sleep(0.01)
        os.write(s.fd, b"\x04")
        check(s.finish() == 0, "status %s after a last line that succeeded" % s.status)
    finally:
        s.close()
    p = subprocess.Popen([ZAV, "-q", "-i"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=work)
    try:
        p.stdin.write(b"1 + 2 * 3\n")
        p.stdin.flush()
        ready, _, _ = select.select([p.stdout], [], [], LIMIT)
        check(ready and p.stdout.readline() == b"7\n", "no 7 through the pipe before the next line")
    finally:
        p.stdin.close()
        p.wait()


CASES = {"walk": case_walk, "changes": case_changes, "methods": case_methods, "progress": case_progress,
         "batch": case_batch, "interrupt": case_interrupt, "fatal": case_fatal, "suspend": case_suspend,
         "calculator": case_calculator}


def main():
    global ZAV
    ZAV = os.path.abspath(sys.argv[1])
    return run_cases(CASES, sys.argv[2:] or list(CASES))


if __name__ == "__main__":
    sys.exit(main())
