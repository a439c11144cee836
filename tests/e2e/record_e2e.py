#!/usr/bin/env python3
"""End to end: the race record of the real program on its own X server.

Each case runs the program against the track simulator playing a scenario,
with a data folder of its own, and checks the race's folder afterwards:

- kill: a race under way is killed with SIGKILL; every lap counted before
  the kill is in the journal with the lap time the table showed; the next
  start shows the information box once, the start after it nothing.
- signal: SIGTERM during the race closes the journal as "signalled"; the
  next start shows no box.
- no-save: answering No to the save question still leaves the whole race,
  every lap and its end, in the folder.
- full-disk: the disk fills up during the race (a file size limit on the
  program): one warning, and the race goes on to its results file.
- tiny-disk: the races folder is a 1 MiB disk (a tmpfs mounted by the test,
  which needs root: skipped otherwise) with 100 KiB free: one warning names
  the line capture, which gives way; every lap reaches the journal; the
  report beside the results has the results file's standings; the next
  start tells of the stopped capture once (the words of its box are checked
  by SmallDisk.JournalKeepsEveryLapAndTheCaptureGivesWay), the start after
  it nothing.
- unwritable: a file stands where the races folder should be: one warning at
  the start, and the race goes on to its results file.
- replay: a race is run and saved, then `track-simulator --replay` plays its
  captured line to the program again (held before the first start crossing
  until the test creates the go file); the second results file has the same
  positions, gaps, winner's time, best laps and speeds.
- dense: eight cars 15 ms apart on 2 s laps, faster than the program polls
  them one by one: every lap is in the journal with its exact time and the
  position the car had on the track after it, the results file has the cars
  in the order they crossed with gaps and the winner's time to the
  millisecond, and a replay of the captured line gives the same results and
  the same laps on the lap counter's clock. (The replayed line comes in the
  captured blocks' pieces, so a crossing can reach the program a block after
  a later one: the position written at such a lap is the one the table
  showed before the earlier crossing came.)
"""

import argparse
import glob
import json
import os
import re
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Ďábel Blesk"]
# The exit status ctest counts as skipped (SKIP_RETURN_CODE).
SKIPPED = 77
# The program needs about ten seconds from Alt+S to the start signal; the
# start crossings come at 16 s of the simulator's clock, the laps after them
# about two seconds apart.
START_MS = 16000
LAP_MS = [(1900, 2300), (2100, 2500), (2300, 2700)]


DENSE_RACERS = [f"Závodník {car + 1}" for car in range(8)]
DENSE_LAPS = 12
DENSE_LAP_MS = 2000
DENSE_APART_MS = 15


def dense_scenario():
    """Eight cars DENSE_APART_MS apart, every lap DENSE_LAP_MS long."""
    return sorted((START_MS + car * DENSE_APART_MS + lap * DENSE_LAP_MS, car + 1, 8, 0)
                  for car in range(len(DENSE_RACERS)) for lap in range(DENSE_LAPS + 1))


def scenario(laps):
    """Crossings (time, channel, tank digit, event digit) of the three cars."""
    crossings = []
    for car, (short, long) in enumerate(LAP_MS):
        at = START_MS + car * 400
        crossings.append((at, car + 1, 8, 0))
        for lap in range(laps):
            at += short if lap % 2 == 0 else long
            crossings.append((at, car + 1, 8, 0))
    return sorted(crossings)


def duration_text(ms):
    """A lap time as the table shows it: m:ss:mmm."""
    return f"{ms // 60000}:{ms // 1000 % 60:02d}:{ms % 1000:03d}"


class Race:
    """One program's data folder, settings and scenario in a session."""

    def __init__(self, args, session, laps, crossings=None, racers=RACERS):
        self.args = args
        self.session = session
        self.laps = laps
        self.crossings = crossings or scenario(laps)
        self.data = session.path("data")
        self.races = os.path.join(self.data, "Korvanta", "tramelo", "races")
        with open(session.path("race.txt"), "w") as out:
            out.writelines(f"{at} {channel} {tank} {event}\n" for at, channel, tank, event in self.crossings)
        xsession.write_race_settings(session, xsession.race_settings(session.path("track"), racers, laps))

    def env(self):
        return self.session.env(XDG_DATA_HOME=self.data)

    def start_program(self, prefix=()):
        return xsession.start_program(self.session, self.args.program, prefix, env=self.env())[:2]

    def start_simulator(self, args=None):
        process, _, clock_zero = xsession.start_simulator(
            self.session, self.args.simulator, args or ["--scenario", self.session.path("race.txt")])
        return process, clock_zero

    def under_way(self, laps_in_journal):
        """Starts a race and waits until the journal holds that many laps;
        returns the program and the simulator's clock 0."""
        program, window = self.start_program()
        _, clock_zero = self.start_simulator()
        xsession.start_race(self.session, window)
        wait_for_journal_laps(self, program, laps_in_journal, 90)
        return program, clock_zero

    def clean_start(self):
        """A start that must show no box: the window stays alone a while."""
        program, window = self.start_program()
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            if self.session.message_boxes():
                raise Failure(f"a message box {self.session.message_boxes()} at a start that should show none")
            if program.poll() is not None:
                raise Failure(f"the program ended with status {program.returncode}")
            time.sleep(0.2)
        xsession.quit_program(self.session, program, window)

    def folders(self):
        return sorted(glob.glob(os.path.join(self.races, "*")))

    def only_folder(self):
        folders = self.folders()
        if len(folders) != 1:
            raise Failure(f"expected one race folder in {self.races}, found {folders}")
        return folders[0]

    def scenario_laps(self):
        """(channel, lap, lap ms, crossing time) of every lap of the scenario."""
        laps, last, count = [], {}, {}
        for at, channel, _, _ in self.crossings:
            if channel in last:
                count[channel] = count.get(channel, 0) + 1
                laps.append((channel, count[channel], at - last[channel], at))
            last[channel] = at
        return laps


def journal(folder):
    """The journal's lines; a line cut short by a kill is left out."""
    lines = []
    with open(os.path.join(folder, "journal.jsonl"), encoding="utf-8") as text:
        for line in text:
            try:
                lines.append(json.loads(line))
            except ValueError:
                pass
    return lines


def laps_of(lines):
    return [line for line in lines if line.get("type") == "lap"]


def end_of(lines):
    ends = [line["how"] for line in lines if line.get("type") == "end"]
    return ends[-1] if ends else None


def check_laps(race, lines, counted_before=None):
    """Every journal lap is a lap of the scenario with its lap time, written
    as the table shows it, and no lap the program must have counted by
    counted_before (simulator ms) is missing."""
    expected = {(channel - 1, lap): (ms, at) for channel, lap, ms, at in race.scenario_laps()}
    seen = set()
    for entry in laps_of(lines):
        key = (entry["seat"], entry["lap"])
        if key not in expected:
            raise Failure(f"the journal has a lap the scenario never drove: {entry}")
        ms = expected[key][0]
        if entry["lapMs"] != ms or entry["lapTimeText"] != duration_text(ms):
            raise Failure(f"seat {key[0]} lap {key[1]}: journal {entry['lapMs']} ms '{entry['lapTimeText']}', "
                          f"the scenario drove {ms} ms")
        seen.add(key)
    due = {key for key, (_, at) in expected.items() if counted_before is None or at <= counted_before}
    if due - seen:
        raise Failure(f"laps counted before the end are missing from the journal: {sorted(due - seen)}")
    return len(seen)


def wait_for_journal_laps(race, program, count, timeout):
    def enough():
        folders = race.folders()
        return folders and len(laps_of(journal(folders[0]))) >= count
    xsession.watch(race.session, program, f"{count} laps in the journal", enough, timeout)


def case_kill(args, session):
    race = Race(args, session, laps=20)
    program, clock_zero = race.under_way(15)
    program.send_signal(signal.SIGKILL)
    killed_at_ms = (time.monotonic() - clock_zero) * 1000
    program.wait(10)
    folder = race.only_folder()
    before = journal(folder)
    if end_of(before) is not None:
        raise Failure(f"a killed race's journal has an end: {end_of(before)}")
    # A crossing reaches the table within a poll and a block (about 0.5 s);
    # those older than 2 s at the kill were surely counted.
    kept = check_laps(race, before, counted_before=killed_at_ms - 2000)

    program, window = race.start_program()
    xsession.watch(session, program, "the information box about the killed race",
                   lambda: session.windows("^Informace$"), 30, expected_box="Informace")
    session.press(session.windows("^Informace$")[0], "Return")
    xsession.watch(session, program, "the box to close", lambda: not session.windows("^Informace$"), 10)
    after = journal(folder)
    if end_of(after) != "interrupted" or laps_of(after) != laps_of(before):
        raise Failure(f"after the box the journal should end 'interrupted' with its {kept} laps unchanged; "
                      f"it ends {end_of(after)!r} with {len(laps_of(after))} laps")
    xsession.quit_program(session, program, window)
    race.clean_start()
    print(f"killed race kept with {kept} laps, announced once")


def case_signal(args, session):
    race = Race(args, session, laps=20)
    program, clock_zero = race.under_way(4)
    program.send_signal(signal.SIGTERM)
    signalled_at_ms = (time.monotonic() - clock_zero) * 1000
    status = program.wait(20)
    if status != -signal.SIGTERM:
        raise Failure(f"the program should end by SIGTERM; it ended with {status}")
    lines = journal(race.only_folder())
    if end_of(lines) != "signalled":
        raise Failure(f"the journal should end 'signalled', it ends {end_of(lines)!r}")
    check_laps(race, lines, counted_before=signalled_at_ms - 2000)
    race.clean_start()
    print(f"SIGTERM closed the journal after {len(laps_of(lines))} laps; the next start showed nothing")


def case_no_save(args, session):
    race = Race(args, session, laps=5)
    program, window = race.start_program()
    race.start_simulator()
    xsession.start_race(session, window)
    xsession.watch(session, program, "the end-of-race question", lambda: session.windows("^Otázka$"), 90,
                   expected_box="Otázka")
    # "Ne" by its mnemonic: the box takes the letter without Alt.
    session.press(session.windows("^Otázka$")[0], "n")
    xsession.watch(session, program, "the question to close", lambda: not session.windows("^Otázka$"), 10,
                   expected_box="Otázka")
    if session.windows("^Uložit jako$"):
        raise Failure("No to the save question opened the save dialog")
    lines = journal(race.only_folder())
    if end_of(lines) != "finished":
        raise Failure(f"the journal should end 'finished', it ends {end_of(lines)!r}")
    laps = check_laps(race, lines)
    if laps != 3 * race.laps:
        raise Failure(f"the journal holds {laps} laps of the {3 * race.laps} driven")
    xsession.quit_program(session, program, window)
    if end_of(journal(race.only_folder())) != "finished":
        raise Failure("closing the program after the race changed the journal's end")
    print(f"No to the save question: all {laps} laps and the finish are in {race.only_folder()}")


def race_to_results_with_one_warning(race, program, window, results_name):
    """Dismisses the one warning whenever it comes; fails on a second."""
    session = race.session
    warnings = []

    def question_up():
        for box in session.windows("^Varování$"):
            if box not in warnings:
                warnings.append(box)
                if len(warnings) > 1:
                    raise Failure("a second warning about the race record")
                session.press(box, "Return", check=False)
        return session.windows("^Otázka$")

    def check():
        if program.poll() is not None:
            raise Failure(f"the program ended (status {program.returncode}):\n" + session.log_tail("tramelo"))
        others = [box for box in session.message_boxes() if box not in ("Varování", "Otázka")]
        if others:
            raise Failure(f"unexpected message box {others}")
        return question_up()

    xsession.wait_for("the end-of-race question", check, 120, interval=0.2)
    if len(warnings) != 1:
        raise Failure(f"expected one warning about the race record, saw {len(warnings)}")
    results = xsession.save_results(session, program, results_name, 40)
    with open(results, "rb") as text:
        rows = text.read().decode("cp1250").split("\r\n")
    positions = {row.split('","')[0].strip('"'): row.split('","')[1] for row in rows[1:]}
    if positions != {RACERS[0]: "1", RACERS[1]: "2", RACERS[2]: "3"}:
        raise Failure(f"the results file's positions are wrong: {positions}")
    xsession.quit_program(session, program, window)


def case_full_disk(args, session):
    race = Race(args, session, laps=5)
    # The line's capture grows by about 6 kB a second: it hits the limit
    # during the countdown. SIGXFSZ ignored, as a full disk sends none.
    limit = ("python3", "-c", "import os, resource, signal, sys; signal.signal(signal.SIGXFSZ, signal.SIG_IGN); "
             "resource.setrlimit(resource.RLIMIT_FSIZE, (40000, resource.RLIM_INFINITY)); "
             "os.execv(sys.argv[1], sys.argv[1:])")
    program, window = race.start_program(limit)
    race.start_simulator()
    xsession.start_race(session, window)
    race_to_results_with_one_warning(race, program, window, "vysledky.csv")
    print("disk full during the race: one warning, the race went on to its results")


class Skip(Exception):
    """The case cannot run on this machine; the reason is its text."""


def report_standings(path):
    """{name: position} of the report's standings table."""
    with open(path, encoding="utf-8") as page:
        html = page.read()
    rows = re.findall(r'<tr class="racer seat-\d+"><td class="position">([^<]*)</td><td class="name">(.*?)</td>', html)
    return {re.sub(r"<[^>]*>", "", name): position for position, name in rows}


def results_positions(path):
    with open(path, "rb") as text:
        rows = text.read().decode("cp1250").split("\r\n")
    return {row.split('","')[0].strip('"'): row.split('","')[1] for row in rows[1:]}


def case_tiny_disk(args, session):
    race = Race(args, session, laps=16)
    os.makedirs(race.races)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", race.races],
                             capture_output=True, text=True)
    if mounted.returncode != 0:
        raise Skip(f"cannot mount a small disk ({mounted.stderr.strip() or mounted.returncode}); the case needs root")
    try:
        disk = os.statvfs(race.races)
        with open(os.path.join(race.races, "filler"), "wb") as filler:
            os.posix_fallocate(filler.fileno(), 0, disk.f_bavail * disk.f_frsize - 100 * 1024)
        tiny_disk_race(race)
    finally:
        # Lazily: after a failure the program may still hold the disk.
        subprocess.run(["umount", "-l", race.races], check=False)


def tiny_disk_race(race):
    session = race.session
    program, window = race.start_program()
    race.start_simulator()
    xsession.start_race(session, window)
    warnings = []

    def question_up():
        if program.poll() is not None:
            raise Failure(f"the program ended (status {program.returncode}):\n" + session.log_tail("tramelo"))
        others = [box for box in session.message_boxes() if box not in ("Varování", "Otázka")]
        if others:
            raise Failure(f"unexpected message box {others}")
        for box in session.windows("^Varování$"):
            warnings.append(box)
            session.press(box, "Return", check=False)
            xsession.wait_for("the warning to close", lambda: box not in session.windows("^Varování$"), 10)
        return session.windows("^Otázka$")

    xsession.wait_for("the end-of-race question", question_up, 150, interval=0.2)
    if len(warnings) != 1:
        raise Failure(f"expected one warning, for the line capture, saw {len(warnings)}")
    results = xsession.save_results(session, program, "vysledky.csv", 40)
    report = session.path("vysledky.html")
    xsession.watch(session, program, "the report beside the results", lambda: os.path.exists(report), 20)
    if report_standings(report) != results_positions(results):
        raise Failure(f"the report's standings {report_standings(report)} differ from the results file's "
                      f"{results_positions(results)}")
    xsession.quit_program(session, program, window)

    folder = [f for f in race.folders() if os.path.isdir(f)][0]
    lines = journal(folder)
    laps = check_laps(race, lines)
    stops = [(line.get("part"), line.get("cause")) for line in lines if line.get("type") == "recordStopped"]
    if laps != 3 * race.laps or end_of(lines) != "finished" or stops != [("lineCapture", "diskFull")]:
        raise Failure(f"the journal should hold all {3 * race.laps} laps, end 'finished' and tell that the capture "
                      f"stopped for a full disk; it holds {laps}, ends {end_of(lines)!r}, stops {stops}")

    # The box's words are not readable from outside; what the start did to the
    # folder shows which it told: a crash would have appended an end line, a
    # record that stopped for a full disk is marked beside the journal.
    program, window = race.start_program()
    xsession.watch(session, program, "the box about the full disk", lambda: session.windows("^Informace$"), 30,
                   expected_box="Informace")
    session.press(session.windows("^Informace$")[0], "Return")
    if journal(folder) != lines or not os.path.exists(os.path.join(folder, "announced.txt")):
        raise Failure("the next start should have told of the stopped capture, leaving the journal as it was")
    xsession.watch(session, program, "the box to close", lambda: not session.windows("^Informace$"), 10)
    xsession.quit_program(session, program, window)
    race.clean_start()
    print(f"1 MiB disk with 100 KiB free: the capture gave way with one warning, all {laps} laps in the journal, "
          "the report agrees with the results, the next start told of the stopped capture once")


def case_unwritable(args, session):
    race = Race(args, session, laps=5)
    os.makedirs(os.path.dirname(race.races))
    with open(race.races, "w") as blocker:
        blocker.write("a file where the races folder should be\n")
    program, window = race.start_program()
    race.start_simulator()
    xsession.start_race(session, window)
    race_to_results_with_one_warning(race, program, window, "vysledky.csv")
    print("unusable data folder: one warning, the race went on to its results")


def result_fields(path):
    """Per racer: name, position, gap or winner's time, best lap and top speed."""
    with open(path, "rb") as text:
        rows = text.read().decode("cp1250").split("\r\n")
    return [tuple(row.strip('"').split('","')) for row in rows[1:]]


def replayed_race(race):
    """Runs the race and saves its results, then replays its captured line
    to the program again; returns the two results files and journals."""
    session = race.session
    program, window = race.start_program()
    simulator, _ = race.start_simulator()
    xsession.start_race(session, window)
    first = xsession.save_results(session, program, "original.csv", 120)
    xsession.quit_program(session, program, window)
    session.stop(simulator)
    original_folder = race.only_folder()

    go = session.path("go")
    program, window = race.start_program()
    race.start_simulator(["--replay", original_folder, "--go", go])
    xsession.start_race(session, window)
    # The start signal has been given once the race table is up.
    xsession.watch(session, program, "the race table", lambda: session.window_name(window).endswith(
        f"KOLA: {race.laps}"), 60)
    with open(go, "w"):
        pass
    second = xsession.save_results(session, program, "replayed.csv", 120)
    xsession.quit_program(session, program, window)
    replayed = journal([f for f in race.folders() if f != original_folder][0])
    return first, second, journal(original_folder), replayed


def expect_same_replay(first, second, original, replayed):
    if result_fields(first) != result_fields(second):
        raise Failure(f"the replayed race's results differ:\n{result_fields(first)}\n{result_fields(second)}")
    # Each seat's laps are compared, not the order they were written in.
    pick = sorted((lap["seat"], lap["lap"], lap["lapMs"], lap["speedKmh"], lap["position"])
                  for lap in laps_of(original))
    again = sorted((lap["seat"], lap["lap"], lap["lapMs"], lap["speedKmh"], lap["position"])
                   for lap in laps_of(replayed))
    if pick != again:
        raise Failure(f"the replayed journal's laps differ:\n{pick}\n{again}")
    return len(again)


def case_replay(args, session):
    race = Race(args, session, laps=6)
    first, second, original, replayed = replayed_race(race)
    laps = expect_same_replay(first, second, original, replayed)
    print(f"replayed race: the same results ({result_fields(second)}) and the same {laps} laps")


def track_positions(race):
    """Per (seat, lap): the car's position on the track once it crossed, by
    laps and then by the time of reaching them."""
    reached = {}
    for channel, lap, _, at in race.scenario_laps():
        reached.setdefault(lap, []).append(at)
    return {(channel - 1, lap): 1 + sum(1 for other in reached[lap] if other < at)
            for channel, lap, _, at in race.scenario_laps()}


def case_dense(args, session):
    race = Race(args, session, DENSE_LAPS, dense_scenario(), DENSE_RACERS)
    first, second, original, replayed = replayed_race(race)
    laps = check_laps(race, original)
    if laps != len(DENSE_RACERS) * DENSE_LAPS:
        raise Failure(f"the journal holds {laps} laps of the {len(DENSE_RACERS) * DENSE_LAPS} driven")
    best = duration_text(DENSE_LAP_MS)
    speed = 32 * 20 * 3600 // DENSE_LAP_MS
    expected = [(name, str(car + 1),
                 f"{duration_text(DENSE_LAPS * DENSE_LAP_MS)} (vítězný celkoví čas)" if car == 0
                 else f"{duration_text(car * DENSE_APART_MS)} (ztráty)", f"{best} [m:s:ms]", f"{speed} [km/h]")
                for car, name in enumerate(DENSE_RACERS)]
    if result_fields(first) != expected:
        raise Failure(f"the results file of the dense race:\n{result_fields(first)}\nexpected:\n{expected}")
    on_track = track_positions(race)
    shown = {(lap["seat"], lap["lap"]): lap["position"] for lap in laps_of(original)}
    if shown != on_track:
        wrong = sorted(key for key in on_track if shown.get(key) != on_track[key])
        raise Failure(f"positions after the laps differ from the track's at (seat, lap) {wrong}")
    if result_fields(first) != result_fields(second):
        raise Failure(f"the replayed race's results differ:\n{result_fields(first)}\n{result_fields(second)}")
    pick = sorted((lap["seat"], lap["lap"], lap["hardwareMs"], lap["lapMs"], lap["speedKmh"])
                  for lap in laps_of(original))
    again = sorted((lap["seat"], lap["lap"], lap["hardwareMs"], lap["lapMs"], lap["speedKmh"])
                   for lap in laps_of(replayed))
    if pick != again:
        raise Failure(f"the replayed journal's laps differ:\n{pick}\n{again}")
    print(f"dense race: all {laps} laps in the journal at their track positions, the results exact, "
          "the replay the same")


CASES = {"kill": case_kill, "signal": case_signal, "no-save": case_no_save, "full-disk": case_full_disk,
         "unwritable": case_unwritable, "replay": case_replay, "tiny-disk": case_tiny_disk,
         "dense": case_dense}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--case", required=True, choices=sorted(CASES))
    parser.add_argument("--artifacts", help="where to keep the files and logs of the run")
    args = parser.parse_args()
    skipped = []

    def run(session):
        try:
            CASES[args.case](args, session)
        except Skip as reason:
            skipped.append(str(reason))

    status = xsession.run_checked(run, args.artifacts, displays=range(81, 90))
    if status == 0 and skipped:
        print(f"SKIPPED: {skipped[0]}")
        return SKIPPED
    return status


if __name__ == "__main__":
    sys.exit(main())
