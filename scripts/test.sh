#!/usr/bin/env bash
# Runs every test: the native suite (GCC), the README's table of presets
# measured again, a sample of mutants it must kill,
# a brief run of the benchmarks, the demo under valgrind, the HTML reports and
# the widget's movie in headless chromium and Firefox ESR; the same suite under Address- and UndefinedBehaviorSanitizer
# (Clang); the concurrency tests under ThreadSanitizer; the Windows DLL under
# Wine (its checks, every scenario, the trace comparison with the native run,
# the profile parity corpus, the package); the studio's archive in headless
# chromium and Firefox ESR from file://; and the fuzzers for a bounded
# time. Exits non-zero when anything fails. QM_FUZZ_SECONDS sets the time per
# fuzz target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

started=$SECONDS
stage() { printf '\n==== %s (at %d s) ====\n' "$*" $((SECONDS - started)); }

stage "layers and formatting: no include runs up a floor; the C++ files as clang-format 14 writes them"
scripts/check_layers.py
scripts/check_format.sh

stage "native build and tests (GCC 12)"
cmake --preset linux -DQM_BUILD_BENCH=ON >/dev/null
cmake --build --preset linux
ctest --preset linux

stage "the studio's figures against qm tune through the plug-in, at 24 random settings"
tests/studio/figures_vs_tune.sh build/linux

stage "the README's table of presets, measured again by the tuning lab"
packaging/presets/preset_table.sh --check

# The sample is chosen by the tree of src/: it moves whenever the code under
# test changes, and stays put while tests are added to kill a survivor.
stage "mutation sample: 20 mutants chosen by the code's tree, on the native build, each in its sandbox"
python3 -m unittest discover -s tools/mutate -p '*_test.py'
tools/mutate/mutate.py --sample 20 --seed "$(git rev-parse HEAD:src 2>/dev/null || echo uncommitted)" --in-place build/linux --whole-suite

stage "benchmarks, briefly: they still build and run"
bench/run_benchmarks.sh build/linux --quick

stage "the demo under valgrind memcheck"
tests/valgrind/run_demo_memcheck.sh build/linux

stage "the HTML reports in headless chromium"
tests/browser/check_reports.sh build/linux

stage "the widget's movie in Ruffle in headless chromium and Firefox ESR"
tests/movie/run_movie_tests.sh build/linux

stage "the studio's settings: qm-check-settings in WebAssembly against the native one, exports read back"
cmake --build --preset linux --target studio_settings
node --test tests/studio/settings_*.test.js

stage "AddressSanitizer and UndefinedBehaviorSanitizer (Clang 14)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

stage "ThreadSanitizer: concurrency tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target Quellmark game_tests module_tests
ctest --preset tsan --no-tests=error -R 'Stress|SpinLock'

stage "Windows DLL (MinGW-w64) under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
tests/wine/check_dll.sh build/windows/bin/Quellmark.dll
tests/wine/run_wine_suite.sh build/windows
tests/wine/compare_traces.sh build/windows
tests/profile-parity/run_parity_wine.sh

stage "Quellmark Studio: its archive from the build outputs, opened from file:// in headless chromium and Firefox ESR, the export read back natively and under Wine"
cmake --build --preset linux --target studio_settings
tests/studio/run_studio_test.sh build/linux build/windows

stage "Quellmark Studio: the player's own files in the page in each browser (encodings, refused files, a million lines, axe-core)"
tests/studio/run_studio_files_test.sh build/linux build/windows

stage "the package players install"
tests/package/check_package.sh

stage "fuzzing (bounded)"
fuzz/run_fuzzers.sh "${QM_FUZZ_SECONDS:-60}"

stage "all stages passed"
