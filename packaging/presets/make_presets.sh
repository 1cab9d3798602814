#!/usr/bin/env bash
# Makes the installer's presets from their targets: for each preset folder,
# the tuning lab's solver searches the keys of vary.txt until the figures of
# targets.txt are met, starting from the shipped Quellmark.ini, and the
# settings it prints are written into a copy of the shipped file (same
# comments, only those values changed) as the folder's Quellmark.ini. Each
# result must pass qm-check-settings with nothing to report.
#
#   packaging/presets/make_presets.sh [PRESET...]   (default: every preset folder)
# QM_NATIVE_BUILD names the Linux build folder (default build/linux).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${QM_NATIVE_BUILD:-$repo/build/linux}")
shipped=$repo/packaging/Quellmark.ini
trials=400
seed=5489

for tool in qm qm-check-settings; do
  [ -x "$native/bin/$tool" ] || { echo "no $native/bin/$tool: build it first" >&2; exit 2; }
done

# Replaces the value of every [Section] Key=value line named in the solver's
# "Settings to paste" block; every other line stays as it is.
apply_settings() {  # settings-block shipped-file
  awk -v block="$1" '
    BEGIN {
      n = split(block, lines, "\n")
      for (i = 1; i <= n; i++) {
        if (lines[i] ~ /^\[/) { section = lines[i]; continue }
        split(lines[i], kv, "=")
        if (kv[1] != "") value[section "/" kv[1]] = kv[2]
      }
      section = ""
    }
    /^\[/ { section = $0 }
    /^[A-Za-z]/ && index($0, "=") {
      key = substr($0, 1, index($0, "=") - 1)
      if ((section "/" key) in value) { print key "=" value[section "/" key]; used[section "/" key] = 1; next }
    }
    { print }
    END { for (k in value) if (!(k in used)) { print "no line for " k > "/dev/stderr"; exit 1 } }' "$2"
}

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(breaking hard)
for preset in "${presets[@]}"; do
  folder=$here/$preset
  echo "== $preset: solving $(grep -cv '^#' "$folder/targets.txt") targets" >&2
  output=$("$native/bin/qm" tune "$shipped" --targets "$folder/targets.txt" --vary "$(cat "$folder/vary.txt")" \
    --trials "$trials" --seed "$seed" --workers 1 --quiet) || {
    echo "$output" >&2
    echo "$preset: the solver did not reach every target" >&2
    exit 1
  }
  echo "$output" >"$folder/solver.txt"
  settings=$(sed -n '/^Settings to paste into Quellmark.ini:$/,/^$/p' <<<"$output" | sed '1d;/^$/d')
  apply_settings "$settings" "$shipped" >"$folder/Quellmark.ini"
  "$native/bin/qm-check-settings" "$folder/Quellmark.ini" >/dev/null || {
    echo "$preset: qm-check-settings has something to report on $folder/Quellmark.ini" >&2
    exit 1
  }
  echo "$folder/Quellmark.ini"
done
