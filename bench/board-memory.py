#!/usr/bin/env python3
"""Measures the live board's memory under pipelined requests that are never read.

Usage: bench/board-memory.py [--seconds S] PROGRAM [LOG_DIR]
       (PROGRAM: a built tramelo; LOG_DIR keeps the logs)

The program runs with --web on loopback on a private Xvfb, its archive
holding a 15 MiB report, a 26 KB one and 60 small ones. For each mix below,
up to 128 connections (16 from each of eight loopback addresses, the most
one address may hold) send a burst of pipelined requests at once and then
read nothing, with the smallest receive buffer the system gives, while a
visitor from 127.0.0.2 asks for the race state every 100 ms. The program's
resident memory (VmRSS) is sampled every 50 ms; the growth is its highest
value during the mix less its value just before. Every mix stops before the
board's 10 s idle time would close the attackers.

It prints a Markdown report on standard output and exits 1 when a mix grew
the program by more than 32 MiB or the visitor went unanswered.
"""

import argparse
import os
import socket
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import boardsession  # noqa: E402
from boardsession import Failure, xsession  # noqa: E402

BIG = "2026-12-07_19-30-05"
SMALL = "2026-12-07_19-45-00"
LIMIT_MIB = 32
ATTACKERS = [f"127.0.0.{10 + i}" for i in range(8)]
PER_ADDRESS = 16


def request(path):
    return f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n".encode()


# Each mix: a name, the connections, and the requests each sends at once
# (under the board's 8 KiB of requests not yet answered).
MIXES = [
    ("15 MiB report ×20", 128, request(f"/races/{BIG}/report.html") * 20),
    ("15 MiB report ×20, 8 connections", 8, request(f"/races/{BIG}/report.html") * 20),
    ("26 KB report ×100", 128, request(f"/races/{SMALL}/report.html") * 100),
    ("archive listing ×150", 128, request("/races/") * 150),
    ("board page, script, style, state ×30", 128,
     (request("/") + request("/board.js") + request("/board.css") + request("/api/race")) * 30),
    ("all of them mixed", 128,
     (request(f"/races/{BIG}/report.html") + request("/races/") + request(f"/races/{SMALL}/report.html")
      + request("/board.js") + request("/api/race")) * 20),
]


def write_archive(races):
    os.makedirs(os.path.join(races, BIG))
    with open(os.path.join(races, BIG, "report.html"), "w") as out:
        line = "<tr><td>Řehoř Šťastný</td><td>0:02:000</td><td>1152</td></tr>\n"
        out.write(line * (15 * 1024 * 1024 // len(line.encode())))
    os.makedirs(os.path.join(races, SMALL))
    with open(os.path.join(races, SMALL, "report.html"), "w") as out:
        out.write("<p>kolo</p>\n" * (26000 // 12))
    for minute in range(60):
        folder = os.path.join(races, f"2026-12-06_18-{minute:02d}-00")
        os.makedirs(folder)
        with open(os.path.join(folder, "report.html"), "w") as out:
            out.write("<p>závod</p>\n")


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise Failure("no VmRSS")


def attack(port, connections, burst):
    """Opens the connections, each from its attacker address, and sends the burst on each."""
    opened = []
    for index in range(connections):
        connection = socket.socket()
        connection.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1)
        connection.bind((ATTACKERS[index // PER_ADDRESS], 0))
        connection.settimeout(2)
        try:
            connection.connect(("127.0.0.1", port))
            connection.sendall(burst)
        except OSError:
            connection.close()
            continue
        connection.setblocking(False)
        opened.append(connection)
    return opened


def visitor_asks(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=2, source_address=("127.0.0.2", 0)) as connection:
            connection.sendall(request("/api/race"))
            return connection.recv(64).startswith(b"HTTP/1.1 200")
    except OSError:
        return False


def measure(session, program, seconds):
    write_archive(session.path("home", ".local", "share", "Korvanta", "tramelo", "races"))
    port = boardsession.free_port()
    process, _, _ = boardsession.start_program_with_board(session, program, port)
    time.sleep(2)
    started = rss_kib(process.pid)
    rows = []
    for name, connections, burst in MIXES:
        before = rss_kib(process.pid)
        opened = attack(port, connections, burst)
        highest, asked, answered = before, 0, 0
        end = time.monotonic() + seconds
        next_visit = 0
        while time.monotonic() < end:
            highest = max(highest, rss_kib(process.pid))
            if time.monotonic() >= next_visit:
                next_visit = time.monotonic() + 0.1
                asked += 1
                answered += visitor_asks(port)
            time.sleep(0.05)
        for connection in opened:
            connection.close()
        if process.poll() is not None:
            raise Failure(f"{name}: the program ended:\n" + session.log_tail("tramelo"))
        rows.append((name, connections, len(burst), before, highest, asked, answered, len(opened)))
        time.sleep(1.5)
    session.stop(process)
    session.processes.remove(process)

    print(f"Program: {program}; resident memory after start-up {started / 1024:.1f} MiB; each mix held for "
          f"{seconds} s\n")
    print("| mix | connections opened | request bytes each | VmRSS before | highest | growth | "
          "visitor answered |")
    print("|---|---|---|---|---|---|---|")
    failed = []
    for name, connections, size, before, highest, asked, answered, opened in rows:
        growth = (highest - before) / 1024
        print(f"| {name} | {opened} of {connections} | {size} | {before / 1024:.1f} MiB | "
              f"{highest / 1024:.1f} MiB | {growth:.1f} MiB | {answered} of {asked} |")
        if growth > LIMIT_MIB or answered < asked:
            failed.append(name)
    if failed:
        raise Failure(f"over {LIMIT_MIB} MiB or the visitor unanswered: {', '.join(failed)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=6.0, help="how long each mix is held (1 to 9)")
    parser.add_argument("program")
    parser.add_argument("log_dir", nargs="?")
    args = parser.parse_args()
    if not 1 <= args.seconds <= 9:
        parser.error("--seconds 1 to 9 (the board closes idle connections after 10 s)")
    program = os.path.abspath(args.program)
    return xsession.run_checked(lambda session: measure(session, program, args.seconds), args.log_dir,
                                displays=range(91, 100))


if __name__ == "__main__":
    sys.exit(main())
