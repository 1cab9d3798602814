#!/usr/bin/env bash
# The Anniversary Edition's script extender skips a DLL that does not export
# SKSEPlugin_Version. A copy of the plug-in whose export is renamed (the same
# length, so nothing else in the file moves) must be refused by the host
# double on 1.6.1170 with "no version data", while the plug-in itself loads.
#
#   tests/tools/plugin_without_version_data.sh QM PLUGIN [RUNNER...]
# RUNNER (e.g. wine) runs QM when given.
set -u
qm=$1
plugin=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
scenario=scenarios/startup/anniversary_loads_by_version_data.json
cd "$here/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy=$work/$(basename "$plugin")
python3 - "$plugin" "$copy" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
name = b'SKSEPlugin_Version\0'
if data.count(name) < 1:
    sys.exit('the plug-in does not export SKSEPlugin_Version')
open(sys.argv[2], 'wb').write(data.replace(name, b'SKSEPlugin_Versiom\0'))
PY
out=$("$@" "$qm" run "$scenario" --plugin "$copy" 2>&1 | tr -d '\r')
rc=$?
failed=0
echo "$out" | grep -q "no version data" || { echo "the copy without version data was not refused as such:"; echo "$out"; failed=1; }
echo "$out" | grep -q "^PASSED" && { echo "the copy without version data ran"; failed=1; }
out=$("$@" "$qm" run "$scenario" --plugin "$plugin" 2>&1 | tr -d '\r')
echo "$out" | grep -qx "PASSED $scenario" || { echo "the plug-in itself did not load:"; echo "$out"; failed=1; }
[ $failed -eq 0 ] && echo "PASSED plug-in without version data refused"
exit $failed
