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

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_Cninja -C "$build" settings_reader_fuzz no_break_reader_fuzz address_library_fuzz engine_events_fuzz host_calls_fuzz \
  scenario_parser_fuzz

mkdir -p "$build/artifacts"
status=0
for pair in settings_reader:settings no_break_reader:nobreak address_library:address-library engine_events:engine \
    host_calls:calls scenario_parser:scenario; do
_COMPILER=clang++ \
  -DQM_WERROR=ON -DQM_BUILD_FUZZ=ON -DQM_BUILD_TESTS=OFF >/dev/null
