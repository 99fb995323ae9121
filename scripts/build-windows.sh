#!/usr/bin/env bash
# Builds the Windows zip on a Debian machine with mingw-w64: installs the cross compiler,
# builds Xerces-C 3.2.4 for Windows (library only) from its source archive, takes the
# header-only JSON library from its Debian package, then pelorant-cli,
# lunvik.dll and the catalogue (no Qt wizard: there is no Qt for Windows here), and packs
# them with the runtime DLLs into <build-dir>/pelorant-<version>-win64.zip.
#
# Usage: scripts/build-windows.sh [build-dir]          (default: build-windows)
#   PELORANT_XERCES_ARCHIVE=path   the Xerces-C source archive (default:
#                                  ../shared/third-party/xerces-c-3.2.4.tar.gz beside the tree)
#   PELORANT_WINDOWS_TESTS=ON      also build the Windows test programs (scripts/test-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-windows}")
deps=$build/deps
archive=${PELORANT_XERCES_ARCHIVE:-$root/../shared/third-party/xerces-c-3.2.4.tar.gz}
xerces_sha256=b471cfc9dde20af12acb1bb47b5de56ac9da6731a1a94a41d0c2959c070fa6da
toolchain=$root/cmake/mingw-w64-x86_64.cmake
# A fresh machine has two cores shared with others: stay polite.
run() { nice -n 10 "$@"; }

scripts/install-packages.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix cmake ninja-build \
    nlohmann-json3-dev

if [ ! -f "$deps/include/xercesc/util/XercesVersion.hpp" ]; then
    if [ ! -f "$archive" ]; then
        echo "build-windows: no Xerces-C source archive at $archive" >&2
        echo "  Put xerces-c-3.2.4.tar.gz (https://xerces.apache.org/xerces-c/) there, or name it" >&2
        echo "  with PELORANT_XERCES_ARCHIVE=/path/to/xerces-c-3.2.4.tar.gz" >&2
        exit 1
    fi
    echo "$xerces_sha256  $archive" | sha256sum -c --quiet - || {
        echo "build-windows: $archive is not the Xerces-C 3.2.4 release archive" >&2
        exit 1
    }
    rm -rf "$build/xerces-src" "$build/xerces"
    mkdir -p "$build/xerces-src"
    tar -xzf "$archive" -C "$build/xerces-src" --strip-components=1
    # The library alone: the archive's own samples and tests do not build with mingw. -O1:
    # the parser reads one small catalogue, and it halves the heaviest step of the build.
    run cmake -S "$build/xerces-src" -B "$build/xerces" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=ON \
        -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory
    run cmake --build "$build/xerces" --target xerces-c
    cmake --install "$build/xerces/src"
fi

# nlohmann/json is headers and a CMake package only, the same for every target: a copy in the
# Windows prefix is found there like any Windows library, without opening /usr/include (the
# Linux system headers) to the cross compiler.
rm -rf "$deps/include/nlohmann" "$deps/share/cmake/nlohmann_json"
mkdir -p "$deps/include" "$deps/share/cmake"
cp -r /usr/include/nlohmann "$deps/include/"
cp -r /usr/share/cmake/nlohmann_json "$deps/share/cmake/"

# -O2 as in the Linux build: GCC 12's -O3 inlining of string concatenations gives false
# -Wrestrict warnings, and costs build time for nothing a flasher would notice.
run cmake -S . -B "$build/pelorant" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_FIND_ROOT_PATH="$deps" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DPELORANT_WERROR=ON \
    -DPELORANT_BUILD_GUI=OFF -DPELORANT_BUILD_BENCHMARKS=OFF \
    -DPELORANT_BUILD_TESTS="${PELORANT_WINDOWS_TESTS:-OFF}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine
run cmake --build "$build/pelorant"
(cd "$build" && cpack -G ZIP --config "$build/pelorant/CPackConfig.cmake" >/dev/null)
ls "$build"/pelorant-*-win64.zip
