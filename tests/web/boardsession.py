"""Helpers of the live board's end-to-end tests and load tool: the program
started with its board on the test's own X server, a headless Chromium
driven over the DevTools protocol on a pipe, and a small WebSocket client."""

import base64
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402

BOARD_LINE = re.compile(r"Živé výsledky: http://127\.0\.0\.1:(\d+)/")

# The tests' race: four cars with steady laps, starting 200 ms apart at 16 s
# of the simulator's clock (the program needs about ten seconds from the
# start command to the start signal).
RACERS = ["Řehoř Šťastný", "Žofie Čermáková", "Adam Novák", "Bára Dvořáková"]
START_MS = 16000
LAP_MS = {0: 2000, 1: 2150, 2: 2300, 3: 2450}


def crossing_ms(car, lap):
    """When car (0 to 3) crosses the line for the lap-th time (0: its start)."""
    return START_MS + car * 200 + lap * LAP_MS[car]


def start_race_with_board(session, program, simulator, laps):
    """Writes the race's settings and scenario, starts the program with its
    board and the simulator, and gives the start command; returns the
    program, the board's port and the simulator's clock 0."""
    scenario_file = session.path("race.txt")
    with open(scenario_file, "w") as out:
        out.writelines(f"{crossing_ms(car, lap)} {car + 1} 8 0\n" for car in LAP_MS for lap in range(laps + 1))
    xsession.write_race_settings(session, xsession.race_settings(session.path("track"), RACERS, laps))
    port = free_port()
    process, window, _ = start_program_with_board(session, program, port)
    _, _, clock_zero = xsession.start_simulator(session, simulator, ["--scenario", scenario_file])
    xsession.start_race(session, window)
    return process, port, clock_zero


def free_port():
    """A loopback port no one listens on now (kept for a restart on the same port)."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_program_with_board(session, program, port, env=None):
    """Starts the program with --web 127.0.0.1:PORT and waits for its window
    and for the board's address on its standard output; returns the process,
    the window and the port."""
    process = session.spawn("tramelo", [program, "--web", f"127.0.0.1:{port}"], env=env)

    def ready():
        if process.poll() is not None:
            raise Failure(f"the program ended with status {process.returncode}:\n" + session.log_tail("tramelo"))
        found = session.windows(xsession.MAIN_WINDOW)
        announced = BOARD_LINE.search(session.log_tail("tramelo", 200))
        return (found[0], int(announced.group(1))) if found and announced else None

    window, announced = xsession.wait_for("the main window and the board's address", ready, 30, interval=0.05)
    if announced != port:
        raise Failure(f"the board announced port {announced}, asked for {port}")
    return process, window, port


def http_get(port, path, timeout=5, source=None):
    """(status, body) of a plain GET on loopback, from the loopback address
    source (such as "127.0.0.2") when given."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout,
                                  source_address=(source, 0) if source else None) as connection:
        connection.sendall(f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n".encode())
        raw = b""
        while True:
            head, found, body = raw.partition(b"\r\n\r\n")
            if found:
                length = re.search(rb"(?im)^content-length:\s*(\d+)", head)
                if length and len(body) >= int(length.group(1)):
                    return int(head.split(b" ")[1]), body
            chunk = connection.recv(65536)
            if not chunk:
                raise ConnectionError(f"the board closed the connection of GET {path} without a whole answer")
            raw += chunk


class Chromium:
    """Headless Chromium with one page, commanded over --remote-debugging-pipe
    (file descriptors 3 and 4, messages ended by NUL)."""

    def __init__(self, session, url, width, height, scale=2):
        binary = shutil.which("chromium")
        if not binary:
            raise Failure("chromium is not installed (scripts/setup installs it)")
        self.profile = tempfile.mkdtemp(prefix="tramelo-chromium-")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()

        # Chromium reads its commands on descriptor 3 and answers on 4.
        redirect = f'exec "$0" "$@" 3<&{to_browser_read} 4>&{from_browser_write}'
        log = open(session.path("chromium.log"), "wb")
        self.process = subprocess.Popen(
            ["sh", "-c", redirect, binary, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--remote-debugging-pipe", f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
             "about:blank"],
            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT, pass_fds=(to_browser_read, from_browser_write),
            env=session.env())
        log.close()
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0
        targets = self.command("Target.getTargets")["targetInfos"]
        page = next(target["targetId"] for target in targets if target["type"] == "page")
        self.session_id = self.command("Target.attachToTarget", targetId=page, flatten=True)["sessionId"]
        self.command("Emulation.setDeviceMetricsOverride", page_session=True, width=width, height=height,
                     deviceScaleFactor=scale, mobile=True)
        self.command("Page.navigate", page_session=True, url=url)

    def command(self, method, page_session=False, timeout=30, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if page_session:
            message["sessionId"] = self.session_id
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            while b"\0" in self.buffer:
                raw, self.buffer = self.buffer.split(b"\0", 1)
                reply = json.loads(raw)
                if reply.get("id") == self.next_id:
                    if "error" in reply:
                        raise Failure(f"Chromium refused {method}: {reply['error']}")
                    return reply["result"]
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise Failure(f"Chromium did not answer {method}")
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise Failure(f"Chromium closed its pipe during {method}")
            self.buffer += chunk

    def evaluate(self, expression):
        result = self.command("Runtime.evaluate", page_session=True, expression=expression, returnByValue=True)
        return result["result"].get("value")

    def screenshot(self, path):
        data = self.command("Page.captureScreenshot", page_session=True, format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)


class BoardClient:
    """A WebSocket client of /api/live: the handshake, the server's text
    frames, and a pong for every ping (the server drops a client that stops
    answering). Non-blocking: call pump() when the socket is readable."""

    def __init__(self, port, source=None):
        """source: the loopback address to connect from (such as "127.0.0.2")."""
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=10,
                                               source_address=(source, 0) if source else None)
        key = base64.b64encode(os.urandom(16)).decode()
        self.socket.sendall((f"GET /api/live HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
                             f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                             "Sec-WebSocket-Version: 13\r\n\r\n").encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            chunk = self.socket.recv(4096)
            if not chunk:
                raise Failure("the board closed a WebSocket during its handshake")
            reply += chunk
        if not reply.startswith(b"HTTP/1.1 101"):
            raise Failure(f"the board refused a WebSocket: {reply[:60]!r}")
        self.buffer = reply.split(b"\r\n\r\n", 1)[1]
        self.socket.setblocking(False)
        self.closed = False

    def fileno(self):
        return self.socket.fileno()

    def _send(self, opcode, payload):
        mask = os.urandom(4)
        masked = bytes(byte ^ mask[i % 4] for i, byte in enumerate(payload))
        self.socket.sendall(bytes([0x80 | opcode, 0x80 | len(payload)]) + mask + masked)

    def pump(self):
        """The text messages that arrived, as parsed JSON."""
        try:
            chunk = self.socket.recv(1 << 20)
        except BlockingIOError:
            return []
        if not chunk:
            self.closed = True
            return []
        self.buffer += chunk
        messages = []
        while len(self.buffer) >= 2:
            opcode, length, at = self.buffer[0] & 0x0F, self.buffer[1] & 0x7F, 2
            if length == 126:
                length, at = struct.unpack(">H", self.buffer[2:4])[0], 4
            elif length == 127:
                length, at = struct.unpack(">Q", self.buffer[2:10])[0], 10
            if len(self.buffer) < at + length:
                break
            payload, self.buffer = self.buffer[at:at + length], self.buffer[at + length:]
            if opcode == 0x1:
                messages.append(json.loads(payload))
            elif opcode == 0x9:
                self._send(0xA, payload)
            elif opcode == 0x8:
                self.closed = True
        return messages

    def close(self):
        self.socket.close()
