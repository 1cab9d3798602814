#!/usr/bin/env bash
# Builds Quellmark-Studio-<version>.zip, the studio players open by
# double-clicking "Quellmark Studio.html", offline:
#   Quellmark-Studio-<version>/Quellmark Studio.html   the page
#   Quellmark-Studio-<version>/qm-check-settings.exe   the plug-in's reader, explains a settings file
#   Quellmark-Studio-<version>/Read me.txt             what the two are for
#   Quellmark-Studio-<version>/studio/                 the page's scripts (the settings and the checker
#       in WebAssembly from tools/studio/settings, the figures), Ruffle, and the carried files:
#       the shipped DurabilityMenu.swf and the wrapper movie (carried_movies.js) and one of
#       Ruffle's two WebAssembly builds, gzip-compressed (carried_ruffle.js), as base64
# The movies and the settings data come from the Linux build, the checker from
# the Windows build (stripped of its symbols). Prints the archive's path.
# Needs node, zip and mingw-w64 (for its strip), and npm ci for Ruffle.
#
#   tools/studio/make_studio.sh [OUTPUT_FOLDER]   (default: the Linux build's studio folder)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
native=$(realpath -m "${QM_NATIVE_BUILD:-$repo/build/linux}")
windows=$(realpath -m "${QM_WINDOWS_BUILD:-$repo/build/windows}")
out=$(realpath -m "${1:-$native/studio}")
ruffle=$repo/node_modules/@ruffle-rs/ruffle
# The build Ruffle 0.6.0 asks for where the browser has the WebAssembly
# extensions (every current Chrome, Edge, Firefox and Safari), and its loader.
ruffle_wasm=826bb0938097485a2c9d.wasm
ruffle_core=core.ruffle.c80159b526e567babaf5.js

need() {
  if [ ! -f "$1" ]; then
    echo "make_studio.sh: no $1: $2" >&2
    exit 2
  fi
}
need "$native/movie/DurabilityMenu.swf" "build it first (cmake --build --preset linux --target movie)"
need "$native/studio/StudioWrapper.swf" "build it first (cmake --build --preset linux --target studio_wrapper)"
settings_scripts="settings_data.js settings_check.js settings_values.js settings_lines.js settings_bytes.js
  settings_ini_export.js settings_nobreak.js settings_check_run.js"
for script in $settings_scripts; do
  need "$native/studio/$script" "build it first (cmake --build --preset linux --target studio_settings)"
done
need "$windows/bin/qm-check-settings.exe" "build it first (cmake --build --preset windows --target qm-check-settings)"
need "$ruffle/$ruffle_wasm" "run npm ci (the lockfile pins Ruffle 0.6.0, whose files this script names)"
need "$ruffle/$ruffle_core" "run npm ci (the lockfile pins Ruffle 0.6.0, whose files this script names)"
for tool in node zip x86_64-w64-mingw32-strip; do
  if ! command -v "$tool" >/dev/null; then
    echo "make_studio.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 2
  fi
done

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 946684800)}
version=$(sed -n 's/^project(Quellmark VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
name=Quellmark-Studio-$version
archive=$out/$name.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
top=$stage/$name
files=$top/studio
mkdir -p "$files/ruffle"

cp "$here/page/studio.html" "$top/Quellmark Studio.html"
cp "$here"/page/*.js "$here"/page/*.css "$files/"
for script in $settings_scripts; do cp "$native/studio/$script" "$files/"; done
cp "$here/figures/page/figures.js" "$files/"
node "$here/carry.js" "$files/carried_movies.js" "StudioWrapper.swf=$native/studio/StudioWrapper.swf" \
  "DurabilityMenu.swf=$native/movie/DurabilityMenu.swf"
node "$here/carry.js" "$files/carried_ruffle.js" "$ruffle_wasm=$ruffle/$ruffle_wasm:gzip"
cp "$ruffle/ruffle.js" "$ruffle/$ruffle_core" "$ruffle/LICENSE_MIT" "$ruffle/LICENSE_APACHE" "$files/ruffle/"
node -e 'const { SCREENS } = require(process.argv[1]);
  process.stdout.write(`// The screens the widget is tested at (tools/movie_player/screens.js).\nwindow.QmScreens = ${JSON.stringify(SCREENS)};\n`);' \
  "$repo/tools/movie_player/screens.js" >"$files/screens_data.js"
x86_64-w64-mingw32-strip -o "$top/qm-check-settings.exe" "$windows/bin/qm-check-settings.exe"
sed 's/$/\r/' >"$top/Read me.txt" <<EOF
Quellmark Studio $version

Double-click "Quellmark Studio.html": it opens in your browser (a current Chrome,
Edge or Firefox), offline. Shape your settings, see the widget as the game draws
it, and download Quellmark.ini (and NoBreakForms.ini) into
Data\SKSE\Plugins\Quellmark\ (your mod manager's folder for Quellmark).
Keep the studio folder beside the page: it holds the page's scripts.

The settings are the same on every game runtime Quellmark runs on: 1.5.39,
1.5.97 and the Anniversary Edition from 1.6.629 on. Every runtime but 1.5.39
also needs Address Library for SKSE Plugins (its file for your runtime in
Data\SKSE\Plugins\); without it the plug-in stays inactive and its log says so.

qm-check-settings.exe reads a settings file with the plug-in's own reader and
explains every line. In a command prompt in this folder:
  qm-check-settings.exe Quellmark.ini
  qm-check-settings.exe Quellmark.ini NoBreakForms.ini --plugins Skyrim.esm,Update.esm,MyMod.esp

The studio plays the widget's movie with Ruffle (studio/ruffle, MIT or Apache-2.0
licence: studio/ruffle/LICENSE_MIT and LICENSE_APACHE).
EOF

# Every script and style sheet the page names must be in the archive.
missing=0
while read -r ref; do
  if [ ! -f "$top/$ref" ]; then
    echo "make_studio.sh: the page names $ref, which the archive does not hold" >&2
    missing=1
  fi
done < <(grep -o '\(src\|href\)="studio/[^"]*"' "$top/Quellmark Studio.html" | sed 's/^[a-z]*="//; s/"$//')
[ "$missing" = 0 ] || exit 1

find "$top" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
mkdir -p "$out"
rm -f "$archive"
(cd "$stage" && TZ=UTC zip -q -X -r -D "$archive" "$name")
echo "$archive"
