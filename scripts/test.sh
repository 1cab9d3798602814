#!/usr/bin/env bash
# Runs every test: the native suite (GCC), the same suite under Address- and
# UndefinedBehaviorSanitizer (Clang), the concurrency tests under
# ThreadSanitizer, the Windows DLL under Wine, and the fuzzers for a bounded
# time. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

stage() { printf '\n==== %s ====\n' "$*"; }

stage "native build and tests (GCC 12)"
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux

stage "AddressSanitizer and UndefinedBehaviorSanitizer (Clang 14)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan

stage "ThreadSanitizer: concurrency tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan --no-tests=error -R 'Stress|SpinLock|Concurren'

stage "Windows DLL (MinGW-w64) under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
tests/wine/check_dll.sh build/windows/bin/Quellmark.dll
tests/wine/run_wine_suite.sh build/windows

stage "fuzzing (bounded)"
fuzz/run_fuzzers.sh "${QM_FUZZ_SECONDS:-60}"

stage "all stages passed"
