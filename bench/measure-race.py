#!/usr/bin/env python3
"""Measures the running program during a simulated eight-car race.

Usage: bench/measure-race.py [--lap-ms MIN-MAX] [--apart MS] [--base BASE_BUILD] [--latency-only]
                             BUILD_DIR [LOG_DIR]
       (builds with TRAMELO_BUILD_BENCHMARKS=ON; LOG_DIR keeps the logs)

On a private Xvfb of 1280 x 1024, against the track simulator playing a
seeded scenario of eight cars over 15 laps (lap times drawn between MIN and
MAX ms, 3000-5000 unless given; the cars leave the grid MS apart, 150 unless
given), it measures:

- start-up: from starting the program (its race settings loaded through the
  automatic loading) until xdotool finds its window visible, five times;
- CPU share of one core, from /proc/PID/stat: over 12 s with the race table
  shown and polling but no car crossing yet, and over the race itself;
- resident memory (VmRSS at the end of the race, VmHWM the peak);
- with bench's tramelo-timed and the logging category tramelo.timing on, a
  second run of the same race: the longest stalls of the event loop (the
  probe's 5 ms heartbeat, less its period, with the processor time used
  meanwhile and the slow events within) and, for every counted lap, the
  delay from the moment the simulator's clock reached the crossing to the end
  of the paint of that seat's row. The simulator's clock 0 is taken just
  before it starts, so those delays come out at most a few ms too long.
- a third run of the same race with tramelo-timed and its race record off
  (TRAMELO_TIMED_NO_RECORD=1: no journal, no captured line), so that the
  event loop's stalls with the record and without it stand side by side.

With --base, the same race runs once more with BASE_BUILD's tramelo-timed
(an earlier commit built in its own directory), and the laps counted, the
crossing-to-row delays and the stalls of the two builds stand side by side.
--latency-only leaves out the start-up, the plain program and the run without
the record.

It prints a Markdown report on standard output.
"""

import argparse
import os
import random
import re
import statistics
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

CARS = 8
LAPS = 15
START_MS = 30000
IDLE_FROM_MS, IDLE_TO_MS = 16000, 28000
HEARTBEAT_MS = 5
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def scenario(lap_ms, apart_ms):
    draw = random.Random(7)
    crossings = []
    for car in range(CARS):
        at = START_MS + car * apart_ms
        crossings.append((at, car))
        for _ in range(LAPS):
            at += draw.randint(*lap_ms)
            crossings.append((at, car))
    return sorted(crossings)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def memory_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        values = dict(line.split(":", 1) for line in status)
    return {key: int(values[key].split()[0]) for key in ("VmRSS", "VmHWM")}


def sleep_until(moment):
    time.sleep(max(0.0, moment - time.monotonic()))


def race(session, build, program, env, name, lap_ms, apart_ms):
    """Runs the scenario race to the results file; returns what it measured
    and the simulator's clock 0."""
    crossings = scenario(lap_ms, apart_ms)
    scenario_file = session.path("race.txt")
    with open(scenario_file, "w") as out:
        out.writelines(f"{at} {car + 1} 8 0\n" for at, car in crossings)
    link = session.path("track")
    racers = [f"Závodník {car + 1}" for car in range(CARS)]
    xsession.write_race_settings(session, xsession.race_settings(link, racers, LAPS))
    process, window, _ = xsession.start_program(session, program, env=env)
    _, _, clock_zero = xsession.start_simulator(session, f"{build}/tools/track-simulator/track-simulator",
                                                ["--scenario", scenario_file])
    xsession.start_race(session, window)
    pid = process.pid

    sleep_until(clock_zero + IDLE_FROM_MS / 1000)
    if not session.window_name(window).endswith(f"KOLA: {LAPS}"):
        raise Failure(f"{name}: the race table is not up {IDLE_FROM_MS} ms after the start command")
    idle_start = cpu_seconds(pid)
    sleep_until(clock_zero + IDLE_TO_MS / 1000)
    idle = (cpu_seconds(pid) - idle_start) / ((IDLE_TO_MS - IDLE_FROM_MS) / 1000)

    sleep_until(clock_zero + START_MS / 1000)
    race_start = cpu_seconds(pid)
    race_end_ms = crossings[-1][0] + 1000
    sleep_until(clock_zero + race_end_ms / 1000)
    busy = (cpu_seconds(pid) - race_start) / ((race_end_ms - START_MS) / 1000)
    memory = memory_kib(pid)

    try:
        xsession.save_results(session, process, f"{name}.csv", 60)
    except Failure:
        # A build that lost laps never sees every car finish: no end of race.
        if name != "base":
            raise
        print(f"(the {name} run's race never ended: no results file)\n")
    xsession.quit_program(session, process, window)
    return {"idle": idle, "race": busy, **memory}, clock_zero, crossings


def startup_times(session, program, runs=5):
    times = []
    for _ in range(runs):
        process, _, seconds = xsession.start_program(session, program)
        times.append(seconds * 1000)
        session.stop(process)
        session.processes.remove(process)
    return times


def timing_lines(log_path):
    with open(log_path, encoding="utf-8", errors="replace") as log:
        text = log.read()
    crossings = [(int(s), int(h), int(a)) for s, h, a in re.findall(r"crossing seat=(\d+) hw=(\d+) at=(\d+)", text)]
    paints = [(int(r), int(a)) for r, a in re.findall(r"painted row=(\d+) at=(\d+)", text)]
    gaps = [(int(g), int(b), int(a)) for g, b, a in re.findall(r"loop longest-gap=(\d+) busy=(\d+) at=(\d+)", text)]
    slow = [(int(t), c, int(d), int(a)) for t, c, d, a in
            re.findall(r"slow-event type=(\d+) receiver=(\w+) took=(\d+) at=(\d+)", text)]
    return crossings, paints, gaps, slow


def latencies(clock_zero, crossings, handled, paints):
    """Per counted lap: (crossing to handled, handled to painted, alone) in ms;
    alone when no other car's crossing was handled between it and its own
    handling, so that it waited behind none. Also the laps never handled: a
    program that falls behind counts two laps as one."""
    zero_ms = clock_zero * 1000
    starts = {min(at for at, c in crossings if c == car) for car in range(CARS)}
    result, lost = [], []
    for at, car in crossings:
        if at in starts:
            continue  # a start crossing counts no lap and repaints nothing
        handled_at = next((a for s, h, a in handled if s == car and h == at), None)
        if handled_at is None:
            lost.append((car, at))
            continue
        painted_at = next((a for r, a in paints if r == car and a >= handled_at), None)
        if painted_at is None:
            raise Failure(f"seat {car}'s row was never painted after its crossing at {at} ms")
        alone = not any(zero_ms + at < when < handled_at for seat, _, when in handled if seat != car)
        result.append((handled_at - (zero_ms + at), painted_at - handled_at, alone))
    return result, lost


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


# QEvent::Type values of the events that can keep the loop busy.
EVENT_NAMES = {1: "timer", 12: "paint", 43: "queued call", 50: "socket notice", 77: "window update (paint and flush)"}


def machine():
    with open("/proc/cpuinfo") as cpuinfo:
        model = re.search(r"model name\s*:\s*(.*)", cpuinfo.read()).group(1)
    with open("/proc/meminfo") as meminfo:
        memory = int(re.search(r"MemTotal:\s*(\d+)", meminfo.read()).group(1))
    load = os.getloadavg()[0]
    return (f"{os.cpu_count()} logical CPUs, {model}, {memory / 1024 / 1024:.1f} GiB, "
            f"kernel {os.uname().release}, load average {load:.2f} at the start")


def timed_run(session, build, program, lap_ms, apart_ms, name, **extra_env):
    """A race with a tramelo-timed: what it measured, the laps' delays and
    the lost laps, its stalls, and what the probe logged."""
    env = session.env(QT_LOGGING_RULES="tramelo.timing=true", **extra_env)
    run, clock_zero, crossings = race(session, build, program, env, name, lap_ms, apart_ms)
    handled, paints, gaps, slow = timing_lines(session.path("tramelo.log"))
    laps, lost = latencies(clock_zero, crossings, handled, paints)
    return {"run": run, "laps": laps, "lost": lost, "stalls": race_stalls(gaps, clock_zero, crossings),
            "clock_zero": clock_zero, "crossings": crossings, "handled": handled, "paints": paints,
            "gaps": gaps, "slow": slow}


def print_latencies(timed):
    laps, lost = timed["laps"], timed["lost"]
    to_screen = [a + b for a, b, _ in laps]
    alone = [a + b for a, b, by_itself in laps if by_itself]
    print(f"\nCrossing to row painted, {len(laps)} laps counted of {len(laps) + len(lost)} driven: median "
          f"{statistics.median(to_screen):.0f} ms, 90th percentile {percentile(to_screen, 0.9):.0f} ms, "
          f"99th percentile {percentile(to_screen, 0.99):.0f} ms, worst {max(to_screen):.0f} ms")
    if alone:
        print(f"- the {len(alone)} laps that waited behind no other crossing: median "
              f"{statistics.median(alone):.0f} ms, worst {max(alone):.0f} ms")
    print(f"- crossing to handled: median {statistics.median(a for a, _, _ in laps):.0f} ms, "
          f"worst {max(a for a, _, _ in laps):.0f} ms")
    print(f"- handled to painted: median {statistics.median(b for _, b, _ in laps):.0f} ms, "
          f"worst {max(b for _, b, _ in laps):.0f} ms")
    if lost:
        per_seat = {car: sum(1 for c, _ in lost if c == car) for car, _ in lost}
        print("- laps never counted (merged into the next or lost), by seat: "
              + ", ".join(f"seat {car + 1}: {count}" for car, count in sorted(per_seat.items())))


def print_base_comparison(current, base):
    print("\nThis build and the base build side by side (tramelo-timed, the same race):")
    print("| build | laps counted | median | 90th percentile | 99th percentile | worst | longest stall | "
          "most processor time in one stall |")
    print("|---|---|---|---|---|---|---|---|")
    for label, timed in (("this build", current), ("base build", base)):
        to_screen = [a + b for a, b, _ in timed["laps"]]
        stalls = timed["stalls"]
        print(f"| {label} | {len(timed['laps'])} of {len(timed['laps']) + len(timed['lost'])} | "
              f"{statistics.median(to_screen):.0f} ms | {percentile(to_screen, 0.9):.0f} ms | "
              f"{percentile(to_screen, 0.99):.0f} ms | {max(to_screen):.0f} ms | {stalls[0][0]} ms "
              f"({stalls[0][1]} ms processor) | {max(b for _, b, _ in stalls)} ms |")


def measure(session, build, lap_ms, apart_ms, base, latency_only):
    plain = f"{build}/app/tramelo"
    timed = f"{build}/bench/tramelo-timed"
    print(f"Machine: {machine()}\n")
    print(f"Race: {CARS} cars {apart_ms} ms apart at the start, {LAPS} laps of {lap_ms[0]} to {lap_ms[1]} ms\n")

    if not latency_only:
        started = startup_times(session, plain)
        print(f"Start-up to the window shown, {len(started)} runs: median {statistics.median(started):.0f} ms, "
              f"min {min(started):.0f} ms, max {max(started):.0f} ms\n")
        plain_run, _, _ = race(session, build, plain, None, "plain", lap_ms, apart_ms)
    current = timed_run(session, build, timed, lap_ms, apart_ms, "timed")
    races_dir = session.path("home", ".local", "share", "Korvanta", "tramelo", "races")
    recorded = len(os.listdir(races_dir))
    if not latency_only:
        unrecorded = timed_run(session, build, timed, lap_ms, apart_ms, "unrecorded", TRAMELO_TIMED_NO_RECORD="1")
        if len(os.listdir(races_dir)) != recorded:
            raise Failure("the run without the race record made a race folder")
    if base:
        base_run = timed_run(session, build, f"{base}/bench/tramelo-timed", lap_ms, apart_ms, "base")

    print("| run | CPU, no crossings | CPU, race | VmRSS end | VmHWM |")
    print("|---|---|---|---|---|")
    runs = [("tramelo-timed, probe on", current["run"])]
    if not latency_only:
        runs.insert(0, ("tramelo", plain_run))
    for label, run in runs:
        print(f"| {label} | {run['idle'] * 100:.2f} % | {run['race'] * 100:.2f} % | "
              f"{run['VmRSS'] / 1024:.1f} MiB | {run['VmHWM'] / 1024:.1f} MiB |")

    print_latencies(current)
    clock_zero, crossings = current["clock_zero"], current["crossings"]
    handled, paints, gaps, slow = current["handled"], current["paints"], current["gaps"], current["slow"]
    race_from = clock_zero * 1000 + START_MS
    stalls = current["stalls"]
    before = max(gap - HEARTBEAT_MS for gap, _, at in gaps if at < race_from)
    print(f"\nEvent-loop stall during the race (longest heartbeat gap per second less the {HEARTBEAT_MS} ms "
          f"period): median {statistics.median(s for s, _, _ in stalls):.0f} ms; before the race (start-up, "
          f"countdown, the window growing to full screen) at worst {before} ms. The longest in the race:")
    for stall, busy, at in stalls[:5]:
        near = [f"crossing of seat {seat}" for seat, _, when in handled if at - stall - 5 <= when <= at]
        near += [f"paint of row {row}" for row, when in paints if at - stall - 5 <= when <= at]
        near += [f"{EVENT_NAMES.get(kind, f'event {kind}')} to {receiver} taking {took / 1000:.0f} ms"
                 for kind, receiver, took, when in slow
                 if at - stall - 5 <= when <= at + 5 and took <= (stall + 10) * 1000]
        print(f"- {stall} ms, the event loop's thread using {busy} ms of processor time meanwhile"
              + (f"; within it: {', '.join(near)}" if near else ""))
    if not latency_only:
        print_record_comparison((stalls, clock_zero), (unrecorded["stalls"], unrecorded["clock_zero"]),
                                crossings[-1][0])
    if base:
        print("\nThe base build:")
        print_latencies(base_run)
        print_base_comparison(current, base_run)

def race_stalls(gaps, clock_zero, crossings):
    """The heartbeat's gaps during the race, less its period, longest first:
    (stall, processor ms meanwhile, when)."""
    race_from = clock_zero * 1000 + START_MS
    race_to = clock_zero * 1000 + crossings[-1][0] + 1000
    return sorted(((gap - HEARTBEAT_MS, busy, at) for gap, busy, at in gaps if race_from <= at <= race_to),
                  reverse=True)


def print_record_comparison(recorded, unrecorded, race_ms):
    """recorded, unrecorded: (race_stalls, the simulator's clock 0) of each run."""
    print("\nThe race record's cost to the event loop: the same race with the record on and off, tramelo-timed "
          f"both times (stall = longest heartbeat gap of a second, less the period; the last crossing at "
          f"{race_ms / 1000:.1f} s):")
    print("| race record | longest stall | its processor time | when | 2nd longest | median stall | "
          "most processor time in one stall |")
    print("|---|---|---|---|---|---|---|")
    for label, (stalls, clock_zero) in (("on (journal and captured line)", recorded), ("off", unrecorded)):
        longest, busy, at = stalls[0]
        print(f"| {label} | {longest} ms | {busy} ms | {at / 1000 - clock_zero:.1f} s | {stalls[1][0]} ms | "
              f"{statistics.median(s for s, _, _ in stalls):.0f} ms | {max(b for _, b, _ in stalls)} ms |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lap-ms", default="3000-5000", help="range of the lap times, MIN-MAX in ms")
    parser.add_argument("--apart", type=int, default=150, help="ms between the cars at the start")
    parser.add_argument("--base", help="an earlier build whose tramelo-timed runs the same race")
    parser.add_argument("--latency-only", action="store_true",
                        help="only the timed runs: no start-up, plain program or run without the record")
    parser.add_argument("build")
    parser.add_argument("log_dir", nargs="?")
    args = parser.parse_args()
    lap_ms = tuple(int(ms) for ms in args.lap_ms.split("-"))
    build = os.path.abspath(args.build)
    base = os.path.abspath(args.base) if args.base else None
    return xsession.run_checked(
        lambda session: measure(session, build, lap_ms, args.apart, base, args.latency_only), args.log_dir)

if __name__ == "__main__":
    sys.exit(main())
