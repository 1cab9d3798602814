"""A sandbox for a mutant's tests: whatever they write stays in it.

A mutant can send a write anywhere: a changed constant in the log's path
makes a folder at every prefix of a path (/t, /tm, ...) or a log under the
real home. So each test command runs in a mount namespace of its own, on a
copy-on-write view of the whole root file system (an overlay whose upper
layer is a tmpfs that goes with the namespace), in a pid namespace of its own
so that a timeout ends every process it started, with a home and a
temporary folder of its own. What the command wrote outside the places tests
write to (the tree, the home, the temporary folders) is listed afterwards:
it reached only the sandbox.

Where the namespaces cannot be had (not root, no unshare, no overlay), the
command runs with a home and a temporary folder of its own, and the root
folder, the home and the temporary folder it was given are compared before
and after; what appeared there is listed, and that did reach the machine.
"""
import os
import shutil
import subprocess
import tempfile

# Runs inside the new namespaces: $1 the scratch folder, $2 the folder to run
# in, $3 the file for the list of stray writes, the command after them.
# /proc is the new pid namespace's own; /dev and /sys are the machine's.
INSIDE = r'''
set -eu
scratch=$1 cwd=$2 strays=$3
shift 3
mount -t tmpfs -o mode=0700 qm-sandbox "$scratch"
mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
mount -t overlay qm-sandbox -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root"
mount -t proc proc "$scratch/root/proc"
mount --rbind /dev "$scratch/root/dev"
mount --rbind /sys "$scratch/root/sys"
mkdir -p "$scratch/root/qm-sandbox/home" "$scratch/root/qm-sandbox/tmp"
set +e
HOME=/qm-sandbox/home TMPDIR=/qm-sandbox/tmp chroot "$scratch/root" /bin/sh -c 'cd "$1" && shift && exec "$@"' sh "$cwd" "$@"
status=$?
# What changed outside the places tests write to, as absolute paths.
(cd "$scratch/upper" && find . -mindepth 1 \( -path ./qm-sandbox -o -path ./tmp -o -path ./dev -o -path ./proc -o -path ./sys -o -path ./var/tmp \) -prune -o -print) |
  sed 's/^\.//' >"$strays"
exit $status
'''


def namespaces_available():
    """Whether the sandbox can have its own mount and pid namespaces here."""
    if os.geteuid() != 0 or shutil.which("unshare") is None or shutil.which("chroot") is None:
        return False
    probe = subprocess.run(["unshare", "--mount", "--propagation", "private", "--pid", "--fork", "--",
                            "/bin/sh", "-c", "mount -t tmpfs qm-probe /mnt && grep -qw overlay /proc/filesystems"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return probe.returncode == 0


class Sandbox:
    """Runs commands so that their writes stay in the sandbox; `strays`
    holds what the last command wrote outside the tree, the home and the
    temporary folders, and `contained` whether that reached only the sandbox."""

    def __init__(self, isolate=None):
        self.contained = namespaces_available() if isolate is None else isolate
        self.strays = []

    def run(self, command, cwd, timeout=None, own=()):
        """(exit status, output) of `command` run in `cwd`; -1 when it timed
        out. Writes below `cwd` and the folders `own` names are no strays."""
        with tempfile.TemporaryDirectory(prefix="qm-mutant-") as scratch:
            if self.contained:
                return self._run_contained(command, cwd, timeout, scratch, [cwd] + list(own))
            return self._run_with_own_folders(command, cwd, timeout, scratch)

    def _run_contained(self, command, cwd, timeout, scratch, own):
        mount_point = os.path.join(scratch, "sandbox")
        os.mkdir(mount_point)
        strays = os.path.join(scratch, "strays")
        wrapped = ["unshare", "--mount", "--propagation", "private", "--pid", "--fork", "--kill-child", "--",
                   "/bin/sh", "-c", INSIDE, "sandbox", mount_point, os.path.abspath(cwd), strays] + list(command)
        status, output = _run(wrapped, cwd, timeout, os.environ)
        self.strays = [path for path in _lines(strays) if not _within_or_above(path, own)]
        return status, output

    def _run_with_own_folders(self, command, cwd, timeout, scratch):
        home, tmp = os.path.join(scratch, "home"), os.path.join(scratch, "tmp")
        os.mkdir(home)
        os.mkdir(tmp)
        watched = ["/", os.path.expanduser("~"), tempfile.gettempdir()]
        before = {folder: _entries(folder) for folder in watched}
        environment = dict(os.environ, HOME=home, TMPDIR=tmp)
        status, output = _run(list(command), cwd, timeout, environment)
        self.strays = sorted(os.path.join(folder, name) for folder in watched
                             for name in _entries(folder) - before[folder] if os.path.join(folder, name) != scratch)
        return status, output


def _run(command, cwd, timeout, environment):
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout,
                              env=environment)
        return done.returncode, done.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return -1, "timed out"


def _within_or_above(path, folders):
    """Whether `path` is in one of `folders`, or above one: the folders above
    are in the upper layer only because something was written below them."""
    for folder in folders:
        folder = os.path.abspath(folder)
        if path == folder or path.startswith(folder + "/") or folder.startswith(path + "/"):
            return True
    return False


def _entries(folder):
    try:
        return set(os.listdir(folder))
    except OSError:
        return set()


def _lines(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\n") for line in f if line.strip()]
    except OSError:
        return []
