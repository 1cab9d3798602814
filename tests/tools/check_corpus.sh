#!/usr/bin/env bash
# Checks qm-check-settings against its golden output and against the plug-in
# itself, for each case of the settings corpus (tests/tools/corpus):
#   1. the checker's output equals CASE.expected, and its exit code is 0 when
#      the golden output's count line says nothing was dropped, 1 otherwise;
#   2. the plug-in, loaded into the game double by `qm run` with the same files
#      and plug-in list, writes to its log exactly the lines the checker shows
#      as the plug-in's log and as the effective settings.
# A case is CASE.ini (the settings file), with CASE.nobreak.ini (the no-break
# list) and CASE.plugins (the game's plug-in files, comma-separated, light
# ones named .esl or marked :light) when there. The checker is given bare
# file names, run in the corpus folder.
#
#   check_corpus.sh CHECK_COMMAND QM_COMMAND CASE.ini...
# Each command is a prefix split at blanks (e.g. "wine64 build/bin/qm.exe").
set -u
if [ $# -lt 3 ]; then
  echo "usage: $0 CHECK_COMMAND QM_COMMAND CASE.ini..." >&2
  exit 2
fi
read -r -a check <<<"$1"
read -r -a qm <<<"$2"
shift 2
for i in "${!check[@]}"; do [ -e "${check[$i]}" ] && check[$i]=$(realpath "${check[$i]}"); done
for i in "${!qm[@]}"; do [ -e "${qm[$i]}" ] && qm[$i]=$(realpath "${qm[$i]}"); done

default_plugins=Skyrim.esm,Update.esm,Dawnguard.esm,HearthFires.esm,Dragonborn.esm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
# The checker escapes every byte outside printable ASCII; so does this.
escaped() { perl -pe 's/([^\x20-\x7E\n])/sprintf("\\x%02X", ord($1))/ge'; }

fail() {
  echo "FAILED  $case_name: $1"
  failed=$((failed + 1))
}

for ini in "$@"; do
  case $ini in *.nobreak.ini) continue ;; esac  # the second file of a case
  folder=$(cd "$(dirname "$ini")" && pwd)
  case_name=$(basename "$ini" .ini)
  nobreak=$folder/$case_name.nobreak.ini
  plugins=$default_plugins
  [ -f "$folder/$case_name.plugins" ] && plugins=$(tr -d '\r\n' <"$folder/$case_name.plugins")
  args=("$case_name.ini")
  [ -f "$nobreak" ] && args+=("$case_name.nobreak.ini")
  args+=(--plugins "$plugins")

  (cd "$folder" && "${check[@]}" "${args[@]}") >"$work/raw" 2>"$work/err"
  rc=$?
  tr -d '\r' <"$work/raw" >"$work/check"
  golden=$folder/$case_name.expected
  expected_rc=1
  grep -q ' 0 dropped, misread or overridden$' "$golden" && expected_rc=0
  if ! diff "$golden" "$work/check" >"$work/diff"; then
    fail "the output differs from $golden"
    sed 's/^/    | /' "$work/diff" "$work/err"
    continue
  fi
  if [ "$rc" -ne "$expected_rc" ]; then
    fail "exit code $rc, expected $expected_rc"
    continue
  fi

  # The same files in a scenario; the plug-in's log after its first two lines
  # (its name and "Loaded") is what it made of them.
  {
    printf '{"description": "settings corpus case %s",\n' "$case_name"
    printf ' "world": {"plugins": ['
    IFS=, read -r -a names <<<"$plugins"
    sep=""
    for name in "${names[@]}"; do
      name=$(echo "$name" | sed 's/^[ \t]*//; s/[ \t]*$//')
      [ -n "$name" ] || continue
      # The checker's light files: named .esl, or marked :light.
      light=false
      case ${name,,} in
        *:light) name=${name:0:${#name}-6} light=true ;;
        *.esl) light=true ;;
      esac
      printf '%s{"name": "%s", "light": %s}' "$sep" "$name" "$light" && sep=", "
    done
    printf ']},\n "files": {"data/SKSE/Plugins/Quellmark/Quellmark.ini": {"hex": "%s"}' "$(hex "$ini")"
    [ -f "$nobreak" ] &&
      printf ',\n   "data/SKSE/Plugins/Quellmark/NoBreakForms.ini": {"hex": "%s"}' "$(hex "$nobreak")"
    printf '},\n "steps": [{"query": {"expect": true}}, {"load": {"expect": true}}, {"message": 8}]}\n'
  } >"$work/case.json"
  (cd "$work" && "${qm[@]}" run case.json --trace-out trace.txt) >"$work/run" 2>&1
  rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "qm run exit code $rc"
    sed 's/^/    | /' "$work/run"
    continue
  fi
  tr -d '\r' <"$work/trace.txt" | awk '/^== log Quellmark.log$/ {on = 1; next} /^== / {on = 0} on' |
    tail -n +3 | escaped >"$work/plugin"
  awk '/^The plug-in.s log while it reads the files:$/ {on = 1; next}
       /^$/ {on = 0}
       /^Effective settings, as the plug-in writes them to its log:$/ {on = 2; next}
       /^HealthThreshold  =  / {on = 0}
       on && $0 != "   (nothing)"' "$work/check" >"$work/checker"
  if ! diff "$work/plugin" "$work/checker" >"$work/diff"; then
    fail "the plug-in's log (<) differs from what the checker says it reads (>)"
    sed 's/^/    | /' "$work/diff"
    continue
  fi
  echo "ok      $case_name"
done
[ "$failed" -eq 0 ]
