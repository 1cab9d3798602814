#!/usr/bin/env bash
# Checks that the tracked C++ files (.cpp and .h) are formatted as
# .clang-format says, with clang-format 14 (Debian's clang-format package):
# another version lays some lines out differently, so it is refused rather
# than trusted. Names every file that is not formatted and exits 1; exits 2
# when the check cannot be made.
#
#   scripts/check_format.sh [--fix] [PATH...]
#
# PATHs are folders or files, relative to the current folder; without any,
# every folder that holds C++ code: src double host tools tests bench fuzz.
# --fix formats the files in place instead of checking them.
set -euo pipefail

fix=false
paths=()
for arg in "$@"; do
  case $arg in
    --fix) fix=true ;;
    -h|--help) sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "check_format: unknown option $arg" >&2; exit 2 ;;
    *) paths+=("$arg") ;;
  esac
done

formatter=${CLANG_FORMAT:-clang-format}
if ! version=$("$formatter" --version 2>/dev/null); then
  echo "check_format: $formatter not found (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
if ! [[ $version =~ version\ 14\. ]]; then
  echo "check_format: needs clang-format 14, $formatter is: $version" >&2
  exit 2
fi

files=()
if [ ${#paths[@]} -eq 0 ]; then
  cd "$(dirname "$0")/.."
  mapfile -t files < <(git ls-files -- src double host tools tests bench fuzz | grep -E '\.(cpp|h)$' || true)
  if [ ${#files[@]} -eq 0 ]; then
    echo "check_format: no tracked .cpp or .h file" >&2
    exit 2
  fi
fi
for path in "${paths[@]}"; do
  mapfile -t found < <(git ls-files -- "$path" | grep -E '\.(cpp|h)$' || true)
  # A misspelt path must not pass as a check of nothing.
  if [ ${#found[@]} -eq 0 ]; then
    echo "check_format: no tracked .cpp or .h file at $path" >&2
    exit 2
  fi
  files+=("${found[@]}")
done

if $fix; then
  "$formatter" -i -- "${files[@]}"
  echo "formatted ${#files[@]} files"
  exit 0
fi

misformatted=0
for file in "${files[@]}"; do
  if ! report=$("$formatter" --dry-run --Werror -- "$file" 2>&1); then
    if [[ $report == *"[-Wclang-format-violations]"* ]]; then
      echo "not formatted: $file"
      misformatted=$((misformatted + 1))
    else
      echo "check_format: clang-format failed on $file:" >&2
      echo "$report" >&2
      exit 2
    fi
  fi
done
if [ $misformatted -gt 0 ]; then
  echo "$misformatted of ${#files[@]} files are not formatted; format them with: scripts/check_format.sh --fix PATH..."
  exit 1
fi
echo "${#files[@]} files checked, all formatted"
