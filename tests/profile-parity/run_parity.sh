#!/usr/bin/env bash
# Runs every query of the profile corpus through two builds of profile_dump,
# the native one (the POSIX readers) and the Windows one (the real functions,
# under Wine), and compares what they print byte for byte.
#
#   run_parity.sh NATIVE_COMMAND WINDOWS_COMMAND [CORPUS_DIR]
#
# Each command is a prefix, split at blanks, that the INI path and the queries
# are appended to, e.g.
#   run_parity.sh build/bin/profile_dump \
#     "env WINEPREFIX=/tmp/pfx WINEDEBUG=-all /usr/lib/wine/wine64 build-win/bin/profile_dump.exe"
# Both run with the corpus folder as working directory, so relative paths in
# the commands are made absolute first. Builds nothing.
set -u

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 NATIVE_COMMAND WINDOWS_COMMAND [CORPUS_DIR]" >&2
  exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
corpus=$(cd "${3:-$here/../profile-corpus}" && pwd) || exit 2
read -r -a native <<<"$1"
read -r -a windows <<<"$2"

# A word of a command that names an existing file is taken as a path.
absolute() {
  local -n words=$1
  local i
  for i in "${!words[@]}"; do
    if [ -e "${words[$i]}" ] && [[ "${words[$i]}" != /* ]]; then
      words[$i]="$PWD/${words[$i]}"
    fi
  done
}
absolute native
absolute windows

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
answered=0

# Runs one path's queries on both sides and reports the first difference.
compare() {
  local path=$1
  shift
  if [ $# -eq 0 ]; then
    failed=$((failed + 1))
    echo "NO QUERIES: $path"
    return
  fi
  local status=0
  (cd "$corpus" && "${native[@]}" "$path" "$@") >"$work/native" 2>"$work/native.err" || status=1
  (cd "$corpus" && "${windows[@]}" "$path" "$@") >"$work/windows" 2>"$work/windows.err" || status=1
  if [ $status -eq 0 ] && cmp -s "$work/native" "$work/windows"; then
    passed=$((passed + 1))
    grep -q ': [1-9][0-9]* "' "$work/native" && answered=$((answered + 1))
    return
  fi
  failed=$((failed + 1))
  echo "DIFFERENT: $path"
  local line=1
  local count
  count=$(wc -l <"$work/native")
  [ "$(wc -l <"$work/windows")" -gt "$count" ] && count=$(wc -l <"$work/windows")
  while [ "$line" -le "$count" ]; do
    local a b
    a=$(sed -n "${line}p" "$work/native")
    b=$(sed -n "${line}p" "$work/windows")
    if [ "$a" != "$b" ]; then
      echo "  query line $line"
      echo "  native:  ${a:-<nothing>}"
      echo "  windows: ${b:-<nothing>}"
      break
    fi
    line=$((line + 1))
  done
  if [ $status -ne 0 ]; then
    echo "  a command failed; its errors:"
    sed 's/^/    /' "$work/native.err" "$work/windows.err" | head -20
  fi
}

path=""
queries=()
while IFS= read -r text || [ -n "$text" ]; do
  text=${text%$'\r'}
  case "$text" in
    "" | "#"*) continue ;;
    [[:space:]]*)
      read -r -a words <<<"$text"
      queries+=("${words[@]}")
      ;;
    *)
      [ -n "$path" ] && compare "$path" "${queries[@]}"
      path=$text
      queries=()
      ;;
  esac
done <"$corpus/queries.txt"
[ -n "$path" ] && compare "$path" "${queries[@]}"

# Paths that all failed to open would agree too; make sure files were read.
if [ "$answered" -eq 0 ]; then
  echo "no query returned anything: are the corpus paths right?"
  failed=$((failed + 1))
fi
echo "profile parity: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
