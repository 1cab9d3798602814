#!/usr/bin/env bash
# Checks the DLL that players install: a 64-bit Windows DLL that exports
# exactly the script extender's two entry points by their plain names,
# imports nothing but system DLLs (the C++ runtime is linked in, so no
# libstdc++/libgcc/libwinpthread DLL has to travel with it), and carries a
# version resource. Prints the DLL's size.
#
#   tests/wine/check_dll.sh [PATH/Quellmark.dll]
set -u
REPO=$(cd "$(dirname "$0")/../.." && pwd)
dll=${1:-${QM_WINDOWS_BUILD:-$REPO/build/windows}/bin/Quellmark.dll}
OBJDUMP=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
WINDRES=$(command -v x86_64-w64-mingw32-windres || true)

if [ ! -f "$dll" ]; then
  echo "no DLL at $dll (cmake --preset windows && cmake --build --preset windows)" >&2
  exit 2
fi

source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
# The one version number: the project's, in CMakeLists.txt.
VERSION=$(sed -n 's/^project(Quellmark VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$REPO/CMakeLists.txt")

headers=$("$OBJDUMP" -p "$dll")

is_64bit_dll() {
  "$OBJDUMP" -f "$dll" | grep -q 'file format pei-x86-64' || return 1
  # IMAGE_FILE_DLL in the file header's characteristics.
  local characteristics
  characteristics=$(echo "$headers" | awk '/^Characteristics/ {print $2; exit}')
  [ -n "$characteristics" ] && [ $((characteristics & 0x2000)) -ne 0 ]
}

exports() {
  echo "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[\s*[0-9]*\] //p' | LC_ALL=C sort
}

exports_entry_points_only() {
  local names
  names=$(exports)
  if [ "$names" != $'SKSEPlugin_Load\nSKSEPlugin_Query\nSKSEPlugin_Version' ]; then
    echo "    exports:" $names
    return 1
  fi
}

# The Anniversary Edition's loader maps the DLL as a resource and reads
# SKSEPlugin_Version before any code of it runs: the datum must be in the file
# as it is, laid out as SKSEPluginVersionData, with the build's version, the
# name, and independence of addresses with the post-1.6.629 structures.
version_data_is_in_the_file() {
  python3 - "$dll" "$VERSION" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
major, minor, patch = (int(x) for x in sys.argv[2].split('.'))
pe = struct.unpack_from('<I', data, 0x3C)[0]
sections = struct.unpack_from('<H', data, pe + 6)[0]
optional = struct.unpack_from('<H', data, pe + 20)[0]
export_rva = struct.unpack_from('<I', data, pe + 24 + 112)[0]
table = pe + 24 + optional
def to_file(rva):
    for i in range(sections):
        virt_size, virt, raw_size, raw = struct.unpack_from('<IIII', data, table + 40 * i + 8)
        if virt <= rva < virt + max(virt_size, raw_size):
            return raw + rva - virt
    sys.exit('RVA 0x%x lies in no section' % rva)
e = to_file(export_rva)
_, names, functions, name_rvas, ordinals = struct.unpack_from('<IIIII', data, e + 20)
rva = None
for i in range(names):
    n = to_file(struct.unpack_from('<I', data, to_file(name_rvas) + 4 * i)[0])
    if data[n:data.index(b'\0', n)] == b'SKSEPlugin_Version':
        ordinal = struct.unpack_from('<H', data, to_file(ordinals) + 2 * i)[0]
        rva = struct.unpack_from('<I', data, to_file(functions) + 4 * ordinal)[0]
if rva is None:
    sys.exit('no SKSEPlugin_Version export')
v = data[to_file(rva):to_file(rva) + 0x350]
data_version, plugin_version = struct.unpack_from('<II', v, 0)
name = v[8:8 + 256].split(b'\0')[0]
ex, independence = struct.unpack_from('<II', v, 0x304)
expected = major << 24 | minor << 16 | patch << 4
problems = []
if data_version != 1: problems.append('dataVersion %d' % data_version)
if plugin_version != expected: problems.append('pluginVersion 0x%08X, not 0x%08X' % (plugin_version, expected))
if name != b'Quellmark': problems.append('name %r' % name)
if independence != 0b101: problems.append('versionIndependence 0x%X, not 0x5' % independence)
if problems:
    print('    ' + '; '.join(problems))
    sys.exit(1)
PY
}

imports_system_dlls_only() {
  local bad=0 name
  while read -r name; do
    case "${name,,}" in
      kernel32.dll | msvcrt.dll | shell32.dll | shlwapi.dll | user32.dll | advapi32.dll | ole32.dll | \
        ntdll.dll | ucrtbase.dll | api-ms-win-*.dll) echo "    imports $name" ;;
      *) echo "    imports $name, which is not a system DLL"; bad=1 ;;
    esac
  done < <(echo "$headers" | sed -n 's/^\s*DLL Name: //p')
  return $bad
}

has_version_resource() {
  # Resource type 16 (RT_VERSION) in the resource directory, and its strings.
  echo "$headers" | grep -qE 'Type Table' || return 1
  echo "$headers" | sed -n '/Resource Directory section/,/Resources start/p' | grep -qE '^0[0-9a-f]+ +Entry: ID: 0x000010,' ||
    return 1
  [ -n "$WINDRES" ] || return 0
  local rc
  rc=$("$WINDRES" -i "$dll" -O rc 2>/dev/null) || return 1
  echo "$rc" | grep -q 'VALUE "ProductName", "Quellmark"' && echo "$rc" | grep -qF "VALUE \"FileVersion\", \"$VERSION\"" &&
    echo "$rc" | grep -qF "FILEVERSION ${VERSION//./, }, 0"
}

# The test launcher next to it stands for the game executable: it must sit at
# the game's image base without relocation, and its image (in 64 KiB
# reservation units) must end below the lowest offset the plug-in binds to.
launcher=$(dirname "$dll")/qm.exe
lowest_binding=$(sed -n 's/.*kLowestBinding = \(.*\);/\1/p' "$REPO/double/double_offsets.h")
lowest_binding=$(sed -n "s/.*${lowest_binding} = \(0x[0-9A-Fa-f]*\);/\1/p" "$REPO/double/double_offsets.h")

launcher_fits_below_game_offsets() {
  local launcher_headers base size flags
  launcher_headers=$("$OBJDUMP" -p "$launcher")
  base=$(echo "$launcher_headers" | awk '/^ImageBase/ {print $2; exit}')
  size=$(echo "$launcher_headers" | awk '/^SizeOfImage/ {print $2; exit}')
  flags=$(echo "$launcher_headers" | awk '/^DllCharacteristics/ {print $2; exit}')
  echo "    launcher image base 0x$base, size 0x$size, lowest game offset $lowest_binding"
  [ "$((0x$base))" -eq "$((0x140000000))" ] || return 1
  [ $(((0x$size + 0xFFFF) & ~0xFFFF)) -le $((lowest_binding)) ] || return 1
  [ $((0x$flags & 0x40)) -eq 0 ]  # IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE
}

check "64-bit Windows DLL" is_64bit_dll
check "exports exactly SKSEPlugin_Query, SKSEPlugin_Load and SKSEPlugin_Version, undecorated" exports_entry_points_only
check "SKSEPlugin_Version holds the version data in the file, before any code runs" version_data_is_in_the_file
check "imports only system DLLs" imports_system_dlls_only
check "version resource: Quellmark $VERSION" has_version_resource
if [ -f "$launcher" ]; then
  check "launcher at the game's image base, below the game's lowest offset" launcher_fits_below_game_offsets
fi

size=$(stat -c %s "$dll")
echo "size of $(basename "$dll"): $size bytes ($(( (size + 1023) / 1024 )) KiB)"
checks_done
