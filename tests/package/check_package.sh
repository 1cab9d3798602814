#!/usr/bin/env bash
# Checks the archive players install (packaging/make_package.sh): its layout,
# the installer mod managers run (installer_checks.sh: the FOMOD schema, the
# simulation of every choice, the pictures),
# the DLL inside it, the widget's movie (an SWF 8 file, the build's own, that
# defines the two functions the plug-in calls), and that the shipped Quellmark.ini names every setting
# exactly once, each with a comment above it, at its default: the plug-in,
# given the shipped files, logs the same settings as with no files at all,
# and no line of the file is lost to a misspelt key. The plug-in reads the
# files natively (Linux build) and, as the packed DLL, under Wine (the real
# Windows profile functions).
#
#   tests/package/check_package.sh
# QM_NATIVE_BUILD and QM_WINDOWS_BUILD name the build folders (default
# build/linux and build/windows).
set -u
source "$(dirname "$0")/../wine/wine_env.sh"
NATIVE_BUILD=$(realpath -m "${QM_NATIVE_BUILD:-$REPO/build/linux}")
if [ ! -x "$NATIVE_BUILD/bin/qm" ]; then
  echo "no Linux build in $NATIVE_BUILD (cmake --preset linux && cmake --build --preset linux)" >&2
  exit 2
fi

source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

archive=$("$REPO/packaging/make_package.sh" "$WORK/package") || exit 2
unpacked=$WORK/unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$archive")
ini=$unpacked/SKSE/Plugins/Quellmark/Quellmark.ini
no_break=$unpacked/SKSE/Plugins/Quellmark/NoBreakForms.ini

layout_is_the_game_files_and_the_installer() {
  local listed expected
  listed=$(unzip -Z1 "$archive" | LC_ALL=C sort)
  expected=$(printf '%s\n' Interface/DurabilityMenu.swf SKSE/Plugins/Quellmark.dll SKSE/Plugins/Quellmark/NoBreakForms.ini \
    SKSE/Plugins/Quellmark/Quellmark.ini fomod/ModuleConfig.xml fomod/info.xml fomod/presets/breaking/Quellmark.ini \
    fomod/presets/hard/Quellmark.ini fomod/images/widget.png fomod/images/preset-defaults.png \
    fomod/images/preset-breaking.png fomod/images/preset-hard.png | LC_ALL=C sort)
  [ "$listed" = "$expected" ] || { echo "    archive holds:" $listed; return 1; }
}

windows_line_ends() {
  local file
  for file in "$ini" "$no_break" "$unpacked"/fomod/presets/*/Quellmark.ini "$unpacked"/fomod/*.xml; do
    # Every line ends with CR LF, the last one too.
    if [ "$(grep -c $'\r$' "$file")" -ne "$(wc -l <"$file")" ] || [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' ')" != 0d0a ]; then
      echo "    $(basename "$file") has lines without CR LF"
      return 1
    fi
  done
}

# Key lines are Key=value, no blanks around '=' (Windows keeps a blank
# before it as part of the key); comments start with ';' and hold no '=', so
# that no reader can take one for an entry.
every_key_has_a_comment_above() {
  tr -d '\r' <"$ini" | awk '
    /^;/ { if (index($0, "=")) { print "    comment with =: " $0; bad = 1 } last = "comment"; next }
    /^\[/ { last = "header"; next }
    /^$/ { last = "blank"; next }
    /=/ {
      if ($0 ~ /[ \t]=|=[ \t]/) { print "    blank around =: " $0; bad = 1 }
      if (last != "comment") { print "    no comment above: " $0; bad = 1 }
      last = "key"; next
    }
    { print "    neither key, comment nor header: " $0; bad = 1 }
    END { exit bad }'
}

# The section and key of every entry, lower case, one "section/key" a line.
ini_keys() {
  tr -d '\r' <"$1" | awk -F= '
    /^\[/ { section = tolower(substr($0, 2, index($0, "]") - 2)); next }
    /^;/ || !/=/ { next }
    { print section "/" tolower($1) }' | LC_ALL=C sort
}
# The same from the settings the plug-in wrote to its log.
logged_keys() {
  awk '
    /^== log / { inlog = 1; next }
    !inlog { next }
    /^(Degradation|DegradationRate|BreakChance|DynamicTemper|Widget)$/ { section = tolower($0); next }
    /^   [a-z]+  =  / { print section "/" $1 }' "$1" | LC_ALL=C sort
}
log_part() { sed -n '/^== log /,$p' "$1"; }

# A file's content as a JSON string.
json_string() {
  printf '"'
  sed 's/\\/\\\\/g; s/"/\\"/g; s/\t/\\t/g; s/\r$/\\r/' "$1" | awk '{ printf "%s\\n", $0 }'
  printf '"'
}
{
  echo '{"description": "the shipped settings files", "files": {'
  echo '"data/SKSE/Plugins/Quellmark/Quellmark.ini":' "$(json_string "$ini"),"
  echo '"data/SKSE/Plugins/Quellmark/NoBreakForms.ini":' "$(json_string "$no_break")"
  echo '}, "steps": [{"query": {"expect": true}}, {"load": {"expect": true}}, {"message": 8}]}'
} >"$WORK/shipped.json"
echo '{"description": "no settings files", "steps": [{"query": {"expect": true}}, {"load": {"expect": true}}, {"message": 8}]}' \
  >"$WORK/none.json"

settings_are_the_defaults() {  # trace with the shipped files, trace without
  local shipped=$1 none=$2
  [ -s "$shipped" ] && [ -s "$none" ] || { echo "    a run wrote no trace"; return 1; }
  if grep -qE ' : (invalid argument|out of range)$' "$shipped"; then
    echo "    the plug-in could not read a value:"
    grep -E -A1 ' : (invalid argument|out of range)$' "$shipped" | sed 's/^/      /'
    return 1
  fi
  if [ "$(logged_keys "$none" | wc -l)" -ne 50 ]; then
    echo "    the log lists $(logged_keys "$none" | wc -l) settings, not 50"
    return 1
  fi
  local difference
  difference=$(diff <(log_part "$none") <(log_part "$shipped")) || {
    echo "    settings differ from the defaults (< defaults, > with the shipped file):"
    echo "$difference" | sed 's/^/      /'
    return 1
  }
}

names_every_setting_once() {
  local difference
  difference=$(diff <(logged_keys "$WORK/none.native") <(ini_keys "$ini")) || {
    echo "    keys differ (< the plug-in's settings, > the shipped file):"
    echo "$difference" | sed 's/^/      /'
    return 1
  }
}

no_break_example_is_inert() {
  # Every entry of the example is commented out: no section, no entry.
  [ -z "$(tr -d '\r' <"$no_break" | grep -v '^;' | grep -v '^$')" ]
}

cd "$REPO"
timeout 60 "$NATIVE_BUILD/bin/qm" run "$WORK/shipped.json" --trace-out "$WORK/shipped.native" >/dev/null 2>&1
timeout 60 "$NATIVE_BUILD/bin/qm" run "$WORK/none.json" --trace-out "$WORK/none.native" >/dev/null 2>&1

check "archive holds the DLL and the two ini files under SKSE/Plugins, the movie under Interface, the installer and its pictures under fomod" \
  layout_is_the_game_files_and_the_installer

movie=$unpacked/Interface/DurabilityMenu.swf
movie_is_swf_8_of_its_length() {
  # Read straight from the bytes: "FWS", version 8, then the file's length.
  local header
  header=$(od -An -tx1 -N8 "$movie" | tr -d ' \n')
  local length_le
  length_le=$(printf '%08x' "$(stat -c %s "$movie")" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
  [ "$header" = "46575308$length_le" ] || { echo "    header $header, expected 46575308$length_le"; return 1; }
}
movie_defines_the_two_functions() {
  local listed
  listed=$("$NATIVE_BUILD/bin/qm-swfcheck" --functions "$movie") || { echo "$listed" | sed 's/^/    /'; return 1; }
  grep -qx 'function Setup(x, y, scale, flags)' <<<"$listed" &&
    grep -qx 'function UpdateMenu(icons, names, durabilities, colours)' <<<"$listed" ||
    { echo "$listed" | sed 's/^/    /'; return 1; }
}
movie_is_the_builds_without_test_callbacks() {
  cmp -s "$movie" "$NATIVE_BUILD/movie/DurabilityMenu.swf" || { echo "    differs from the build's movie"; return 1; }
  ! grep -q 'ExternalInterface' "$movie" || { echo "    holds the test build's callbacks"; return 1; }
}
check "the movie is an uncompressed SWF 8 whose header gives its length" movie_is_swf_8_of_its_length
check "the movie passes the structure check and defines Setup and UpdateMenu" movie_defines_the_two_functions
check "the movie is the build's shipped movie, without test callbacks" movie_is_the_builds_without_test_callbacks
packed_dll_passes_dll_checks() {
  local output status
  output=$("$REPO/tests/wine/check_dll.sh" "$unpacked/SKSE/Plugins/Quellmark.dll")
  status=$?
  echo "$output" | sed 's/^/    /'
  return $status
}

check "the packed DLL passes the DLL checks" packed_dll_passes_dll_checks
check "ini files have Windows line ends" windows_line_ends
check "every key of Quellmark.ini has a comment above it" every_key_has_a_comment_above
check "Quellmark.ini names every setting once, in its own section" names_every_setting_once
check "Quellmark.ini holds the defaults (Linux reader)" settings_are_the_defaults "$WORK/shipped.native" "$WORK/none.native"
check "NoBreakForms.ini lists no form until edited" no_break_example_is_inert
source "$(dirname "${BASH_SOURCE[0]}")/installer_checks.sh"

# Under Wine the packed (stripped) DLL itself is the plug-in.
wine_start
packed_dll=$unpacked/SKSE/Plugins/Quellmark.dll
wine_run "$WIN_BUILD/bin/qm.exe" run "$WORK/shipped.json" --plugin "$packed_dll" --trace-out "$WORK/shipped.wine" \
  >/dev/null 2>&1
wine_run "$WIN_BUILD/bin/qm.exe" run "$WORK/none.json" --plugin "$packed_dll" --trace-out "$WORK/none.wine" >/dev/null 2>&1
check "Quellmark.ini holds the defaults (packed DLL, Windows reader under Wine)" settings_are_the_defaults \
  "$WORK/shipped.wine" "$WORK/none.wine"

echo "size of the archive: $(stat -c %s "$archive") bytes"
checks_done
