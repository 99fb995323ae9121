#!/usr/bin/env bash
# CI: the whole suite under ASan+UBSan (the README's own command), then the worker, control,
# CLI and virtual-board suites under TSan. Any report fails its test and so the run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ci-stage.sh

stage "ASan+UBSan: whole suite"
UBSAN_OPTIONS=print_stacktrace=1 \
    PELORANT_SANITIZE=address scripts/test.sh build-asan

# Only the suites that run threads, and only what they need.
stage "TSan: workers, control, CLI, virtual board"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORANT_WERROR=ON \
      -DPELORANT_SANITIZE=thread -DPELORANT_BUILD_GUI=OFF -DPELORANT_BUILD_BENCHMARKS=OFF
cmake --build build-tsan --target protocol_workers_test control_test tools_cli_test tools_sim_test
TSAN_OPTIONS="halt_on_error=1:ignore_noninstrumented_modules=1:suppressions=$PWD/tests/sanitizers/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j2 --timeout 300 -L '^(workers|control|cli|sim)$'
stage_done
