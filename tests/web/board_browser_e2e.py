#!/usr/bin/env python3
"""End to end in a browser: headless Chromium on a phone-sized window opens
the live board of the real program during a race the track simulator plays.

The page must show every racer's name, follow the lap counts as they change
(without reloading), end with the laps the scenario gives each car, say
plainly that it has lost the program when the program ends, and come back by
itself when the program is started again on the same port. A screenshot of
the board mid-race is saved (--screenshot copies it, e.g. to
docs/screenshot-board.png).
"""

import argparse
import json
import os
import shutil
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import boardsession  # noqa: E402
from boardsession import LAP_MS, RACERS, Failure, crossing_ms, xsession  # noqa: E402

LAPS = 6
PHONE = (412, 915)

# Every row as the page shows it (seat, name and laps) and how many rows are
# marked for a lap just counted; null until the page is there.
ROWS_JS = """(() => {
  const offline = document.getElementById("offline");
  if (!offline) return null;
  return JSON.stringify({
    offline: !offline.hidden,
    marked: document.querySelectorAll(".racer.lap").length,
    rows: [...document.querySelectorAll(".racer")].map((row) => [
      row.dataset.seat, row.querySelector(".name").textContent, row.querySelector(".laps").textContent])
  });
})()"""


def page_state(browser):
    text = browser.evaluate(ROWS_JS)
    return json.loads(text) if text else {"offline": False, "marked": 0, "rows": []}


def run(session, program, simulator, screenshot):
    process, port, clock_zero = boardsession.start_race_with_board(session, program, simulator, LAPS)
    browser = boardsession.Chromium(session, f"http://127.0.0.1:{port}/", *PHONE)
    try:
        xsession.wait_for("the board's rows", lambda: len(page_state(browser)["rows"]) == len(RACERS), 30)
        names = sorted(name for _, name, _ in page_state(browser)["rows"])
        if names != sorted(RACERS):
            raise Failure(f"the board shows the names {names}, expected {sorted(RACERS)}")

        # Watch the lap counts of the leading car's seat from the page itself.
        seen = set()
        marked = 0
        shot_taken = False
        deadline = clock_zero + (max(crossing_ms(car, LAPS) for car in LAP_MS) + 8000) / 1000
        while time.monotonic() < deadline:
            state = page_state(browser)
            if state["offline"]:
                raise Failure("the board says it has no connection while the program runs")
            laps = {seat: int(count) for seat, _, count in state["rows"]}
            seen.add(laps.get("1", 0))
            marked = max(marked, state["marked"])
            if not shot_taken and time.monotonic() > clock_zero + (crossing_ms(0, 3) + 300) / 1000:
                browser.screenshot(session.path("board.png"))
                shot_taken = True
            if all(laps.get(str(car + 1)) == LAPS for car in LAP_MS):
                break
            time.sleep(0.1)
        final = {seat: int(count) for seat, _, count in page_state(browser)["rows"]}
        if any(final.get(str(car + 1)) != LAPS for car in LAP_MS):
            raise Failure(f"the board ended with the laps {final}, expected {LAPS} for every car")
        if len(seen) < LAPS // 2:
            raise Failure(f"the board showed only the lap counts {sorted(seen)} of the leader: it did not follow "
                          "the race")
        if not marked:
            raise Failure("no row was marked for a counted lap")
        xsession.wait_for("the lap marks to fade", lambda: page_state(browser)["marked"] == 0, 5)
        leader = page_state(browser)["rows"][0][1]
        if leader != RACERS[0]:
            raise Failure(f"the board's first row is {leader}, expected the winner {RACERS[0]}")

        # The program ends: the page says so, and finds it again on its own.
        session.stop(process)
        xsession.wait_for("the board's no-connection notice", lambda: page_state(browser)["offline"], 15)
        process, _, _ = boardsession.start_program_with_board(session, program, port)
        xsession.wait_for("the board to reconnect", lambda: not page_state(browser)["offline"], 20)
        rows = page_state(browser)["rows"]
        if [laps for _, _, laps in rows] != ["0"] * len(RACERS):
            raise Failure(f"after the restart the board shows {rows}, expected a new race with no laps")
    finally:
        browser.close()
    if screenshot:
        shutil.copyfile(session.path("board.png"), screenshot)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--artifacts")
    parser.add_argument("--screenshot", help="where to copy the phone-sized screenshot of the board")
    args = parser.parse_args()
    return xsession.run_checked(lambda session: run(session, args.program, args.simulator, args.screenshot),
                                args.artifacts, displays=range(91, 100))


if __name__ == "__main__":
    sys.exit(main())
