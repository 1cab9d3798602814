#!/usr/bin/env bash
# Runs every scenario twice, natively (Linux build, Quellmark.so) and under
# Wine (Windows build, Quellmark.dll), each writing its trace and the
# plug-in's log with `qm run --trace-out`, and compares the two; once with the
# scenario's own seed and once with each seed of QM_TRACE_SEEDS (default
# "7 2026"), where a scenario's expectations may fail but must fail alike. The plug-in's
# behaviour may not depend on the platform: every difference is a failure,
# reported with the first line that differs.
#
#   tests/wine/compare_traces.sh [WINDOWS_BUILD_FOLDER] [SCENARIO.json ...]
# (default build/windows, or QM_WINDOWS_BUILD; with no scenario named, every
# scenario under scenarios/)
# QM_NATIVE_BUILD names the Linux build folder (default build/linux).
set -u
if [ $# -gt 0 ] && [ -d "$1" ]; then
  QM_WINDOWS_BUILD=$1
  shift
fi
source "$(dirname "$0")/wine_env.sh"
NATIVE_BUILD=$(realpath -m "${QM_NATIVE_BUILD:-$REPO/build/linux}")
if [ ! -x "$NATIVE_BUILD/bin/qm" ]; then
  echo "no Linux build in $NATIVE_BUILD (cmake --preset linux && cmake --build --preset linux)" >&2
  exit 2
fi
wine_start
cd "$REPO"

if [ $# -gt 0 ]; then
  scenarios=("$@")
else
  mapfile -t scenarios < <(find scenarios -name '*.json' | LC_ALL=C sort)
fi

mkdir -p "$WORK/traces"
passed=0
failed=0
read -r -a seeds <<<"${QM_TRACE_SEEDS-7 2026}"
for seed in own "${seeds[@]}"; do
for scenario in "${scenarios[@]}"; do
  name=$(echo "$scenario" | tr '/' '_').$seed
  native=$WORK/traces/$name.native
  windows=$WORK/traces/$name.wine
  seeded=()
  label=$scenario
  if [ "$seed" != own ]; then
    seeded=(--seed "$seed")
    label="$scenario, seed $seed"
  fi
  timeout --kill-after=10 120 "$NATIVE_BUILD/bin/qm" run "$scenario" "${seeded[@]}" --trace-out "$native" \
    >"$WORK/native.out" 2>&1
  native_rc=$?
  wine_run "$WIN_BUILD/bin/qm.exe" run "$scenario" "${seeded[@]}" --trace-out "$windows" >"$WORK/wine.out" 2>&1
  wine_rc=$?

  problem=""
  if [ ! -s "$native" ]; then
    problem="the native run wrote no trace (exit code $native_rc)"
  elif [ ! -s "$windows" ]; then
    problem="the Wine run wrote no trace (exit code $wine_rc)"
  elif [ "$native_rc" -ne "$wine_rc" ]; then
    problem="exit codes differ: native $native_rc, Wine $wine_rc"
  elif ! cmp -s "$native" "$windows"; then
    first=$(diff --unchanged-line-format= --old-line-format='line %dn, native: %L' \
              --new-line-format='line %dn, Wine:   %L' "$native" "$windows" | head -n 2)
    problem="traces differ at the first line below"$'\n'"$first"
  fi

  if [ -z "$problem" ]; then
    passed=$((passed + 1))
    echo "same    $label ($(wc -l <"$native") lines)"
  else
    failed=$((failed + 1))
    echo "DIFFERS $label"
    echo "$problem" | sed 's/^/    | /'
    if [ ! -s "$windows" ] || [ "$native_rc" -ne "$wine_rc" ]; then
      echo "    | Wine output:"
      sed 's/^/    |   /' "$WORK/wine.out"
    fi
  fi
done
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
