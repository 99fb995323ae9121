#!/usr/bin/env bash
# CI: build the Debian package from a fresh build folder with Debian's compiler flags, check
# it with lintian (any error or warning fails), install it into an empty root, run the
# programs from there, and remove it again leaving nothing behind.
# Usage: scripts/ci-package.sh [build-dir]   (default build-deb; it is wiped first)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ci-stage.sh
build=${1:-build-deb}

stage "package: build"
scripts/install-deps.sh
scripts/install-packages.sh lintian dpkg-dev file appstream man-db desktop-file-utils \
    shared-mime-info
appstreamcli validate --no-net packaging/*.metainfo.xml
desktop-file-validate packaging/pelorant.desktop
# The MIME definition as the system's database reads it: *.hex becomes the type the desktop
# entry declares.
mime=$(mktemp -d)
mkdir "$mime/packages"
cp packaging/pelorant-mime.xml "$mime/packages/pelorant.xml"
update-mime-database "$mime"
grep -qx '50:application/x-ihex:\*\.hex' "$mime/globs2"
rm -rf "$mime"

rm -rf "$build"
# Debian's hardening: fortified functions, stack protector, read-only relocations, bindnow.
# Build type None, as Debian's own cmake builds: the optimisation is dpkg-buildflags' -O2
# alone (CMake's Release adds -O3, under which GCC 12 warns falsely inside std::string).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
          -DPELORANT_BUILD_TESTS=OFF -DPELORANT_BUILD_BENCHMARKS=OFF -DPELORANT_WERROR=ON \
          -DPELORANT_PRIVATE_LUNVIK=ON
cmake --build "$build"
(cd "$build" && cpack)
deb=$(ls "$build"/pelorant_*.deb)
dpkg-deb --info "$deb"

stage "package: lintian"
lintian --fail-on error,warning --display-info "$deb"

stage "package: install, run, purge"
# Everything the package depends on must be installable here.
apt-get satisfy --simulate "$(dpkg-deb --field "$deb" Depends)" >/dev/null

# An empty root inside the build folder, which the next run wipes.
root=$(cd "$build" && pwd)/root  # the build folder may be given as an absolute path
mkdir -p "$root"/var/lib/dpkg/{info,updates,triggers}
touch "$root"/var/lib/dpkg/status
# The root is empty: its dependencies were checked against this machine above.
dpkg --root="$root" --force-script-chrootless --force-depends -i "$deb"
for program in pelorant-cli pelorant-sim; do
    "$root/usr/bin/$program" --help >/dev/null
    echo "$program --help: ok"
done
if ldd "$root/usr/bin/Pelorant" | grep 'not found'; then
    echo "Pelorant misses libraries" >&2
    exit 1
fi
for page in pelorant-cli pelorant-sim Pelorant; do
    man --warnings -l "$root/usr/share/man/man1/$page.1.gz" >/dev/null
done
dpkg --root="$root" --force-script-chrootless --force-depends --purge pelorant
left=$(find "$root" -path "$root/var/lib/dpkg" -prune -o ! -type d -print)
if [[ -n $left ]]; then
    printf 'left behind after purge:\n%s\n' "$left" >&2
    exit 1
fi
stage_done
echo "package $deb: lintian clean, installs, runs and purges"
