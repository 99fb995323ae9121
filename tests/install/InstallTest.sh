#!/usr/bin/env bash
# Installs the build into a staging directory and checks what an installation promises.
#   lunvik-consumer  a program outside the tree finds liblunvik through find_package(lunvik)
#                    and through pkg-config, links it and runs
#   sim-catalogue    the installed pelorant-sim finds the catalogue beside itself, also after
#                    the installed tree was moved, and names the path when it is missing
# Usage: InstallTest.sh <check> <build dir> <source dir> <work dir> <install prefix> <libdir>
set -euo pipefail
check=$1 build=$2 source=$3 work=$4 prefix=$5 libdir=$6

rm -rf "$work"
mkdir -p "$work"
DESTDIR="$work/stage" cmake --install "$build" >"$work/install.log"
root="$work/stage$prefix"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

case $check in
lunvik-consumer)
    consumer="$source/tests/install/consumer"
    cmake -S "$consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$root" >"$work/consumer.log"
    cmake --build "$work/consumer" >>"$work/consumer.log"
    [[ $("$work/consumer/lunvik_consumer") == "lunvik linked" ]] || fail "find_package consumer"

    export PKG_CONFIG_PATH="$root/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$work/stage"
    [[ $(pkg-config --modversion lunvik) == "$(sed -n 's/^Version: //p' "$root/$libdir/pkgconfig/lunvik.pc")" ]] ||
        fail "pkg-config version"
    # shellcheck disable=SC2046  # the flags are separate words
    c++ -std=c++17 "$consumer/main.cpp" $(pkg-config --cflags --libs lunvik) -o "$work/pc-consumer"
    [[ $(LD_LIBRARY_PATH="$root/$libdir" "$work/pc-consumer") == "lunvik linked" ]] ||
        fail "pkg-config consumer"
    ;;
sim-catalogue)
    moved="$work/moved"
    mv "$root" "$moved"
    export XDG_CONFIG_HOME="$work/config"
    unset PELORANT_CATALOGUE
    "$moved/bin/pelorant-sim" --list | grep -q "^0x[0-9A-F]* dsPIC30F4011$" ||
        fail "moved installation does not list its catalogue"
    rm "$moved/share/pelorant/qor_dspiclist.xml"
    if out=$("$moved/bin/pelorant-sim" --list 2>&1); then fail "listed without a catalogue"; fi
    grep -qF "$moved/share/pelorant/qor_dspiclist.xml" <<<"$out" ||
        fail "the error does not name the missing catalogue: $out"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
echo "ok: $check"
