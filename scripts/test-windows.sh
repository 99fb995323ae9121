#!/usr/bin/env bash
# Builds the Windows programs with their tests and runs them under Wine, in a Wine prefix of
# their own, against Linux virtual boards: each board's pseudo-terminal becomes a Windows COM
# port (a link $WINEPREFIX/dosdevices/comN -> /dev/pts/M, registered with Wine's mount manager
# so that it is listed like a real port). Then the end-to-end proof: pelorant-cli.exe from the
# zip writes a HEX file into one board exactly as the Linux pelorant-cli writes it into another
# (the boards' memory dumps are compared), and lists the mapped port. Test programs that start
# boards of their own get them from pelorant-board-host, which maps each as a COM port.
#
# Usage: scripts/test-windows.sh [windows-build-dir] [linux-build-dir]
#        (defaults: build-windows and build; the Linux pelorant-sim and pelorant-cli are built
#        there when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-windows}")
linux=$(realpath -m "${2:-build}")
deps=$build/deps
work=$build/wine-run
run() { nice -n 10 "$@"; }

scripts/install-packages.sh wine wine64 googletest g++-mingw-w64-x86-64-posix cmake ninja-build

# GoogleTest for Windows, from the sources Debian's googletest package installs.
if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
    run cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON
    run cmake --build "$build/googletest"
    cmake --install "$build/googletest" >/dev/null
fi
PELORANT_WINDOWS_TESTS=ON scripts/build-windows.sh "$build"

# The Linux side: the virtual board, and the command-line flasher to compare with.
if [ ! -f "$linux/CMakeCache.txt" ]; then
    scripts/install-deps.sh
    run cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPELORANT_BUILD_GUI=OFF -DPELORANT_BUILD_TESTS=OFF -DPELORANT_BUILD_BENCHMARKS=OFF
fi
run cmake --build "$linux" --target pelorant-sim pelorant-board-host pelorant-cli

rm -rf "$work"
mkdir -p "$work/config"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The boards publish their links in a port directory of this run's own.
export XDG_CONFIG_HOME=$work/config
boards=()
finish() {
    for pid in "${boards[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
}
trap finish EXIT

windows_path() { winepath -w "$1" 2>/dev/null; }

# start_board NAME DEVICE: a board playing DEVICE, dumping its memory to $work/NAME.hex when it
# stops; sets $pts to its pseudo-terminal.
start_board() {
    # A name is used again: the last board's files must not be read as this one's, and the
    # shell may open the new output only after the wait below has looked at it.
    rm -f "$work/$1.out" "$work/$1.err" "$work/$1.hex"
    "$linux/tools/sim/pelorant-sim" --catalogue "$root/catalogue/qor_dspiclist.xml" \
        --device "$2" --dump "$work/$1.hex" </dev/null >"$work/$1.out" 2>"$work/$1.err" &
    boards+=($!)
    declare -g "pid_$1=$!"
    for _ in $(seq 300); do
        [ -s "$work/$1.out" ] && break
        sleep 0.1
    done
    pts=$(awk 'NR == 1 { print $2 }' "$work/$1.out")
    [ -n "$pts" ] || { cat "$work/$1.err" >&2; echo "test-windows: board $1 did not start" >&2; exit 1; }
}

# stop_board NAME: stops it; its memory dump is then written.
stop_board() {
    local pid_var=pid_$1
    kill -TERM "${!pid_var}"
    wait "${!pid_var}" || true
}

# map_port N PTS: COM<N> of the Wine prefix opens PTS.
map_port() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /d "$2" /f >/dev/null
}

echo "test-windows: preparing the Wine prefix $WINEPREFIX"
run wineboot --init >/dev/null 2>&1
wineserver -w

sample=$root/samples/dsPIC30F4011-counter.hex
corpus=$root/../shared/hexcorpus/dflorescor99__dsPIC30F4013__tictoc.hex
start_board suites dsPIC30F4011
map_port 5 "$pts"
start_board windows dsPIC30F4011
map_port 6 "$pts"
# The mount manager reads the port list when Wine starts: start it afresh. Wine's server takes
# a board's pseudo-terminal as its controlling terminal; when a board stops it gets a hang-up
# and lists its objects on its error output: that goes to a log of its own.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p 2>"$work/wineserver.log"

# Boards for the test programs' own use, each a COM port of the prefix while a program holds it.
"$linux/tools/sim/pelorant-board-host" --wine-prefix "$WINEPREFIX" </dev/null \
    >"$work/board-host.out" 2>"$work/board-host.err" &
boards+=($!)
for _ in $(seq 300); do
    [ -s "$work/board-host.out" ] && break
    sleep 0.1
done
PELORANT_BOARD_HOST=$(head -n 1 "$work/board-host.out")
[ -n "$PELORANT_BOARD_HOST" ] || { cat "$work/board-host.err" >&2; echo "test-windows: the board host did not start" >&2; exit 1; }
export PELORANT_BOARD_HOST

echo "test-windows: the Windows test programs"
dll_dirs=("$build/pelorant/serial" "$deps/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
          "/usr/x86_64-w64-mingw32/lib")
WINEPATH=$(for d in "${dll_dirs[@]}"; do windows_path "$d"; done | paste -sd';')
export WINEPATH
PELORANT_TEST_COM=5 ctest --test-dir "$build/pelorant" --output-on-failure --timeout 300
unset WINEPATH

echo "test-windows: pelorant-cli.exe from the zip against a board on COM6"
rm -rf "$work/zip"
mkdir -p "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$build"/pelorant-*-win64.zip)
cli=$(find "$work/zip" -name pelorant-cli.exe)
catalogue=$(dirname "$(find "$work/zip" -name qor_dspiclist.xml)")
wine "$cli" ports | tee "$work/ports.txt"
grep -q '^COM6[[:space:]]' "$work/ports.txt" || { echo "test-windows: COM6 is not listed" >&2; exit 1; }

# compare HEX DEVICE: the same file written by both programs leaves the same memory.
compare() {
    local hex=$1 device=$2
    start_board linux "$device"
    "$linux/tools/cli/pelorant-cli" write --quiet --port "$pts" --workdir "$root/catalogue" \
        --run "$hex"
    stop_board linux
    wine "$cli" write --quiet --port COM6 --workdir "$(windows_path "$catalogue")" \
        --run "$(windows_path "$hex")"
    stop_board windows
    if ! cmp -s "$work/linux.hex" "$work/windows.hex"; then
        diff "$work/linux.hex" "$work/windows.hex" | head -20 >&2
        echo "test-windows: $(basename "$hex"): the Windows write differs from the Linux one" >&2
        exit 1
    fi
    echo "test-windows: $(basename "$hex") ($device): the same memory from both builds"
}
compare "$sample" dsPIC30F4011
if [ -f "$corpus" ]; then
    start_board windows dsPIC30F4013
    map_port 6 "$pts"
    compare "$corpus" dsPIC30F4013
fi
echo "test-windows: all passed"
