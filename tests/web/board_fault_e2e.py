#!/usr/bin/env python3
"""End to end under attack: while a simulated race runs, 500 connections are
opened to the board and left idle (those the board closes are opened again),
and one client sends a request header that never ends (again and again when
it is dropped). The race must end with the same standings, laps and lap
times as the same race without them, and the program must live on and serve
the board once the attack stops.
"""

import argparse
import contextlib
import json
import os
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
# The cells, all of them from the hardware's clock, the gap included.
COMPARED = ("seat", "name", "position", "laps", "lastLap", "bestLap", "lastSpeed", "topSpeed", "gap", "tank", "flag")


class Attack:
    """The idle crowd and the endless header, on a thread of their own."""

    def __init__(self, port):
        self.port = port
        self.stopping = threading.Event()
        self.idle = []
        self.dropped = 0
        self.header_drops = 0
        self.header_bytes = 0
        self.thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *_exc):
        self.stopping.set()
        self.thread.join(30)
        for connection in self.idle:
            connection.close()

    def _open(self):
        connection = socket.socket()
        connection.setblocking(False)
        connection.connect_ex(("127.0.0.1", self.port))
        return connection

    @staticmethod
    def _closed(connection):
        try:
            return connection.recv(1) == b""
        except BlockingIOError:
            return False
        except OSError:
            return True

    def _run(self):
        self.idle = [self._open() for _ in range(IDLE_CONNECTIONS)]
        header = None
        last_sweep = 0
        while not self.stopping.is_set():
            try:
                if header is None:
                    # A full backlog may keep this waiting: the board is busy closing the crowd.
                    header = socket.create_connection(("127.0.0.1", self.port), timeout=1)
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
            time.sleep(0.01)
        if header:
            header.close()


def run_race(session, program, simulator, name, attacked):
    """Plays the scenario race; returns the board's final racers."""
    process, port, clock_zero = boardsession.start_race_with_board(session, program, simulator, LAPS)
    with Attack(port) if attacked else contextlib.nullcontext() as attack:
        last_ms = max(crossing_ms(car, LAPS) for car in LAP_MS)
        time.sleep(max(0.0, clock_zero + (last_ms + 1500) / 1000 - time.monotonic()))
        if process.poll() is not None:
            raise Failure(f"{name}: the program ended during the race:\n" + session.log_tail("tramelo"))
        xsession.watch(session, process, f"{name}: the end-of-race question", lambda: session.windows("^Otázka$"),
                       30, expected_box="Otázka")
    if attack:
        print(f"{name}: {attack.dropped} idle connections closed by the board, the endless header dropped "
              f"{attack.header_drops} times after {attack.header_bytes // 1024} KiB sent in all")
        if attack.header_drops == 0:
            raise Failure("the endless header was never dropped")
        if attack.dropped < IDLE_CONNECTIONS - 200:
            raise Failure(f"only {attack.dropped} of the idle connections were closed: the board keeps too many")
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
