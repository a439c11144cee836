#!/usr/bin/env python3
"""Measures the live board under load during a simulated eight-car race.

Usage: bench/board-load.py [--clients 50,100] [--laps N] BUILD_DIR [LOG_DIR]
       (a build with TRAMELO_BUILD_BENCHMARKS=ON; LOG_DIR keeps the logs)

The race of bench/measure-race.py (eight cars, lap times 3000-5000 ms, on a
private Xvfb against the track simulator) is run with bench's tramelo-timed
once without the board and once per client count with --web on loopback and
that many WebSocket clients of /api/live connected before the start. For
each run it reports the program's CPU share during the race, its memory, and
the event loop's longest gaps (the timing probe's heartbeat); with clients,
the time from the end of the paint of a racer's row after a counted lap (the
probe's "painted row" line) to the moment each client has the new lap count,
median, 99th percentile and worst over every client and lap. Every process
shares CLOCK_MONOTONIC, so the times compare directly. Loopback only; the
client count is bounded by the board's own connection limit (128), and the
clients come from loopback addresses 127.0.1.1, 127.0.1.2, … sixteen each,
the most the board takes from one address.

It prints a Markdown report on standard output.
"""

import argparse
import importlib.util
import os
import selectors
import statistics
import sys
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import boardsession  # noqa: E402
from boardsession import Failure, xsession  # noqa: E402

_found = importlib.util.spec_from_file_location("measure_race", os.path.join(HERE, "measure-race.py"))
measure_race = importlib.util.module_from_spec(_found)
_found.loader.exec_module(measure_race)

MAX_CLIENTS = 120
PER_ADDRESS = 16
LAP_MS = (3000, 5000)


class Clients:
    """N board clients pumped on a thread of their own; each message's arrival
    time (CLOCK_MONOTONIC ms) with the lap count per seat."""

    def __init__(self, port, count):
        self.clients = [boardsession.BoardClient(port, source=f"127.0.1.{index // PER_ADDRESS + 1}")
                        for index in range(count)]
        self.arrivals = [[] for _ in self.clients]
        self.selector = selectors.DefaultSelector()
        for index, client in enumerate(self.clients):
            self.selector.register(client, selectors.EVENT_READ, index)
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while not self.stopping.is_set():
            for key, _ in self.selector.select(0.05):
                client = self.clients[key.data]
                for state in client.pump():
                    at = time.clock_gettime(time.CLOCK_MONOTONIC) * 1000
                    laps = {racer["seat"] - 1: int(racer["laps"]) for racer in state.get("racers", [])}
                    self.arrivals[key.data].append((at, laps))
                if client.closed:
                    self.selector.unregister(client)

    def stop(self):
        self.stopping.set()
        self.thread.join(10)
        dropped = sum(client.closed for client in self.clients)
        for client in self.clients:
            client.close()
        return dropped


def paint_to_client(crossings, handled, paints, arrivals):
    """Per client and counted lap: ms from the end of the paint of the seat's
    row after its crossing was handled to the client's first message with
    that lap count."""
    starts = {min(at for at, c in crossings if c == car) for car in range(measure_race.CARS)}
    delays, missing = [], 0
    lap_of = {}
    for at, car in crossings:
        if at in starts:
            continue
        lap_of[car] = lap_of.get(car, 0) + 1
        handled_at = next((a for s, h, a in handled if s == car and h == at), None)
        painted_at = next((a for r, a in paints if r == car and handled_at is not None and a >= handled_at), None)
        if painted_at is None:
            raise Failure(f"seat {car}'s lap {lap_of[car]} was never painted")
        for received in arrivals:
            arrived = next((when for when, laps in received if laps.get(car, 0) >= lap_of[car]), None)
            if arrived is None:
                missing += 1
            else:
                delays.append(arrived - painted_at)
    return delays, missing


def run_race(session, build, laps, clients_count, name):
    crossings = measure_race.scenario(LAP_MS)
    scenario_file = session.path("race.txt")
    with open(scenario_file, "w") as out:
        out.writelines(f"{at} {car + 1} 8 0\n" for at, car in crossings)
    racers = [f"Závodník {car + 1}" for car in range(measure_race.CARS)]
    xsession.write_race_settings(session, xsession.race_settings(session.path("track"), racers, laps))
    program = f"{build}/bench/tramelo-timed"
    env = session.env(QT_LOGGING_RULES="tramelo.timing=true")
    log_name = f"tramelo-{name}"
    if clients_count is None:
        process = session.spawn(log_name, [program], env=env)
        window = xsession.wait_for("the main window", lambda: (session.windows(xsession.MAIN_WINDOW) or [None])[0], 30)
        clients = None
    else:
        port = boardsession.free_port()
        process = session.spawn(log_name, [program, "--web", f"127.0.0.1:{port}"], env=env)
        window = xsession.wait_for("the main window", lambda: (session.windows(xsession.MAIN_WINDOW) or [None])[0], 30)
        xsession.wait_for("the board", lambda: boardsession.BOARD_LINE.search(session.log_tail(log_name, 50)), 10)
        clients = Clients(port, clients_count)
    _, _, clock_zero = xsession.start_simulator(session, f"{build}/tools/track-simulator/track-simulator",
                                                ["--scenario", scenario_file])
    xsession.start_race(session, window)
    pid = process.pid
    measure_race.sleep_until(clock_zero + measure_race.START_MS / 1000)
    cpu_start = measure_race.cpu_seconds(pid)
    race_end_ms = crossings[-1][0] + 1000
    measure_race.sleep_until(clock_zero + race_end_ms / 1000)
    busy = (measure_race.cpu_seconds(pid) - cpu_start) / ((race_end_ms - measure_race.START_MS) / 1000)
    memory = measure_race.memory_kib(pid)
    dropped = clients.stop() if clients else 0
    session.stop(process)
    session.processes.remove(process)

    handled, paints, gaps, _ = measure_race.timing_lines(session.path(log_name + ".log"))
    race_from = clock_zero * 1000 + measure_race.START_MS
    race_to = clock_zero * 1000 + race_end_ms
    stalls = [gap - measure_race.HEARTBEAT_MS for gap, _, at in gaps if race_from <= at <= race_to]
    result = {"cpu": busy, **memory, "stall_median": statistics.median(stalls), "stall_max": max(stalls),
              "dropped": dropped}
    if clients:
        result["delays"], result["missing"] = paint_to_client(crossings, handled, paints, clients.arrivals)
    return result


def measure(session, build, laps, counts):
    measure_race.LAPS = laps
    print(f"Machine: {measure_race.machine()}\n")
    print(f"Race: {measure_race.CARS} cars, {laps} laps of {LAP_MS[0]} to {LAP_MS[1]} ms, bench/tramelo-timed "
          "with the timing probe on\n")
    runs = [("no board", run_race(session, build, laps, None, "plain"))]
    for count in counts:
        runs.append((f"board, {count} clients", run_race(session, build, laps, count, f"clients-{count}")))
    print("| run | CPU, race | VmRSS end | VmHWM | loop gap, median | loop gap, longest | "
          "row painted to client: median | 99th pct. | worst |")
    print("|---|---|---|---|---|---|---|---|---|")
    for label, run in runs:
        delays = run.get("delays")
        latency = (f"{statistics.median(delays):.1f} ms | {measure_race.percentile(delays, 0.99):.1f} ms | "
                   f"{max(delays):.1f} ms" if delays else "– | – | –")
        print(f"| {label} | {run['cpu'] * 100:.2f} % | {run['VmRSS'] / 1024:.1f} MiB | {run['VmHWM'] / 1024:.1f} MiB | "
              f"{run['stall_median']} ms | {run['stall_max']} ms | {latency} |")
    for label, run in runs[1:]:
        print(f"\n{label}: {len(run['delays'])} updates measured, {run['missing']} never arrived, "
              f"{run['dropped']} clients dropped by the board")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--clients", default="50,100", help="client counts, comma-separated (at most 120)")
    parser.add_argument("--laps", type=int, default=10)
    parser.add_argument("build")
    parser.add_argument("log_dir", nargs="?")
    args = parser.parse_args()
    counts = [int(count) for count in args.clients.split(",")]
    if any(not 0 < count <= MAX_CLIENTS for count in counts) or not 1 <= args.laps <= 30:
        parser.error(f"client counts 1 to {MAX_CLIENTS}, laps 1 to 30")
    build = os.path.abspath(args.build)
    return xsession.run_checked(lambda session: measure(session, build, args.laps, counts), args.log_dir,
                                displays=range(91, 100))


if __name__ == "__main__":
    sys.exit(main())
