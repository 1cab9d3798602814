#!/usr/bin/env bash
# Builds the plug-in and runs it inside the game double on the demo scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
exec build/linux/bin/qm run scenarios/demo/demo.json --report build/linux/demo-report.html "$@"
