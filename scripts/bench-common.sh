# Sourced by the benchmarks that time pelorant-cli against virtual boards, from the checkout's
# root, with the build folder as the script's first argument (build by default) and RUNS rounds.
root=$(pwd)
build=$(cd "${1:-build}" && pwd)
runs=${RUNS:-3}
sim="$build/tools/sim/pelorant-sim"
cli="$build/tools/cli/pelorant-cli"

# A work folder for the run: the boards' COM links, the tool's settings and the port locks
# stay inside it, and it goes, with every process listed in bench_pids, when the script ends.
work=$(mktemp -d)
bench_pids=()
bench_stop() {
    for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${bench_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap bench_stop EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" LUNVIK_LOCK_DIR="$work"
mkdir -p "$work/run"

# bench_firmware FILE [eeprom]: 160 full rows of program flash from address 0 (20480 bytes of
# HEX data); with `eeprom`, one row of data EEPROM too.
bench_firmware() {
    python3 - "$@" <<'PY'
import sys
def record(address, data, kind=0):
    r = [len(data), address >> 8 & 0xFF, address & 0xFF, kind] + data
    return ":" + "".join("%02X" % b for b in r + [(-sum(r)) & 0xFF])
lines = [record(0, [0, 0], 4)]
for offset in range(0, 160 * 128, 16):
    lines.append(record(offset, [0 if i % 4 == 3 else ((offset + i) * 7) & 0xFF for i in range(16)]))
if sys.argv[2:] == ["eeprom"]:
    lines.append(record(0, [0x00, 0xFF], 4))  # data EEPROM at byte address 0xFFF800
    lines.append(record(0xF800, [0x34, 0x12, 0, 0]))
lines.append(":00000001FF")
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY
}

# bench_seconds_since START: the seconds since START (a `date +%s.%N`), to the millisecond.
bench_seconds_since() {
    awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }'
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# bench_ratio LABEL ONE MANY RUNS: the ratio line, with the machine's cores and load.
bench_ratio() {
    awk -v label="$1" -v one="$2" -v many="$3" -v runs="$4" -v cores="$(nproc)" \
        -v load="$(cut -d' ' -f1 /proc/loadavg)" \
        'BEGIN { printf "%s%.3f (medians of %d runs, %d cores, load average %s at the end)\n", label, many / one, runs, cores, load }'
}
