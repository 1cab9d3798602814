#!/usr/bin/env bash
# The table of the players' part of the README: what each preset means in
# hits, measured by the tuning lab with fixed seeds (qm tune --item-table).
#
#   packaging/presets/preset_table.sh           prints the table
#   packaging/presets/preset_table.sh --write   puts it into README.md
#   packaging/presets/preset_table.sh --check   fails when README.md's table differs
# QM_NATIVE_BUILD names the Linux build folder (default build/linux).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${QM_NATIVE_BUILD:-$repo/build/linux}")
readme=$repo/README.md
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

readme_table() { sed -n "\\|^$begin\$|,\\|^$end\$|p" "$readme" | sed '1d;$d'; }

case ${1:-} in
  "") echo "$table" ;;
  --check)
    [ "$(grep -cxF -e "$begin" -e "$end" "$readme")" -eq 2 ] || { echo "README.md has no preset table" >&2; exit 1; }
    if ! difference=$(diff <(readme_table) <(echo "$table")); then
      echo "README.md's preset table differs from the lab's (< README, > lab); run $0 --write:" >&2
      echo "$difference" >&2
      exit 1
    fi
    echo "README.md's preset table matches the lab's" ;;
  --write)
    [ "$(grep -cxF -e "$begin" -e "$end" "$readme")" -eq 2 ] || { echo "README.md has no preset table" >&2; exit 1; }
    awk -v begin="$begin" -v end="$end" -v table="$table" '
      $0 == begin { print; print table; skip = 1; next }
      $0 == end { skip = 0 }
      !skip { print }' "$readme" >"$readme.new"
    mv "$readme.new" "$readme" ;;
  *) echo "usage: $0 [--check|--write]" >&2; exit 2 ;;
esac
