#!/usr/bin/env bash
# CI: builds the fuzz targets with clang, libFuzzer, ASan and UBSan, and runs each for a fixed
# time (FUZZ_SECONDS, 60 by default) with a fixed seed from the committed corpus. A finding fails
# the run and names the input that reproduces it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ci-stage.sh
seconds=${FUZZ_SECONDS:-60}
targets=(hex_load catalogue settings command_line)

stage "fuzz: build"
scripts/install-deps.sh
scripts/install-packages.sh clang libclang-rt-dev llvm
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELORANT_WERROR=ON -DPELORANT_FUZZ=ON -DPELORANT_SANITIZE=address \
    -DPELORANT_BUILD_GUI=OFF -DPELORANT_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

findings=()
for target in "${targets[@]}"; do
    stage "fuzz: $target, $seconds s"
    out=build-fuzz/fuzz-out/$target
    rm -rf "$out"
    mkdir -p "$out/new" "$out/artifacts"
    inputs=(tests/fuzz/corpus/$target)
    [[ -d tests/fuzz/regressions/$target ]] && inputs+=(tests/fuzz/regressions/$target)
    if ! build-fuzz/tests/fuzz/fuzz_$target -seed=1 -max_total_time="$seconds" -timeout=25 \
            -rss_limit_mb=2048 -print_final_stats=1 -dict=tests/fuzz/dict/$target.dict \
            -artifact_prefix="$out/artifacts/" "$out/new" "${inputs[@]}" > "$out/log" 2>&1; then
        tail -n 60 "$out/log"
        reproducers=("$out"/artifacts/*)
        [[ -e ${reproducers[0]} ]] || reproducers=("no reproducer written, see $out/log")
        for reproducer in "${reproducers[@]}"; do
            findings+=("$target: $reproducer")
        done
    fi
    grep -E '^stat::number_of_executed_units|^Done [0-9]+ runs' "$out/log" || true
done
stage_done

if ((${#findings[@]})); then
    echo "fuzz findings (replay one with build-fuzz/tests/fuzz/fuzz_<target> <file>; add the file"
    echo "to tests/fuzz/regressions/<target>/ once it is mended):"
    printf '  %s\n' "${findings[@]}"
    exit 1
fi
