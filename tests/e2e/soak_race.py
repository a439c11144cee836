#!/usr/bin/env python3
"""Soak: a hundred-lap race of eight cars with the program under valgrind.

The program runs under memcheck with a full leak check on its own X server;
the track simulator plays a scenario of eight cars over 100 laps (about
seven minutes), with fuel running low and a few laps off the track. The race
is driven from the keyboard to the results file and the program ended through
"Konec". The test passes when valgrind reports no error and no definite or
indirect leak outside the suppressions of valgrind.supp (each of which names
a library that is not ours and says why), and when the standings in the
results file are those of the scenario.
"""

import argparse
import os
import re
import shutil
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

CARS = 8
LAPS = 100
LAP_MS = 4000
# Valgrind slows the start-up and the countdown several times over.
START_MS = 45000
# Cars cross half a second apart, so one poll (350 ms) rarely sees two, and
# every crossing is handled long before the same car's next one.
STAGGER_MS = 500
VALGRIND_ERROR_STATUS = 99


def crossing_ms(car, lap):
    """The simulator clock at car's crossing number lap (0 = start)."""
    jitter = ((car * 37 + lap * 53) % 7 - 3) * 30 if lap else 0
    return START_MS + car * STAGGER_MS + lap * LAP_MS + jitter


def scenario():
    lines = []
    for car in range(CARS):
        for lap in range(LAPS + 1):
            tank = 1 if car == 2 and lap > 90 else 8 - lap // 20
            # Car 6 leaves the track twice in a row, then races on clean.
            event = 3 if car == 5 and lap in (10, 11) else 0
            lines.append(f"{crossing_ms(car, lap)} {car + 1} {tank} {event}")
    return "\n".join(lines) + "\n"


def racer_name(car):
    return f"Závodník {car + 1}"


def expected_standings():
    """Each car's line: name, position, best lap and top speed."""
    finish_order = sorted(range(CARS), key=lambda car: crossing_ms(car, LAPS))
    lines = {}
    for car in range(CARS):
        best = min(crossing_ms(car, lap) - crossing_ms(car, lap - 1) for lap in range(1, LAPS + 1))
        position = finish_order.index(car) + 1
        lines[car] = (racer_name(car), str(position), f"0:{best // 1000:02d}:{best % 1000:03d} [m:s:ms]",
                      f"{2304000 // best} [km/h]")
    return lines


def check_standings(path):
    with open(path, "rb") as results:
        lines = results.read().decode("cp1250").split("\r\n")
    if len(lines) != CARS + 1:
        raise Failure(f"the results file has {len(lines)} lines, expected {CARS + 1}")
    for car, (name, position, best_lap, speed) in expected_standings().items():
        fields = lines[car + 1][1:-1].split('","')
        result = r"\d+:\d\d:\d\d\d \((vítězný celkoví čas|ztráty)\)"
        if (fields[0], fields[1], fields[3], fields[4]) != (name, position, best_lap, speed) \
                or not re.fullmatch(result, fields[2]):
            raise Failure(f"results line of {name}: {lines[car + 1]!r}, expected position {position}, "
                          f"best lap {best_lap!r} and speed {speed!r}")


def valgrind_blocks(text):
    """The log's messages, each a list of lines without the "==pid==" mark."""
    blocks, block = [], []
    for line in text.splitlines():
        match = re.match(r"==\d+== ?(.*)", line)
        if not match:
            continue
        if match.group(1):
            block.append(match.group(1))
        elif block:
            blocks.append(block)
            block = []
    return blocks + ([block] if block else [])


def check_valgrind(log_path, status):
    """Fails on any error or definite or indirect leak valgrind reported;
    returns its leak summary."""
    with open(log_path, encoding="utf-8", errors="replace") as log:
        blocks = valgrind_blocks(log.read())
    summaries = [line for block in blocks for line in block if line.startswith("ERROR SUMMARY:")]
    if not summaries:
        raise Failure(f"no valgrind summary in {log_path}: the program did not end normally")
    if status == VALGRIND_ERROR_STATUS or not summaries[-1].startswith("ERROR SUMMARY: 0 errors"):
        errors = [block for block in blocks if re.match(
            r"(Invalid|Conditional jump|Use of uninitialised|Syscall param|Mismatched|Source and destination"
            r"|Argument|.* bytes in .* blocks are (definitely|indirectly) lost)", block[0])]
        shown = "\n\n".join("\n".join(block) for block in errors[:5])
        raise Failure(f"valgrind: {summaries[-1]} (log {log_path}; first ones below)\n{shown}")
    if status != 0:
        raise Failure(f"the program ended with status {status}")
    leaks = [block for block in blocks if block[0].startswith("LEAK SUMMARY:")]
    return "\n".join(leaks[-1]) if leaks else ""


def run(args, session):
    with open(session.path("race.txt"), "w") as out:
        out.write(scenario())
    link = session.path("track")
    racers = [racer_name(car) for car in range(CARS)]
    xsession.write_race_settings(session, xsession.race_settings(link, racers, LAPS))
    log = session.path("valgrind.log")
    valgrind = ["valgrind", "--tool=memcheck", "--leak-check=full", "--show-leak-kinds=definite,indirect",
                "--errors-for-leak-kinds=definite,indirect", f"--error-exitcode={VALGRIND_ERROR_STATUS}",
                "--num-callers=40", "--gen-suppressions=all", f"--suppressions={args.suppressions}",
                f"--log-file={log}"]
    # Valgrind cannot follow the machine code that PCRE2 compiles for Qt's
    # regular expressions (the file dialog's filters): interpret them instead.
    env = session.env(QT_ENABLE_REGEXP_JIT="0")
    program, window, startup = xsession.start_program(session, args.program, valgrind, env=env, timeout=120)
    print(f"window after {startup:.1f} s under valgrind", flush=True)
    xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
    xsession.start_race(session, window)
    xsession.wait_for_race_clock(session, program, window, START_MS / 1000 + 30)
    race_s = (crossing_ms(CARS - 1, LAPS) - START_MS) / 1000
    results = xsession.save_results(session, program, "vysledky.csv", race_s + 120)
    status = xsession.quit_program(session, program, window, timeout=300)
    leak_summary = check_valgrind(log, status)
    check_standings(results)
    print(f"valgrind: no errors, no definite or indirect leaks\n{leak_summary}")
    print(f"standings of all {CARS} cars after {LAPS} laps as in the scenario")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--suppressions", default=os.path.join(os.path.dirname(__file__), "valgrind.supp"))
    parser.add_argument("--artifacts", help="where to keep the valgrind log, files and logs of the run")
    args = parser.parse_args()
    if not shutil.which("valgrind"):
        print("FAIL: valgrind is not installed", file=sys.stderr)
        return 1
    return xsession.run_checked(lambda session: run(args, session), args.artifacts)


if __name__ == "__main__":
    sys.exit(main())
