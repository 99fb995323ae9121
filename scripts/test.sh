#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors, and runs the test suite.
# Usage: scripts/test.sh [build-dir] ; PELORANT_SANITIZE=address|thread for sanitizer runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORANT_WERROR=ON \
      -DPELORANT_SANITIZE="${PELORANT_SANITIZE:-}"
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
