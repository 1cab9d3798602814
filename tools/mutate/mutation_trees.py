"""The trees mutants are made in and the commands that build and test them.

A full run mutates copies of the checkout under build/mutation, one per job,
each with a build of its own; CI mutates the checkout itself and reuses its
build. Tests run in a sandbox of their own (sandbox.py), so that a mutant
that writes where it should not writes into the sandbox.
"""
import os
import shutil
import subprocess
import sys

import sandbox
import test_line_map

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

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


class Runner:
    def __init__(self, tree, build, timeout):
        self.tree, self.build, self.timeout = tree, build, timeout
        self.originals = {}
        self.sandbox = sandbox.Sandbox()
        self.usual_strays = set()

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
        command = ["ctest", "--test-dir", self.build, "-j2", "--stop-on-failure", "--timeout", str(self.timeout)]
        return self.sandbox.run(command + chosen, self.tree, own=[self.build])

    def strays(self):
        """What the last test run wrote outside the tree, the build and its
        own home and temporary folders, besides what the suite always does."""
        return [path for path in self.sandbox.strays if path not in self.usual_strays]

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
