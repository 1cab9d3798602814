#!/usr/bin/env bash
# The studio's figures against the plug-in's: the model's unit tests, then
# random settings measured by `qm tune` through the plug-in, whose medians the
# model must match within 5 % (or one hit). See figures_vs_tune.js.
#
#   tests/studio/figures_vs_tune.sh [BUILD_DIR] [--settings N] [--seed S]   (default: build/linux)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/linux}"
shift || true
qm="$build/bin/qm"
if [ ! -x "$qm" ]; then
  echo "figures_vs_tune.sh: $qm is missing; build the native preset first" >&2
  exit 2
fi
node --test tests/studio/figures_test.js
started=$SECONDS
node tests/studio/figures_vs_tune.js "$qm" --jobs "$(nproc)" "$@"
echo "figures against qm tune: $((SECONDS - started)) s"
