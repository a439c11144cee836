#!/usr/bin/env python3
"""Screenshots of an eight-car race on screens of several sizes, for docs/.

Each screen is a private Xvfb running the program against the track
simulator (a scenario of eight cars); the screenshot is taken a few laps in
and written scaled down to 960 px wide, with a reduced palette, so the
documentation stays small:

    tools/screenshots/race_screenshots.py --build build --out docs
"""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import xsession  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Ďábel", "Anna Nová", "Petr Malý", "Eva Dlouhá",
          "Jiří Král", "Lucie Bílá"]
LAPS = 20
# Eight cars from 16 s on, a lap about every two seconds each.
# The simulator plays the lines in their order: sorted by time.
SCENARIO = "".join(f"{ms} {channel} {tank} 0\n" for ms, channel, tank in sorted(
    (16000 + seat * 170 + lap * (2000 + 37 * seat), seat + 1, 8 - lap // 3 % 8)
    for seat in range(8) for lap in range(LAPS + 1)))
# (file name, screen width, height, QT_SCALE_FACTOR)
SHOTS = [
    ("screenshot-race-1280x1024.png", 1280, 1024, 1),
    ("screenshot-race-1920x1080.png", 1920, 1080, 1),
    ("screenshot-race-2560x1440.png", 2560, 1440, 1),
    ("screenshot-race-3840x2160.png", 3840, 2160, 1),
    ("screenshot-race-1920x1080-200.png", 3840, 2160, 2),
]


def shoot(args, session, name, scale):
    with open(session.path("race.txt"), "w") as scenario:
        scenario.write(SCENARIO)
    link = session.path("track")
    xsession.write_race_settings(session, xsession.race_settings(link, RACERS, LAPS, arrangement=0, scheme=0))
    env = session.env(QT_SCALE_FACTOR=f"{scale:g}")
    program, window, _ = xsession.start_program(session, args.program, env=env, timeout=60)
    xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
    xsession.start_race(session, window)
    xsession.wait_for_race_clock(session, program, window, 90)
    time.sleep(8)  # a few laps each
    full = session.screenshot(session.path("full.png"))
    subprocess.run(["convert", full, "-resize", "960x", "-colors", "128", "-strip",
                    os.path.join(args.out, name)], check=True, timeout=60)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    args.program = os.path.abspath(os.path.join(args.build, "app", "tramelo"))
    args.simulator = os.path.abspath(os.path.join(args.build, "tools", "track-simulator", "track-simulator"))
    args.out = os.path.abspath(args.out)
    status = 0
    for name, width, height, scale in SHOTS:
        status |= xsession.run_checked(lambda session: shoot(args, session, name, scale), size=(width, height))
        print(name, "written" if status == 0 else "failed")
    return status


if __name__ == "__main__":
    sys.exit(main())
