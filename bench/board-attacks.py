#!/usr/bin/env python3
"""Tries the board's attacks one by one against the real program and prints what each got.

Usage: bench/board-attacks.py PROGRAM
       (PROGRAM: a built tramelo)

The program runs with --web on loopback on a private Xvfb, its archive
holding a 15 MiB report and one of 17 MiB. In turn: one address asking for
128 idle connections, then a visitor from 127.0.0.2 asking 25 times; one
address opening 20 WebSockets; HTTP/1.0, Connection: close and plain
HTTP/1.1 requests, timed to the board's close; the WebSocket with no, its
own and foreign origins; a slow reader of the 15 MiB report at 1 MiB/s; the
listing of the report over the limit; an escaped digit in a report's URL.
The numbers go to docs/reliability.md.
"""
import os
import socket
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import boardsession  # noqa: E402
from boardsession import xsession  # noqa: E402

BIG = "2026-12-07_19-30-05"
HUGE = "2026-12-07_20-00-00"


def req(path, extra=""):
    return f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\n{extra}\r\n".encode()


def run(session):
    races = session.path("home", ".local", "share", "Korvanta", "tramelo", "races")
    os.makedirs(os.path.join(races, BIG))
    with open(os.path.join(races, BIG, "report.html"), "wb") as out:
        out.write(b"x" * (15 * 1024 * 1024))
    os.makedirs(os.path.join(races, HUGE))
    with open(os.path.join(races, HUGE, "report.html"), "wb") as out:
        out.truncate(17 * 1024 * 1024)
    port = boardsession.free_port()
    process, _, _ = boardsession.start_program_with_board(session, os.path.abspath(sys.argv[1]), port)
    print(session.log_tail("tramelo", 10))

    # 1. one address asks for 128 idle connections
    held = []
    for _ in range(128):
        s = socket.socket()
        s.connect(("127.0.0.1", port))
        held.append(s)
    time.sleep(1)
    alive = 0
    for s in held:
        s.setblocking(False)
        try:
            alive += s.recv(1) != b""
        except BlockingIOError:
            alive += 1
        except OSError:
            pass
    ok = 0
    for _ in range(25):
        try:
            status, _ = boardsession.http_get(port, "/api/race", timeout=2, source="127.0.0.2")
            ok += status == 200
        except OSError:
            pass
    print(f"one address, 128 idle asked: {alive} held; visitor {ok}/25")
    # WebSockets from one address
    lives = []
    for _ in range(20):
        try:
            lives.append(boardsession.BoardClient(port, source="127.0.0.3"))
        except (boardsession.Failure, OSError) as error:
            print("WebSocket refused:", error)
            break
    print(f"WebSockets from one address: {len(lives)} of 20 opened")
    for s in held:
        s.close()
    for c in lives:
        c.close()
    time.sleep(0.5)

    # 2. HTTP/1.0 and Connection: close: time to the server's close
    for name, data in (("HTTP/1.0", b"GET /api/race HTTP/1.0\r\n\r\n"),
                       ("Connection: close", req("/api/race", "Connection: close\r\n")),
                       ("HTTP/1.1 keep", req("/api/race"))):
        s = socket.create_connection(("127.0.0.1", port))
        s.settimeout(12)
        start = time.monotonic()
        s.sendall(data)
        got = b""
        try:
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                got += chunk
        except (socket.timeout, ConnectionResetError):
            pass
        print(f"{name}: closed by the board after {(time.monotonic() - start) * 1000:.0f} ms")
        s.close()

    # 3. Origin
    for origin in (None, f"http://127.0.0.1:{port}", "http://evil.example", "null"):
        s = socket.create_connection(("127.0.0.1", port))
        s.sendall((f"GET /api/live HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
                   "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
                   + (f"Origin: {origin}\r\n" if origin else "") + "\r\n").encode())
        first = s.recv(200).split(b'\r\n')[0]
        print(f"Origin {origin}: {first}")
        s.close()

    # 4. slow reader of the 15 MiB report: 1 MiB per second
    s = socket.create_connection(("127.0.0.1", port))
    s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 65536)
    s.sendall(req(f"/races/{BIG}/report.html"))
    total = 0
    start = time.monotonic()
    s.settimeout(12)
    try:
        while total < 15 * 1024 * 1024 + 300:
            chunk = s.recv(65536)
            if not chunk:
                break
            total += len(chunk)
            time.sleep(len(chunk) / (1024 * 1024))
    except socket.timeout:
        pass
    print(f"slow reader (1 MiB/s): {total} bytes in {time.monotonic() - start:.1f} s")
    s.close()

    # 5. listing of a too large report and %32
    status, body = boardsession.http_get(port, "/races/")
    print("too large listed:", "příliš velká" in body.decode(), f"/races/{HUGE}/report.html" in body.decode())
    status, _ = boardsession.http_get(port, f"/races/{HUGE}/report.html")
    print("too large served:", status)
    s = socket.create_connection(("127.0.0.1", port))
    s.sendall(b"HEAD /races/2026-12-07_19-30-0%35/report.html HTTP/1.1\r\n\r\n")
    print("%35:", s.recv(100).split(b"\r\n")[0])
    s.close()
    session.stop(process)
    session.processes.remove(process)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(xsession.run_checked(run, displays=range(91, 100)))
