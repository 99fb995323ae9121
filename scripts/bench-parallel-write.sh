#!/usr/bin/env bash
# Benchmark of a bench: the same ~20 KB firmware written to one virtual board, then to eight at
# once, every board with line timing at 115200 bit/s (10 bit times a byte, 2 ms to program a
# row). Prints both times and their ratio; nothing is asserted. The machine is shared, so run
# it on a quiet machine and more than once.
# Usage: scripts/bench-parallel-write.sh [build-dir]   (RUNS=3 rounds by default; BOARDS=8)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(cd "${1:-build}" && pwd)
runs=${RUNS:-3}
boards=${BOARDS:-8}
sim="$build/tools/sim/pelorant-sim"
cli="$build/tools/cli/pelorant-cli"

work=$(mktemp -d)
board_pids=()
stop_boards() {
    for pid in "${board_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${board_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap stop_boards EXIT
# The boards' COM links, the tool's settings and the port locks stay inside the work folder.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" LUNVIK_LOCK_DIR="$work"
mkdir -p "$work/run"

# 160 full rows of program flash from address 0: 20480 bytes of HEX data.
python3 - "$work/firmware.hex" <<'PY'
import sys
lines = [":020000040000FA"]
for offset in range(0, 160 * 128, 16):
    data = [0 if i % 4 == 3 else ((offset + i) * 7) & 0xFF for i in range(16)]
    record = [16, offset >> 8, offset & 0xFF, 0] + data
    record.append((-sum(record)) & 0xFF)
    lines.append(":" + "".join("%02X" % b for b in record))
lines.append(":00000001FF")
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY

ports=()
for ((i = 0; i < boards; ++i)); do
    "$sim" --device dsPIC30F4011 --line-timing --baud 115200 >"$work/board$i" 2>/dev/null &
    board_pids+=($!)
done
for ((i = 0; i < boards; ++i)); do
    for _ in $(seq 100); do [[ -s $work/board$i ]] && break; sleep 0.05; done
    ports+=("$(cut -d' ' -f2 "$work/board$i")")
done

# Seconds of one write with the given --port options.
timed_write() {
    local start end
    start=$(date +%s.%N)
    "$cli" write --quiet --workdir "$root/catalogue" "$@" "$work/firmware.hex" >"$work/out" 2>&1 ||
        { cat "$work/out" >&2; exit 1; }
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

all=()
for port in "${ports[@]}"; do all+=(--port "$port"); done
one_times=()
all_times=()
for ((run = 0; run < runs; ++run)); do
    one_times+=("$(timed_write --port "${ports[0]}")")
    all_times+=("$(timed_write "${all[@]}")")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
one=$(median "${one_times[@]}")
many=$(median "${all_times[@]}")
printf 'one board:   %s s (runs: %s)\n' "$one" "${one_times[*]}"
printf '%d boards:    %s s (runs: %s)\n' "$boards" "$many" "${all_times[*]}"
awk -v one="$one" -v many="$many" -v runs="$runs" -v cores="$(nproc)" -v load="$(cut -d' ' -f1 /proc/loadavg)" \
    'BEGIN { printf "ratio:       %.3f (medians of %d runs, %d cores, load average %s at the end)\n", many / one, runs, cores, load }'
