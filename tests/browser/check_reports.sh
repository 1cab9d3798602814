#!/usr/bin/env bash
# Loads the HTML reports of the demo and of the tuning lab in a real browser
# (Debian's chromium, headless) and checks that each page loads without a
# script error and that every plot on it is drawn: the page's own check
# marks each plot whose lines have a length once laid out. The demo's report
# must also show a picture of the widget for each UpdateMenu of the run, and
# the widget on three whole screens (1366x768, 2560x1440, 3440x1440). The
# tuning lab's pages (plots drawn by uPlot) also move the cursor over every
# plot and mark those whose readout then shows a value (data-hovered): each must.
# The compare report is then used as a reader would (compare_report_test.js):
# one legend entry per kind of item, the power-attack switch, the readout of
# only the lines nearest the cursor.
#
#   tests/browser/check_reports.sh [BUILD_DIR]     (default: build/linux)
#
# Writes the reports, the DOM dumps and screenshots to BUILD_DIR/browser-check.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/linux}"
bin="$build/bin"
out="$build/browser-check"

for tool in qm; do
  if [[ ! -x "$bin/$tool" ]]; then
    echo "check_reports: $bin/$tool is missing; build first (cmake --build --preset linux)" >&2
    exit 2
  fi
done

browser="$(command -v chromium || true)"
if [[ -z "$browser" ]]; then
  echo "check_reports: installing chromium"
  if [[ $(id -u) -eq 0 ]]; then sudo=""; else sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends chromium >/dev/null
  browser="$(command -v chromium)"
fi

rm -rf "$out"
mkdir -p "$out"
"$bin/qm" run scenarios/demo/demo.json --report "$out/demo-report.html" --trace-out "$out/demo.trace" >"$out/demo.txt"
timeout 300 node tools/movie_player/widget_pictures.js --trace "$out/demo.trace" --movie "$build/movie/DurabilityMenu_test.swf" \
  --report "$out/demo-report.html" >>"$out/demo.txt"
updates="$(grep -c '"path":"_root.widget.UpdateMenu"' "$out/demo.trace" || true)"
"$bin/qm" tune tests/tools/tune_settings.ini --trials 20 --report "$out/tune-report.html" >"$out/tune.txt" 2>/dev/null
"$bin/qm" tune tests/tools/tune_settings.ini tests/tools/tune_settings_b.ini --trials 20 \
  --report "$out/compare-report.html" >"$out/compare.txt" 2>/dev/null

profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking
       --disable-component-update --disable-sync --user-data-dir="$profile" --enable-logging=stderr --v=0
       --virtual-time-budget=3000)

# One decoded picture of the widget for each UpdateMenu of the demo, and the
# three whole screens.
widget_pictures_shown() {
  local pictures shown screens screens_shown
  pictures="$(sed -n 's/.*data-widget-pictures="\([0-9]*\)".*/\1/p' <<<"$1")"
  shown="$(sed -n 's/.*data-widget-pictures-drawn="\([0-9]*\)".*/\1/p' <<<"$1")"
  screens="$(sed -n 's/.*data-widget-screens="\([0-9]*\)".*/\1/p' <<<"$1")"
  screens_shown="$(sed -n 's/.*data-widget-screens-drawn="\([0-9]*\)".*/\1/p' <<<"$1")"
  if [[ -z "$pictures" || -z "$shown" || "$updates" -eq 0 || "$pictures" -ne "$updates" || "$shown" -ne "$pictures" ]]
  then
    echo "FAILED demo-report: ${shown:-no} of ${pictures:-no} widget picture(s) shown, $updates UpdateMenu call(s)"
    return 1
  fi
  if [[ -z "$screens" || -z "$screens_shown" || "$screens" -ne 3 || "$screens_shown" -ne 3 ]]; then
    echo "FAILED demo-report: ${screens_shown:-no} of ${screens:-no} whole screen(s) shown, 3 expected"
    return 1
  fi
}

failed=0
for page in demo-report tune-report compare-report; do
  url="file://$(realpath "$out/$page.html")"
  dom="$out/$page.dom.html"
  log="$out/$page.browser.log"
  if ! timeout 120 "$browser" "${flags[@]}" --dump-dom "$url" >"$dom" 2>"$log"; then
    echo "FAILED $page: the browser did not load the page (see $log)"
    failed=1
    continue
  fi
  timeout 120 "$browser" "${flags[@]}" --window-size=1100,1400 --screenshot="$out/$page.png" "$url" \
    >/dev/null 2>>"$log" || true

  html_tag="$(grep -o '<html[^>]*>' "$dom" | head -n 1)"
  plots="$(sed -n 's/.*data-plots="\([0-9]*\)".*/\1/p' <<<"$html_tag")"
  drawn="$(sed -n 's/.*data-plots-drawn="\([0-9]*\)".*/\1/p' <<<"$html_tag")"
  errors="$(sed -n 's/.*data-errors="\([0-9]*\)".*/\1/p' <<<"$html_tag")"
  hovered="$(sed -n 's/.*data-hovered="\([0-9]*\)".*/\1/p' <<<"$html_tag")"
  undrawn="$(grep -c 'data-drawn="no"' "$dom" || true)"
  console="$(grep -Ei 'Uncaught|CONSOLE.*(error|exception)' "$log" || true)"
  if [[ -z "$plots" || -z "$drawn" || -z "$errors" ]]; then
    echo "FAILED $page: the page's check did not run (no markers on <html>)"
    failed=1
  elif [[ "$plots" -eq 0 || "$drawn" -ne "$plots" || "$undrawn" -ne 0 ]]; then
    echo "FAILED $page: $drawn of $plots plot(s) drawn"
    failed=1
  elif [[ "$page" != demo-report && "${hovered:-0}" -ne "$plots" ]]; then
    echo "FAILED $page: a hover showed a value in ${hovered:-0} of $plots plot(s)"
    failed=1
  elif [[ "$errors" -ne 0 || -n "$console" ]]; then
    echo "FAILED $page: $errors script error(s) $console"
    failed=1
  elif [[ "$page" == demo-report ]] && ! widget_pictures_shown "$html_tag"; then
    failed=1
  else
    pictures=""
    [[ "$page" == demo-report ]] && pictures=", $updates widget picture(s), 3 whole screens"
    echo "ok $page: $drawn of $plots plot(s) drawn$pictures${hovered:+, hover values in $hovered}, no script errors"
  fi
done
QM_CHROMIUM="$browser" timeout 120 node tests/browser/compare_report_test.js "$out/compare-report.html" \
  "$out/compare-report-hover.png" || failed=1
exit $failed
