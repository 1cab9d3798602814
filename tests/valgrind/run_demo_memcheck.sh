#!/bin/sh
# Runs the demo scenario under valgrind's memcheck, the plug-in module loaded
# into the game double as always. Any invalid read or write, jump on an
# uninitialised value, bad free or leaked block fails the run (exit 1); the
# scenario's own expectations failing fail it too.
# Usage: tests/valgrind/run_demo_memcheck.sh [build folder, default build/linux]
#        [scenario, default scenarios/demo/demo.json]
set -eu

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/linux}"
scenario="${2:-$root/scenarios/demo/demo.json}"

if [ ! -x "$build/bin/qm" ] || [ ! -f "$build/bin/Quellmark.so" ]; then
  echo "run_demo_memcheck: build qm and Quellmark in $build first" >&2
  exit 2
fi

# Blocks still reachable at exit are the process-wide objects the plug-in
# and the double keep for the life of the process; every other kind counts.
exec valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
  --track-origins=yes --num-callers=30 \
  "$build/bin/qm" run "$scenario"
