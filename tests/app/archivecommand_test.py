#!/usr/bin/env python3
"""The archive's commands on a made-up archive, with no display: --night
writes a page whose points equal a count made here from the races alone,
--drivers lists case variants as one driver and suggests a diacritics
variant without merging it, drivers.json merges it and --season follows,
--exclude takes a race out of the points and --include puts it back, the
index deleted or overwritten with random bytes gives the same pages, and bad
arguments get a Czech reason with status 1 or 2.

Usage: archivecommand_test.py PROGRAM
"""

import fcntl
import json
import os
import random
import shutil
import sqlite3
import subprocess
import sys
import tempfile

POINTS = [10, 8, 6, 5, 4, 3, 2, 1]


def journal(started_at, racers, how="finished"):
    """racers: (name, [lap ms], disqualified_at_end)"""
    lines = [{"format": "tramelo-journal", "version": 1, "startedAt": started_at}]
    names = [r[0] for r in racers] + [""] * (8 - len(racers))
    laps = max(len(r[1]) for r in racers)
    lines.append({"type": "settings", "hostMs": 1000, "trackLength": "20", "scale": "32",
                  "lapsPerRide": str(laps), "racers": names})
    lines.append({"type": "startSignal", "hostMs": 1000})
    crossings = []
    for seat, (name, times, _) in enumerate(racers):
        lines.append({"type": "startCrossing", "hostMs": 2000, "seat": seat, "lap": 0, "hardwareMs": 2000})
        at = 2000
        for lap, ms in enumerate(times, 1):
            at += ms
            crossings.append((at, seat, lap, ms))
    crossings.sort()
    for at, seat, lap, ms in crossings:
        lines.append({"type": "lap", "hostMs": at, "seat": seat, "lap": lap, "hardwareMs": at, "lapMs": ms,
                      "speedKmh": 400, "position": 1, "lapTimeText": "", "gapText": "", "tank": 8})
        if lap == len(racers[seat][1]):
            kind = "disqualified" if racers[seat][2] else "finished"
            lines.append({"type": kind, "hostMs": at, "seat": seat, "lap": lap})
    lines.append({"type": "end", "hostMs": crossings[-1][0] + 1, "how": how})
    return "".join(json.dumps(line, ensure_ascii=False) + "\n" for line in lines)


def points_by_hand(races, same=lambda name: name):
    """More laps first, then less time; a disqualified racer scores 0."""
    points = {}
    for racers in races:
        placed = sorted((r for r in racers if not r[2]), key=lambda r: (-len(r[1]), sum(r[1])))
        for racer in racers:
            points.setdefault(same(racer[0]), 0)
        for place, racer in enumerate(placed):
            points[same(racer[0])] += POINTS[place] if place < len(POINTS) else 0
    return points


def csv_points(path):
    with open(path, encoding="utf-8-sig") as f:
        rows = [line.rstrip("\r\n").split(",") for line in f][1:]
    return {row[1]: int(row[2]) for row in rows if len(row) > 2}


def main(program):
    failures = []
    home = tempfile.mkdtemp(prefix="tramelo-archive-cmd-")
    data = os.path.join(home, "Korvanta", "tramelo")
    races_dir = os.path.join(data, "races")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env["XDG_DATA_HOME"] = home

    def run(*args):
        result = subprocess.run([program, *args], env=env, capture_output=True, timeout=60)
        return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")

    def expect(condition, text):
        if not condition:
            failures.append(text)

    night = {
        "2026-12-07_19-00-00": [("Adam", [5000, 5100, 5000], False), ("Bára", [4900, 5000, 5050], False),
                                ("Cyril", [5500, 5500, 5500], False), ("Dana", [6000, 6000], False)],
        "2026-12-07_20-00-00": [("Cyril", [4800, 4800, 4800], False), ("adam", [5000, 5000, 5000], False),
                                ("Bára", [4000, 4000, 4000], True), ("Dana", [5200, 5200, 5300], False)],
        "2026-12-08_00-30-00": [("Dana", [4700, 4700, 4700], False), ("Bara", [4800, 4800, 4800], False),
                                ("ADAM  ", [6000, 6000], False)],
    }
    for folder, racers in night.items():
        os.makedirs(os.path.join(races_dir, folder))
        started = folder[:10] + " " + folder[11:].replace("-", ":")
        with open(os.path.join(races_dir, folder, "journal.jsonl"), "w", encoding="utf-8") as f:
            f.write(journal(started, racers))
    os.makedirs(os.path.join(races_dir, "2026-12-07_21-00-00"))
    with open(os.path.join(races_dir, "2026-12-07_21-00-00", "journal.jsonl"), "wb") as f:
        f.write(b"\x00garbage\n")

    status, out, err = run("--night", "2026-12-07")
    page = os.path.join(data, "pages", "night-2026-12-07.html")
    expect(status == 0 and os.path.exists(page), f"--night: status {status}, {err!r}")
    expect("2026-12-07_21-00-00" in err, f"--night does not name the damaged journal: {err!r}")
    adam = lambda name: "Adam" if name.strip().lower() == "adam" else name
    expected = points_by_hand(night.values(), adam)
    got = csv_points(page[:-5] + ".csv")
    expect(got == expected, f"night points {got} != counted by hand {expected}")

    status, out, err = run("--drivers")
    expect(status == 0, f"--drivers: status {status}")
    expect("Adam – závodů: 3" in out, f"--drivers does not count the case variants as one: {out!r}")
    expect("Bára = Bara? (liší se jen diakritikou)" in out or "Bara = Bára? (liší se jen diakritikou)" in out,
           f"--drivers does not suggest the diacritics variant: {out!r}")

    season_csv = os.path.join(data, "pages", "season-2026.csv")
    status, out, err = run("--season", "2026")
    expect(status == 0, f"--season 2026: status {status}, {err!r}")
    before = csv_points_total(season_csv)
    expect("Bara" in before and "Bára" in before, f"the variant was merged without drivers.json: {before}")
    with open(os.path.join(data, "drivers.json"), "w", encoding="utf-8") as f:
        json.dump({"drivers": [{"name": "Bára", "aliases": ["Bara"]}]}, f, ensure_ascii=False)
    run("--season", "2026")
    after = csv_points_total(season_csv)
    expect("Bara" not in after and after.get("Bára") == before.get("Bára", 0) + before.get("Bara", 0),
           f"drivers.json did not merge the season: {before} -> {after}")

    run("--night", "2026-12-07")
    with open(page, encoding="utf-8") as f:
        first_page = f.read()
    index = os.path.join(data, "index.sqlite")
    for damage in ("delete", "random"):
        for suffix in ("", "-wal", "-shm"):
            if os.path.exists(index + suffix):
                os.remove(index + suffix)
        if damage == "random":
            with open(index, "wb") as f:
                f.write(random.Random(25).randbytes(65536))
        status, out, err = run("--night", "2026-12-07")
        with open(page, encoding="utf-8") as f:
            expect(status == 0 and f.read() == first_page, f"index {damage}: not the same page ({err!r})")
        expect("Rejstřík závodů sestaven znovu" in err, f"index {damage}: rebuild not told: {err!r}")
    expect("rejstřík je poškozený (file is not a database)" in err, f"the garbled index's reason: {err!r}")

    status, out, err = run("--exclude", "2026-12-07_19-00-00")
    expect(status == 0 and "nezapočítává" in out, f"--exclude: status {status}, {out!r} {err!r}")
    run("--night", "2026-12-07")
    excluded = csv_points(page[:-5] + ".csv")
    expected_excluded = points_by_hand([night["2026-12-07_20-00-00"], night["2026-12-08_00-30-00"]], adam)
    expect(excluded.get("Adam") == expected_excluded["Adam"], f"--exclude: {excluded} != {expected_excluded}")
    status, out, err = run("--include", "2026-12-07_19-00-00")
    run("--night", "2026-12-07")
    expect(status == 0 and csv_points(page[:-5] + ".csv").get("Adam") == got.get("Adam"), "--include did not restore")

    status, out, err = run("--reindex")
    expect(status == 0 and "Rejstřík závodů sestaven: 3 závodů, přeskočeno 1." in out and "Čtu záznamy závodů: 4 z 4" in err,
           f"--reindex: status {status}, {out!r} {err!r}")
    status, out, err = run("--records", os.path.join(home, "rekordy.html"))
    expect(status == 0 and os.path.exists(os.path.join(home, "rekordy.csv")), f"--records OUT: {status} {err!r}")

    # Another program writing the index: the command waits, then says the
    # archive is busy, ends with status 1 and leaves the index as it was.
    # (A program with the index open holds its lock file shared.)
    inode = os.stat(index).st_ino
    holder = open(index + ".lock", "a")
    fcntl.flock(holder, fcntl.LOCK_SH)
    writer = sqlite3.connect(index, isolation_level=None)
    writer.execute("BEGIN IMMEDIATE")
    os.makedirs(os.path.join(races_dir, "2026-12-09_19-00-00"))
    with open(os.path.join(races_dir, "2026-12-09_19-00-00", "journal.jsonl"), "w", encoding="utf-8") as f:
        f.write(journal("2026-12-09 19:00:00", [("Eva", [5000], False)]))
    for args in (["--night", "2026-12-07"], ["--reindex"]):
        status, out, err = run(*args)
        expect(status == 1 and "Archiv závodů právě používá jiný program" in err and "sestaven" not in err,
               f"tramelo {' '.join(args)} on a busy index: status {status}, {err!r}")
    expect(os.stat(index).st_ino == inode and writer.execute("SELECT count(*) FROM races").fetchone()[0] == 3,
           "the busy index was replaced")
    writer.execute("COMMIT")
    writer.close()
    holder.close()
    status, out, err = run("--night", "2026-12-09")
    expect(status == 0 and "sestaven" not in err, f"--night once the index is free: status {status}, {err!r}")
    shutil.rmtree(os.path.join(races_dir, "2026-12-09_19-00-00"))

    for args, code, text in [
        (["--night", "2026-12-32"], 2, "Neplatné datum pro --night: 2026-12-32"),
        (["--night", "2026-12-09"], 1, "Večer 9. 12. 2026 se nejel žádný závod."),
        (["--season", "zima"], 1, "Sezóna zima neexistuje"),
        (["--records", "a.html", "b.html"], 2, "Neznámý argument: b.html"),
        (["--records", "--drivers"], 2, "nelze použít zároveň"),
        (["--exclude", "/nonexistent/race"], 1, "Ve složce /nonexistent/race není záznam závodu."),
        (["--exclude"], 2, "exclude"),
    ]:
        status, out, err = run(*args)
        expect(status == code and text in err, f"tramelo {' '.join(args)}: status {status}, err {err!r}")

    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures else 0


def csv_points_total(path):
    """Season CSV: driver -> total (the column after the nights)."""
    with open(path, encoding="utf-8-sig") as f:
        rows = [line.rstrip("\r\n").split(",") for line in f]
    total = rows[0].index("body")
    return {row[1]: int(row[total]) for row in rows[1:] if len(row) > total}


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
