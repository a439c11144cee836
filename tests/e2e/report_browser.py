#!/usr/bin/env python3
"""The race report in a real browser.

The report of a simulated race (a journal the journal writer wrote from a
scripted six-car race, with an off-track mark, fuel warnings and a
disqualification) is rebuilt by `tramelo --report` with no display at all,
then headless Chromium loads the file, dumps the document it built and takes
a screenshot. The test checks that both charts are there with one line per
racer, that every racer of the journal has a row in the standings and a lap
table, that the page asked for nothing from the network, and that the
screenshot is a picture rather than a blank page.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--hide-scrollbars"]


class Failure(Exception):
    pass


class ReportDom(HTMLParser):
    """The parts of the rendered document the test looks at."""

    def __init__(self):
        super().__init__()
        self.charts = {}          # chart class -> number of polylines
        self.standing_rows = []   # seat classes of the standings rows
        self.lap_tables = []      # seat classes of the lap tables
        self.fetching = []        # attributes that would load something
        self._chart = None

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        classes = (attributes.get("class") or "").split()
        for name in ("src", "href"):
            if name in attributes:
                self.fetching.append((tag, name, attributes[name]))
        if tag == "svg" and "chart" in classes:
            self._chart = next(c for c in classes if c != "chart")
            self.charts[self._chart] = 0
        elif tag == "polyline" and self._chart:
            self.charts[self._chart] += 1
        elif tag == "tr" and "racer" in classes:
            self.standing_rows.append(next(c for c in classes if c.startswith("seat-")))
        elif tag == "div" and "racer-laps" in classes:
            self.lap_tables.append(next(c for c in classes if c.startswith("seat-")))

    def handle_endtag(self, tag):
        if tag == "svg":
            self._chart = None


def journal_racers(journal):
    with open(journal, encoding="utf-8") as lines:
        for line in lines:
            event = json.loads(line)
            if event.get("type") == "settings":
                return {f"seat-{seat + 1}": name for seat, name in enumerate(event["racers"]) if name}
    raise Failure("the journal holds no settings line")


def run(command, env, timeout):
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    if done.returncode != 0:
        raise Failure(f"{command[0]} ended with {done.returncode}: {done.stderr.strip()}")
    return done.stdout


def chromium(page, profile, env, *arguments):
    return run(["chromium", *CHROMIUM_FLAGS, f"--user-data-dir={profile}", *arguments, f"file://{page}"], env, 120)


def image_spread(png):
    """Standard deviation of the grey levels and the number of colours."""
    out = subprocess.run(["identify", "-format", "%[fx:standard_deviation] %k", png],
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), int(out[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--race", required=True, help="a race folder holding journal.jsonl")
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--window", default="1200,3200")
    parser.add_argument("--keep-screenshot", help="copy the screenshot here as well")
    args = parser.parse_args()

    os.makedirs(args.artifacts, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="tramelo-report-browser-") as work:
        home = os.path.join(work, "home")
        os.makedirs(home)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, ".local/share"),
                   XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_CACHE_HOME=os.path.join(home, ".cache"))
        race = os.path.join(work, "2026-12-07_19-30-05")
        shutil.copytree(args.race, race)

        run([args.program, "--report", race], env, 60)
        page = os.path.join(race, "report.html")
        if not os.path.isfile(page) or not os.path.isfile(os.path.join(race, "laps.csv")):
            raise Failure("--report wrote no report.html and laps.csv")

        dom_text = chromium(page, os.path.join(work, "profile-dom"), env, "--dump-dom")
        with open(os.path.join(args.artifacts, "report-dom.html"), "w", encoding="utf-8") as dump:
            dump.write(dom_text)
        screenshot = os.path.join(args.artifacts, "report.png")
        chromium(page, os.path.join(work, "profile-shot"), env, f"--screenshot={screenshot}",
                 f"--window-size={args.window}")

    dom = ReportDom()
    dom.feed(dom_text)
    racers = journal_racers(os.path.join(args.race, "journal.jsonl"))
    problems = []
    for chart in ("lap-times", "positions"):
        if dom.charts.get(chart, 0) < len(racers):
            problems.append(f"chart {chart}: {dom.charts.get(chart, 0)} lines for {len(racers)} racers")
    if sorted(dom.standing_rows) != sorted(racers):
        problems.append(f"standings rows {dom.standing_rows}, racers {sorted(racers)}")
    if sorted(dom.lap_tables) != sorted(racers):
        problems.append(f"lap tables {dom.lap_tables}, racers {sorted(racers)}")
    for name in racers.values():
        if name not in dom_text:
            problems.append(f"{name} is missing from the page")
    if dom.fetching:
        problems.append(f"the page loads {dom.fetching}")
    spread, colours = image_spread(screenshot)
    if spread < 0.05 or colours < 50:
        problems.append(f"the screenshot looks blank (spread {spread:.3f}, {colours} colours)")
    if args.keep_screenshot:
        shutil.copyfile(screenshot, args.keep_screenshot)
    if problems:
        raise Failure("; ".join(problems))
    print(f"report rendered: {len(racers)} racers, charts {dom.charts}, screenshot spread {spread:.3f}, "
          f"{colours} colours")


if __name__ == "__main__":
    try:
        main()
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
