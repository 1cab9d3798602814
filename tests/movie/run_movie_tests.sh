#!/usr/bin/env bash
# Tests the widget's movie in a real Flash runtime: Ruffle (npm) in Debian's
# chromium and Firefox ESR, headless, driven by puppeteer-core (the browser
# suites run once in each; QM_BROWSERS=firefox or =chromium runs one). The contract tests call the
# movie's functions with edge inputs and read back what it shows; the replay
# tests play the calls the plug-in made in the demo and the widget scenarios
# (qm run --trace-out) into the movie; the picture tests check screenshots.
#
#   tests/movie/run_movie_tests.sh [BUILD_DIR]     (default: build/linux)
#
# Needs the build (qm and the movie's test build) and the npm packages
# (scripts/install-deps.sh). Writes the traces and the test output to
# BUILD_DIR/movie-tests and the screenshots to BUILD_DIR/movie-shots
# (Firefox's to BUILD_DIR/movie-shots/firefox).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/linux}"
qm="$build/bin/qm"
test_movie="$build/movie/DurabilityMenu_test.swf"
out="$build/movie-tests"
shots="$build/movie-shots"

for needed in "$qm" "$test_movie"; do
  if [[ ! -f "$needed" ]]; then
    echo "run_movie_tests: $needed is missing; build first (cmake --build --preset linux)" >&2
    exit 2
  fi
done
if [[ ! -d node_modules/puppeteer-core || ! -d node_modules/@ruffle-rs/ruffle ]]; then
  echo "run_movie_tests: the npm packages are missing; run scripts/install-deps.sh" >&2
  exit 2
fi

started=$SECONDS
rm -rf "$out" "$shots"
mkdir -p "$out/traces" "$shots"

# The widget calls of every scenario that opens the widget. A scenario whose
# own expectations fail is the native suite's to report; here its calls count.
for scenario in scenarios/demo/demo.json scenarios/ui/*.json scenarios/widget/*.json; do
  name="$(basename "$scenario" .json)"
  timeout 120 "$qm" run "$scenario" --trace-out "$out/traces/$name.trace" >"$out/traces/$name.txt" 2>&1 || true
  if [[ ! -s "$out/traces/$name.trace" ]]; then
    echo "FAILED: qm wrote no trace for $scenario (see $out/traces/$name.txt)"
    exit 1
  fi
done

export QM_MOVIE_TEST_SWF="$test_movie" QM_MOVIE_TRACES="$out/traces" QM_MOVIE_OUT="$out"
failed=0
# The helpers need no browser; the browser suites run in each browser
# (tests/support/browsers.js: chromium and Firefox ESR, or QM_BROWSERS).
browsers=$(node -e "console.log(require('./tests/support/browsers').browserNames().join(' '))")
runs=("helpers_test:none")
for browser in $browsers; do runs+=("browser_suites:$browser"); done
for run in "${runs[@]}"; do
  suite=${run%%:*} browser=${run#*:}
  name=$suite
  [[ $browser == none ]] || name="$suite in $browser"
  # Chromium's screenshots stay where they were; another browser's go to a
  # folder of its own.
  browser_shots=$shots
  [[ $browser == none || $browser == chromium ]] || browser_shots="$shots/$browser"
  log="$out/$suite.txt"
  [[ $browser == none ]] || log="$out/$suite-$browser.txt"
  suite_started=$SECONDS
  if QM_MOVIE_BROWSER=$browser QM_MOVIE_SHOTS="$browser_shots" \
      timeout 600 node --test --test-reporter=spec "tests/movie/$suite.js" >"$log" 2>&1; then
    echo "ok $name: $(grep -c '^✔' "$log") test(s) ($((SECONDS - suite_started)) s)"
  else
    echo "FAILED $name ($((SECONDS - suite_started)) s):"
    sed 's/^/    | /' "$log" | grep -v '^    | *$' | head -n 80
    failed=1
  fi
done
echo "movie tests: $((SECONDS - started)) s; screenshots in $shots"
exit $failed
