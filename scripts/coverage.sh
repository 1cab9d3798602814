#!/usr/bin/env bash
# Builds the coverage preset, runs the whole suite and reports the lines and
# branches of src/ that ran, leaving out the file built only for Windows.
# Branches the compiler adds for exceptions and branches it proves unreachable
# are not counted (gcovr --exclude-throw-branches --exclude-unreachable-branches),
# nor those of the guards of function-local statics (see below).
# Writes build/coverage/coverage.txt (every file with its lines not run) and
# build/coverage/html/index.html; prints the summary. The lines that still do
# not run, and why, are listed in tests/coverage-uncovered.md.
#   scripts/coverage.sh [--build-only]
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset coverage "${launcher[@]}" >/dev/null
cmake --build --preset coverage
# tools/mutate/mutate.py only needs the build, to run the tests one at a time.
[[ "${1:-}" == --build-only ]] && exit 0
# Counters add up across runs: start from none.
find build/coverage -name '*.gcda' -delete
ctest --preset coverage

mkdir -p build/coverage/html
# Counted: the plug-in's objects and the tests' (inline code of src/ headers).
# Left out: the tools' own builds of a few src/ files (the profile reader in
# qm and profile_dump): they are not the plug-in, and their counters, merged
# with the plug-in's, would show its exception branches as branches not taken.
# Also left out: the branches of the guard of a function-local static, which
# another thread finishing the initialisation first is needed to take.
gcovr --root . --object-directory build/coverage \
      --filter 'src/' --exclude 'src/platform/platform_windows\.cpp' \
      --exclude-directories '.*/tools/CMakeFiles/.*' --exclude-directories '.*/tools_tests\.dir.*' \
      --exclude-throw-branches --exclude-unreachable-branches \
      --exclude-branches-by-pattern '\s*(static const [^;]*\(.*\);|\}\(\);)\s*$' \
      --txt build/coverage/coverage.txt \
      --html-details build/coverage/html/index.html \
      --print-summary build/coverage
