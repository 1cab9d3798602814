#!/usr/bin/env bash
# Builds the archive players install, with a mod manager or by unpacking it
# into the game's Data folder:
#   SKSE/Plugins/Quellmark.dll
#   SKSE/Plugins/Quellmark/Quellmark.ini      every setting at its default
#   SKSE/Plugins/Quellmark/NoBreakForms.ini   a commented example
#   Interface/DurabilityMenu.swf              the widget's movie
#   fomod/info.xml, fomod/ModuleConfig.xml    the installer mod managers run
#   fomod/presets/NAME/Quellmark.ini          the installer's other presets
#   fomod/images/*.png                        the installer's pictures: the
#                                             widget as the shipped movie draws it
# Unpacked by hand it gives the shipped defaults; a mod manager installs the
# DLL, the movie and the files of the player's choices (ModuleConfig.xml).
# The DLL comes from the Windows build (cmake --preset windows), stripped of
# its symbols; the ini files get Windows line ends; the movie comes from the
# Linux build (its compiler runs on the build machine). Prints the archive's
# path. Needs zip and mingw-w64 (for its strip); the pictures are drawn by
# Ruffle in headless chromium (tools/movie_player/installer_images.js), so it
# needs node, the npm packages and chromium too (scripts/install-deps.sh).
#
#   packaging/make_package.sh [OUTPUT_FOLDER]   (default: the Windows build folder)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(realpath -m "${QM_WINDOWS_BUILD:-$repo/build/windows}")
native=$(realpath -m "${QM_NATIVE_BUILD:-$repo/build/linux}")
movie=$native/movie/DurabilityMenu.swf
wrapper=$native/studio/StudioWrapper.swf
out=$(realpath -m "${1:-$build}")
dll=$build/bin/Quellmark.dll
strip=$(command -v x86_64-w64-mingw32-strip || true)

if [ ! -f "$dll" ]; then
  echo "no $dll: build it first (cmake --preset windows && cmake --build --preset windows)" >&2
  exit 2
fi
if [ ! -f "$movie" ]; then
  echo "no $movie: build it first (cmake --preset linux && cmake --build --preset linux --target movie)" >&2
  exit 2
fi
if [ ! -f "$wrapper" ]; then
  echo "no $wrapper: build it first (cmake --build --preset linux --target studio_wrapper)" >&2
  exit 2
fi
if ! command -v node >/dev/null || [ ! -d "$repo/node_modules/puppeteer-core" ]; then
  echo "node or the npm packages are missing (scripts/install-deps.sh)" >&2
  exit 2
fi
if ! command -v zip >/dev/null; then
  echo "zip is missing (apt-get install zip)" >&2
  exit 2
fi
if [ -z "$strip" ]; then
  echo "x86_64-w64-mingw32-strip is missing (apt-get install mingw-w64)" >&2
  exit 2
fi

# One time stamp for the DLL's header and the archive's entries, so that one
# commit gives one archive: the commit's time, or the one the caller sets.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 946684800)}
version=$(sed -n 's/^project(Quellmark VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
archive=$out/Quellmark-$version.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

plugins=$stage/SKSE/Plugins
mkdir -p "$plugins/Quellmark"
"$strip" -o "$plugins/Quellmark.dll" "$dll"
windows_text() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
for ini in Quellmark.ini NoBreakForms.ini; do
  windows_text "$here/$ini" "$plugins/Quellmark/$ini"
done
mkdir -p "$stage/Interface"
cp "$movie" "$stage/Interface/DurabilityMenu.swf"
preset_files=()
for preset in breaking hard; do
  mkdir -p "$stage/fomod/presets/$preset"
  windows_text "$here/presets/$preset/Quellmark.ini" "$stage/fomod/presets/$preset/Quellmark.ini"
  preset_files+=("fomod/presets/$preset/Quellmark.ini")
done
sed "s/@VERSION@/$version/; s/\r$//; s/$/\r/" "$here/fomod/info.xml" >"$stage/fomod/info.xml"
images=$(node "$repo/tools/movie_player/installer_images.js" --movie "$movie" --wrapper "$wrapper" --out "$stage/fomod/images") || {
  echo "cannot draw the installer's pictures" >&2
  exit 1
}
image_files=()
for image in $images; do image_files+=("fomod/images/$(basename "$image")"); done
# The option descriptions quote the lab's figures for the presets, as the
# pictures do (tools/movie_player/preset_figures.js).
figures=$(node "$repo/tools/movie_player/preset_figures.js") || exit 1
substitutions=()
while IFS='=' read -r name value; do substitutions+=(-e "s/@$name@/$value/g"); done <<<"$figures"
sed "${substitutions[@]}" "$here/fomod/ModuleConfig.xml" >"$stage/ModuleConfig.xml.filled"
if grep -q '@[A-Z_]*@' "$stage/ModuleConfig.xml.filled"; then
  echo "ModuleConfig.xml names a figure preset_figures.js does not give" >&2
  exit 1
fi
windows_text "$stage/ModuleConfig.xml.filled" "$stage/fomod/ModuleConfig.xml"
rm "$stage/ModuleConfig.xml.filled"
find "$stage/SKSE" "$stage/Interface" "$stage/fomod" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$out"
rm -f "$archive"
(cd "$stage" && TZ=UTC zip -q -X -D "$archive" SKSE/Plugins/Quellmark.dll SKSE/Plugins/Quellmark/Quellmark.ini \
  SKSE/Plugins/Quellmark/NoBreakForms.ini Interface/DurabilityMenu.swf fomod/info.xml fomod/ModuleConfig.xml \
  "${preset_files[@]}" "${image_files[@]}")
echo "$archive"
