#!/usr/bin/env python3
"""Fails when a file of src/ or tools/ includes one from a higher floor, naming both files.

The plug-in is built in floors, from the bottom: the operating system's calls,
the diagnostic log, the game's runtime, the settings, the engine, the widget,
and the entry points on top. A file may include its own floor and the floors
below it, never one above.

The tools follow the same rule. What two tools share is a library on a floor
of TOOL_FLOORS; every other folder of tools/ is a tool of its own, on top of
those libraries, and none of them includes its files. Tools include their
headers by bare name (the folders are include directories), so a name is
looked for beside the including file, then in every folder of tools/.

  scripts/check_layers.py            check src/ and tools/
  scripts/check_layers.py --table    print the floors and their folders
"""
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SRC = os.path.join(ROOT, "src")
TOOLS = os.path.join(ROOT, "tools")

# From the bottom up; every folder of src/ must be named here.
FLOORS = ["platform", "log", "game", "config", "engine", "widget", "plugin"]
# The libraries tools share, from the bottom up: the scenario runner, the
# tuning lab on its run context, and the qm command's entry points over both.
TOOL_FLOORS = ["qm", "tune", "qm-command"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
CXX = (".c", ".cc", ".cpp", ".h", ".hpp", ".inl")


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


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def tool_folder_of(path):
    """The folder of tools/ that holds path, or None outside tools/."""
    relative = os.path.relpath(path, TOOLS).replace(os.sep, "/")
    return None if relative.startswith("../") or "/" not in relative else relative.split("/", 1)[0]


def tool_violations():
    found = []
    folders = sorted(f for f in os.listdir(TOOLS) if os.path.isdir(os.path.join(TOOLS, f)))
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(TOOLS, folder)):
            for name in sorted(f for f in files if f.endswith(CXX)):
                path = os.path.join(directory, name)
                for number, included in includes(path):
                    beside = os.path.normpath(os.path.join(directory, included))
                    if os.path.isfile(beside):
                        targets = [beside]
                    else:
                        targets = [os.path.join(TOOLS, f, included) for f in folders]
                        targets = [t for t in targets if os.path.isfile(t)]
                    for target in targets:
                        theirs = tool_folder_of(target)
                        if theirs is None or theirs == folder or folder not in TOOL_FLOORS:
                            continue
                        above = theirs not in TOOL_FLOORS or TOOL_FLOORS.index(theirs) > TOOL_FLOORS.index(folder)
                        if above:
                            found.append("tools/%s:%d includes tools/%s, a floor above it (%s over %s)" % (
                                os.path.relpath(path, TOOLS).replace(os.sep, "/"), number,
                                os.path.relpath(target, TOOLS).replace(os.sep, "/"),
                                theirs if theirs in TOOL_FLOORS else "the tool " + theirs, folder))
    return found


def main():
    if "--table" in sys.argv[1:]:
        for index, floor in reversed(list(enumerate(FLOORS))):
            print("%d  src/%s" % (index, floor))
        for index, floor in reversed(list(enumerate(TOOL_FLOORS))):
            print("%d  tools/%s" % (index, floor))
        return 0
    found = violations() + tool_violations()
    for line in found:
        print(line, file=sys.stderr)
    if found:
        print("check_layers: %d include(s) run up a floor" % len(found), file=sys.stderr)
        return 1
    print("check_layers: no include runs up a floor (%s; tools: %s)" % (" < ".join(FLOORS), " < ".join(TOOL_FLOORS)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
