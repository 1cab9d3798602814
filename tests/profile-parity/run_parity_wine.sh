#!/usr/bin/env bash
# The parity run as CI does it: the native profile_dump of the Linux build
# against the Windows profile_dump.exe under Wine, in a fresh prefix.
#
#   tests/profile-parity/run_parity_wine.sh
# QM_NATIVE_BUILD and QM_WINDOWS_BUILD name the build folders (default
# build/linux and build/windows).
set -u
source "$(dirname "$0")/../wine/wine_env.sh"
native=$(realpath -m "${QM_NATIVE_BUILD:-$REPO/build/linux}")/bin/profile_dump
windows=$WIN_BUILD/bin/profile_dump.exe
for tool in "$native" "$windows"; do
  if [ ! -f "$tool" ]; then
    echo "no $tool: build the linux and windows presets first" >&2
    exit 2
  fi
done
wine_start
"$REPO/tests/profile-parity/run_parity.sh" "$native" "$WINE $windows"
