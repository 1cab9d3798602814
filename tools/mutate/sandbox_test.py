"""The mutants' sandbox: a test command that writes where a mutant of the
log's path would (a folder at every prefix of a path from the root, a log
under the home) leaves the machine as it was, and the run names the writes.

  python3 -m unittest discover -s tools/mutate -p '*_test.py'
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import uuid

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sandbox  # noqa: E402

# What a mutant of the log's folder making does: every prefix of a path made
# as a folder, from the root down, and the log written under the home.
ESCAPE = r'''
import os, sys
path = sys.argv[1]
for end in range(2, len(path) + 1):
    os.makedirs(path[:end], exist_ok=True)
log = os.path.join(os.environ["HOME"], "Documents", "My Games", "Quellmark.log")
os.makedirs(os.path.dirname(log), exist_ok=True)
open(log, "w").write("escaped\n")
open("written-in-the-tree", "w").write("kept in the sandbox too\n")
print(os.environ["HOME"])
sys.exit(7)
'''


class Escape(unittest.TestCase):
    def setUp(self):
        self.name = "qmescape" + uuid.uuid4().hex[:8]
        self.target = "/" + self.name + "/SKSE"
        self.tree = tempfile.mkdtemp(prefix="qm-sandbox-tree-")
        self.real_log = os.path.join(os.path.expanduser("~"), "Documents", "My Games", "Quellmark.log")
        self.log_existed = os.path.exists(self.real_log)
        self.root_before = set(os.listdir("/"))

    def tearDown(self):
        # Whatever got out is removed, so that a failing run leaves nothing.
        for end in range(2, len(self.target) + 1):
            prefix = self.target[:end]
            if prefix.startswith("/" + self.name) and os.path.isdir(prefix):
                shutil.rmtree(prefix, ignore_errors=True)
        for end in range(1, len(self.name)):
            stray = self.name[:end]
            if stray not in self.root_before and os.path.isdir("/" + stray) and not os.listdir("/" + stray):
                os.rmdir("/" + stray)
        if not self.log_existed and os.path.exists(self.real_log):
            os.remove(self.real_log)
        shutil.rmtree(self.tree, ignore_errors=True)

    def escape(self, box):
        return box.run([sys.executable, "-c", ESCAPE, self.target], self.tree, timeout=60)

    def test_an_escaping_mutants_writes_land_in_its_sandbox(self):
        available = sandbox.namespaces_available()
        if not available:
            # CI runs as root with unshare: there the sandbox must hold.
            self.assertFalse(os.environ.get("CI"), "no mount namespace for the sandbox in CI")
            self.skipTest("needs root, unshare and overlayfs")
        box = sandbox.Sandbox()
        status, output = self.escape(box)
        self.assertEqual(status, 7, output)
        self.assertNotEqual(output.strip(), os.path.expanduser("~"), "the sandbox has a home of its own")
        for end in range(2, len(self.target) + 1):
            self.assertFalse(os.path.exists(self.target[:end]), "%s reached the machine" % self.target[:end])
        self.assertEqual(os.path.exists(self.real_log), self.log_existed, "the log reached the real home")
        self.assertFalse(os.path.exists(os.path.join(self.tree, "written-in-the-tree")))
        # Named: the folders from the root down; not the tree nor the home.
        for expected in ("/q", "/qm", "/" + self.name, self.target):
            self.assertIn(expected, box.strays)
        self.assertFalse([path for path in box.strays if path.startswith((self.tree, "/qm-sandbox"))], box.strays)

    def test_a_timeout_ends_every_process_the_command_started(self):
        if not sandbox.namespaces_available():
            self.assertFalse(os.environ.get("CI"), "no pid namespace for the sandbox in CI")
            self.skipTest("needs root, unshare and overlayfs")
        token = "qm-sandbox-sleeper-" + uuid.uuid4().hex[:8]
        started = time.time()
        sleeper = "import time; time.sleep(60)  # " + token
        status, output = sandbox.Sandbox().run(["sh", "-c", '"$0" -c "$1" & "$0" -c "$1"', sys.executable, sleeper],
                                               self.tree, timeout=1)
        self.assertEqual((status, output), (-1, "timed out"))
        self.assertLess(time.time() - started, 30)
        time.sleep(0.5)
        left = subprocess.run(["pgrep", "-f", token], stdout=subprocess.PIPE).stdout.decode().split()
        self.assertEqual(left, [], "processes outlived the sandbox")

    def test_without_namespaces_the_escape_is_named_and_the_home_is_the_commands_own(self):
        box = sandbox.Sandbox(isolate=False)
        status, output = self.escape(box)
        self.assertEqual(status, 7, output)
        self.assertNotEqual(output.strip(), os.path.expanduser("~"))
        self.assertEqual(os.path.exists(self.real_log), self.log_existed, "the log reached the real home")
        self.assertIn("/q", box.strays)
        self.assertIn("/" + self.name, box.strays)


if __name__ == "__main__":
    unittest.main()
