#!/usr/bin/python3
"""Mutation testing of the plug-in's code in src/.

Makes small faults in src/ one at a time (a comparison flipped, a logical or
arithmetic operator swapped, a constant changed, a return value inverted, a
statement deleted, a condition forced), rebuilds what the changed file feeds,
runs the tests that run the mutated line (test_line_map.py beside it), and
counts the mutants the tests kill. Prints the score per
folder and every mutant that survived. A mutant that does not compile counts
as killed by the compiler and is reported apart.

A mutant is named by its file, its mutation, the text of its source line and
its occurrence among mutants with the same three, so that the reviewed list
of equivalent mutants (equivalents.tsv beside it) keeps matching while
the code around it changes.

  tools/mutate/mutate.py               full run in copies of the checkout under
                                       build/mutation, one per core (the
                                       checkout is left alone)
  tools/mutate/mutate.py --report      the saved results' scores and survivors
  tools/mutate/mutate.py --sample 20 --seed $(git rev-parse HEAD:src) --in-place build/linux --whole-suite
                                       CI: 20 mutants chosen by the tree of src/,
                                       reusing the native build in place
  tools/mutate/mutate.py --list        the mutants, without running them

Exit status: 0 when every surviving mutant is a listed equivalent one, 1 when
one is not, 2 when the run cannot start (bad arguments, the unmutated suite
fails).
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_line_map  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EQUIVALENTS = os.path.join("tools", "mutate", "equivalents.tsv")
RESULTS = os.path.join(ROOT, "build", "mutation", "results.json")
LINE_MAP = os.path.join(ROOT, "build", "mutation", "test-line-map.json")
COVERAGE_BUILD = os.path.join(ROOT, "build", "coverage")
FOLDERS = ["src/plugin", "src/widget", "src/engine", "src/config", "src/game", "src/log", "src/platform"]
# Builds only for Windows: nothing here can run it.
EXCLUDED = {"src/platform/platform_windows.cpp"}
# Volume tests: a million hits, the tuner's statistics over thousands of hits,
# a ten-megabyte file, a thousand openings. They repeat what quicker tests
# check and would take most of each mutant's time, so mutants are run without
# them.
VOLUME_TESTS = "Soak|TenMegabyte|Thousand|thousand_openings|tools\\.tune\\.|tools\\.temp_folders\\.tune"


# The programs each family of tests runs, by the first part of the test's name;
# a family not listed here needs the whole build.
PROGRAMS_OF_TESTS = {
    "platform": ["platform_tests"], "log": ["log_tests"], "game": ["game_tests"], "config": ["config_tests"],
    "engine": ["engine_tests"], "widget": ["widget_tests"], "plugin": ["plugin_tests"],
    "in_process": ["in_process_tests"], "module": ["module_tests", "Quellmark"], "double": ["double_tests"],
    "scenario": ["qm", "Quellmark"],
    "tools": ["qm", "Quellmark", "qm-check-settings", "profile_dump", "tools_tests"],
}


class Mutant:
    def __init__(self, path, start, end, replacement, op, line_no, line_text):
        self.path, self.start, self.end, self.replacement = path, start, end, replacement
        self.op, self.line_no, self.line_text = op, line_no, line_text
        self.occurrence = 1

    def key(self):
        return (self.path, self.op, self.occurrence, self.line_text)

    def describe(self):
        return "%s:%d  %s  [%s #%d]" % (self.path, self.line_no, self.line_text, self.op, self.occurrence)


HEX = "0123456789abcdefABCDEF"


def code_mask(text):
    """Marks which characters are code: not comments, literals or preprocessor lines."""
    mask = bytearray(b"\x01" * len(text))
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            j = i
            while j < n and (text[j] != "\n" or text[j - 1] == "\\"):
                j += 1
            mask[i:j] = b"\x00" * (j - i)
            i = j
            continue
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            delim = text[i + 2:text.find("(", i)]
            j = text.find(")" + delim + '"', i)
            j = n if j < 0 else j + len(delim) + 2
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif c in "\"'" and not (c == "'" and 0 < i < n - 1 and text[i - 1] in HEX and text[i + 1] in HEX):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            j += 1
            mask[i:j] = b"\x00" * (j - i)
            i = j
        else:
            i += 1
    return mask


def matching_paren(text, mask, open_at):
    depth = 0
    for j in range(open_at, len(text)):
        if not mask[j]:
            continue
        if text[j] == "(":
            depth += 1
        elif text[j] == ")":
            depth -= 1
            if depth == 0:
                return j
    return -1


RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&": "|", "|": "&", "^": "|",
              "<<": ">>", ">>": "<<", "+=": "-=", "-=": "+=", "|=": "&=", "&=": "|="}
LOGICAL = {"&&": "||", "||": "&&"}
DECLARATION_START = re.compile(r"^(const|constexpr|static|auto|unsigned|signed|int|bool|char|float|double|void|"
                               r"std::\w+|u?int\d+_t|size_t|using|typedef|return|case|default|template|"
                               r"namespace|class|struct|enum|public|private|protected|friend|else|do)\b")
STATEMENT = re.compile(r"^[\w:.>\-\[\]()*]+?(\s*(=|\+=|-=|\*=|/=|\|=|&=|<<=|>>=)\s|\(|\+\+|--)")


def find_mutants(path, text):
    mask = code_mask(text)
    line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
    lines = text.split("\n")
    mutants = []

    def line_of(pos):
        lo, hi = 0, len(line_starts) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if line_starts[mid] <= pos:
                lo = mid
            else:
                hi = mid - 1
        return lo

    def add(start, end, replacement, op):
        if not all(mask[start:end]):
            return
        ln = line_of(start)
        if "static_assert" in lines[ln]:
            return  # checked by the compiler already
        mutants.append(Mutant(path, start, end, replacement, op, ln + 1, code_of_line(ln)))

    def code_of_line(ln):
        """The line's text without a trailing comment, whitespace collapsed."""
        begin, line = line_starts[ln], lines[ln]
        for p in range(len(line)):
            if line.startswith("//", p) and not mask[begin + p] and (p == 0 or mask[begin + p - 1]):
                line = line[:p]
                break
        return " ".join(line.split())

    # Binary operators written with a space either side, as the code is formatted;
    # this keeps template brackets, pointers and references out.
    for m in re.finditer(r"(?<=\s)(<<=|>>=|<=|>=|==|!=|&&|\|\||<<|>>|\+=|-=|\|=|&=|[<>+\-*/%&|^])(?=\s)", text):
        token = m.group(1)
        if token in RELATIONAL:
            add(m.start(1), m.end(1), RELATIONAL[token], "relational %s -> %s" % (token, RELATIONAL[token]))
        elif token in LOGICAL:
            add(m.start(1), m.end(1), LOGICAL[token], "logical %s -> %s" % (token, LOGICAL[token]))
        elif token in ARITHMETIC:
            add(m.start(1), m.end(1), ARITHMETIC[token], "arithmetic %s -> %s" % (token, ARITHMETIC[token]))
    # A negation dropped.
    for m in re.finditer(r"(?<![\w)\]!=<>&|])!(?=[\w(*])", text):
        add(m.start(), m.end(), "", "logical ! removed")
    # Constants: integers and decimals, not parts of names.
    for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f']+|\d[\d']*(\.\d*)?([eE][+-]?\d+)?)([uUlLfF]*)(?![\w.])", text):
        number, suffix = m.group(1), m.group(4)
        if number.lower().startswith("0x"):
            value = int(number.replace("'", ""), 16)
            new = "0x%X" % (value + 1)
        elif m.group(2) or m.group(3):
            new = repr(float(number.replace("'", "")) + 1.0)
        else:
            value = int(number.replace("'", ""))
            new = "1" if value == 0 else "0" if value == 1 else str(value + 1)
        add(m.start(), m.end(), new + suffix, "constant %s -> %s" % (number + suffix, new + suffix))
    # Return values inverted.
    for m in re.finditer(r"\breturn (true|false);", text):
        new = "false" if m.group(1) == "true" else "true"
        add(m.start(1), m.end(1), new, "return %s -> %s" % (m.group(1), new))
    # Conditions forced either way (not those that declare a name).
    for m in re.finditer(r"\bif \(", text):
        if not mask[m.start()]:
            continue
        close = matching_paren(text, mask, m.end() - 1)
        if close < 0:
            continue
        condition = text[m.end():close]
        if ";" in condition or re.search(r"(?<![=!<>])=(?!=)", condition):
            continue
        add(m.end(), close, "true", "condition forced true")
        add(m.end(), close, "false", "condition forced false")
    # Whole statements deleted: calls, assignments, increments, break and continue
    # standing alone on their lines.
    for ln, line in enumerate(lines):
        stripped = line.strip()
        start = line_starts[ln] + (len(line) - len(line.lstrip()))
        end = start + len(stripped)
        if not stripped.endswith(";") or stripped.count("(") != stripped.count(")"):
            continue
        if stripped in ("break;", "continue;") or (STATEMENT.match(stripped) and not DECLARATION_START.match(stripped)
                                                    and not re.match(r"^\w[\w:<>,]*[&*]?\s+[&*]?\w+\s*[=({;]", stripped)):
            if all(mask[start:end - 1]):
                add(start, end, ";", "statement deleted")
    mutants.sort(key=lambda mu: (mu.start, mu.op))
    seen = {}
    for mu in mutants:
        k = (mu.op, mu.line_text)
        seen[k] = seen.get(k, 0) + 1
        mu.occurrence = seen[k]
    return mutants


def choose_sample(mutants, count, seed):
    """The same share from every folder, chosen by the seed; each folder's
    mutants are drawn in a random order and the folders take turns."""
    chooser = random.Random(int(hashlib.sha256(seed.encode()).hexdigest(), 16))
    by_folder = {}
    for mu in mutants:
        by_folder.setdefault(mu.path.rsplit("/", 1)[0], []).append(mu)
    queues = [chooser.sample(group, len(group)) for _, group in sorted(by_folder.items())]
    chosen = []
    while len(chosen) < count and any(queues):
        for queue in queues:
            if queue and len(chosen) < count:
                chosen.append(queue.pop())
    return chosen


def source_files():
    files = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            path = folder + "/" + name
            if name.endswith((".cpp", ".h")) and path not in EXCLUDED:
                files.append(path)
    return files


def read_equivalents():
    listed = {}
    with open(os.path.join(ROOT, EQUIVALENTS), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 5 or not fields[2].isdigit() or not fields[4].strip():
                sys.exit("%s:%d: expected file, mutation, occurrence, source line and reason, separated by tabs"
                         % (EQUIVALENTS, number))
            path, op, occurrence, line_text, reason = fields
            listed[(path, op, int(occurrence), " ".join(line_text.split()))] = reason
    return listed


class Runner:
    def __init__(self, tree, build, timeout):
        self.tree, self.build, self.timeout = tree, build, timeout
        self.originals = {}

    def run(self, command, limit=None):
        try:
            done = subprocess.run(command, cwd=self.tree, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  timeout=limit)
            return done.returncode, done.stdout.decode(errors="replace")
        except subprocess.TimeoutExpired:
            return -1, "timed out"

    def build_targets(self, tests=None):
        """Rebuilds what the changed file reaches: everything, or only the
        programs the given tests run."""
        targets = set()
        for name in tests or ():
            programs = PROGRAMS_OF_TESTS.get(name.split(".", 1)[0])
            if programs is None:
                targets = set()
                break
            targets.update(programs)
        return self.run(["ninja", "-C", self.build] + sorted(targets))

    def test(self, only=None):
        """The whole suite, or only the named tests."""
        chosen = ["-E", VOLUME_TESTS]
        if only is not None:
            chosen = ["-R", "|".join(test_line_map.cmake_regex_literal(name) for name in only)]
        return self.run(["ctest", "--test-dir", self.build, "-j2", "--stop-on-failure", "--timeout",
                         str(self.timeout)] + chosen)

    def write(self, path, text):
        full = os.path.join(self.tree, path)
        if path not in self.originals:
            with open(full, encoding="utf-8") as f:
                self.originals[path] = f.read()
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    def restore(self):
        for path, text in self.originals.items():
            with open(os.path.join(self.tree, path), "w", encoding="utf-8") as f:
                f.write(text)
        self.originals.clear()


def copy_tree(destination):
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, check=True,
                           stdout=subprocess.PIPE).stdout.decode().splitlines()
    # Files gone from the checkout go from the copy too.
    wanted = set(files)
    for folder, subfolders, names in os.walk(destination):
        relative = os.path.relpath(folder, destination)
        if relative == "build" or relative.startswith("build" + os.sep):
            subfolders[:] = []
            continue
        for name in names:
            path = os.path.normpath(os.path.join(relative, name)).replace(os.sep, "/")
            if path not in wanted:
                os.remove(os.path.join(folder, name))
    for path in files:
        source = os.path.join(ROOT, path)
        if path.startswith("build/") or not os.path.isfile(source):
            continue
        target = os.path.join(destination, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        # Only changed files are rewritten, so that the build there stays
        # incremental; a rewritten file is newer than anything built from it.
        if os.path.exists(target) and open(target, "rb").read() == open(source, "rb").read():
            continue
        shutil.copyfile(source, target)
        shutil.copymode(source, target)


def prepare_copy(tree):
    """A copy of the checkout to mutate, built as the native build is but
    without debugging information and with fewer optimisations, which makes
    each mutant's rebuild quicker; the program does the same. Copies share
    the compiler cache, so a second one builds from the first one's objects.
    The copy is configured on every run, so that a changed preset reaches it."""
    build = os.path.join(tree, "build", "linux")
    copy_tree(tree)
    configure = ["cmake", "--preset", "linux", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG",
                 "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold",
                 "-DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=gold", "-DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=gold"]
    if shutil.which("ccache"):
        configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    if subprocess.run(configure, cwd=tree, stdout=subprocess.DEVNULL).returncode != 0:
        print("mutate.py: cannot configure %s" % build, file=sys.stderr)
        return False
    return True


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sample", type=int, help="run this many mutants, chosen by --seed")
    parser.add_argument("--seed", default="0", help="chooses the sample (CI passes the commit)")
    parser.add_argument("--in-place", metavar="BUILD_DIR",
                        help="mutate this checkout and rebuild BUILD_DIR (CI); restored afterwards")
    parser.add_argument("--files", action="append", default=[],
                        help="only files whose path contains this text (repeatable: any of the texts)")
    parser.add_argument("--match", default="", help="only mutants whose description (as printed) contains this text")
    parser.add_argument("--also", action="append", default=[],
                        help="with --sample: run as well the mutants whose description contains this text (repeatable)")
    parser.add_argument("--list", action="store_true", help="print the mutants and stop")
    parser.add_argument("--rerun-survivors", action="store_true",
                        help="run again only the mutants that survived the last run and are not listed as "
                             "equivalent (after adding tests)")
    parser.add_argument("--timeout", type=int, default=30, help="seconds per test before a mutant counts as hanging")
    parser.add_argument("--resume", action="store_true",
                        help="go on with a run cut short: mutants with a saved result are not run again")
    parser.add_argument("--report", action="store_true",
                        help="print the scores and survivors of the saved results without running anything")
    parser.add_argument("--jobs", type=int,
                        help="mutants run at once, each in its own copy of the checkout (default: one per core)")
    parser.add_argument("--whole-suite", action="store_true",
                        help="run every mutant against the whole suite instead of the tests that run its line")
    return parser.parse_args()


class Stop(Exception):
    """The run cannot go on: the message goes to stderr, the status is 2."""


def mutants_of_the_files(args):
    """Every mutant of the files and descriptions asked for."""
    mutants = []
    for path in source_files():
        if not args.files or any(text in path for text in args.files):
            with open(os.path.join(ROOT, path), encoding="utf-8") as f:
                mutants += find_mutants(path, f.read())
    return [mu for mu in mutants if args.match in mu.describe()]


def chosen_mutants(args, mutants, equivalents):
    """The sample or the earlier survivors when asked for, one file after
    another, so that each file is rebuilt as itself only once."""
    if args.sample is not None:
        if args.sample < 1:
            raise Stop("--sample must be at least 1")
        chosen = choose_sample(mutants, args.sample, args.seed)
        chosen_ids = {id(mu) for mu in chosen}
        mutants = chosen + [mu for mu in mutants if id(mu) not in chosen_ids
                            and any(text in mu.describe() for text in args.also)]
    if args.rerun_survivors:
        try:
            with open(RESULTS, encoding="utf-8") as f:
                earlier = {tuple(entry["key"]) for entry in json.load(f) if entry["outcome"] == "survived"}
        except (OSError, ValueError, KeyError) as error:
            raise Stop("cannot read the last run's results %s: %s" % (RESULTS, error))
        mutants = [mu for mu in mutants if mu.key() in earlier and mu.key() not in equivalents]
    order = {path: i for i, path in enumerate(source_files())}
    mutants.sort(key=lambda mu: (order[mu.path], mu.start, mu.op))
    return mutants


def report_saved_results(mutants, equivalents):
    saved = read_results()
    entries = [(mu, saved[mu.key()]["outcome"], saved[mu.key()].get("unrun", False))
               for mu in mutants if mu.key() in saved]
    survivors = report(entries, equivalents, check_stale=len(entries) == len(mutants))
    if len(entries) < len(mutants):
        print("\n%d of %d mutants have no saved result (run them with --resume)"
              % (len(mutants) - len(entries), len(mutants)))
    return 1 if survivors or len(entries) < len(mutants) else 0


def prepare_runners(args):
    """One runner per tree: the checkout itself with --in-place, otherwise
    copies of it under build/mutation."""
    if args.jobs is not None and args.jobs < 1:
        raise Stop("--jobs must be at least 1")
    if args.in_place:
        jobs = 1
        tree, build = ROOT, os.path.abspath(args.in_place)
    else:
        jobs = args.jobs or os.cpu_count() or 1
        tree = os.path.join(ROOT, "build", "mutation", "tree")
        build = os.path.join(tree, "build", "linux")
        if not prepare_copy(tree):
            raise Stop(None)
    runners = [Runner(tree, build, args.timeout)]
    for number in range(2, jobs + 1):
        extra = os.path.join(ROOT, "build", "mutation", "tree-%d" % number)
        if not prepare_copy(extra):
            raise Stop(None)
        runners.append(Runner(extra, os.path.join(extra, "build", "linux"), args.timeout))
    return runners


def line_map_for(args, mutants):
    """Which tests run which lines; None runs every mutant against the whole suite."""
    if args.whole_suite or not mutants:
        return None
    tracked = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, check=True,
                             stdout=subprocess.PIPE).stdout.decode().splitlines()
    # What the tests run depends on the code, the tests and how they are built.
    sources = [p for p in tracked
               if not p.startswith(("build/", "scripts/", "tools/mutate/")) and not p.endswith(".md")]
    return test_line_map.load_or_make(ROOT, sources, COVERAGE_BUILD, VOLUME_TESTS, args.timeout * 4, LINE_MAP)


def restore_trees_when_stopped(runners):
    def stop(signum, frame):
        for runner in runners:
            runner.restore()
        os._exit(128 + signum)
    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)


def check_unmutated_trees(runners, mutant_count):
    begun = time.time()
    for runner in runners:
        code, output = runner.build_targets()
        if code != 0:
            print(output[-4000:])
            raise Stop("the unmutated tree does not build in %s" % runner.tree)
    code, output = runners[0].test()
    if code != 0:
        print(output[-4000:])
        raise Stop("the suite fails without any mutant")
    print("unmutated build and suite: %.0f s; %d mutants to run in %d tree%s"
          % (time.time() - begun, mutant_count, len(runners), "s" if len(runners) > 1 else ""), flush=True)


def run_one(runner, mu, original, line_map):
    """Builds and tests one mutant: its outcome, and whether no test runs its line."""
    runner.write(mu.path, original[:mu.start] + mu.replacement + original[mu.end:])
    tests = line_map.tests_for(mu.path, mu.line_no) if line_map else None
    unrun = tests == []
    # A header may reach any program; a source file reaches only those its tests run.
    code, _ = runner.build_targets(None if mu.path.endswith(".h") else tests)
    if code != 0:
        return "compiler", False
    if unrun:
        return "survived", True  # no test runs the line: none can see the fault
    code, _ = runner.test(tests)
    return ("killed" if code != 0 else "survived"), False


def run_mutants(args, mutants, runners, line_map, equivalents, saved):
    """Runs what has no saved result yet (with --resume) or everything, whole
    files to each tree; returns every mutant's (mutant, outcome, unrun)."""
    entries = []
    lock = threading.Lock()
    done = [0]

    def work(runner, queue):
        current, original = None, None
        try:
            for mu in queue:
                if mu.path != current:
                    runner.restore()
                    current = mu.path
                    with open(os.path.join(runner.tree, mu.path), encoding="utf-8") as f:
                        original = f.read()
                outcome, unrun = run_one(runner, mu, original, line_map)
                with lock:
                    entries.append((mu, outcome, unrun))
                    saved[tuple(mu.key())] = {"key": list(mu.key()), "outcome": outcome, "line": mu.line_no,
                                              "unrun": unrun}
                    write_results(saved)
                    done[0] += 1
                    shown = "equivalent" if outcome == "survived" and mu.key() in equivalents else outcome
                    print("[%d/%d] %-10s %s%s" % (done[0], len(mutants), shown, mu.describe(),
                                                  "  (no test runs this line)" if unrun and shown == "survived"
                                                  else ""), flush=True)
        finally:
            runner.restore()
            if args.in_place:
                runner.build_targets()

    to_run = []
    for mu in mutants:
        if args.resume and tuple(mu.key()) in saved:
            earlier = saved[tuple(mu.key())]
            entries.append((mu, earlier["outcome"], earlier.get("unrun", False)))
            done[0] += 1
        else:
            to_run.append(mu)
    # Whole files to each tree, so that each file is rebuilt as itself once
    # per tree; the largest files first, each to the tree with least to do.
    by_file = {}
    for mu in to_run:
        by_file.setdefault(mu.path, []).append(mu)
    queues = [[] for _ in runners]
    for path in sorted(by_file, key=lambda p: -len(by_file[p])):
        min(queues, key=len).extend(by_file[path])
    threads = [threading.Thread(target=work, args=(runner, queue)) for runner, queue in zip(runners, queues)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return entries


def main():
    args = parse_arguments()
    try:
        try:
            equivalents = read_equivalents()
        except OSError as error:
            raise Stop("cannot read %s: %s" % (EQUIVALENTS, error))
        mutants = mutants_of_the_files(args)
        if args.list:
            for mu in mutants:
                print(mu.describe())
            print("%d mutants" % len(mutants))
            return 0
        mutants = chosen_mutants(args, mutants, equivalents)
        if args.report:
            return report_saved_results(mutants, equivalents)

        runners = prepare_runners(args)
        line_map = line_map_for(args, mutants)
        restore_trees_when_stopped(runners)
        begun = time.time()
        check_unmutated_trees(runners, len(mutants))
    except Stop as stop:
        if stop.args[0] is not None:
            print("mutate.py: %s" % stop.args[0], file=sys.stderr)
        return 2

    # Results are saved after every mutant, so that a run cut short can go on
    # with --resume; runs of a part of the mutants add to the last full run's.
    partial = args.sample is not None or args.files or args.match or args.rerun_survivors or args.resume
    saved = read_results() if partial else {}
    entries = run_mutants(args, mutants, runners, line_map, equivalents, saved)
    survivors = report(entries, equivalents, check_stale=not partial or args.resume)
    print("\n%d mutants in %.0f s" % (len(mutants), time.time() - begun))
    return 1 if survivors else 0


def read_results():
    try:
        with open(RESULTS, encoding="utf-8") as f:
            return {tuple(entry["key"]): entry for entry in json.load(f)}
    except (OSError, ValueError, KeyError, TypeError):
        return {}


def write_results(saved):
    os.makedirs(os.path.dirname(RESULTS), exist_ok=True)
    with open(RESULTS + ".new", "w", encoding="utf-8") as f:
        json.dump(list(saved.values()), f, indent=0)
    os.replace(RESULTS + ".new", RESULTS)


def report(entries, equivalents, check_stale):
    """Prints the score per folder and the survivors; returns the survivors."""
    results = {folder: {"killed": 0, "compiler": 0, "survived": 0, "unrun": 0, "equivalent": 0}
               for folder in FOLDERS}
    survivors, matched = [], set()
    for mu, outcome, unrun in entries:
        folder = results[mu.path.rsplit("/", 1)[0]]
        if outcome == "survived" and mu.key() in equivalents:
            outcome = "equivalent"
            matched.add(mu.key())
        folder[outcome] += 1
        if outcome == "survived":
            survivors.append((mu, unrun))
            folder["unrun"] += unrun
    print("\nScore per folder: killed by a test / (killed by a test + survived). Mutants that did not build\n"
          "(compiler) and listed equivalent ones are counted apart, in neither.")
    total_killed = total_scored = 0
    for name in FOLDERS:
        r = results[name]
        scored = r["killed"] + r["survived"]
        total_killed += r["killed"]
        total_scored += scored
        score = "%5.1f%%" % (100.0 * r["killed"] / scored) if scored else "    -"
        print("  %-13s %s  killed %d (compiler %d), survived %d (%d on lines no test runs), equivalent %d"
              % (name, score, r["killed"], r["compiler"], r["survived"], r["unrun"], r["equivalent"]))
    if total_scored:
        print("  %-13s %5.1f%%  of %d mutants that can change behaviour" % ("src", 100.0 * total_killed / total_scored,
                                                                             total_scored))
    if survivors:
        print("\nSurviving mutants (add a test, or list the mutant in %s with the reason it is equivalent):"
              % EQUIVALENTS)
        for mu, unrun in survivors:
            print("  " + mu.describe() + ("  (no test runs this line)" if unrun else ""))
            print("    as a list entry: %s\t%s\t%d\t%s\t<why>" % (mu.path, mu.op, mu.occurrence, mu.line_text))
    if check_stale:
        for key in equivalents:
            if key not in matched:
                print("note: listed equivalent mutant no longer found, or killed now: %s [%s #%d] %s"
                      % (key[0], key[1], key[2], key[3]))
    return survivors

if __name__ == "__main__":
    sys.exit(main())
