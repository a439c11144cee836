#!/usr/bin/env python3
"""End to end under attack: while a simulated race runs,

- 500 connections from one address are opened to the board and left idle
  (those the board closes are opened again);
- one client sends a request header that never ends (again and again when
  it is dropped);
- eight more addresses try to lock everyone out, each holding every place it
  may with idle connections, WebSockets that answer pings and HTTP/1.0
  requests, all opened again when closed;
- four addresses pipeline requests for a 15 MiB report and the race state
  on connections they never read.

The race must end with the same standings, laps and lap times as the same
race without them; the window's race clock must keep moving; a visitor from
an address of its own must get 25 of 25 answers and its live board must
follow the laps; the program's memory must stay bounded; and the program
must live on and serve the board once the attack stops.
"""

import argparse
import contextlib
import json
import os
import re
import select
import socket
import sys
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import boardsession  # noqa: E402
from boardsession import LAP_MS, RACERS, Failure, crossing_ms, xsession  # noqa: E402

LAPS = 8
IDLE_CONNECTIONS = 500
HEADER_FROM = "127.0.0.9"
# Eight addresses trying to hold every place: 16 each, the most one may hold.
LOCKOUT_FROM = [f"127.0.0.{10 + i}" for i in range(8)]
LOCKOUT_IDLE, LOCKOUT_LIVE, LOCKOUT_HTTP10 = 6, 5, 5
PIPELINE_FROM = [f"127.0.0.{20 + i}" for i in range(4)]
PIPELINE_CONNECTIONS = 4
VISITOR = "127.0.0.2"
VISITOR_ASKS = 25
BIG_REPORT = "2026-12-01_10-00-00"
# The program's growth under attack that fails the test: the replies that
# piled up before the board held its clients back grew it by a gigabyte.
MEMORY_GROWTH_LIMIT_MIB = 64
# The cells, all of them from the hardware's clock, the gap included.
COMPARED = ("seat", "name", "position", "laps", "lastLap", "bestLap", "lastSpeed", "topSpeed", "gap", "tank", "flag")


# The first byte of TCP_INFO: the connection's state.
TCP_ESTABLISHED, TCP_SYN_SENT = 1, 2
HTTP10 = b"GET /api/race HTTP/1.0\r\n\r\n"
PIPELINED = (f"GET /races/{BIG_REPORT}/report.html HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" * 20
             + "GET /api/race HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" * 20).encode()


class Attack:
    """The idle crowd and the endless header, on a thread of their own."""

    def __init__(self, port):
        self.port = port
        self.stopping = threading.Event()
        self.idle = []
        self.dropped = 0
        self.header_drops = 0
        self.header_bytes = 0
        self.lockout = {}
        self.lockout_closed = {"idle": 0, "live": 0, "http10": 0}
        self.pipelines = []
        self.pipelines_closed = 0
        self.thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *_exc):
        self.stopping.set()
        self.thread.join(30)
        for connection in self.idle:
            connection.close()

    def _open(self, source=None, send=b""):
        connection = socket.socket()
        if source:
            connection.bind((source, 0))
        connection.setblocking(False)
        connection.connect_ex(("127.0.0.1", self.port))
        if send:
            # Sent once the connection is up; a refused one is found closed later.
            select.select([], [connection], [], 1)
            try:
                connection.send(send)
            except OSError:
                pass
        return connection

    @staticmethod
    def _closed(connection):
        # Asked of the system, so the replies the attackers leave unread stay so.
        try:
            state = connection.getsockopt(socket.IPPROTO_TCP, socket.TCP_INFO, 1)[0]
        except OSError:
            return True
        return state not in (TCP_ESTABLISHED, TCP_SYN_SENT)

    def _live(self, source):
        try:
            return boardsession.BoardClient(self.port, source=source)
        except (Failure, OSError):
            return None

    def _renew_lockout(self):
        """Every place of the lock-out addresses taken again where it was lost."""
        for source in LOCKOUT_FROM:
            held = self.lockout.setdefault(source, {"idle": [], "live": [], "http10": []})
            for kind, count in (("idle", LOCKOUT_IDLE), ("http10", LOCKOUT_HTTP10)):
                kept = []
                for connection in held[kind]:
                    if self._closed(connection):
                        self.lockout_closed[kind] += 1
                        connection.close()
                    else:
                        kept.append(connection)
                while len(kept) < count:
                    kept.append(self._open(source, HTTP10 if kind == "http10" else b""))
                held[kind] = kept
            kept = []
            for client in held["live"]:
                client.pump()
                if client.closed:
                    self.lockout_closed["live"] += 1
                    client.close()
                else:
                    kept.append(client)
            while len(kept) < LOCKOUT_LIVE:
                client = self._live(source)
                if client is None:
                    break
                kept.append(client)
            held["live"] = kept

    def _renew_pipelines(self):
        kept = []
        for connection in self.pipelines:
            if self._closed(connection):
                self.pipelines_closed += 1
                connection.close()
            else:
                kept.append(connection)
        for source in PIPELINE_FROM:
            while sum(1 for c in kept if c.getsockname()[0] == source) < PIPELINE_CONNECTIONS:
                connection = self._open(source, PIPELINED)
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1)
                kept.append(connection)
        self.pipelines = kept

    def _run(self):
        self.idle = [self._open() for _ in range(IDLE_CONNECTIONS)]
        header = None
        last_sweep = 0
        while not self.stopping.is_set():
            try:
                if header is None:
                    # A full backlog may keep this waiting: the board is busy closing the crowd.
                    header = socket.create_connection(("127.0.0.1", self.port), timeout=1,
                                                      source_address=(HEADER_FROM, 0))
                    header.sendall(b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Endless: ")
                header.sendall(b"a" * 1024)
                self.header_bytes += 1024
            except OSError:
                if header is not None:
                    self.header_drops += 1
                    header.close()
                header = None
            if time.monotonic() - last_sweep > 1:
                last_sweep = time.monotonic()
                for index, connection in enumerate(self.idle):
                    if self._closed(connection):
                        self.dropped += 1
                        connection.close()
                        self.idle[index] = self._open()
                self._renew_lockout()
                self._renew_pipelines()
            time.sleep(0.01)
        if header:
            header.close()
        for held in self.lockout.values():
            for connection in held["idle"] + held["http10"] + held["live"]:
                connection.close()
        for connection in self.pipelines:
            connection.close()


def write_big_report(session):
    """A 15 MiB report in the program's archive, for the pipelining attack."""
    folder = session.path("home", ".local", "share", "Korvanta", "tramelo", "races", BIG_REPORT)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "report.html"), "w") as out:
        line = "<tr><td>Řehoř Šťastný</td><td>0:02:000</td></tr>\n"
        out.write(line * (15 * 1024 * 1024 // len(line.encode())))


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        values = dict(line.split(":", 1) for line in status)
    return int(values["VmRSS"].split()[0]) / 1024


class Visitor:
    """A visitor from an address of its own during the attack: its live
    board's lap counts, and a request for the race state about once a second."""

    def __init__(self, port):
        self.port = port
        self.live = boardsession.BoardClient(port, source=VISITOR)
        self.leader_laps = set()
        self.asked = 0
        self.answered = 0
        self.next_ask = 0

    def step(self):
        for state in self.live.pump():
            self.leader_laps.update(int(racer["laps"]) for racer in state["racers"] if racer["seat"] == 1)
        if self.asked < VISITOR_ASKS and time.monotonic() >= self.next_ask:
            self.next_ask = time.monotonic() + 1
            self.asked += 1
            try:
                status, _ = boardsession.http_get(self.port, "/api/race", timeout=3, source=VISITOR)
                self.answered += status == 200
            except OSError:
                pass


CLOCK = re.compile(r"(\d+):(\d\d):(\d\d\d)")


def window_clock_ms(session):
    """The race time in the main window's title, in ms, or None."""
    for window in session.windows(xsession.MAIN_WINDOW):
        found = CLOCK.search(session.window_name(window))
        if found:
            minutes, seconds, ms = (int(part) for part in found.groups())
            return (minutes * 60 + seconds) * 1000 + ms
    return None


def run_race(session, program, simulator, name, attacked):
    """Plays the scenario race; returns the board's final racers."""
    if attacked:
        write_big_report(session)
    process, port, clock_zero = boardsession.start_race_with_board(session, program, simulator, LAPS)
    memory_before = rss_mib(process.pid)
    with Attack(port) if attacked else contextlib.nullcontext() as attack:
        last_ms = max(crossing_ms(car, LAPS) for car in LAP_MS)
        race_end = clock_zero + (last_ms + 1500) / 1000
        visitor = None
        clocks = []
        memory_most = memory_before
        while time.monotonic() < race_end:
            if process.poll() is not None:
                raise Failure(f"{name}: the program ended during the race:\n" + session.log_tail("tramelo"))
            if attack:
                memory_most = max(memory_most, rss_mib(process.pid))
                # The visitor comes once the attackers hold every place they can.
                if visitor is None and time.monotonic() > clock_zero + 8:
                    visitor = Visitor(port)
                if visitor:
                    visitor.step()
                clock = window_clock_ms(session)
                if clock is not None and (not clocks or clocks[-1][1] != clock):
                    clocks.append((time.monotonic(), clock))
            time.sleep(0.1)
        if process.poll() is not None:
            raise Failure(f"{name}: the program ended during the race:\n" + session.log_tail("tramelo"))
        xsession.watch(session, process, f"{name}: the end-of-race question", lambda: session.windows("^Otázka$"),
                       30, expected_box="Otázka")
    if attack:
        lockout = ", ".join(f"{kind} {count}" for kind, count in attack.lockout_closed.items())
        print(f"{name}: {attack.dropped} idle connections closed by the board, the endless header dropped "
              f"{attack.header_drops} times after {attack.header_bytes // 1024} KiB sent in all; lock-out "
              f"connections closed by the board: {lockout}; pipelining connections closed: "
              f"{attack.pipelines_closed}; the visitor got {visitor.answered} of {visitor.asked} answers and saw "
              f"the leader's laps {sorted(visitor.leader_laps)}; the window's clock changed {len(clocks)} times; "
              f"memory {memory_before:.1f} MiB before, {memory_most:.1f} MiB at most")
        if attack.header_drops == 0:
            raise Failure("the endless header was never dropped")
        if attack.dropped < IDLE_CONNECTIONS - 200:
            raise Failure(f"only {attack.dropped} of the idle connections were closed: the board keeps too many")
        if visitor.answered != visitor.asked or visitor.asked != VISITOR_ASKS:
            raise Failure(f"the visitor got {visitor.answered} of {visitor.asked} answers, "
                          f"expected {VISITOR_ASKS} of {VISITOR_ASKS}")
        if visitor.live.closed or len(visitor.leader_laps) < LAPS // 2:
            raise Failure(f"the visitor's live board stopped following the race: leader's laps "
                          f"{sorted(visitor.leader_laps)}, closed: {visitor.live.closed}")
        visitor.live.close()
        if attack.lockout_closed["http10"] == 0:
            raise Failure("no HTTP/1.0 connection was closed after its answer")
        if attack.pipelines_closed == 0:
            raise Failure("no connection that never reads its replies was ever closed")
        # About once a second from the start to the first car home: the window kept its clock.
        moving = [clock for _, clock in clocks]
        if len(clocks) < 10 or moving != sorted(moving):
            raise Failure(f"the window's race clock did not keep moving: {clocks}")
        if memory_most - memory_before > MEMORY_GROWTH_LIMIT_MIB:
            raise Failure(f"the program grew from {memory_before:.1f} to {memory_most:.1f} MiB under attack")
    # Once the crowd has gone the board answers again.
    state = xsession.wait_for(f"{name}: the board to answer", lambda: _try_state(port), 20, interval=0.2)
    if process.poll() is not None:
        raise Failure(f"{name}: the program ended")
    session.stop(process)
    session.processes.remove(process)
    if state["phase"] != "finished":
        raise Failure(f"{name}: the board's phase is {state['phase']} at the end of the race")
    # Once the winner has finished, the clock is its total on the hardware's clock.
    return [{key: racer[key] for key in COMPARED} for racer in state["racers"]] + [state["clock"]]


def _try_state(port):
    try:
        status, body = boardsession.http_get(port, "/api/race")
    except OSError:
        return None
    return json.loads(body) if status == 200 else None


def run(session, program, simulator):
    calm = run_race(session, program, simulator, "race without attack", attacked=False)
    attacked = run_race(session, program, simulator, "race under attack", attacked=True)
    if calm != attacked:
        raise Failure(f"the races differ:\nwithout attack: {calm}\nunder attack:   {attacked}")
    if [racer["laps"] for racer in calm[:-1]] != [str(LAPS)] * len(RACERS):
        raise Failure(f"not every car finished: {calm}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--artifacts")
    args = parser.parse_args()
    return xsession.run_checked(lambda session: run(session, args.program, args.simulator), args.artifacts,
                                displays=range(91, 100))


if __name__ == "__main__":
    sys.exit(main())
