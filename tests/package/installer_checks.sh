# Sourced by check_package.sh: the installer mod managers run (fomod/) and
# the presets it offers. Uses $archive, $unpacked, $WORK, $REPO and
# $NATIVE_BUILD, and check from tests/support/checks.sh.
fomod=$REPO/tests/package/fomod_install.py
presets=(breaking hard)
preset_group="Preset"
preset_option() {  # preset -> the installer's option for it
  case $1 in
    defaults) echo "$preset_group/Shipped defaults: wear only" ;;
    breaking) echo "$preset_group/Worn-out gear can break" ;;
    hard) echo "$preset_group/Harder" ;;
  esac
}
example_option="Items that never break/Example list of items that never break"
# The preset's settings file in the archive.
preset_source() {
  if [ "$1" = defaults ]; then echo "$unpacked/SKSE/Plugins/Quellmark/Quellmark.ini"
  else echo "$unpacked/fomod/presets/$1/Quellmark.ini"; fi
}

installer_xml_is_well_formed() {
  local output
  output=$(xmllint --noout "$unpacked/fomod/info.xml" "$unpacked/fomod/ModuleConfig.xml" 2>&1) ||
    { echo "$output" | sed 's/^/    /'; return 1; }
}

# Vortex refuses a ModuleConfig.xml that fails the FOMOD 5.0 schema, however
# well-formed; the schema is kept in the repository (fomod-schema/README.md).
schema=$REPO/tests/package/fomod-schema/ModuleConfig.xsd
schema_check() {
  xmllint --noout --schema "$schema" "$1" 2>&1
}
installer_passes_the_schema() {
  local output
  output=$(schema_check "$unpacked/fomod/ModuleConfig.xml") || { echo "$output" | sed 's/^/    /'; return 1; }
}
# The same file with an option's typeDescriptor before its files: still
# well-formed, and refused by the schema as by Vortex.
schema_refuses_type_before_files() {
  local moved=$WORK/ModuleConfig-type-first.xml output
  python3 - "$unpacked/fomod/ModuleConfig.xml" "$moved" <<'PY' || return 1
import re, sys
text = open(sys.argv[1], newline="").read()
plugin = re.search(r"<plugin .*?</plugin>", text, re.S)
body = plugin.group(0)
kind = re.search(r"\s*<typeDescriptor>.*?</typeDescriptor>", body, re.S).group(0)
files = re.search(r"\s*<files>", body).start()
moved = body.replace(kind, "")
moved = moved[:files] + kind + moved[files:]
open(sys.argv[2], "w", newline="").write(text[:plugin.start()] + moved + text[plugin.end():])
PY
  xmllint --noout "$moved" || return 1
  if output=$(schema_check "$moved"); then
    echo "    the schema accepts a typeDescriptor before files"
    return 1
  fi
  grep -q "typeDescriptor" <<<"$output" || { echo "$output" | sed 's/^/    /'; return 1; }
}

# info.xml: what Mod Organizer 2 shows above the installer. No <Website>:
# the mod has no page of its own, and Mod Organizer 2 would show a "Link" to
# whatever address stood there and keep it as the mod's URL; without one its
# link stays blank. Every element of info.xml is optional.
info_names_the_mod_and_its_version_and_no_website() {
  local info version
  info=$(tr -d '\r' <"$unpacked/fomod/info.xml")
  version=$(sed -n 's/^project(Quellmark VERSION \([0-9.]*\).*/\1/p' "$REPO/CMakeLists.txt")
  grep -q "<Version>$version</Version>" <<<"$info" || { echo "    no <Version>$version</Version>"; return 1; }
  grep -q '<Name>Quellmark</Name>' <<<"$info" || { echo "    no <Name>Quellmark</Name>"; return 1; }
  ! grep -q '<Website' <<<"$info" || { echo "    a <Website> the mod does not have"; return 1; }
  grep -qE '<Id>[^<[:space:]]+</Id>' <<<"$info" || { echo "    no <Id>"; return 1; }
}

# The options quote the lab's figures for the presets, the ones the README's
# table and the pictures come from (packaging/presets/figures.json).
descriptions_quote_the_lab_figures() {
  local figures config expected
  figures=$(node "$REPO/tools/movie_player/preset_figures.js") || return 1
  eval "$(sed 's/^/local /' <<<"$figures")"
  config=$(tr -d '\r' <"$unpacked/fomod/ModuleConfig.xml")
  for expected in "worn out after about $DEFAULTS_WORN_OUT hits." \
    "worn out after about $BREAKING_WORN_OUT hits and breaks after about $BREAKING_MORE more." \
    "worn out after about $HARD_WORN_OUT hits and breaks after about $HARD_MORE more."; do
    grep -qF "$expected" <<<"$config" || { echo "    no description says \"$expected\""; return 1; }
  done
  ! grep -q '@[A-Z_]*@' <<<"$config" || { echo "    a placeholder left in ModuleConfig.xml"; return 1; }
}

# Every preset says what the plug-in needs: managers show no other text of
# the package to the player.
presets_state_the_requirements() {
  local line bad=0
  while IFS= read -r line; do
    case $line in "$preset_group"/*) ;; *) continue ;; esac
    local needs
    for needs in "1.5.39" "1.5.97" "1.6.629" "SKSE64" "Address Library for SKSE Plugins" "declines any other runtime"; do
      if ! grep -qF "$needs" <<<"$line"; then
        echo "    ${line:0:60}... does not say \"$needs\": every runtime, the script extender, the Address Library and the refusal"
        bad=1
      fi
    done
  done < <("$fomod" descriptions "$unpacked")
  return $bad
}

# The module and every preset have a picture of their own, a PNG in the
# archive; the other options may reuse one.
every_picture_is_a_png_in_the_archive() {
  local line option image bad=0 presets_seen=()
  while IFS= read -r line; do
    # Option names hold ": " too; the picture's path is after the last one.
    option=${line%: *}
    image=${line##*: }
    if [ "$image" = - ]; then
      case $option in module | "$preset_group"/*) echo "    $option has no picture"; bad=1 ;; esac
      continue
    fi
    if [ "$(head -c 8 "$unpacked/$image" 2>/dev/null | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
      echo "    $option: $image is not a PNG in the archive"
      bad=1
    fi
    case $option in "$preset_group"/*) presets_seen+=("$image") ;; esac
  done < <("$fomod" images "$unpacked")
  if [ "$(printf '%s\n' "${presets_seen[@]}" | sort -u | wc -l)" -ne 3 ]; then
    echo "    the presets share pictures: ${presets_seen[*]}"
    bad=1
  fi
  return $bad
}

every_named_source_is_in_the_archive() {
  local missing
  missing=$(comm -23 <("$fomod" sources "$unpacked" | LC_ALL=C sort) <(unzip -Z1 "$archive" | LC_ALL=C sort))
  [ -z "$missing" ] || { echo "    not in the archive:" $missing; return 1; }
}

# One step: the presets, exactly one, the shipped defaults recommended; the
# example of items that never break, optional.
options_are_the_presets_and_the_example() {
  local listed expected
  listed=$("$fomod" options "$unpacked") || return 1
  expected="$(preset_option defaults): SelectExactlyOne, Recommended
$(preset_option breaking): SelectExactlyOne, Optional
$(preset_option hard): SelectExactlyOne, Optional
$example_option: SelectAny, Optional"
  [ "$listed" = "$expected" ] || { echo "    options:"; echo "$listed" | sed 's/^/      /'; return 1; }
}

# Every choice installs the DLL, the movie, the preset's settings as
# Quellmark.ini and, when chosen, the example: nothing else.
each_choice_installs_exactly_its_files() {
  local preset example data listed expected options bad=0
  for preset in defaults "${presets[@]}"; do
    for example in no yes; do
      data=$WORK/installed-$preset-$example
      options=("$(preset_option "$preset")")
      expected=$'Interface/DurabilityMenu.swf\nSKSE/Plugins/Quellmark.dll\nSKSE/Plugins/Quellmark/Quellmark.ini'
      if [ $example = yes ]; then
        options+=("$example_option")
        expected+=$'\nSKSE/Plugins/Quellmark/NoBreakForms.ini'
      fi
      "$fomod" install "$unpacked" "$data" "${options[@]}" || { bad=1; continue; }
      listed=$(cd "$data" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
      if [ "$listed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
        echo "    $preset, example $example installs:" $listed
        bad=1
      fi
      cmp -s "$data/SKSE/Plugins/Quellmark/Quellmark.ini" "$(preset_source "$preset")" ||
        { echo "    $preset installs another Quellmark.ini"; bad=1; }
      cmp -s "$data/SKSE/Plugins/Quellmark.dll" "$unpacked/SKSE/Plugins/Quellmark.dll" ||
        { echo "    $preset installs another DLL"; bad=1; }
    done
  done
  return $bad
}

# The presets are the shipped file with other values: the same lines but for
# the values, and every line taken as written.
presets_differ_from_the_shipped_file_only_in_values() {
  local preset bad=0
  for preset in "${presets[@]}"; do
    if ! diff <(sed 's/=.*/=/' "$ini") <(sed 's/=.*/=/' "$(preset_source "$preset")") >/dev/null; then
      echo "    $preset has other lines than the shipped file"
      bad=1
    fi
    cmp -s "$ini" "$(preset_source "$preset")" && { echo "    $preset is the shipped file"; bad=1; }
  done
  return $bad
}

presets_pass_the_settings_check() {
  local preset output bad=0
  for preset in defaults "${presets[@]}"; do
    output=$("$NATIVE_BUILD/bin/qm-check-settings" "$(preset_source "$preset")") ||
      { echo "    $preset:"; grep -vE '(taken|no change):' <<<"$output" | sed 's/^/      /' | head -20; bad=1; }
  done
  return $bad
}

check "the installer's XML is well-formed (xmllint)" installer_xml_is_well_formed
check "the installer passes the FOMOD 5.0 schema (xmllint), as Vortex requires" installer_passes_the_schema
check "the schema check refuses an option whose typeDescriptor comes before its files" \
  schema_refuses_type_before_files
check "info.xml gives the name, the version built and an id, and no website" info_names_the_mod_and_its_version_and_no_website
check "the presets' descriptions quote the lab's figures, as the pictures do" descriptions_quote_the_lab_figures
check "every preset's description states the runtimes, the script extender, the Address Library and the refusal of others" \
  presets_state_the_requirements
check "the module and each preset have a picture of their own, a PNG in the archive" \
  every_picture_is_a_png_in_the_archive
check "every file the installer names is in the archive" every_named_source_is_in_the_archive
check "the installer offers the presets (exactly one, the defaults recommended) and the optional example" \
  options_are_the_presets_and_the_example
check "each choice installs the DLL, the movie, its preset and, if chosen, the example: nothing else" \
  each_choice_installs_exactly_its_files
check "the presets are the shipped Quellmark.ini with other values" presets_differ_from_the_shipped_file_only_in_values
check "every preset passes qm-check-settings with nothing to report" presets_pass_the_settings_check
