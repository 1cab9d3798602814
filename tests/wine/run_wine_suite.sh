#!/usr/bin/env bash
# Runs every scenario with the Windows build (qm.exe, qm_host.dll and
# Quellmark.dll) under Wine, one after the other in one fresh prefix (and again
# on every other runtime the plug-in supports, those that do not name theirs), then the
# portable unit tests built for Windows, the Wine-only checks of this
# folder and the settings checker against its golden output and its corpus
# (tests/tools/corpus). Prints one line per case and the closing count; exits
# non-zero when any case failed.
#
#   tests/wine/run_wine_suite.sh [WINDOWS_BUILD_FOLDER] [SCENARIO.json ...]
# (default build/windows, or QM_WINDOWS_BUILD; with no scenario named, every
# scenario under scenarios/)
set -u
if [ $# -gt 0 ] && [ -d "$1" ]; then
  QM_WINDOWS_BUILD=$1
  shift
fi
source "$(dirname "$0")/wine_env.sh"
wine_start
cd "$REPO"

passed=0
failed=0
failures=()

record() {  # name, ok (0/1), output file
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
    echo "ok      $1"
  else
    failed=$((failed + 1))
    failures+=("$1")
    echo "FAILED  $1"
    sed 's/^/    | /' "$3"
  fi
}

if [ $# -gt 0 ]; then
  scenarios=("$@")
else
  mapfile -t scenarios < <(find scenarios -name '*.json' | LC_ALL=C sort)
fi

for scenario in "${scenarios[@]}"; do
  output=$WORK/output.txt
  wine_run "$WIN_BUILD/bin/qm.exe" run "$scenario" >"$output" 2>&1
  rc=$?
  # The runner's own verdict must be there too: a crash can end with a small
  # exit code that Wine folds into 8 bits, and prints a winedbg dump instead.
  ok=1
  if [ $rc -eq 0 ] && tr -d '\r' <"$output" | grep -qxF "PASSED $scenario"; then ok=0; fi
  if [ $rc -ne 0 ]; then echo "exit code $rc" >>"$output"; fi
  record "$scenario" $ok "$output"
done

# Every scenario that does not name its runtime, on each other runtime the
# plug-in supports, as the DLL loads there (QM_OTHER_RUNTIMES, default all).
read -r -a other_runtimes <<<"${QM_OTHER_RUNTIMES-1.5.97}"
for runtime in "${other_runtimes[@]}"; do
  for scenario in "${scenarios[@]}"; do
    grep -q '"runtime"' "$scenario" && continue
    output=$WORK/output.txt
    wine_run "$WIN_BUILD/bin/qm.exe" run "$scenario" --runtime "$runtime" >"$output" 2>&1
    rc=$?
    ok=1
    if [ $rc -eq 0 ] && tr -d '\r' <"$output" | grep -qxF "PASSED $scenario"; then ok=0; fi
    if [ $rc -ne 0 ]; then echo "exit code $rc" >>"$output"; fi
    record "$scenario on $runtime" $ok "$output"
  done
done

if [ $# -eq 0 ]; then
  # The portable unit tests, as MinGW built them.
  output=$WORK/output.txt
  wine_run "$WIN_BUILD/bin/windows_unit_tests.exe" >"$output" 2>&1
  rc=$?
  ok=1
  if [ $rc -eq 0 ] && tr -d '\r' <"$output" | grep -q '^\[  PASSED  \]'; then ok=0; fi
  if [ $rc -ne 0 ]; then echo "exit code $rc" >>"$output"; fi
  record "windows_unit_tests.exe ($(tr -d '\r' <"$output" | sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran.*/\1/p') tests)" $ok "$output"

  # No documents folder: the real import of SHGetFolderPathA answers E_FAIL;
  # the plug-in reports it and stops the process before any step after the
  # query can run.
  output=$WORK/output.txt
  wine_run "$WIN_BUILD/bin/qm.exe" run tests/wine/documents_lookup_fails.json >"$output" 2>&1
  rc=$?
  ok=0
  [ $rc -ne 0 ] && [ $rc -ne 2 ] || ok=1
  tr -d '\r' <"$output" | grep -qxF 'SHGetFolderPath 00000005 failed (result = 80004005 lasterr = 00000002)' || ok=1
  tr -d '\r' <"$output" |
    grep -qxF 'Assertion failed in IDebugLog (64): SUCCEEDED(err) (code = FFFFFFFF80004005 (-2147467259))' || ok=1
  if tr -d '\r' <"$output" | grep -q '^SKSEPlugin_Query ->'; then ok=1; fi
  echo "exit code $rc" >>"$output"
  record "tests/wine/documents_lookup_fails.json (stops the process)" $ok "$output"

  # The log held open by another process of the same prefix: the plug-in
  # writes to the first alternative name.
  output=$WORK/output.txt
  wine_run "$WIN_BUILD/bin/hold_log_test.exe" "$WIN_BUILD/bin/qm.exe" tests/wine/log_held_by_other_process.json \
    >"$output" 2>&1
  rc=$?
  ok=1
  if [ $rc -eq 0 ] && tr -d '\r' <"$output" | grep -qx "PASSED log held by another process"; then ok=0; fi
  if [ $rc -ne 0 ]; then echo "exit code $rc" >>"$output"; fi
  record "tests/wine/hold_log_test" $ok "$output"

  # The settings checker as modders run it on Windows: the real profile
  # functions read the files, and it says what the Linux build says.
  check_settings() {  # golden file, expected exit code, arguments
    local golden=$1 expected=$2
    shift 2
    output=$WORK/output.txt
    wine_run "$WIN_BUILD/bin/qm-check-settings.exe" "$@" >"$WORK/check.txt" 2>&1
    rc=$?
    ok=1
    tr -d '\r' <"$WORK/check.txt" | diff - "$golden" >"$output" && [ $rc -eq "$expected" ] && ok=0
    if [ $rc -ne "$expected" ]; then echo "exit code $rc, expected $expected" >>"$output"; fi
    record "qm-check-settings.exe $(basename "$golden")" $ok "$output"
  }
  check_settings tests/tools/bad_settings.expected 1 \
    tests/tools/bad_settings.ini tests/tools/bad_no_break.ini --plugins Skyrim.esm,Update.esm
  check_settings tests/tools/good_settings.expected 0 tests/tools/good_settings.ini

  # The settings corpus: the checker's verdicts against their golden output,
  # and the effective settings it prints against the log of the Windows
  # plug-in, loaded by qm.exe with the same files.
  for ini in tests/tools/corpus/*.ini; do
    case $ini in *.nobreak.ini) continue ;; esac
    output=$WORK/output.txt
    ok=1
    tests/tools/check_corpus.sh "timeout 120 $WINE $WIN_BUILD/bin/qm-check-settings.exe" \
      "timeout 120 $WINE $WIN_BUILD/bin/qm.exe" "$ini" >"$output" 2>&1 && ok=0
    record "qm-check-settings.exe corpus $(basename "$ini" .ini)" $ok "$output"
  done
fi

for name in "${failures[@]}"; do echo "failed: $name"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
