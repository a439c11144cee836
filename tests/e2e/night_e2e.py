#!/usr/bin/env python3
"""End to end: a racing night of three short races through the track
simulator. Each race is started, driven by the simulator and saved to a
results file (Windows-1250); the program writes the night page after each
race. The night page's points must equal the points counted here from the
three results files alone (10-8-6-5-4-3-2-1 by the position in the file),
and `tramelo --night DATE OUT` must write the same table.
"""

import argparse
import csv
import glob
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Ďábel Blesk", "Eliška Nováková"]
POINTS = [10, 8, 6, 5, 4, 3, 2, 1]
LAPS = 3
# The start crossings come at 16 s of the simulator's clock, once the
# program's countdown is over; then short laps.
START_MS = 16000
# Per race, each car's lap time: a different order every race, so points add up differently.
LAP_MS = [[1900, 2100, 2300, 2500], [2300, 1900, 2500, 2100], [2500, 2300, 2100, 1900]]


def scenario(lap_ms):
    crossings = []
    for car, ms in enumerate(lap_ms):
        at = START_MS + car * 150
        for _ in range(LAPS + 1):
            crossings.append((at, car + 1, 8, 0))
            at += ms
    return "".join(f"{at} {channel} {tank} {event}\n" for at, channel, tank, event in sorted(crossings))


def night_of(folder):
    """A race folder's night: a race before 06:00 belongs to the day before."""
    name = os.path.basename(folder)
    date, hour = name[:10], int(name[11:13])
    if hour >= 6:
        return date
    out = subprocess.run(["date", "-d", f"{date} -1 day", "+%Y-%m-%d"], capture_output=True, text=True, check=True)
    return out.stdout.strip()


def results_points(path):
    """Name -> points of one results file: header row, then a row per racer
    with its name and its position."""
    with open(path, "rb") as text:
        rows = [row for row in text.read().decode("cp1250").split("\r\n")[1:] if row]
    points = {}
    for row in rows:
        fields = row.strip('"').split('","')
        position = int(fields[1])
        points[fields[0]] = POINTS[position - 1] if 0 < position <= len(POINTS) else 0
    return points


def page_points(path):
    with open(path, encoding="utf-8-sig", newline="") as text:
        rows = list(csv.reader(text))
    if rows[0][:3] != ["pořadí", "jezdec", "body"]:
        raise Failure(f"the night page's CSV {path} starts with {rows[0]}")
    return {row[1]: int(row[2]) for row in rows[1:]}


def run(args, session):
    data = session.path("data")
    archive = os.path.join(data, "Korvanta", "tramelo")
    races = os.path.join(archive, "races")
    env = session.env(XDG_DATA_HOME=data)
    xsession.write_race_settings(session, xsession.race_settings(session.path("track"), RACERS, LAPS))
    nights = {}
    for number, lap_ms in enumerate(LAP_MS, 1):
        with open(session.path("race.txt"), "w") as out:
            out.write(scenario(lap_ms))
        before = set(glob.glob(os.path.join(races, "*")))
        program, window, _ = xsession.start_program(session, args.program, env=env)
        simulator, _, _ = xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
        xsession.start_race(session, window)
        results = xsession.save_results(session, program, f"vysledky-{number}.csv", 60)
        status = xsession.quit_program(session, program, window)
        session.stop(simulator)
        if status != 0:
            raise Failure(f"race {number}: the program ended with status {status} after \"Konec\"")
        folder = sorted(set(glob.glob(os.path.join(races, "*"))) - before)
        if len(folder) != 1:
            raise Failure(f"race {number} made the race folders {folder}")
        nights.setdefault(night_of(folder[0]), []).append(results_points(results))

    for night, scored in nights.items():
        expected = {}
        for points in scored:
            for name, value in points.items():
                expected[name] = expected.get(name, 0) + value
        written = os.path.join(archive, "pages", f"night-{night}.csv")
        if not os.path.exists(written):
            raise Failure(f"no night page's CSV {written} after the races")
        if page_points(written) != expected:
            raise Failure(f"night {night}: the page's points {page_points(written)}, "
                          f"counted from the results files {expected}")
        page = session.path(f"night-{night}.html")
        command = subprocess.run([args.program, "--night", night, page], env=env, capture_output=True, timeout=60)
        if command.returncode != 0:
            raise Failure(f"tramelo --night {night} ended with {command.returncode}: {command.stderr.decode()}")
        if page_points(page[:-5] + ".csv") != expected:
            raise Failure(f"tramelo --night {night}: points {page_points(page[:-5] + '.csv')}, expected {expected}")
        print(f"night {night}: {len(scored)} races, the page's points {expected} equal the results files'")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--artifacts", help="where to keep the files and logs of the run")
    args = parser.parse_args()
    return xsession.run_checked(lambda session: run(args, session), args.artifacts)


if __name__ == "__main__":
    sys.exit(main())
