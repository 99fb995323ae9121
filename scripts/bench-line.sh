#!/usr/bin/env bash
# What the row writer's checks of the line cost, on virtual boards with line timing at
# 115200 bit/s and 2 ms to program a row:
#  - bench_line: 1507 code rows by the row writer and by a minimal host (write a frame, wait
#    for its byte), best of three, and their ratio;
#  - the sample firmware (9 rows in three blocks) written by pelorant-cli, from its first row
#    to the last byte on the line, read from the trace, best of three.
# Nothing is asserted. The machine is shared, so run it on a quiet machine.
# Usage: scripts/bench-line.sh [build-dir]   (RUNS=3 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh

"$build/tests/protocol/workers/bench_line" "$runs"

best=
for ((run = 1; run <= runs; ++run)); do
    "$sim" --device dsPIC30F4011 --line-timing --baud 115200 --row-time 2 >"$work/board" 2>/dev/null &
    board_pid=$!
    bench_pids+=("$board_pid")
    for _ in $(seq 100); do [[ -s $work/board ]] && break; sleep 0.05; done
    port=$(cut -d' ' -f2 "$work/board")
    "$cli" write --quiet --workdir "$root/catalogue" --port "$port" --baud 115200 \
        --trace "$work/trace" samples/dsPIC30F4011-counter.hex >"$work/out" 2>&1 ||
        { cat "$work/out" >&2; exit 1; }
    kill "$board_pid"; wait "$board_pid" 2>/dev/null || true
    : >"$work/board"
    # From the first row frame to the last line of the trace, in seconds.
    seconds=$(awk '/ H>B row / && !first { first = $1 } { last = $1 }
                   END { printf "%.3f", (last - first) / 1e6 }' "$work/trace")
    printf 'sample run %d: %s s from the first row to the last byte\n' "$run" "$seconds"
    if [[ -z $best ]] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
done
printf 'sample (9 rows in three blocks) at 115200 bit/s, best of %d: %s s from the first row to the last byte\n' "$runs" "$best"
