#!/usr/bin/env bash
# CI stage after the Linux suite: the Windows cross build, its tests under Wine and the
# end-to-end comparison with the Linux build (scripts/test-windows.sh), timed.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
scripts/test-windows.sh build-windows build
elapsed=$(($(date +%s) - start))
printf 'ci-windows: the Windows build and tests took %d min %02d s\n' $((elapsed / 60)) $((elapsed % 60))
