#!/usr/bin/env python3
"""Fails when a file of src/ includes one from a higher floor, naming both files.

The plug-in is built in floors, from the bottom: the operating system's calls,
the diagnostic log, the game's runtime, the settings, the engine, the widget,
and the entry points on top. A file may include its own floor and the floors
below it, never one above.

  scripts/check_layers.py            check src/
  scripts/check_layers.py --table    print the floors and their folders
"""
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SRC = os.path.join(ROOT, "src")

# From the bottom up; every folder of src/ must be named here.
FLOORS = ["platform", "log", "game", "config", "engine", "widget", "plugin"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(relative_path):
    folder = relative_path.split("/", 1)[0]
    return FLOORS.index(folder) if folder in FLOORS else None


def violations():
    found = []
    for folder in sorted(os.listdir(SRC)):
        if not os.path.isdir(os.path.join(SRC, folder)):
            continue
        if folder not in FLOORS:
            found.append("src/%s: a folder on no floor (add it to FLOORS in %s)" % (folder, os.path.relpath(__file__, ROOT)))
            continue
        for directory, _, files in os.walk(os.path.join(SRC, folder)):
            for name in sorted(files):
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, SRC).replace(os.sep, "/")
                own = floor_of(relative)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        included = match.group(1)
                        theirs = floor_of(included)
                        if theirs is not None and theirs > own:
                            found.append("src/%s:%d includes src/%s, a floor above it (%s over %s)" %
                                         (relative, number, included, FLOORS[theirs], FLOORS[own]))
    return found


def main():
    if "--table" in sys.argv[1:]:
        for index, floor in reversed(list(enumerate(FLOORS))):
            print("%d  src/%s" % (index, floor))
        return 0
    found = violations()
    for line in found:
        print(line, file=sys.stderr)
    if found:
        print("check_layers: %d include(s) run up a floor" % len(found), file=sys.stderr)
        return 1
    print("check_layers: no include runs up a floor (%s)" % " < ".join(FLOORS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
