#!/usr/bin/env python3
"""End to end on a desktop: a whole race under a real window manager with a
panel along the top edge.

The private X server gets a window manager (mutter, GNOME's, as an X11 window
manager; or openbox) and a tint2 panel whose strut keeps the top 30 px. The
program starts with a race loaded, Alt+S starts it and the track simulator
plays three cars over six laps. The test checks that the start lights
window stands where the lights belong, that the race screen settles where
the window manager lets it (the whole screen where it may cover the panel,
the area below the panel where it may not) and stays there when moved away,
and that a screenshot shows the title bar uncovered and the whole last row of
the table on the screen. Then it saves the results and ends the program.
"""

import argparse
import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from race_e2e import BORDER, FILL_A, FILL_B  # noqa: E402
from xsession import Failure  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Ďábel"]
# Long enough for every check to end before the end-of-race question.
LAPS = 6
# The start crossings come late enough for a slow slide, countdown and
# grow-back under a window manager on a loaded machine.
SCENARIO = "".join(f"{start + lap * 2100} {channel} 8 0\n"
                   for channel, start in ((1, 22000), (2, 22300), (3, 22600)) for lap in range(LAPS + 1))
LIGHTS_WINDOW = "odpočet startu"
# The lights window on a 1280 x 1024 screen: (x, y, width, height).
LIGHTS_RECT = (11, 223, 1255, 267)
# The race window, frame included, as (x, y, width, height): openbox lets it
# cover the panel, mutter keeps it below.
RACE_FRAME = {"openbox": (0, 0, 1280, 1024), "mutter": (0, 30, 1280, 994)}
DISPLAYS = range(71, 80)
COLUMN_PERCENT = [4, 4, 15, 8, 8, 9, 9, 12, 13, 10, 8]


def column_lefts(width):
    lefts, x = [], 0
    for percent in COLUMN_PERCENT:
        lefts.append(x)
        x += width * percent // 100
    return lefts


def race_frame(session, window):
    x, y, width, height = session.client_rect(window)
    left, right, top, bottom = session.frame_extents(window)
    return (x - left, y - top, width + left + right, height + top + bottom)


def check_lights_window(session, program):
    lights = xsession.watch(session, program, "the start lights window", lambda: session.windows(LIGHTS_WINDOW),
                            60)[0]
    placed = session.client_rect(lights)
    if placed != LIGHTS_RECT:
        raise Failure(f"the start lights window is at {placed}, expected {LIGHTS_RECT}")
    return placed


def wait_for_race_frame(session, window_manager, window):
    """The race screen settles where the window manager lets it be."""
    expected = RACE_FRAME[window_manager]
    xsession.wait_for(f"the race window at {expected}", lambda: race_frame(session, window) == expected, 20,
                      interval=0.2)
    return expected


def check_race_screen_stays(session, expected, window):
    """The race screen comes back when moved away, and then stays put."""
    session.xdotool("windowmove", window, "200", "150")
    xsession.wait_for(f"the race window back at {expected} after a move", lambda: race_frame(session, window)
                      == expected, 20, interval=0.2)
    # No fight with the window manager: the window stays put.
    for _ in range(10):
        time.sleep(0.2)
        seen = race_frame(session, window)
        if seen != expected:
            raise Failure(f"the race window moved on its own to {seen} (expected to stay at {expected})")


def check_table_on_screen(session, picture, window, frame):
    """The title bar is not under the panel, and the last of the eight rows
    of arrangement 0 (stretched to the bottom of the client area) lies on the
    screen whole: its top edge, its cells, its unit band line and its bottom
    edge."""
    x, y, width, height = session.client_rect(window)
    if x < 0 or y < 0 or x + width > picture.width or y + height > picture.height:
        raise Failure(f"the client area {(x, y, width, height)} reaches off the "
                      f"{picture.width} x {picture.height} screen")
    for row in range(frame[1], y, 2):
        for column in range(frame[0], frame[0] + frame[2], 16):
            if picture.at(column, row) == xsession.PANEL_RGB:
                raise Failure(f"the panel covers the title bar at ({column}, {row})")
    lefts = column_lefts(width)
    laps_x, lap_time_x = x + lefts[3] + 4, x + lefts[4] + 4
    bottom = y + height
    # The row's top edge is the first border line above its unit band.
    row_top = next((row for row in range(bottom - 32, y, -1) if picture.at(laps_x, row) == BORDER), None)
    if row_top is None or bottom - row_top < 60:
        raise Failure(f"no last row above the bottom edge of the client area at y = {bottom}")
    checks = [
        (laps_x, row_top + 4, FILL_A, "laps cell"),
        (lap_time_x, bottom - 31, BORDER, "unit band line"),
        (lap_time_x, bottom - 20, FILL_B, "unit band"),
        (laps_x, bottom - 1, BORDER, "bottom edge"),
    ]
    for px, py, colour, what in checks:
        seen = picture.at(px, py)
        if seen != colour:
            raise Failure(f"last row, {what}: pixel ({px}, {py}) is {seen}, expected {colour}")


def run(args, session):
    xsession.start_desktop(session, args.window_manager)
    with open(session.path("race.txt"), "w") as scenario:
        scenario.write(SCENARIO)
    link = session.path("track")
    xsession.write_race_settings(session, xsession.race_settings(link, RACERS, LAPS, arrangement=0, scheme=1))

    program, window, _ = xsession.start_program(session, args.program, timeout=60)
    xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
    xsession.start_race(session, window)
    lights = check_lights_window(session, program)

    xsession.wait_for_race_clock(session, program, window, 60)
    frame = wait_for_race_frame(session, args.window_manager, window)
    client = session.client_rect(window)

    def table_whole():
        picture = xsession.Picture(session.screenshot(session.path("race-table.png")))
        try:
            check_table_on_screen(session, picture, window, frame)
        except Failure as failure:
            table_whole.last = failure
            return False
        return True

    table_whole.last = None
    try:
        xsession.watch(session, program, "the whole race table on the screen", table_whole, 30)
    except Failure as failure:
        raise Failure(f"{failure}; the last screenshot: {table_whole.last}") from None
    check_race_screen_stays(session, frame, window)

    xsession.save_results(session, program, "vysledky.csv", 60)
    status = xsession.quit_program(session, program, window)
    if status != 0:
        raise Failure(f"the program ended with status {status} after \"Konec\"")
    print(f"{args.window_manager}: lights window {lights}, race window frame {frame}, client area {client}; "
          "the table whole on the screen, results saved")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--window-manager", choices=xsession.WINDOW_MANAGERS, required=True)
    parser.add_argument("--artifacts", help="where to keep the screenshots, files and logs of the run")
    args = parser.parse_args()
    # Display numbers of their own: the window manager takes over its display.
    return xsession.run_checked(lambda session: run(args, session), args.artifacts, displays=DISPLAYS)


if __name__ == "__main__":
    sys.exit(main())
