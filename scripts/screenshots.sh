#!/usr/bin/env bash
# Runs the tests that take the screenshots (offscreen) and copies them into docs/screenshots.
# Usage: scripts/screenshots.sh [build-dir]   (after scripts/test.sh or a build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure \
    -R 'EveryPageShowsItsTextsWholeOnceOpened|StartOpenWriteRunReconnectAndWriteAgain|TheWindowReadsInALightAndADarkStyle|TheWindowDrawsItsButtonsAndLampAtTheScreensScale@2$'
cp "$build"/screenshots/*.png docs/screenshots/
