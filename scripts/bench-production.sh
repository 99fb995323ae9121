#!/usr/bin/env bash
# Benchmark of a production station: a batch of eight virtual boards against a batch of one,
# each board reset through its DTR line and given its own serial number
# (write --repeat --reset dtr --serial ... --run, one batch, line timing at 115200 bit/s), and
# the time from the reset (DTR released) to the first row on the line. Prints the times and
# the ratio; nothing is asserted. The machine is shared, so run it on a quiet machine and more
# than once.
# Usage: scripts/bench-production.sh [build-dir]   (RUNS=3 rounds by default; BOARDS=8)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh
boards=${BOARDS:-8}
# A pseudo-terminal carries no modem lines: the tests' bridge turns the tool's DTR calls into
# datagrams, and the relay below hands them to each board's standard input.
bridge=$(find "$build/tests/tools/sim" -name 'libpelorant_modem_bridge*.so' | head -1)
[[ -n $bridge ]] || { echo "build the pelorant_modem_bridge target first" >&2; exit 1; }

bench_firmware "$work/firmware.hex" eeprom

for ((i = 0; i < boards; ++i)); do
    mkfifo "$work/in$i" "$work/out$i"
    "$sim" --device dsPIC30F4011 --line-timing --baud 115200 --reset-line dtr \
        --listen-window 1000 <"$work/in$i" >"$work/out$i" 2>/dev/null &
    bench_pids+=($!)
    exec {fd}>"$work/in$i"  # keeps the board's input open
done

# The relay: each datagram "<pty> dtr=N" goes to that board's input, and is answered once the
# board says the line has the level, as an adapter's ioctl returns once its line has changed.
# Every release of DTR (the end of a reset) is noted with the monotonic clock in
# microseconds, as the trace's.
python3 - "$work" "$boards" <<'PY' &
import os, socket, sys, time
work, boards = sys.argv[1], int(sys.argv[2])
inputs, outputs = {}, {}
for i in range(boards):
    output = open(os.path.join(work, "out%d" % i))
    port = output.readline().split()[1]  # "COM100 /dev/pts/7"
    inputs[port], outputs[port] = open(os.path.join(work, "in%d" % i), "w"), output
relay = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
relay.bind(os.path.join(work, "modem"))
with open(os.path.join(work, "ports"), "w") as ports:
    ports.write("".join(port + "\n" for port in inputs))
os.rename(os.path.join(work, "ports"), os.path.join(work, "relay-ready"))
with open(os.path.join(work, "resets"), "a") as resets:
    while True:
        message, sender = relay.recvfrom(512)
        device, level = message.decode().split(" ", 1)
        if device in inputs:
            inputs[device].write(level + "\n")
            inputs[device].flush()
            outputs[device].readline()
        if level == "dtr=0":
            resets.write("%d %s\n" % (time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000, device))
            resets.flush()
        relay.sendto(b"ok", sender)
PY
bench_pids+=($!)
for _ in $(seq 100); do [[ -e $work/relay-ready ]] && break; sleep 0.05; done
mapfile -t ports <"$work/relay-ready"
# A board listens for a second after it starts: the first batch must find it past that, or
# no reset is needed and none measured.
sleep 1

# Seconds of one batch over the given --port options; the trace goes to $work/trace.
serial=1000
timed_batch() {
    local start
    : >"$work/resets"
    start=$(date +%s.%N)
    LD_PRELOAD="$bridge" PELORANT_MODEM_BRIDGE="$work/modem" \
        "$cli" write --quiet --repeat --reset dtr --run --serial "$serial" --serial-at 0x7FFC00 \
        --serial-state "$work/serial.state" --trace "$work/trace" --workdir "$root/catalogue" \
        --detect-timeout 10 "$@" "$work/firmware.hex" </dev/null >"$work/out" 2>&1 ||
        { cat "$work/out" >&2; exit 1; }
    bench_seconds_since "$start"
}

# Milliseconds from each board's last DTR release to its first row frame, the largest.
reset_to_row() {
    awk 'FNR == NR { reset[$2] = $1; next }
         $3 == "H>B" && $4 == "row" && !($2 in first) { first[$2] = $1 }
         END { worst = 0
               for (port in first) if (port in reset) {
                   ms = (first[port] - reset[port]) / 1000; if (ms > worst) worst = ms }
               printf "%.0f", worst }' "$work/resets" "$work/trace"
}

all=()
for port in "${ports[@]}"; do all+=(--port "$port"); done
one_times=() all_times=() one_resets=() all_resets=()
for ((run = 0; run < runs; ++run)); do
    one_times+=("$(timed_batch --port "${ports[0]}")")
    one_resets+=("$(reset_to_row)")
    all_times+=("$(timed_batch "${all[@]}")")
    all_resets+=("$(reset_to_row)")
done
one=$(median "${one_times[@]}")
many=$(median "${all_times[@]}")
printf 'batch of one board:   %s s (runs: %s)\n' "$one" "${one_times[*]}"
printf 'batch of %d boards:    %s s (runs: %s)\n' "$boards" "$many" "${all_times[*]}"
bench_ratio "ratio:                " "$one" "$many" "$runs"
printf 'reset to first row:   %s ms one board, %s ms the slowest of %d (medians; runs: %s / %s)\n' \
    "$(median "${one_resets[@]}")" "$(median "${all_resets[@]}")" "$boards" \
    "${one_resets[*]}" "${all_resets[*]}"
printf 'serial numbers:       %s\n' "$(cat "$work/serial.state" | tr '\n' ' ')"
