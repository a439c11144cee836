"""Driving the real program on a private X server, as a user would.

Shared by the end-to-end test, the soak test and bench/measure-race.py: a
private Xvfb on a display number the server picks itself, child processes that
die with the script (also when it is killed), xdotool for windows and keys,
screenshots read back as pixels, and the settings files that make the program
load a race on its own at start-up. The desktop tests add a window manager and
a panel on that server (start_desktop).
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_PDEATHSIG = 1
MAIN_WINDOW = "Tramelo"
# Every message box of the program has one of these captions.
MESSAGE_CAPTIONS = ("Chyba", "Varování", "Otázka", "Informace", "informace")


class Failure(Exception):
    """A check failed; the message says what was expected and what was seen."""


def _die_with_parent():
    # A child must not outlive the script, even when ctest kills it.
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def _raise_on_signal(signum, _frame):
    raise SystemExit(f"stopped by signal {signum}")


def wait_for(what, condition, timeout, interval=0.05):
    """Returns condition()'s first true value; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


class Session:
    """A temporary home, a private X server and the processes started in it.

    Use it as a context manager: leaving it ends every process it started
    (SIGTERM, then SIGKILL) and removes the temporary directory unless
    keep_dir is set.
    """

    def __init__(self, width=1280, height=1024, keep_dir=False, displays=None):
        """displays: display numbers to try in turn; by default the server
        takes any free one."""
        self.size = (width, height)
        self.keep_dir = keep_dir
        self.display_numbers = list(displays) if displays else [None]
        self.dir = tempfile.mkdtemp(prefix="tramelo-e2e-")
        self.processes = []
        self.display = None
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(sig, _raise_on_signal)

    def __enter__(self):
        try:
            self._start_xvfb()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *_exc):
        self.close()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def env(self, **extra):
        """The environment of a program under test: this display, a home and
        configuration of its own, no session bus, no audio server."""
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "DBUS_", "WAYLAND_", "PULSE_"))}
        runtime = self.path("runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(
            DISPLAY=self.display,
            HOME=self.path("home"),
            XDG_CONFIG_HOME=self.path("home", ".config"),
            XDG_RUNTIME_DIR=runtime,
            QT_QPA_PLATFORM="xcb",
            # Without this libdbus would launch a session bus of its own.
            DBUS_SESSION_BUS_ADDRESS="unix:path=" + self.path("no-session-bus"),
        )
        env.update(extra)
        return env

    def spawn(self, name, args, env=None, cwd=None):
        """Starts a process whose output goes to <dir>/<name>.log."""
        log = open(self.path(name + ".log"), "wb")
        process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   env=env or self.env(), cwd=cwd or self.dir, preexec_fn=_die_with_parent)
        log.close()
        process.name = name
        process.started_at = time.monotonic()
        self.processes.append(process)
        return process

    def log_tail(self, name, lines=20):
        try:
            with open(self.path(name + ".log"), "rb") as log:
                text = log.read().decode("utf-8", "replace")
        except OSError:
            return ""
        return "\n".join(text.splitlines()[-lines:])

    def stop(self, process, timeout=5):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def close(self):
        for process in reversed(self.processes):
            self.stop(process)
        self.processes.clear()
        if not self.keep_dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def _start_xvfb(self):
        for tool in ("Xvfb", "xdotool", "import", "convert"):
            if not shutil.which(tool):
                raise Failure(f"{tool} is not installed (scripts/setup installs it)")
        for candidate in self.display_numbers:
            number = self._try_xvfb(candidate)
            if number:
                self.display = ":" + number
                return
        raise Failure("Xvfb did not start: " + self.log_tail("xvfb"))

    def _try_xvfb(self, candidate):
        """Starts Xvfb on the display number (any free one for None); returns
        the number it took, or None when that display is in use."""
        read_end, write_end = os.pipe()
        width, height = self.size
        log = open(self.path("xvfb.log"), "wb")
        # -displayfd: the server tells the display number once it is ready;
        # a server that cannot take its display ends without a word.
        process = subprocess.Popen(
            ["Xvfb", *([f":{candidate}"] if candidate is not None else []), "-displayfd", str(write_end),
             "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
            pass_fds=(write_end,), preexec_fn=_die_with_parent)
        log.close()
        os.close(write_end)
        process.name = "xvfb"
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number.isdigit():
            self.stop(process)
            return None
        self.processes.append(process)
        return number

    # --- X: windows, keys, pictures -------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self, name_pattern):
        """Visible windows whose name matches the regular expression."""
        out = self.xdotool("search", "--onlyvisible", "--name", name_pattern, check=False)
        return out.split()

    def window_name(self, window):
        return self.xdotool("getwindowname", window, check=False).strip()

    def window_names(self):
        return [self.window_name(w) for w in self.windows(".")]

    def message_boxes(self):
        """Captions of the program's message boxes now on the screen."""
        return [name for name in self.window_names() if name in MESSAGE_CAPTIONS]

    def window_geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def press(self, window, *keys, check=True):
        """Gives the window the keyboard focus, then presses the keys. Without
        check, a window that has just gone away is no failure."""
        self.xdotool("windowfocus", "--sync", window, check=check)
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key, check=check)

    def type_text(self, window, text):
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("type", "--delay", "40", text)

    def client_rect(self, window):
        """The window's client area on the screen as (x, y, width, height),
        as the X server has it (a window manager's frame is outside it)."""
        out = subprocess.run(["xwininfo", "-id", window], env=self.env(), capture_output=True, text=True,
                             timeout=20).stdout
        values = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
        keys = ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")
        if not all(key in values for key in keys):
            raise Failure(f"xwininfo could not read window {window}: {out.strip()}")
        return tuple(int(values[key]) for key in keys)

    def root_property(self, name):
        """The root window's property as xprop prints its value, "" if unset."""
        out = subprocess.run(["xprop", "-root", name], env=self.env(), capture_output=True, text=True,
                             timeout=20).stdout
        match = re.match(r"[^(]*\([^)]*\)\s*[=:]\s*(.*)", out.strip())
        return match.group(1) if match else ""

    def frame_extents(self, window):
        """(left, right, top, bottom) of the window manager's frame."""
        out = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], env=self.env(), capture_output=True,
                             text=True, timeout=20).stdout
        numbers = [int(n) for n in re.findall(r"\d+", out.split("=", 1)[1])] if "=" in out else []
        return tuple(numbers) if len(numbers) == 4 else (0, 0, 0, 0)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True, timeout=30,
                       capture_output=True)
        return path


class Picture:
    """An RGB picture read back from a file, for checking pixels."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True,
                              timeout=30).stdout
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        if not match:
            raise Failure(f"{path}: not readable as a picture")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.pixels = data[match.end():]

    def at(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])


# --- a desktop: window manager and panel ---------------------------------

WINDOW_MANAGERS = ("mutter", "openbox")
PANEL_HEIGHT = 30
# The panel's colour, found nowhere else on the screen: pixels of it show
# where the panel covers a window.
PANEL_RGB = (0, 255, 0)
TINT2_CONFIG = f"""\
rounded = 0
border_width = 0
background_color = #00ff00 100
border_color = #000000 0
panel_items = T
panel_size = 100% {PANEL_HEIGHT}
panel_margin = 0 0
panel_padding = 0 0 0
panel_background_id = 1
panel_position = top center horizontal
panel_layer = top
strut_policy = follow_size
panel_dock = 0
wm_menu = 0
autohide = 0
taskbar_mode = single_desktop
"""


def start_desktop(session, window_manager):
    """Starts the window manager ("mutter" as an X11 window manager on a
    session bus of its own, or "openbox") and a tint2 panel along the top
    edge whose strut keeps PANEL_HEIGHT pixels; returns when the window
    manager has announced the screen's available area below the panel."""
    for tool in ("xprop", "xwininfo", "tint2", window_manager):
        if not shutil.which(tool):
            raise Failure(f"{tool} is not installed (scripts/setup installs it)")
    if window_manager == "mutter":
        if not shutil.which("dbus-daemon"):
            raise Failure("dbus-daemon is not installed (scripts/setup installs it)")
        bus = "unix:path=" + session.path("runtime", "bus")
        os.makedirs(session.path("runtime"), mode=0o700, exist_ok=True)
        session.spawn("session-bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + bus])
        wait_for("the session bus", lambda: os.path.exists(session.path("runtime", "bus")), 20)
        # Only on this test's own server: --replace takes over its display.
        session.spawn("mutter", ["mutter", "--x11", "--replace", "--sm-disable", "--display=" + session.display],
                      env=session.env(DBUS_SESSION_BUS_ADDRESS=bus))
    elif window_manager == "openbox":
        session.spawn("openbox", ["openbox", "--replace"])
    else:
        raise Failure(f"unknown window manager {window_manager}")
    wait_for(f"{window_manager} to manage the screen",
             lambda: "window id" in session.root_property("_NET_SUPPORTING_WM_CHECK"), 60, interval=0.2)
    with open(session.path("tint2rc"), "w") as config:
        config.write(TINT2_CONFIG)
    session.spawn("tint2", ["tint2", "-c", session.path("tint2rc")])
    width, height = session.size
    below_panel = f"0, {PANEL_HEIGHT}, {width}, {height - PANEL_HEIGHT}"
    wait_for("the panel's strut in the available area",
             lambda: session.root_property("_NET_WORKAREA").startswith(below_panel), 60, interval=0.2)


def write_race_settings(session, settings, ini_name="race.ini"):
    """Writes an INI file in the program's format (Windows-1250, CR LF) and
    marks it for automatic loading, so the program starts with it loaded."""
    ini = session.path(ini_name)
    with open(ini, "wb") as out:
        out.write("".join(f"{key}={value}\r\n" for key, value in settings).encode("cp1250"))
    profile = session.path("home", ".config", "Korvanta")
    os.makedirs(profile, exist_ok=True)
    with open(os.path.join(profile, "tramelo.conf"), "w", encoding="utf-8") as conf:
        conf.write(f"[Setting]\niniFilePath={ini}\n")
    return ini


def race_settings(port, racers, laps, arrangement=0, scheme=0, scale=32, track_length=20):
    """The 28 settings of a race on the simulator's line, in INI key order."""
    settings = [("Meritko", scale), ("DelkaDrahy", track_length), ("ZobrazeniZavodniku", 1),
                ("AutomatickePocitaniVyjetiZDrahy", 1)]
    for seat in range(8):
        name = racers[seat] if seat < len(racers) else ""
        settings += [(f"Zavodnik{seat + 1}", name), (f"Logo{seat + 1}", "")]
    settings += [("PocetKol", laps), ("KomunikacniPort", port), ("RychlostPrenosu", "CBR_57600"),
                 ("Parita", "NOPARITY"), ("PocetBitu", 8), ("StopBity", "ONESTOPBIT"),
                 ("UsporadaniZavodniku", arrangement), ("BarevneSchema", scheme)]
    return settings


def start_program(session, program, extra_args=(), env=None, cwd=None, timeout=30):
    """Starts the program and waits for its main window; returns the process,
    the window and the seconds it took to appear."""
    process = session.spawn("tramelo", [*extra_args, program], env=env, cwd=cwd)

    def shown():
        if process.poll() is not None:
            raise Failure(f"the program ended with status {process.returncode} before its window showed:\n"
                          + session.log_tail("tramelo"))
        found = session.windows(MAIN_WINDOW)
        return found[0] if found else None

    window = wait_for("the main window", shown, timeout, interval=0.01)
    return process, window, time.monotonic() - process.started_at


def start_simulator(session, simulator, args):
    """Starts the track simulator on a link in the session directory; returns
    the process, the link path and the monotonic time of the simulator's
    clock 0 (taken just before the start, so it is at most a few ms early)."""
    link = session.path("track")
    clock_zero = time.monotonic()
    process = session.spawn("simulator", [simulator, "--link", link, *args])

    def linked():
        if process.poll() is not None:
            raise Failure("the simulator ended early:\n" + session.log_tail("simulator"))
        return os.path.exists(link)

    wait_for("the simulator's line", linked, 10)
    return process, link, clock_zero


def start_race(session, window):
    """The start command through its mnemonic: Alt+S, "&Start závodu ..."."""
    session.press(window, "alt+s")


def watch(session, program, what, condition, timeout, expected_box=None):
    """Waits for condition(), failing at once when the program ends or shows
    a message box other than expected_box."""
    def check():
        if program.poll() is not None:
            raise Failure(f"the program ended (status {program.returncode}) while waiting for {what}:\n"
                          + session.log_tail("tramelo"))
        boxes = [box for box in session.message_boxes() if box != expected_box]
        if boxes:
            hint = " (a false start: the countdown outlasted the first start crossing)" if "Informace" in boxes else ""
            raise Failure(f"unexpected message box {boxes} while waiting for {what}{hint}")
        return condition()
    return wait_for(what, check, timeout, interval=0.2)


def wait_for_race_clock(session, program, window, timeout):
    """Waits for the race table and the race clock in the window title."""
    watch(session, program, "the race clock in the title", lambda: "čAS ZáVODU" in session.window_name(window),
          timeout)


def save_results(session, program, file_name, timeout):
    """Answers the end-of-race question with Enter ("Ano", the default
    button), types the file name into the save dialog (it opens in the
    program's working directory) and waits for the file."""
    watch(session, program, "the end-of-race question", lambda: session.windows("^Otázka$"), timeout,
          expected_box="Otázka")

    def answered():
        # A slow program (valgrind) may take the key before the box is ready.
        question = session.windows("^Otázka$")
        if question:
            session.press(question[0], "Return", check=False)
            time.sleep(1)
            return None
        return session.windows("^Uložit jako$")

    dialog = watch(session, program, "the save dialog", answered, 60, expected_box="Otázka")[0]
    session.type_text(dialog, file_name)
    session.press(dialog, "Return")
    results = session.path(file_name)
    watch(session, program, "the results file", lambda: os.path.exists(results) and os.path.getsize(results) > 0, 30)
    return results


def quit_program(session, process, window, timeout=30):
    """"Konec", the last item of the menu bar: Alt opens the bar on its first
    item, Left wraps round to the last."""
    session.press(window, "alt")
    time.sleep(0.3)
    session.xdotool("key", "Left")
    time.sleep(0.3)
    session.xdotool("key", "Return")
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        raise Failure("the program did not end after \"Konec\"") from None


def run_checked(run, artifacts=None, displays=None, size=(1280, 1024)):
    """Runs run(session) in a new session and returns the exit status: 0, or
    1 after printing what failed. With artifacts, the session's files, logs
    and screenshots (one at the failure) are copied there. displays: as for
    Session; size: the screen's (width, height)."""
    session = Session(width=size[0], height=size[1], keep_dir=True, displays=displays)
    try:
        with session:
            try:
                run(session)
            except Failure:
                subprocess.run(["import", "-window", "root", session.path("at-failure.png")], env=session.env(),
                               capture_output=True, timeout=30)
                raise
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        if artifacts:
            shutil.rmtree(artifacts, ignore_errors=True)
            shutil.copytree(session.dir, artifacts, ignore=shutil.ignore_patterns("track", "runtime", "home"))
            print(f"files, logs and screenshots of the run: {artifacts}", file=sys.stderr)
        shutil.rmtree(session.dir, ignore_errors=True)
    return 0
