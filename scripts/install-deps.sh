#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Skips apt entirely when everything is already there.
set -euo pipefail

packages=(cmake ninja-build g++ clang-14 clang-format libclang-rt-14-dev lld-14 libgtest-dev libgmock-dev libbenchmark-dev
          nlohmann-json3-dev mingw-w64 wine64 zip valgrind chromium firefox-esr gcovr libxml2-utils emscripten)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The npm packages of the browser tests (Ruffle, puppeteer-core) and of qm tune's
# reports (uPlot, inlined into them), exactly as
# package-lock.json pins them; reinstalled only when the lockfile changed.
if ! command -v npm >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq nodejs npm >/dev/null
fi
cd "$(dirname "$0")/.."
stamp=node_modules/.quellmark-lock.sha256
if [ ! -f "$stamp" ] || ! sha256sum --check --status "$stamp" 2>/dev/null; then
  npm ci --no-audit --no-fund --loglevel=error
  sha256sum package-lock.json >"$stamp"
fi
