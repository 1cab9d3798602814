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
import json
import os
import signal
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_line_map  # noqa: E402
from mutant_finder import choose_sample, find_mutants  # noqa: E402
from mutation_results import (EQUIVALENTS, FOLDERS, RESULTS, ROOT, read_equivalents, read_results,  # noqa: E402
                              report, report_saved_results, write_results)
from mutation_trees import VOLUME_TESTS, Runner, prepare_copy  # noqa: E402

LINE_MAP = os.path.join(ROOT, "build", "mutation", "test-line-map.json")
COVERAGE_BUILD = os.path.join(ROOT, "build", "coverage")
# Builds only for Windows: nothing here can run it.
EXCLUDED = {"src/platform/platform_windows.cpp"}


def source_files():
    files = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            path = folder + "/" + name
            if name.endswith((".cpp", ".h")) and path not in EXCLUDED:
                files.append(path)
    return files


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
    # What the suite writes outside its folders without any mutant is no
    # mutant's doing.
    usual = set(runners[0].strays())
    for runner in runners:
        runner.usual_strays = usual
    if usual:
        print("the unmutated suite writes outside its folders: %s" % ", ".join(sorted(usual)[:6]), flush=True)
    print("unmutated build and suite: %.0f s; %d mutants to run in %d tree%s"
          % (time.time() - begun, mutant_count, len(runners), "s" if len(runners) > 1 else ""), flush=True)


def run_one(runner, mu, original, line_map):
    """Builds and tests one mutant: its outcome, and whether no test runs its line."""
    runner.write(mu.path, original[:mu.start] + mu.replacement + original[mu.end:])
    runner.sandbox.strays = []
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


def print_strays(runner):
    """What a mutant's tests wrote outside their folders, and where it went."""
    strays = runner.strays()
    if strays:
        where = "kept in its sandbox" if runner.sandbox.contained else "ON THIS MACHINE: remove them"
        shown = ", ".join(strays[:6]) + (", ..." if len(strays) > 6 else "")
        print("           its tests wrote outside their folders (%s): %s" % (where, shown), flush=True)


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
                    print_strays(runner)
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


if __name__ == "__main__":
    sys.exit(main())
