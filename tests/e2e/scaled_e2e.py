#!/usr/bin/env python3
"""End to end under a desktop scale: the race screen on the screen at
QT_SCALE_FACTOR 1, 1.25, 1.5 and 2.

Each case is a private X server of the given size (device pixels), bare or
with mutter and a 30 px panel along the top, and the program started with
QT_SCALE_FACTOR set. Alt+S starts a race; the test checks that the start
lights window stands where the lights belong on that screen, that the race
screen settles exactly where it does at scale 1 (the whole screen, or the
area below the panel under mutter) and that its bottom-right corner shows the
table. No car crosses: the program is ended once the race screen is checked.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from race_e2e import BORDER  # noqa: E402
from xsession import Failure  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Ďábel"]
# No crossing before the checks are done: a crossing during the countdown
# would be a false start.
SCENARIO = "600000 1 8 0\n"
LIGHTS_WINDOW = "odpočet startu"
DISPLAYS = range(81, 90)
# "WIDTHxHEIGHT@SCALE" cases a window manager runs unless told otherwise;
# bare, every scale on the big screen; under mutter the odd scales and 2.
DEFAULT_CASES = {
    "none": ["3840x2160@1", "3840x2160@1.25", "3840x2160@1.5", "3840x2160@2", "1920x1080@1.25"],
    "mutter": ["3840x2160@1.25", "3840x2160@1.5", "3840x2160@2", "1920x1080@1.25"],
}


def parse_case(text):
    size, scale = text.split("@")
    width, height = (int(n) for n in size.split("x"))
    return width, height, float(scale)


def lights_client_rect(width, height, scale):
    """The lights window's client area in device pixels: the lights are laid
    out on the logical screen, then the whole window is scaled."""
    logical_w, logical_h = round(width / scale), round(height / scale)
    size = min(int((logical_w - 140) // 5 * 0.9), logical_h - 470)
    gap = (logical_w - 5 * size) // 6
    top = (logical_h - size - 310) // 2
    margin = int(int((gap + top) / 2) * 0.1)
    m = int(margin * 1.5)
    left, upper = gap - m - 10, top - m - 10
    right, lower = (gap + size) * 5 + m + 10, top + size + m + 10
    return tuple(round(v * scale) for v in (left, upper, right - left, lower - upper))


def race_frame(session, window):
    x, y, width, height = session.client_rect(window)
    left, right, top, bottom = session.frame_extents(window)
    return (x - left, y - top, width + left + right, height + top + bottom)


def close_to(seen, expected, slack):
    return all(abs(a - b) <= slack for a, b in zip(seen, expected))


def run_case(args, session, width, height, scale):
    if args.window_manager != "none":
        xsession.start_desktop(session, args.window_manager)
    with open(session.path("race.txt"), "w") as scenario:
        scenario.write(SCENARIO)
    link = session.path("track")
    xsession.write_race_settings(session, xsession.race_settings(link, RACERS, 6, arrangement=0, scheme=1))
    env = session.env(QT_SCALE_FACTOR=f"{scale:g}")
    program, window, _ = xsession.start_program(session, args.program, env=env, timeout=60)
    xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
    xsession.start_race(session, window)

    lights = xsession.watch(session, program, "the start lights window", lambda: session.windows(LIGHTS_WINDOW),
                            60)[0]
    placed = session.client_rect(lights)
    # A pixel of rounding either way per edge at a fractional scale.
    expected_lights = lights_client_rect(width, height, scale)
    if not close_to(placed, expected_lights, 2):
        raise Failure(f"the start lights window is at {placed}, expected {expected_lights}")

    xsession.watch(session, program, "the race screen", lambda: "VOLENá KOLA" in session.window_name(window), 60)
    top = xsession.PANEL_HEIGHT if args.window_manager == "mutter" else 0
    expected = (0, top, width, height - top)
    try:
        xsession.wait_for(f"the race window at {expected}", lambda: race_frame(session, window) == expected, 10,
                          interval=0.2)
    except Failure:
        raise Failure(f"the race window frame is at {race_frame(session, window)}, expected {expected} (client "
                      f"area {session.client_rect(window)}, frame extents {session.frame_extents(window)})") from None
    x, y, client_w, client_h = session.client_rect(window)
    if x < 0 or y < 0 or x + client_w > width or y + client_h > height:
        raise Failure(f"the client area {(x, y, client_w, client_h)} reaches off the {width} x {height} screen")
    if args.window_manager == "none" and (x, y, client_w, client_h) != (0, 0, width, height):
        raise Failure(f"the client area {(x, y, client_w, client_h)} does not fill the {width} x {height} screen")

    # The table's right and bottom border lines lie on the client area's
    # last pixels (at a fractional scale the last logical pixel may end a
    # device pixel short): the table reaches the corner and no farther.
    def corner_drawn():
        picture = xsession.Picture(session.screenshot(session.path("race-screen.png")))
        right, bottom = x + client_w - 1, y + client_h - 1
        return any(picture.at(right - dx, bottom - dy) == BORDER for dx in (0, 1) for dy in (0, 1))
    xsession.watch(session, program, "the table's bottom-right border in the screen's corner", corner_drawn, 20)
    print(f"{width} x {height} at scale {scale:g} ({args.window_manager}): lights window {placed}, "
          f"race window frame {expected}, client area {(x, y, client_w, client_h)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--window-manager", choices=("none", *xsession.WINDOW_MANAGERS), required=True)
    parser.add_argument("--case", action="append", help="WIDTHxHEIGHT@SCALE; may be repeated")
    parser.add_argument("--artifacts", help="where to keep the screenshots, files and logs of the run")
    args = parser.parse_args()
    status = 0
    for case in args.case or DEFAULT_CASES.get(args.window_manager, DEFAULT_CASES["none"]):
        width, height, scale = parse_case(case)
        artifacts = os.path.join(args.artifacts, case.replace("@", "-")) if args.artifacts else None
        status |= xsession.run_checked(lambda session: run_case(args, session, width, height, scale), artifacts,
                                       displays=DISPLAYS, size=(width, height))
    return status


if __name__ == "__main__":
    sys.exit(main())
