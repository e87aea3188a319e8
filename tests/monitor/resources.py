#!/usr/bin/env python3
"""Runs zav the way an unlucky user does: killed or interrupted during a fit,
writing to a full disk, under a process limit and a small stack.

    resources.py ZAV CASE...   (no CASE: every case)

Each case runs in a scratch copy of this folder. The cases that set a
process limit are skipped (status 77) with ZAV_GOLDEN_NO_ULIMIT set: the
sanitizer build's leak check needs a thread of its own.
"""
import os
import pwd
import random
import re
import resource
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from cases import Failure, Skipped, run_cases  # noqa: E402

ZAV = None
# The restart file of longfit.zav's only run: one number per free parameter.
RESTART = "longfit_1.1"
NUMBER = re.compile(r"-?\d\.\d+E-?\d+\n")




def needs_limits():
    if os.environ.get("ZAV_GOLDEN_NO_ULIMIT"):
        raise Skipped()


def check(ok, what):
    if not ok:
        raise Failure(what)


def start_fit(work, args):
    return subprocess.Popen([ZAV, "-q", "-b"] + args + ["longfit.zav"], cwd=work, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def wait_for_file(path, proc):
    end = time.time() + 60
    while not os.path.exists(path):
        check(proc.poll() is None, "the fit ended before writing %s" % path)
        check(time.time() < end, "no %s after a minute" % path)
        time.sleep(0.05)


def restart_complete(path):
    with open(path) as f:
        lines = f.readlines()
    return len(lines) == 2 and all(NUMBER.fullmatch(line) for line in lines)


def case_restart(work):
    """A fit killed at any moment leaves a complete restart file."""
    rng = random.Random(23)
    path = os.path.join(work, RESTART)
    for _ in range(10):
        p = start_fit(work, ["-Sw"])
        wait_for_file(path, p)
        time.sleep(rng.uniform(0, 0.2))
        p.kill()
        p.communicate()
        check(restart_complete(path), "after SIGKILL the restart file reads %r" % open(path).read())


def case_signals(work):
    """SIGINT and SIGTERM end a fit as the monitor's exit does: the restart
    file complete, "Interrupted" on standard error, status 130 or 143."""
    path = os.path.join(work, RESTART)
    for sig, status in ((signal.SIGINT, 130), (signal.SIGTERM, 143)):
        if os.path.exists(path):
            os.remove(path)
        p = start_fit(work, ["-Sw"])
        wait_for_file(path, p)
        p.send_signal(sig)
        out, err = p.communicate(timeout=60)
        check(p.returncode == status, "%s: status %s, expected %s" % (sig.name, p.returncode, status))
        check(err == "Interrupted\n", "%s: standard error %r" % (sig.name, err))
        check(restart_complete(path), "%s: the restart file reads %r" % (sig.name, open(path).read()))


def case_full(work):
    """Output that cannot reach standard output is reported on standard error."""
    with open("/dev/full", "w") as full:
        r = subprocess.run([ZAV, "-q", "-ex", "1 + 1"], cwd=work, stdout=full, stderr=subprocess.PIPE, text=True)
    check(r.returncode == 1, "status %s" % r.returncode)
    check(r.stderr == "Disk write error\n", "standard error %r" % r.stderr)


def limited(stack=None):
    """No thread can start (a process limit of one; root does not feel it,
    so the run drops to nobody) and, when asked, a small main stack."""
    nobody = pwd.getpwnam("nobody")

    def pre():
        if stack:
            resource.setrlimit(resource.RLIMIT_STACK, (stack, stack))
        if os.geteuid() == 0:
            os.setgid(nobody.pw_gid)
            os.setuid(nobody.pw_uid)
        resource.setrlimit(resource.RLIMIT_NPROC, (1, 1))
    return pre


def open_to_all(work):
    os.chmod(work, 0o777)
    for f in os.listdir(work):
        os.chmod(os.path.join(work, f), 0o666)


def case_threads(work):
    """Worker threads that cannot start: the fit runs on the calling thread,
    with the same results and one warning line. (The data are 0..6 over and
    over, 20,000 values: mean 59997 / 20000 = 2.99985.)"""
    needs_limits()
    open_to_all(work)
    with open(os.path.join(work, "big.dat"), "w") as f:
        f.write("".join("%d\n" % (i % 7) for i in range(20000)))
    with open(os.path.join(work, "big.zav"), "w") as f:
        f.write("ZAV\n  PRINT_DATA_STATS = FALSE\n  DATAFILE(\"big.dat\")\n  DATA x FIELD 1 END\n"
                "  MODEL DATA PDF NORMAL(x) PARAM mu START = 1 END, PARAM s LOW = 0.1 HIGH = 10 START = 1 END"
                " END END RUN FULL END\nEND\n")
    env = dict(os.environ, ZAV_THREADS="4")
    free = subprocess.run([ZAV, "-q", "big.zav"], cwd=work, env=env, capture_output=True, text=True)
    alone = subprocess.run([ZAV, "-q", "big.zav"], cwd=work, env=env, capture_output=True, text=True,
                           preexec_fn=limited())
    check(free.returncode == 0 and alone.returncode == 0, "status %s and %s: %r" % (free.returncode, alone.returncode,
                                                                                   alone.stderr))
    warning = "Warning: no worker thread could be started; the likelihood is summed on one thread\n"
    check(warning not in free.stdout, "a warning without a limit")
    def same(text):  # the elapsed time is the one figure allowed to differ
        return re.sub(r"Time: \S+", "Time:", text)
    check(alone.stdout.count(warning) == 1 and same(alone.stdout.replace(warning, "")) == same(free.stdout),
          "under the limit:\n%s\nwithout:\n%s" % (alone.stdout, free.stdout))


def case_stack(work):
    """On a 1 MB main stack (no thread for the interpreter) deep nesting and
    deep recursion end with their messages, not a crash."""
    needs_limits()
    open_to_all(work)
    programs = {
        "nest.zav": "ZAV\n" + "IF TRUE THEN\n" * 5000 + "x = 1\n" + "END\n" * 5000 + "END\n",
        "parens.zav": "ZAV\n  x = " + "(" * 5000 + "1" + ")" * 5000 + "\nEND\n",
        "sum.zav": "ZAV\n  x = 0" + " + 1" * 40000 + "\nEND\n",
        "recurse.zav": "ZAV\n  FUNCTION f(n: INTEGER): INTEGER\n    RETURN = f(n + 1)\n  END\n  WRITELN(f(1))\nEND\n",
    }
    for name, text in programs.items():
        with open(os.path.join(work, name), "w") as f:
            f.write(text)
        r = subprocess.run([ZAV, "-q", name], cwd=work, capture_output=True, text=True,
                           preexec_fn=limited(1 << 20))
        check(r.returncode == 1 and "nested too deeply" in r.stdout,
              "%s: status %s, %r" % (name, r.returncode, r.stdout[-300:]))


CASES = {"restart": case_restart, "signals": case_signals, "full": case_full, "threads": case_threads,
         "stack": case_stack}


def main():
    global ZAV
    ZAV = os.path.abspath(sys.argv[1])
    return run_cases(CASES, sys.argv[2:] or list(CASES))


if __name__ == "__main__":
    sys.exit(main())
