#!/usr/bin/env python3
"""Writes the fuzz targets' generated seeds under tests/data/fuzz-seeds/.

The decoder's seeds are races in its step format (see decoder_fuzz.cpp):
laps of every seat up to the finish, off-track marks and tank digits, row
buttons, short and malformed blocks. The INI and race seeds are variants of
the factory settings file; the race seeds carry a script after a zero byte
(see settingsrace_fuzz.cpp). The journal seeds are journals cut, damaged and
odd. scripts/fuzz adds tests/data/factory.ini and the example journal itself.
"""
from pathlib import Path

SEEDS = Path(__file__).resolve().parent.parent / "data" / "fuzz-seeds"
BLOCK = 636
START_MS = 1000


def record(channel, timestamp, tank=7, event=0):
    return b"%02d%d%dxyz%010d\r\n" % (channel, tank, event, timestamp % 10**10)


def block(timestamps, tanks=None, events=None, channels=None):
    """A 636-byte block: a cut line end, 32 records, channel 1 again, a partial record."""
    tanks = tanks or {}
    events = events or {}
    channels = channels or list(range(1, 33))
    body = b"\r\n" + b"".join(
        record(c, timestamps.get(c, START_MS), tanks.get(c, 7), events.get(c, 0)) for c in channels)
    body += record(1, timestamps.get(1, START_MS), tanks.get(1, 7), events.get(1, 0))
    return (body + b"0270xyz0000000000")[:BLOCK]


def full(payload, clock_steps=7):
    return bytes([clock_steps << 3 | 0]) + payload


def decoder_seeds():
    seeds = {}
    stamps = {c: START_MS for c in (1, 2)}
    race = b""
    for lap in range(1, 4):
        for channel in (2, 1):
            stamps[channel] += 4000 + 37 * channel + 11 * lap
            race += full(block(stamps))
            race += bytes([6])  # the table paints
    seeds["whole-race"] = race + bytes([7])

    stamps = {1: START_MS}
    marks = b""
    for lap in range(1, 6):
        stamps[1] += 5000
        marks += full(block(stamps, tanks={1: lap % 3}, events={1: 3 if lap < 5 else 0}))
    seeds["off-track-and-tank"] = marks

    seeds["buttons"] = (bytes([5, 1]) + full(block({1: 6000})) + bytes([5, 0, 6])
                        + full(block({1: 11000})) + bytes([6]) + full(block({1: 16000})))
    seeds["short-blocks"] = bytes([4, 0]) + bytes([4, 150]) + block({2: 7000})[:300] + bytes([3]) + block({})[:635]
    seeds["bad-channels"] = b"".join(
        full(block({}, channels=[1, bad] + list(range(3, 33)))) for bad in (0, 33, 99))
    seeds["backwards-and-nines"] = (full(block({1: 9999999999, 2: 500})) + bytes([6])
                                    + full(block({1: 9999999999, 2: 100})) + bytes([6])
                                    + full(block({1: 1, 2: 50})))
    split = block({1: 6000}) + block({1: 11000})
    seeds["records-split-across-blocks"] = full(split[:BLOCK - 9]) + bytes([4, 200]) + split[BLOCK - 9:BLOCK + 391]
    return seeds


def factory_ini(**changes):
    lines = [
        ("Meritko", "32"), ("DelkaDrahy", "20"), ("ZobrazeniZavodniku", "1"),
        ("AutomatickePocitaniVyjetiZDrahy", "0"),
    ]
    for racer in range(1, 9):
        lines += [("Zavodnik%d" % racer, "Závodník %d" % racer if racer <= 2 else ""), ("Logo%d" % racer, "")]
    lines += [
        ("PocetKol", "12"), ("KomunikacniPort", "COM1"), ("RychlostPrenosu", "CBR_57600"),
        ("Parita", "NOPARITY"), ("PocetBitu", "8"), ("StopBity", "ONESTOPBIT"),
        ("UsporadaniZavodniku", "0"), ("BarevneSchema", "0"),
    ]
    values = dict(lines)
    values.update(changes)
    return b"".join(("%s=%s\r\n" % (key, values[key])).encode("cp1250") for key, _ in lines)


def ini_seeds():
    return {
        "czech-names": factory_ini(Zavodnik1="Říha Šťastný", Zavodnik2="Žofie Ďurková",
                                   Logo1="C:\\Loga\\řidič.bmp"),
        "eight-racers-odd-values": factory_ini(
            **{"Zavodnik%d" % r: "Jezdec %d" % r for r in range(1, 9)},
            Meritko="2147483647", DelkaDrahy="-20", PocetKol="0", UsporadaniZavodniku="4", BarevneSchema="7"),
        "lone-line-ends": factory_ini().replace(b"\r\n", b"\n", 5).replace(b"Parita=", b"\rParita="),
    }


def race_seeds():
    eight = {"Zavodnik%d" % r: "Jezdec \"%d\", tým" % r for r in range(1, 9)}
    script = bytes(step % 8 + 8 * (step % 29) for step in range(12))
    two_seats = bytes(step % 2 + 8 * (step % 29) for step in range(12))
    return {
        "short-race": factory_ini(PocetKol="3") + b"\0" + two_seats,
        "eight-racers-counting": factory_ini(PocetKol="1", AutomatickePocitaniVyjetiZDrahy="1",
                                             UsporadaniZavodniku="1", BarevneSchema="2", **eight)
                                 + b"\0" + bytes([0xF1, 0xF2]) + script,
        "huge-scale": factory_ini(PocetKol="1", Meritko="99999999999", DelkaDrahy="99999",
                                  UsporadaniZavodniku="3", AutomatickePocitaniVyjetiZDrahy="-3"),
        "no-racers": factory_ini(Zavodnik1="", Zavodnik2="", UsporadaniZavodniku="4"),
    }


def journal_seeds():
    header = b'{"format":"tramelo-journal","version":1,"startedAt":"2026-12-07 19:30:05"}\n'
    lap = (b'{"type":"lap","hostMs":15000,"seat":0,"lap":1,"hardwareMs":15000,"lapMs":5000,"speedKmh":460,'
           b'"position":1,"lapTimeText":"0:05:000","gapText":"- pr\xc5\xafb\xc4\x9b\xc5\xben\xc3\xa9 veden\xc3\xad -","tank":8}\n')
    answer = b'{"type":"falseStartAnswer","hostMs":2200,"seat":2,"lap":0,"answer":"yes"}\n'
    return {
        "killed-mid-line": header + lap + lap[:70],
        "crlf-blank-and-unknown": header.replace(b"\n", b"\r\n") + b"\n" + b'{"type":"teleport"}\n' + lap,
        "answer-without-question": header + answer + answer + b'{"type":"end","hostMs":9,"how":"closed"}\n',
        "deep-and-binary": header + b"[" * 5000 + b"\n" + bytes(range(256)) + b"\n" + lap,
    }


def main():
    for target, seeds in (("decoder", decoder_seeds()), ("ini", ini_seeds()), ("race", race_seeds()),
                          ("journal", journal_seeds())):
        folder = SEEDS / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
