#!/bin/sh
# Builds the fuzz targets with clang into build/fuzz and runs each for a
# bounded time: the two settings readers, the Address Library reader, the
# engine driven with the plug-in module loaded into the game double, the
# host's and the game's calls into a fresh plug-in in any order, and qm run's
# scenario reader.
# Usage: fuzz/run_fuzzers.sh [seconds per target, default 60]
# Exits non-zero when a target crashes or breaks one of its checks; the
# input that did it lands in build/fuzz/artifacts/.
set -eu

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQM_WERROR=ON -DQM_BUILD_FUZZ=ON -DQM_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" settings_reader_fuzz no_break_reader_fuzz address_library_fuzz engine_events_fuzz host_calls_fuzz \
  scenario_parser_fuzz

mkdir -p "$build/artifacts"
status=0
for pair in settings_reader:settings no_break_reader:nobreak address_library:address-library engine_events:engine \
    host_calls:calls scenario_parser:scenario; do
  target="${pair%%:*}"
  seeds="$root/fuzz/corpus/${pair#*:}"
  # New inputs go to a working corpus in the build folder; the committed
  # seeds are only read.
  work="$build/corpus/${pair#*:}"
  mkdir -p "$work"
  extra=""
  # The engine target accounts for the game's heaps itself after every event;
  # a leak scan per input would search the whole game image each time.
  if [ "$target" = engine_events ]; then extra="-detect_leaks=0 -max_len=4096"; fi
  # Each input of the calls target runs in a child of its own, which ends
  # without a leak scan; the parent keeps the game for the whole run.
  if [ "$target" = host_calls ]; then extra="-detect_leaks=0 -max_len=512"; fi
  # Settings files: inputs up to 90 000 bytes, so that sections over the
  # 32 KiB profile buffer (UTF-16 ones too) are reached, with the words of
  # the format to build them from. The target marks a file once an input
  # filled the buffer.
  full_buffer_mark="$build/settings-reader-full-buffer"
  if [ "$target" = settings_reader ]; then
    extra="-max_len=90000 -dict=$root/fuzz/settings_reader.dict"
    rm -f "$full_buffer_mark"
  fi
  # Scenarios: the project's own scenarios are the seeds (read recursively),
  # with the words of the format; an input read for more than 10 s counts as
  # a hang.
  if [ "$target" = scenario_parser ]; then
    seeds="$root/scenarios"
    extra="-timeout=10 -dict=$root/fuzz/scenario_parser.dict"
  fi
  echo "== $target: $seconds s"
  # -close_fd_mask=1: the settings code logs every unreadable number to
  # standard output, which would only slow the run.
  if ! QM_FUZZ_FULL_BUFFER_MARK="$full_buffer_mark" "$build/bin/${target}_fuzz" -max_total_time="$seconds" \
      -max_len=40000 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" $extra "$work" "$seeds"; then
    echo "== $target FAILED"
    status=1
  fi
  if [ "$target" = settings_reader ] && [ ! -f "$full_buffer_mark" ]; then
    echo "== $target FAILED: no input filled the 32 KiB profile buffer"
    status=1
  fi
done
exit "$status"
