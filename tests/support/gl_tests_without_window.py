#!/usr/bin/env python3
"""Runs a drawing-test program where no window can be made and checks that every test stops cleanly.

Each test must end (failed or passed) without a crash or a sanitizer report, and the failures must
carry SDL's reason for the missing window: a fixture that carried on without its window would
crash on it, taking the rest of the program's tests with it.

Usage: gl_tests_without_window.py PATH/TO/TEST-PROGRAM
"""

import os
import re
import subprocess
import sys


def main():
    program = sys.argv[1]
    env = dict(os.environ)
    # SDL's own driver without OpenGL: every window is refused, whatever display the machine has.
    env["SDL_VIDEODRIVER"] = "dummy"
    # As the drawing tests always run: the GL driver's own exit leaks are not ours to report.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0:abort_on_error=1"
    env["UBSAN_OPTIONS"] = env.get("UBSAN_OPTIONS", "") + ":print_stacktrace=1:halt_on_error=1"
    run = subprocess.run([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace", timeout=600)
    output = run.stdout
    problems = []
    if run.returncode not in (0, 1):
        problems.append(f"the program ended with status {run.returncode}, not as a test run")
    for report in ("runtime error:", "AddressSanitizer", "LeakSanitizer", "Segmentation fault"):
        if report in output:
            problems.append(f"'{report}' in the output")
    started = re.findall(r"^\[ RUN      \] (\S+)$", output, re.MULTILINE)
    # A parameterised test's end line names its parameter after a comma.
    ended = re.findall(r"^\[(?:       OK |  FAILED  )\] ([^\s,]+)(?:,.*)? \(\d+ ms\)$", output, re.MULTILINE)
    unfinished = sorted(set(started) - set(ended))
    if not started:
        problems.append("no test ran")
    if unfinished:
        problems.append("tests that never ended: " + ", ".join(unfinished))
    if not re.search(r"the test's window could not be made: \S", output):
        problems.append("no test gave SDL's reason for the missing window")
    if problems:
        sys.stdout.write(output[-20000:])
        print("\n".join("FAILED: " + problem for problem in problems))
        return 1
    print(f"{len(ended)} tests ended, those that need a window with SDL's reason")
    return 0


if __name__ == "__main__":
    sys.exit(main())
