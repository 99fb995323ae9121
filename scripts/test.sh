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
# The system libraries under the tests are not built with the sanitizers.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export TSAN_OPTIONS="ignore_noninstrumented_modules=1:suppressions=$PWD/tests/sanitizers/tsan.supp${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
