#!/usr/bin/env bash
# Runs the benchmarks of a build made with -DQM_BUILD_BENCH=ON and prints
# their medians: one hit, tempering passes over 1,000 to 100,000
# references, one widget content update, the Address Library read and
# resolved at start-up, and qm tune with one worker and
# with one per core (bench/tune_bench.sh). Fails when a benchmark reports
# an error (a pass that left references undecided, say).
#
#   bench/run_benchmarks.sh [BUILD_DIR] [--quick]   (default build/linux)
# --quick runs each benchmark briefly, once: for CI, which only checks that
# they still build and run. For figures, run on an idle machine without it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux
quick=0
for argument in "$@"; do
  case $argument in
    --quick) quick=1 ;;
    -h|--help) sed -n '2,9s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) build=$argument ;;
  esac
done
bin=$build/bin
if [[ ! -x $bin/qm_bench || ! -x $bin/widget_update_bench || ! -x $bin/address_library_bench ]]; then
  echo "run_benchmarks: no benchmarks in $bin (cmake --preset linux -DQM_BUILD_BENCH=ON, then build)" >&2
  exit 2
fi

output=$(mktemp)
trap 'rm -f "$output"' EXIT
if [[ $quick == 1 ]]; then
  "$bin/qm_bench" --benchmark_min_time=0.05 >"$output" 2>&1 || { cat "$output"; exit 1; }
  grep -E '^(HitOnThePlayer|TemperPass)' "$output"
else
  "$bin/qm_bench" --benchmark_repetitions=7 --benchmark_report_aggregates_only=true >"$output" 2>&1 ||
    { cat "$output"; exit 1; }
  grep -E '_median' "$output"
fi
if grep -q 'ERROR OCCURRED' "$output"; then
  grep 'ERROR OCCURRED' "$output"
  exit 1
fi
"$bin/widget_update_bench" | grep -E '^widget content update'
# The real 1.5.97 file, loaded and resolved as at start-up (target: well
# under 100 ms).
if [[ $quick == 1 ]]; then
  "$bin/address_library_bench" --benchmark_min_time=0.05 >"$output" 2>&1 || { cat "$output"; exit 1; }
  grep -E '^(LoadAndResolve|ResolveSixty)' "$output"
else
  "$bin/address_library_bench" --benchmark_repetitions=7 --benchmark_report_aggregates_only=true >"$output" 2>&1 ||
    { cat "$output"; exit 1; }
  grep -E '_median' "$output"
fi
if grep -q 'ERROR OCCURRED' "$output"; then
  grep 'ERROR OCCURRED' "$output"
  exit 1
fi
if [[ $quick == 1 ]]; then bench/tune_bench.sh "$build" --quick; else bench/tune_bench.sh "$build"; fi
