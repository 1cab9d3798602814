#!/usr/bin/env bash
# Builds the studio's archive from the build outputs, unpacks it into a
# temporary folder and opens the player's own files in its page from file://
# in each browser of tests/support/browsers.js (studio_files_page_test.js).
# Timings go to BUILD/studio-tests/.
#
#   tests/studio/run_studio_files_test.sh [LINUX_BUILD] [WINDOWS_BUILD]   (default build/linux build/windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${1:-$repo/build/linux}")
export QM_NATIVE_BUILD=$native
export QM_WINDOWS_BUILD=$(realpath -m "${2:-${QM_WINDOWS_BUILD:-$repo/build/windows}}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

archive=$("$repo/tools/studio/make_studio.sh" "$work/archive")
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$archive")
page=$(find "$work/unpacked" -name 'Quellmark Studio.html' | head -n 1)
out=$native/studio-tests
mkdir -p "$out"
QM_STUDIO_PAGE=$page QM_STUDIO_OUT=$out node --test "$here/studio_files_page_test.js"
