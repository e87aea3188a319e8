"""The runner the terminal and resource scripts share: each case runs in a
scratch copy of this folder (the scripts themselves left out)."""
import os
import shutil
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


class Failure(Exception):
    pass


class Skipped(Exception):
    pass


def run_cases(cases, names):
    """Runs the named cases (each a function of its work folder). Status 1
    when one failed, 77 when every one was skipped, else 0."""
    failed = skipped = 0
    for name in names:
        work = tempfile.mkdtemp()
        try:
            for f in os.listdir(HERE):
                path = os.path.join(HERE, f)
                if os.path.isfile(path) and not f.endswith(".py"):
                    shutil.copy(path, work)
            cases[name](work)
            print("ok      %s" % name)
        except Failure as e:
            failed += 1
            print("FAILED  %s: %s" % (name, e))
        except Skipped:
            skipped += 1
            print("skipped %s: needs a process limit" % name)
        finally:
            shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 77 if names and skipped == len(names) else 0
