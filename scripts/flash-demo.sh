#!/usr/bin/env bash
# The demo on a fresh machine: installs the dependencies, builds and installs Pelorant (with
# its catalogue and machine-wide settings), starts a virtual dsPIC30F4011 board and flashes
# the sample firmware into it with pelorant-cli.
# Usage: scripts/flash-demo.sh ; PREFIX=/opt/pelorant installs elsewhere (default /usr/local),
# BUILD_DIR chooses the build folder (default build-release).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
prefix=${PREFIX:-/usr/local}
build=${BUILD_DIR:-build-release}

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DPELORANT_BUILD_TESTS=OFF -DPELORANT_BUILD_BENCHMARKS=OFF
cmake --build "$build"

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    mkdir -p "$prefix" 2>/dev/null || true
    [[ -w $prefix ]] || sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" cmake --install "$build"
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ $(id -u) -eq 0 ]] && ldconfig
export LD_LIBRARY_PATH="$prefix/${libdir:-lib}${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"

work=$(mktemp -d)
board_pid=
stop_board() {
    if [[ -n $board_pid ]]; then
        kill "$board_pid" 2>/dev/null || true
        wait "$board_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop_board EXIT

"$prefix/bin/pelorant-sim" --device dsPIC30F4011 --line-timing >"$work/board" &
board_pid=$!
port=
for _ in $(seq 100); do
    read -r port device <"$work/board" || true
    [[ $port == COM* ]] && break
    kill -0 "$board_pid" 2>/dev/null || { echo "flash-demo: the virtual board did not start" >&2; exit 1; }
    sleep 0.1
done
[[ $port == COM* ]] || { echo "flash-demo: the virtual board did not report its port" >&2; exit 1; }
echo "flash-demo: virtual dsPIC30F4011 on $port ($device)"

status=0
"$prefix/bin/pelorant-cli" write --port "$port" --memories code,eeprom,config --run \
    "$root/samples/dsPIC30F4011-counter.hex" || status=$?
if ((status == 0)); then
    echo "flash-demo: the sample firmware is written and running on the virtual board"
else
    echo "flash-demo: pelorant-cli failed with exit status $status" >&2
fi
exit "$status"
