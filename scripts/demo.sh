#!/usr/bin/env bash
# Builds the plug-in and runs it inside the game double on the demo scenario;
# then adds to the report pictures of the widget's movie after each update
# (the run's widget calls replayed into the movie in headless chromium).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
# Only what the demo runs: the plug-in, the runner (qm) and the movie the
# pictures are taken of; the tests, tools and doubles the demo does not use
# are left to scripts/test.sh.
cmake --build --preset linux --target Quellmark qm movie
report=build/linux/demo-report.html
trace=build/linux/demo.trace
rm -f "$trace"
result=0
build/linux/bin/qm run scenarios/demo/demo.json --report "$report" --trace-out "$trace" "$@" || result=$?
if [[ -f "$trace" && -f "$report" ]]; then
  node tools/movie_player/widget_pictures.js --trace "$trace" --movie build/linux/movie/DurabilityMenu_test.swf \
    --report "$report"
fi
exit "$result"
