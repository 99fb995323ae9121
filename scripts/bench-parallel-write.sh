#!/usr/bin/env bash
# Benchmark of a bench: the same ~20 KB firmware written to one virtual board, then to eight at
# once, every board with line timing at 115200 bit/s (10 bit times a byte, 2 ms to program a
# row). Prints both times and their ratio; nothing is asserted. The machine is shared, so run
# it on a quiet machine and more than once.
# Usage: scripts/bench-parallel-write.sh [build-dir]   (RUNS=3 rounds by default; BOARDS=8)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh
boards=${BOARDS:-8}

bench_firmware "$work/firmware.hex"

ports=()
for ((i = 0; i < boards; ++i)); do
    "$sim" --device dsPIC30F4011 --line-timing --baud 115200 >"$work/board$i" 2>/dev/null &
    bench_pids+=($!)
done
for ((i = 0; i < boards; ++i)); do
    for _ in $(seq 100); do [[ -s $work/board$i ]] && break; sleep 0.05; done
    ports+=("$(cut -d' ' -f2 "$work/board$i")")
done

# Seconds of one write with the given --port options.
timed_write() {
    local start
    start=$(date +%s.%N)
    "$cli" write --quiet --workdir "$root/catalogue" "$@" "$work/firmware.hex" >"$work/out" 2>&1 ||
        { cat "$work/out" >&2; exit 1; }
    bench_seconds_since "$start"
}

all=()
for port in "${ports[@]}"; do all+=(--port "$port"); done
one_times=()
all_times=()
for ((run = 0; run < runs; ++run)); do
    one_times+=("$(timed_write --port "${ports[0]}")")
    all_times+=("$(timed_write "${all[@]}")")
done
one=$(median "${one_times[@]}")
many=$(median "${all_times[@]}")
printf 'one board:   %s s (runs: %s)\n' "$one" "${one_times[*]}"
printf '%d boards:    %s s (runs: %s)\n' "$boards" "$many" "${all_times[*]}"
bench_ratio "ratio:       " "$one" "$many" "$runs"
