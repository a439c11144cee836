#!/usr/bin/env python3
"""End to end: the real program on its own X server, driven from the keyboard.

The program starts with a race loaded through its automatic loading (a
temporary profile), the track simulator plays three cars over five laps from
a scenario, and the test starts the race with Alt+S, takes a screenshot of the
table mid-race, answers the end-of-race question with Enter ("Ano" is the
default button), types the file name into the save dialog, and ends the
program through "Konec". Then it checks the results file byte for byte and the
screenshot's colours. The winner's total time and the runner-up's gap are
the lap counter's, so they are the scenario's own times to the millisecond,
however late the polls took the crossings.
"""

import argparse
import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", 'Ďábel "Blesk", č. 3']
LAPS = 5
# Simulator clock in ms, channel, tank digit (8 shows a full tank), event
# digit (3 = came off the track). The program needs about ten seconds from
# Alt+S to the start signal, so the start crossings come at 16 s.
SCENARIO = """\
16000 1 8 0
18000 1 8 0
19900 1 8 0
21900 1 7 0
23900 1 7 0
26000 1 7 0
16400 2 8 0
18500 2 7 0
20800 2 7 0
23000 2 1 0
25050 2 1 0
27450 2 1 0
16800 3 8 0
19300 3 8 3
22400 3 8 3
24700 3 8 3
27000 3 8 3
"""
WINNER_START_MS, WINNER_FINISH_MS, RUNNER_UP_FINISH_MS = 16000, 26000, 27450
SCREENSHOT_AT_MS = 23500

EXPECTED_CSV = (
    '"Jméno závodníka:","Celkové pořadí:","Ztráty na vedoucího závodníka/celkoví čas:",'
    '"Čas nejrychlejšího kola:","Maximální rychlost:"\r\n'
    # 32 x 20 m is 640 m at full size: 2 304 000 / lap ms gives km/h.
    '"Řehoř Šťastný","1","{winner} (vítězný celkoví čas)","0:01:900 [m:s:ms]","1212 [km/h]"\r\n'
    '"Žofie Čermáková","2","{gap} (ztráty)","0:02:050 [m:s:ms]","1123 [km/h]"\r\n'
    # Four laps in a row off the track disqualify; the laps still count. The
    # quotes of the name are doubled, so the line still has five fields.
    '"Ďábel ""Blesk"", č. 3","!","- diskvalifikace -","0:02:300 [m:s:ms]","1001 [km/h]"'
)

# Colour scheme 1, "červené".
BORDER = (250, 133, 151)
ODD_STRIPE = (253, 194, 75)
FILL_A = (252, 186, 196)
FILL_B = (254, 222, 227)
WHITE = (255, 255, 255)
# Column edges at a client width of 1280 px.
COLUMN_LEFT = [0, 51, 102, 294, 396, 498, 613, 728, 881, 1047, 1175]


def duration_text(ms):
    return f"{ms // 60000}:{ms // 1000 % 60:02d}:{ms % 1000:03d}"


def check_results(path):
    with open(path, "rb") as results:
        actual = results.read()
    winner = WINNER_FINISH_MS - WINNER_START_MS
    gap = RUNNER_UP_FINISH_MS - WINNER_FINISH_MS
    expected = EXPECTED_CSV.format(winner=duration_text(winner), gap=duration_text(gap))
    if actual != expected.encode("cp1250"):
        raise Failure("the results file differs from the expected one.\nExpected (Windows-1250, CR LF, "
                      f"no final line end):\n{expected!r}\nActual bytes:\n{actual!r}")
    return winner, gap


def expect_colour(picture, x, y, colour, what):
    seen = picture.at(x, y)
    if seen != colour:
        raise Failure(f"{what}: pixel ({x}, {y}) is {seen}, expected {colour}")


def check_race_table(picture, racers):
    """Scheme 1 in arrangement 1 ("Vycentrovat"): striped bands above and
    below the centred rows, fill colours A and B and the border colour."""
    # The client area starts below the menu bar with stripe line 0.
    top = next((y for y in range(80) if picture.at(640, y) == BORDER), None)
    if top is None:
        raise Failure(f"no stripe line of the red scheme at the top of the table (pixel (640, 40) is "
                      f"{picture.at(640, 40)})")
    height = picture.height - top
    row_height = (height - 50) // 8
    table_top = height // 2 - (row_height * racers + 50) // 2
    for y in range(table_top):
        expect_colour(picture, 640, top + y, BORDER if y % 2 == 0 else ODD_STRIPE, f"stripe line {y}")
    expect_colour(picture, 3, top + table_top + 3, WHITE, "header band")
    for row in range(racers):
        row_top = top + table_top + 50 + row * row_height
        inside = row_top + 4
        expect_colour(picture, COLUMN_LEFT[1], row_top + row_height // 2, BORDER, f"row {row}, left edge of "
                      "the position cell")
        expect_colour(picture, COLUMN_LEFT[1] + 4, inside, FILL_A, f"row {row}, position cell")
        expect_colour(picture, COLUMN_LEFT[3] + 4, inside, FILL_A, f"row {row}, laps cell")
        expect_colour(picture, COLUMN_LEFT[4] + 4, inside, FILL_B, f"row {row}, last lap time cell")
        expect_colour(picture, COLUMN_LEFT[8] + 4, inside, FILL_B, f"row {row}, gap cell")
        expect_colour(picture, COLUMN_LEFT[4] + 4, row_top + row_height - 31, BORDER,
                      f"row {row}, unit band line")
        expect_colour(picture, COLUMN_LEFT[2] + 4, inside, WHITE, f"row {row}, name cell")
    table_bottom = table_top + 50 + racers * row_height
    expect_colour(picture, 640, top + table_bottom + 5, WHITE, "white gap below the rows")
    first_stripe = table_bottom + 10
    for y in (first_stripe, first_stripe + 1, height - 1):
        expect_colour(picture, 640, top + y, BORDER if y % 2 == 0 else ODD_STRIPE, f"lower stripe line {y}")


def run(args, session):
    with open(session.path("race.txt"), "w") as scenario:
        scenario.write(SCENARIO)
    link = session.path("track")
    xsession.write_race_settings(session, xsession.race_settings(link, RACERS, LAPS, arrangement=1, scheme=1))

    program, window, _ = xsession.start_program(session, args.program)
    _, _, clock_zero = xsession.start_simulator(session, args.simulator, ["--scenario", session.path("race.txt")])
    xsession.start_race(session, window)

    xsession.wait_for_race_clock(session, program, window, 40)
    if session.window_geometry(window) != (0, 0, 1280, 1024):
        raise Failure(f"the race table is not full-screen: {session.window_geometry(window)}")
    time.sleep(max(0.0, clock_zero + SCREENSHOT_AT_MS / 1000 - time.monotonic()))
    screenshot = session.screenshot(session.path("race-table.png"))
    results = xsession.save_results(session, program, "vysledky.csv", 40)

    status = xsession.quit_program(session, program, window)
    if status != 0:
        raise Failure(f"the program ended with status {status} after \"Konec\"")

    winner, gap = check_results(results)
    check_race_table(xsession.Picture(screenshot), len(RACERS))
    print(f"results file as expected (winner's time {winner} ms, gap {gap} ms); race table colours as expected")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--artifacts", help="where to keep the screenshots, files and logs of the run")
    args = parser.parse_args()
    return xsession.run_checked(lambda session: run(args, session), args.artifacts)


if __name__ == "__main__":
    sys.exit(main())
