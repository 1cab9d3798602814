#!/usr/bin/env bash
# Instructions per hit: callgrind counts the hit sink's receive function
# alone over the hit benchmark's iterations, all of it and the plug-in's own
# share (the rest is the game double standing in for the game's functions).
# Instruction counts repeat exactly for the same binary and inputs, whatever
# else the machine does, so two builds can be compared on a busy machine.
#
#   bench/hit_instructions.sh [BUILD_DIR] [RUNTIME]
# (default build/linux, built with -DQM_BUILD_BENCH=ON; RUNTIME as qm run
# --runtime takes it, default 1.5.39)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
export QM_BENCH_RUNTIME=${2:-1.5.39}
if [[ ! -x $build/bin/qm_bench ]]; then
  echo "hit_instructions: no qm_bench in $build/bin (cmake --preset linux -DQM_BUILD_BENCH=ON, then build)" >&2
  exit 2
fi
command -v valgrind >/dev/null || { echo "hit_instructions: valgrind is not installed" >&2; exit 2; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build/bin" && valgrind --tool=callgrind --callgrind-out-file="$out/hits.callgrind" --toggle-collect='*OnHitEvent*' \
  ./qm_bench --benchmark_filter='^HitOnThePlayer/' --benchmark_min_time=0.2 >"$out/log" 2>&1) ||
  { cat "$out/log" >&2; exit 1; }
callgrind_annotate --inclusive=yes --tree=caller "$out/hits.callgrind" >"$out/annotated" 2>/dev/null
total=$(grep -m1 'PROGRAM TOTALS' "$out/annotated" | awk '{gsub(",", "", $1); print $1}')
hits=$(grep -m1 -E '< .*HitOnThePlayer.*\([0-9,]+x\)' "$out/annotated" | sed -E 's/.*\(([0-9,]+)x\).*/\1/' | tr -d ,)
if ! [[ $total =~ ^[0-9]+$ && $hits =~ ^[1-9][0-9]*$ ]]; then
  echo "hit_instructions: callgrind saw no hit" >&2
  exit 1
fi
callgrind_annotate --threshold=100 "$out/hits.callgrind" >"$out/exclusive" 2>/dev/null
plugin=$(grep -E '\[[^]]*/Quellmark\.so\]$' "$out/exclusive" | awk '{gsub(",", "", $1); sum += $1} END {print sum + 0}')
echo "runtime $QM_BENCH_RUNTIME: instructions per hit: $((total / hits)), of which in the plug-in: $((plugin / hits)) ($total over $hits hits)"
