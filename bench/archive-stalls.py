#!/usr/bin/env python3
"""Measures how long a large race archive holds up the window.

Usage: bench/archive-stalls.py [--races N] [--base BASE_BUILD] BUILD_DIR [LOG_DIR]
       (builds with TRAMELO_BUILD_BENCHMARKS=ON; LOG_DIR keeps the logs)

An archive of N finished races (1000 unless given), 8 racers of 100 laps
each, is written into the program's data folder. Then, on a private Xvfb,
bench's tramelo-timed runs with the timing probe on and the live board on a
loopback port, and the longest heartbeat gap of the event loop (less the
probe's 5 ms period, with the processor time the loop's thread used
meanwhile) is taken in three moments:

- start-up: from its window showing to 4 s after (the search for races an
  earlier run left open, which reads every journal, starts once the window
  is up);
- the first /races/ request of the board: from the request to 2 s after its
  answer (the listing reads every listed journal);
- a race's end: a 2-car race of 3 laps through the track simulator, from the
  last crossing to 3 s after it (the journal's last forced write, the report).

With --base, an earlier build's tramelo-timed runs the same three moments on
a fresh copy of the same archive, and the two stand side by side. It prints a
Markdown table on standard output.
"""

import argparse
import json
import os
import random
import re
import shutil
import sys
import time
import urllib.request

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

HEARTBEAT_MS = 5
RACERS = 8
LAPS = 100
BOARD_PORT = 18625
RACE_START_MS = 30000
RACE_LAPS = 3


def journal(started_at, draw):
    """A finished race's journal as the program writes it."""
    line = lambda **fields: json.dumps(fields, ensure_ascii=False, separators=(",", ":")) + "\n"  # noqa: E731
    names = [f"Jezdec {seat + 1}" for seat in range(RACERS)]
    text = line(format="tramelo-journal", version=1, startedAt=started_at)
    text += line(type="settings", hostMs=1000, trackLength="20", scale="32", lapsPerRide=str(LAPS), racers=names)
    text += line(type="startSignal", hostMs=1000)
    crossings = []
    for seat in range(RACERS):
        text += line(type="startCrossing", hostMs=2000, seat=seat, lap=0, hardwareMs=2000)
        at = 2000
        for lap in range(1, LAPS + 1):
            lap_ms = draw.randint(4000, 6000)
            at += lap_ms
            crossings.append((at, seat, lap, lap_ms))
    for at, seat, lap, lap_ms in sorted(crossings):
        text += line(type="lap", hostMs=at, seat=seat, lap=lap, hardwareMs=at, lapMs=lap_ms, speedKmh=400,
                     position=1, lapTimeText="", gapText="", tank=8)
        if lap == LAPS:
            text += line(type="finished", hostMs=at, seat=seat, lap=lap)
    return text + line(type="end", hostMs=crossings and max(c[0] for c in crossings) + 1, how="finished")


def make_archive(races_dir, count):
    draw = random.Random(25)
    os.makedirs(races_dir)
    start = time.mktime((2025, 1, 1, 19, 0, 0, 0, 0, -1))
    for race in range(count):
        moment = time.localtime(start + race * 3 * 3600)
        folder = os.path.join(races_dir, time.strftime("%Y-%m-%d_%H-%M-%S", moment))
        os.makedirs(folder)
        with open(os.path.join(folder, "journal.jsonl"), "w", encoding="utf-8") as out:
            out.write(journal(time.strftime("%Y-%m-%d %H:%M:%S", moment), draw))


def gaps(log_path):
    """The probe's per-second reports: (longest gap, processor ms, when)."""
    with open(log_path, encoding="utf-8", errors="replace") as log:
        text = log.read()
    return [(int(g), int(b), int(a)) for g, b, a in re.findall(r"loop longest-gap=(\d+) busy=(\d+) at=(\d+)", text)]


def longest(reports, from_ms, to_ms):
    """The stalls reported between the two moments (monotonic ms): the
    longest with its processor ms, and the most processor ms in one."""
    within = [(gap - HEARTBEAT_MS, busy) for gap, busy, at in reports if from_ms <= at <= to_ms + 1000]
    if not within:
        raise Failure(f"the probe reported nothing between {from_ms} and {to_ms}")
    return (*max(within), max(busy for _, busy in within))


def count_races(data):
    return len(os.listdir(os.path.join(data, "races")))


def monotonic_ms():
    return int(time.clock_gettime(time.CLOCK_MONOTONIC) * 1000)


def run(session, build, program, archive, name):
    data = session.path("home", ".local", "share", "Korvanta", "tramelo")
    shutil.rmtree(data, ignore_errors=True)
    os.makedirs(data)
    shutil.copytree(archive, os.path.join(data, "races"))
    link = session.path("track")
    scenario = session.path("race.txt")
    with open(scenario, "w") as out:
        for car in range(2):
            out.writelines(f"{RACE_START_MS + car * 300 + lap * 4000} {car + 1} 8 0\n" for lap in range(RACE_LAPS + 1))
    xsession.write_race_settings(session, xsession.race_settings(link, ["Adam", "Bára"], RACE_LAPS))
    env = session.env(QT_LOGGING_RULES="tramelo.timing=true")
    log = session.path("tramelo.log")

    process = session.spawn("tramelo", [program, "--web", f"127.0.0.1:{BOARD_PORT}"], env=env)
    window = xsession.wait_for("the main window", lambda: (session.windows(xsession.MAIN_WINDOW) or [None])[0], 60)
    started = monotonic_ms()
    time.sleep(4)
    startup = longest(gaps(log), started, monotonic_ms())

    asked = monotonic_ms()
    with urllib.request.urlopen(f"http://127.0.0.1:{BOARD_PORT}/races/", timeout=60) as reply:
        if reply.read().count(b"<tr") < min(count_races(data), 500):
            raise Failure(f"{name}: the listing lacks races")
    answered = monotonic_ms()
    time.sleep(2)
    listing = longest(gaps(log), asked, monotonic_ms())

    _, _, clock_zero = xsession.start_simulator(session, f"{build}/tools/track-simulator/track-simulator",
                                                ["--scenario", scenario])
    xsession.start_race(session, window)
    last_crossing = int(clock_zero * 1000) + RACE_START_MS + 300 + RACE_LAPS * 4000
    time.sleep(max(0.0, (last_crossing + 3000) / 1000 - time.monotonic()))
    race_end = longest(gaps(log), last_crossing, monotonic_ms())
    xsession.save_results(session, process, f"{name}.csv", 60)
    try:
        xsession.quit_program(session, process, window)
    except Failure:
        # At the end the program waits for the archive's worker, which after
        # the race builds the archive's index: with thousands of races, minutes.
        process.wait(600)
    os.rename(log, session.path(f"tramelo-{name}.log"))
    return {"startup": startup, "listing": listing, "listing_ms": answered - asked, "race_end": race_end}


def measure(session, build, base, count):
    archive = session.path("archive")
    made = time.monotonic()
    make_archive(archive, count)
    print(f"Archive: {count} finished races of {RACERS} racers x {LAPS} laps, written in "
          f"{time.monotonic() - made:.0f} s; load average {os.getloadavg()[0]:.2f} at the start\n")
    runs = [("this build", run(session, build, f"{build}/bench/tramelo-timed", archive, "this"))]
    if base:
        runs.append(("base build", run(session, build, f"{base}/bench/tramelo-timed", archive, "base")))
    print("Longest event-loop stall (heartbeat gap less its period) with the processor time the window's thread "
          "used meanwhile, and the most processor time of one stall:\n")
    print("| build | start-up | first /races/ (answered after) | race end |")
    print("|---|---|---|---|")
    for label, result in runs:
        cell = lambda stall: f"{stall[0]} ms ({stall[1]} ms processor; at most {stall[2]} ms in one)"  # noqa: E731
        print(f"| {label} | {cell(result['startup'])} | {cell(result['listing'])} ({result['listing_ms']} ms) | "
              f"{cell(result['race_end'])} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--races", type=int, default=1000, help="races in the generated archive")
    parser.add_argument("--base", help="an earlier build whose tramelo-timed runs the same")
    parser.add_argument("build")
    parser.add_argument("log_dir", nargs="?")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    base = os.path.abspath(args.base) if args.base else None
    return xsession.run_checked(lambda session: measure(session, build, base, args.races), args.log_dir)


if __name__ == "__main__":
    sys.exit(main())
