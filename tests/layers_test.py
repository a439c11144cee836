#!/usr/bin/env python3
"""The layer check passes on this tree and fails, naming the file, the line
and the include, on a copy with an upward include or a Qt include planted in
a plain folder.

Usage: layers_test.py CHECK_LAYERS SOURCE_ROOT
"""

import pathlib
import shutil
import subprocess
import sys
import tempfile


def run(check, root):
    return subprocess.run([sys.executable, check, str(root)], capture_output=True, text=True, timeout=60)


def plant(root, file, line):
    path = root / file
    path.write_text(line + "\n" + path.read_text(encoding="utf-8"), encoding="utf-8")


def main():
    check, source = sys.argv[1], pathlib.Path(sys.argv[2])
    failures = []

    sound = run(check, source)
    if sound.returncode != 0:
        failures.append(f"the tree itself fails:\n{sound.stdout}")

    plants = [
        ("engine/raceengine.h", '#include "shell/mainframe.h"', "engine/ may not include shell/"),
        ("record/journalwriter.cpp", '#include "web/boardstate.h"', "record/ may not include web/"),
        ("display/tablecells.cpp", '#include "tests/fakes/fakeracehost.h"', "display/ may not include tests/"),
        ("config/racesettings.cpp", "#include <QString>", "config/ is plain C++ and may not include Qt"),
    ]
    for file, include, why in plants:
        with tempfile.TemporaryDirectory() as scratch:
            copy = pathlib.Path(scratch) / "tree"
            shutil.copytree(source, copy, ignore=shutil.ignore_patterns(".git", "build*", "tests", "docs", "soubory", "resources"))
            plant(copy, file, include)
            result = run(check, copy)
            expected = f"{file}:1: {include}: {why}"
            if result.returncode != 1 or expected not in result.stdout:
                failures.append(f"planted {include} in {file}: status {result.returncode}, output {result.stdout!r}")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
