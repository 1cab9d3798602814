"""Which tests run which lines of src/: a map from the coverage build.

Every test of the suite is run alone in the coverage build (scripts/coverage.sh
builds it), and gcov says which lines of src/ it ran. A mutant can change what
a test sees only if the test runs the mutated line, so mutate.py runs each
mutant against the tests that run its line, and a mutant on a line no test
runs survives without a test run. Lines that hold no code of their own
(declarations, constant tables, the middle of a statement spread over several
lines) are not in the map; their mutants meet the tests of their file, of
the files that include it, and of the test sources that include it.

The map is saved with the digest of the sources it was made from and made
again when any of them changes.
"""
import glob
import hashlib
import json
import os
import re
import subprocess
import sys
import time


def sources_digest(root, files):
    digest = hashlib.sha256()
    for path in sorted(files):
        full = os.path.join(root, path)
        if os.path.isfile(full):
            digest.update(path.encode() + b"\0")
            with open(full, "rb") as f:
                digest.update(f.read())
    return digest.hexdigest()


def ctest_names(build, exclude):
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], check=True,
                             stdout=subprocess.PIPE).stdout
    names = [test["name"] for test in json.loads(listing)["tests"]]
    return [name for name in names if not re.search(exclude, name)]


def cmake_regex_literal(text):
    """A CMake regular expression matching exactly this text."""
    return "^" + re.sub(r"([][.*+?^$()|\\])", r"\\\1", text) + "$"


def lines_run(root, build):
    """{path in src/: {line: count}} from the counters the last test left."""
    counters = glob.glob(os.path.join(build, "**", "*.gcda"), recursive=True)
    found = {}
    # A batch of counter files to a gcov keeps the command short.
    for begin in range(0, len(counters), 64):
        batch = counters[begin:begin + 64]
        done = subprocess.run(["gcov", "--json-format", "--stdout"] + batch, cwd=build,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        for document in done.stdout.decode(errors="replace").splitlines():
            if not document.startswith("{"):
                continue
            for entry in json.loads(document).get("files", []):
                path = os.path.relpath(os.path.normpath(os.path.join(build, entry["file"])), root)
                if not path.startswith("src" + os.sep):
                    continue
                counts = found.setdefault(path.replace(os.sep, "/"), {})
                for line in entry["lines"]:
                    number = line["line_number"]
                    counts[number] = counts.get(number, 0) + line["count"]
    return found


def includers(root):
    """{path in src/: the src/ files that include it, directly or not}."""
    direct = {}
    for folder, _, names in os.walk(os.path.join(root, "src")):
        for name in names:
            path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                for included in re.findall(r'^\s*#include "([^"]+)"', f.read(), re.M):
                    direct.setdefault("src/" + included, set()).add(path)
    closed = {}
    for header in direct:
        seen, todo = set(), [header]
        while todo:
            for parent in direct.get(todo.pop(), ()):
                if parent not in seen:
                    seen.add(parent)
                    todo.append(parent)
        closed[header] = seen
    return closed


def suites_including(root):
    """{header in src/: the test suites whose source includes it, directly or
    through other headers}. A test reads a header's constants itself (a table
    it walks) without running any code of the files including the header."""
    def resolve(name, folder):
        for base in (folder, os.path.join(root, "src"), os.path.join(root, "tests")):
            candidate = os.path.normpath(os.path.join(base, name))
            if os.path.isfile(candidate):
                return candidate
        return None

    included_cache = {}

    def closure(path):
        seen, todo = set(), [path]
        while todo:
            current = todo.pop()
            if current not in included_cache:
                with open(current, encoding="utf-8", errors="replace") as f:
                    names = re.findall(r'^\s*#include "([^"]+)"', f.read(), re.M)
                found = (resolve(name, os.path.dirname(current)) for name in names)
                included_cache[current] = {found_path for found_path in found if found_path}
            for child in included_cache[current] - seen:
                seen.add(child)
                todo.append(child)
        return seen

    suites = {}
    for folder, _, names in os.walk(os.path.join(root, "tests")):
        for name in names:
            if not name.endswith(".cpp"):
                continue
            source = os.path.join(folder, name)
            with open(source, encoding="utf-8", errors="replace") as f:
                declared = set(re.findall(r"^\s*TEST(?:_F|_P)?\(\s*(\w+)\s*,", f.read(), re.M))
            for header in closure(source):
                relative = os.path.relpath(header, root).replace(os.sep, "/")
                if relative.startswith("src/"):
                    suites.setdefault(relative, set()).update(declared)
    return suites


class TestLineMap:
    def __init__(self, tests_by_line, code_lines, root):
        self.tests_by_line = tests_by_line  # "path:line" -> [test names]
        self.code_lines = code_lines        # path -> lines holding code
        self.includers = includers(root)
        self.suites_including = suites_including(root)
        self.by_file = {}
        self.by_suite = {}
        for key, tests in tests_by_line.items():
            self.by_file.setdefault(key.rsplit(":", 1)[0], set()).update(tests)
            for test in tests:
                parts = test.split(".")
                if len(parts) >= 3:
                    self.by_suite.setdefault(parts[1], set()).add(test)

    def tests_for(self, path, line):
        """The tests that run the line, [] when none does. A line without code
        of its own (a constant, a table, a declaration) can only act through
        the code of its file and of the files including it, or through a
        test's own code that includes it: the tests that run any of that, and
        the tests of suites whose source includes it. None when nothing is
        known of the file: every test."""
        if line in self.code_lines.get(path, ()):
            return self.tests_by_line.get("%s:%d" % (path, line), [])
        reached = set()
        for source in {path} | self.includers.get(path, set()):
            reached |= self.by_file.get(source, set())
        for suite in self.suites_including.get(path, ()):
            reached |= self.by_suite.get(suite, set())
        return sorted(reached) if reached else None


def load_or_make(root, files, coverage_build, exclude, timeout, saved):
    digest = sources_digest(root, files)
    try:
        with open(saved, encoding="utf-8") as f:
            stored = json.load(f)
        if stored["digest"] == digest:
            return TestLineMap(stored["tests_by_line"], {p: set(l) for p, l in stored["code_lines"].items()}, root)
    except (OSError, ValueError, KeyError):
        pass

    print("making the map of which tests run which lines (once per change of the sources)", flush=True)
    begun = time.time()
    if subprocess.run([os.path.join(root, "scripts", "coverage.sh"), "--build-only"], cwd=root,
                      stdout=subprocess.DEVNULL).returncode != 0:
        sys.exit("mutate.py: the coverage build failed (scripts/coverage.sh --build-only)")
    tests_by_line, code_lines = {}, {}
    names = ctest_names(coverage_build, exclude)
    for index, name in enumerate(names, 1):
        for counter in glob.glob(os.path.join(coverage_build, "**", "*.gcda"), recursive=True):
            os.remove(counter)
        run = subprocess.run(["ctest", "--test-dir", coverage_build, "-R", cmake_regex_literal(name),
                              "--timeout", str(timeout)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if run.returncode != 0:
            print(run.stdout.decode(errors="replace")[-3000:])
            sys.exit("mutate.py: %s fails in the coverage build" % name)
        for path, counts in lines_run(root, coverage_build).items():
            code_lines.setdefault(path, set()).update(counts)
            for number, count in counts.items():
                if count:
                    tests_by_line.setdefault("%s:%d" % (path, number), []).append(name)
        if index % 25 == 0 or index == len(names):
            print("  %d of %d tests mapped, %.0f s" % (index, len(names), time.time() - begun), flush=True)
    os.makedirs(os.path.dirname(saved), exist_ok=True)
    with open(saved, "w", encoding="utf-8") as f:
        json.dump({"digest": digest, "tests_by_line": tests_by_line,
                   "code_lines": {p: sorted(l) for p, l in code_lines.items()}}, f)
    return TestLineMap(tests_by_line, code_lines, root)
