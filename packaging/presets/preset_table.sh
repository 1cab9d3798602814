#!/usr/bin/env bash
# The table of the players' part of the README: what each preset means in
# hits, measured by the tuning lab with fixed seeds (qm tune --item-table).
# The same measurement gives the installer its figures (figures.json beside
# this script: a sword's median hits until worn out and until broken in each
# preset), which its pictures and option descriptions quote.
#
#   packaging/presets/preset_table.sh           prints the table and the figures
#   packaging/presets/preset_table.sh --write   puts them into README.md and figures.json
#   packaging/presets/preset_table.sh --check   fails when README.md's table or figures.json differs
# QM_NATIVE_BUILD names the Linux build folder (default build/linux).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${QM_NATIVE_BUILD:-$repo/build/linux}")
readme=$repo/README.md
figures_file=$here/figures.json
begin='<!-- preset table: made by packaging/presets/preset_table.sh --write -->'
end='<!-- end of preset table -->'
# Enough trials for medians that hold still to a hit or two, few enough for
# CI: the results depend on the seed alone, never on the workers.
trials=2000
seed=5489

[ -x "$native/bin/qm" ] || { echo "no $native/bin/qm: build it first" >&2; exit 2; }
table=$(cd "$repo" && "$native/bin/qm" tune --item-table --trials "$trials" --seed "$seed" --workers "$(nproc)" --quiet \
  "Shipped defaults=packaging/Quellmark.ini" \
  "Worn-out gear can break=packaging/presets/breaking/Quellmark.ini" \
  "Harder=packaging/presets/hard/Quellmark.ini")

# A sword's medians per preset, from the player's columns: "never" breaks is null.
figures=$(awk -F'|' '
  function median(cell) { gsub(/^ +| +$/, "", cell); split(cell, parts, " "); return parts[1] == "never" ? "null" : parts[1] }
  $3 ~ /^ sword $/ {
    preset = $2; gsub(/^ +| +$/, "", preset)
    key = preset == "Shipped defaults" ? "defaults" : preset == "Worn-out gear can break" ? "breaking" : \
          preset == "Harder" ? "hard" : ""
    if (key == "") { print "preset_table: no figures key for the preset \"" preset "\"" > "/dev/stderr"; exit 1 }
    line[++n] = sprintf("  \"%s\": {\"wornOut\": %s, \"broken\": %s}", key, median($4), median($5))
  }
  END { print "{"; for (i = 1; i <= n; ++i) print line[i] (i < n ? "," : ""); print "}" }' <<<"$table")

readme_table() { sed -n "\\|^$begin\$|,\\|^$end\$|p" "$readme" | sed '1d;$d'; }

case ${1:-} in
  "") echo "$table"; echo "$figures" ;;
  --check)
    [ "$(grep -cxF -e "$begin" -e "$end" "$readme")" -eq 2 ] || { echo "README.md has no preset table" >&2; exit 1; }
    if ! difference=$(diff <(readme_table) <(echo "$table")); then
      echo "README.md's preset table differs from the lab's (< README, > lab); run $0 --write:" >&2
      echo "$difference" >&2
      exit 1
    fi
    if ! difference=$(diff "$figures_file" <(echo "$figures")); then
      echo "$figures_file differs from the lab's figures (< file, > lab); run $0 --write:" >&2
      echo "$difference" >&2
      exit 1
    fi
    echo "README.md's preset table and the installer's figures match the lab's" ;;
  --write)
    [ "$(grep -cxF -e "$begin" -e "$end" "$readme")" -eq 2 ] || { echo "README.md has no preset table" >&2; exit 1; }
    awk -v begin="$begin" -v end="$end" -v table="$table" '
      $0 == begin { print; print table; skip = 1; next }
      $0 == end { skip = 0 }
      !skip { print }' "$readme" >"$readme.new"
    mv "$readme.new" "$readme"
    echo "$figures" >"$figures_file" ;;
  *) echo "usage: $0 [--check|--write]" >&2; exit 2 ;;
esac
