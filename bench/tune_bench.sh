#!/usr/bin/env bash
# qm tune's speed-up from its worker processes: the default table run with
# one worker and with one per core, each REPS times; prints the medians of
# the wall-clock time and of the processor time (user + system, workers
# included), and the speed-up. The processor time tells what the split
# costs even when other programs share the cores and blur the wall clock.
#
#   bench/tune_bench.sh [BUILD_DIR] [--quick]    (default build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux
trials=200
reps=3
for argument in "$@"; do
  case $argument in
    --quick) trials=4; reps=1 ;;
    *) build=$argument ;;
  esac
done
qm=$build/bin/qm
cores=$(nproc)
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A wall cpu
for workers in 1 "$cores"; do
  walls=() cpus=()
  for ((r = 0; r < reps; r++)); do
    TIMEFORMAT='%R %U %S'
    times=$({ time "$qm" tune --trials "$trials" --workers "$workers" --quiet >/dev/null; } 2>&1 | tail -n 1)
    read -r real user system <<<"$times"
    walls+=("$real")
    cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')")
  done
  wall[$workers]=$(printf '%s\n' "${walls[@]}" | median)
  cpu[$workers]=$(printf '%s\n' "${cpus[@]}" | median)
  printf 'qm tune, %d trials per case, %d worker(s): wall %s s, processor %s s (median of %d)\n' \
    "$trials" "$workers" "${wall[$workers]}" "${cpu[$workers]}" "$reps"
done
awk -v w1="${wall[1]}" -v wn="${wall[$cores]}" -v c1="${cpu[1]}" -v cn="${cpu[$cores]}" -v n="$cores" 'BEGIN {
  printf "qm tune speed-up with %d workers: %.2fx wall clock; processor time %.2fx that of one worker", n, w1 / wn, cn / c1
  printf " (on %d idle cores at most %.2fx)\n", n, n * c1 / cn
}'
