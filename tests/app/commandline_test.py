#!/usr/bin/env python3
"""The command line without a display: --help and --version print and end
with status 0, a bad option or argument gets a clear Czech message on
standard error and status 2. None of them opens a window: with no display and
no platform chosen, a window would end the program with Qt's fatal error
(status 134) instead.

Usage: commandline_test.py PROGRAM
"""

import os
import subprocess
import sys


def run(program, *args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.run([program, *args], env=env, capture_output=True, timeout=30)


def check(program):
    failures = []

    def expect(args, status, stdout_has=(), stderr_has=(), quiet_stream="stderr"):
        result = run(program, *args)
        out, err = result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")
        problems = []
        if result.returncode != status:
            problems.append(f"status {result.returncode}, expected {status}")
        problems += [f"no {text!r} on standard output" for text in stdout_has if text not in out]
        problems += [f"no {text!r} on standard error" for text in stderr_has if text not in err]
        if (err if quiet_stream == "stderr" else out).strip():
            problems.append(f"unexpected {quiet_stream}: {err if quiet_stream == 'stderr' else out!r}")
        if problems:
            failures.append(f"tramelo {' '.join(args)}: " + "; ".join(problems) + f"\n  out: {out!r}\n  err: {err!r}")

    expect(["--help"], 0, stdout_has=("--help", "--version", "Zobrazí tuto nápovědu.", "Tramelo"))
    expect(["-h"], 0, stdout_has=("--version",))
    expect(["--version"], 0, stdout_has=("tramelo 0.1.0",))
    expect(["--no-such-option"], 2, stderr_has=("no-such-option", "Nápověda: tramelo --help"), quiet_stream="stdout")
    expect(["-x"], 2, stderr_has=("'x'", "Nápověda: tramelo --help"), quiet_stream="stdout")
    expect(["a-stray-argument"], 2, stderr_has=("Neznámý argument: a-stray-argument",), quiet_stream="stdout")
    # --web takes [ADDRESS:]PORT; a bad one is refused before any window.
    expect(["--web"], 2, stderr_has=("web", "Nápověda: tramelo --help"), quiet_stream="stdout")
    expect(["--web", "club.example:80"], 2, stderr_has=("Neplatná adresa pro --web: club.example:80",),
           quiet_stream="stdout")
    # --report takes one output file, nothing more; a missing race folder is a clear refusal.
    expect(["--report"], 2, stderr_has=("report",), quiet_stream="stdout")
    expect(["--report", "/nonexistent/race", "out.html", "more"], 2, stderr_has=("Neznámý argument: more",),
           quiet_stream="stdout")
    expect(["--report", "/nonexistent/race"], 1, stderr_has=("Složka závodu /nonexistent/race neexistuje.",),
           quiet_stream="stdout")
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(check(sys.argv[1]))
