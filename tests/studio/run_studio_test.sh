#!/usr/bin/env bash
# Builds the studio's archive from the build outputs, unpacks it into a
# temporary folder and runs the page's end-to-end test on it
# (studio_page_test.js): headless chromium and Firefox ESR from file://
# (QM_BROWSERS=chromium or =firefox runs one), the export read back
# by qm-check-settings natively and by the archive's own .exe under Wine.
# Screenshots and the load time go to BUILD/studio-tests/.
#
#   tests/studio/run_studio_test.sh [LINUX_BUILD] [WINDOWS_BUILD]   (default build/linux build/windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${1:-$repo/build/linux}")
export QM_WINDOWS_BUILD=$(realpath -m "${2:-${QM_WINDOWS_BUILD:-$repo/build/windows}}")
export QM_NATIVE_BUILD=$native
source "$repo/tests/wine/wine_env.sh"

if [ ! -x "$native/bin/qm-check-settings" ]; then
  echo "no $native/bin/qm-check-settings: build it first (cmake --build --preset linux --target qm-check-settings)" >&2
  exit 2
fi
archive=$("$repo/tools/studio/make_studio.sh" "$WORK/archive")
echo "$(basename "$archive"): $(stat -c %s "$archive") bytes"
mkdir -p "$WORK/unpacked"
(cd "$WORK/unpacked" && unzip -q "$archive")
page=$(find "$WORK/unpacked" -name 'Quellmark Studio.html' | head -n 1)

"$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || { cat "$WORK/wineboot.log" >&2; exit 2; }
"$WINESERVER" -w

out=$native/studio-tests
mkdir -p "$out"
QM_STUDIO_PAGE=$page QM_CHECK_SETTINGS=$native/bin/qm-check-settings QM_WINE=$WINE QM_STUDIO_OUT=$out \
  node --test "$here/studio_page_test.js"
