#!/usr/bin/env bash
# scripts/check_format.sh in a scratch repository with the project's
# .clang-format: it names the files that are not formatted and only those,
# refuses a path that holds no C++ file and a clang-format other than 14,
# checks the whole tree from any folder, and --fix leaves nothing to report.
set -u
REPO=$(cd "$(dirname "$0")/../.." && pwd)
source "$REPO/tests/support/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/scripts" "$scratch/src/engine" "$scratch/tools/demo"
cp "$REPO/.clang-format" "$scratch/"
cp "$REPO/scripts/check_format.sh" "$scratch/scripts/"
printf 'int Twice(int value) { return value * 2; }\n' >"$scratch/src/engine/formatted.cpp"
printf 'int  Twice(int value){return value*2;}\n' >"$scratch/src/engine/crowded.cpp"
printf '#pragma once\nint Half(int value);\n' >"$scratch/tools/demo/formatted.h"
printf 'not C++, never checked:   {  }\n' >"$scratch/tools/demo/notes.txt"
git -C "$scratch" init -q
git -C "$scratch" add -A

run() {  # run FOLDER ARGS...: the script's output in $output, its status in $status
  local folder=$1
  shift
  output=$(cd "$scratch/$folder" && "$scratch/scripts/check_format.sh" "$@" 2>&1)
  status=$?
}

names_only_the_crowded_file() {
  run . src
  [ $status -eq 1 ] && [[ $output == *"not formatted: src/engine/crowded.cpp"* ]] &&
    [[ $output != *"formatted.cpp"* ]] || { echo "$status: $output"; return 1; }
}
passes_formatted_files() {
  run . src/engine/formatted.cpp tools
  [ $status -eq 0 ] && [[ $output == *"2 files checked, all formatted"* ]] || { echo "$status: $output"; return 1; }
}
paths_are_relative_to_the_current_folder() {
  run src engine/crowded.cpp
  [ $status -eq 1 ] && [[ $output == *"not formatted: engine/crowded.cpp"* ]] || { echo "$status: $output"; return 1; }
}
checks_the_whole_tree_without_paths() {
  run tools/demo
  [ $status -eq 1 ] && [[ $output == *"1 of 3 files are not formatted"* ]] || { echo "$status: $output"; return 1; }
}
refuses_a_path_without_cpp_files() {
  run . src/enigne
  [ $status -eq 2 ] && [[ $output == *"no tracked .cpp or .h file at src/enigne"* ]] || { echo "$status: $output"; return 1; }
}
refuses_another_clang_format() {
  printf '#!/bin/sh\necho "Debian clang-format version 15.0.6"\n' >"$scratch/clang-format-15"
  chmod +x "$scratch/clang-format-15"
  output=$(cd "$scratch" && CLANG_FORMAT=$scratch/clang-format-15 scripts/check_format.sh src 2>&1)
  status=$?
  [ $status -eq 2 ] && [[ $output == *"needs clang-format 14"* ]] || { echo "$status: $output"; return 1; }
}
fix_leaves_nothing_to_report() {
  run . --fix src || true
  run . src
  [ $status -eq 0 ] && grep -qx 'int Twice(int value) { return value \* 2; }' "$scratch/src/engine/crowded.cpp" ||
    { echo "$status: $output"; return 1; }
}

check "names the file that is not formatted, and only it" names_only_the_crowded_file
check "passes formatted files and folders" passes_formatted_files
check "takes paths relative to the current folder" paths_are_relative_to_the_current_folder
check "checks every folder when given no path, from any folder" checks_the_whole_tree_without_paths
check "refuses a path that holds no tracked C++ file" refuses_a_path_without_cpp_files
check "refuses a clang-format other than 14" refuses_another_clang_format
check "--fix formats the files so that the check passes" fix_leaves_nothing_to_report
checks_done
