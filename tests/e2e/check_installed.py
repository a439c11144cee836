#!/usr/bin/env python3
"""Checks an installed program: started from a directory without "soubory/",
it shows its window and opens the installed help document.

Usage: tests/e2e/check_installed.py [PROGRAM [DATA_DIR]]
       (defaults: /usr/bin/tramelo and /usr/share/tramelo, as the .deb has them)

It chooses "Nápověda" (Alt+O, D) with a stand-in xdg-open on the PATH that
notes what it was asked to open, then "Konec". Sounds are found by the same
lookup as the help document.
"""

import os
import stat
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import Failure  # noqa: E402


def check(session, program, data_dir):
    opened = session.path("opened.txt")
    tools = session.path("bin")
    os.makedirs(tools)
    fake_open = os.path.join(tools, "xdg-open")
    with open(fake_open, "w") as script:
        script.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{opened}"\n')
    os.chmod(fake_open, stat.S_IRWXU)

    env = session.env(PATH=tools + os.pathsep + os.environ["PATH"])
    process, window, seconds = xsession.start_program(session, program, env=env)
    print(f"window shown after {seconds * 1000:.0f} ms")
    session.press(window, "alt+o")
    session.xdotool("key", "d")
    expected = "file://" + os.path.join(os.path.abspath(data_dir), "soubory", "Napoveda.htm")
    xsession.watch(session, process, "the help document to be opened", lambda: os.path.exists(opened), 15)
    with open(opened) as noted:
        asked = noted.read().split()
    if asked != [expected]:
        raise Failure(f"the help command opened {asked}, expected {expected}")
    print(f"help opened from {expected}")
    status = xsession.quit_program(session, process, window)
    if status != 0:
        raise Failure(f"the program ended with status {status}")


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "/usr/bin/tramelo"
    data_dir = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/tramelo"
    return xsession.run_checked(lambda session: check(session, program, data_dir))


if __name__ == "__main__":
    sys.exit(main())
