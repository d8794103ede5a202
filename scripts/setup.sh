#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine (as root), builds, and then starts the
# program ("run"), runs the whole test suite ("test"), writes the Debian package into build/
# ("package"), or builds the 64-bit Windows program and its installer in build-windows/
# ("windows", with the toolchain of ../shared/windows/ or $WINDOWS_TOOLCHAIN).
set -euo pipefail

mode=${1:-}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-translations-l10n
    libsqlcipher-dev libxlsxwriter-dev zlib1g-dev libpq-dev libfreexl-dev libminizip-dev
    fonts-noto-cjk fonts-liberation fonts-dejavu-core
)
test_packages=(
    poppler-utils xvfb cups printer-driver-cups-pdf python3-openpyxl
    clang libclang-rt-14-dev clang-format
    sqlcipher appstream desktop-file-utils postgresql
)
package_packages=(dpkg-dev)
# The Windows build: the cross compiler, Qt's host tools, the installer maker, and Wine with a
# display and CJK faces it can fall back on (the prefixes' stand-in for the note's SimSun is
# fetched by make-prefix.sh), and for its tests and the installer check sqlcipher and the readers
# of what the program wrote.
windows_packages=(
    cmake ninja-build pkg-config ccache xz-utils
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    qt6-base-dev-tools qt6-translations-l10n nsis wine wine64 xvfb fonts-noto-cjk sqlcipher
    poppler-utils python3-openpyxl dpkg-dev
)

case "$mode" in
run) ;;
test) packages+=("${test_packages[@]}" "${package_packages[@]}") ;;
package) packages+=("${package_packages[@]}") ;;
windows) packages=("${windows_packages[@]}") ;;
*)
    echo "usage: $0 run|test|package|windows" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

jobs=$(nproc)
# Builds of the same sources (the test build, the sanitizer build, the package) share compiled
# objects through the compiler cache.
launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The program built for the package, packed by CPack; prints the package's path in build/.
build_package() {
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON \
        -DINSTALLED_LAYOUT=ON -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DBUILD_BENCH=OFF \
        "${launcher[@]}" >&2
    cmake --build build-package -j "$jobs" --target delivery-note database-template >&2
    rm -f build-package/*.deb
    (cd build-package && cpack -G DEB >&2)
    mkdir -p build
    rm -f build/delivery-note_*.deb
    cp build-package/delivery-note_*.deb build/
    ls build/delivery-note_*.deb
}

if [ "$mode" = package ]; then
    build_package
    exit 0
fi

# The Windows program, its tools and tests, cross-built against the toolchain's sysroot (unpacked
# into build-windows/sysroot, again whenever the archive changes), and its installer; prints the
# installer's path. scripts/windows/run-tests.sh runs the suite under Wine.
if [ "$mode" = windows ]; then
    toolchain=${WINDOWS_TOOLCHAIN:-$root/../shared/windows}
    archive=$toolchain/sysroot-x86_64-w64-mingw32.tar.xz
    [ -f "$archive" ] || { echo "setup.sh: no Windows toolchain at $toolchain" >&2; exit 1; }
    stamp=$(stat -c '%s %Y' "$archive")
    if [ "$(cat build-windows/sysroot.stamp 2>/dev/null)" != "$stamp" ]; then
        rm -rf build-windows/sysroot
        mkdir -p build-windows
        tar xJf "$archive" -C build-windows
        # libxlsxwriter carries an MD5 of its own under OpenSSL's names (MD5_Init, MD5_Update,
        # MD5_Final), with another context layout: statically linked beside SQLCipher's
        # libcrypto the names clash, so its copy takes names of its own.
        x86_64-w64-mingw32-objcopy --redefine-sym MD5_Init=lxw_md5_init \
            --redefine-sym MD5_Update=lxw_md5_update --redefine-sym MD5_Final=lxw_md5_final \
            build-windows/sysroot/lib/libxlsxwriter.a
        # Qt's Chinese texts where the tests' Qt looks for them (the installer ships them too).
        mkdir -p build-windows/sysroot/translations
        cp /usr/share/qt6/translations/qtbase_zh_CN.qm build-windows/sysroot/translations/
        echo "$stamp" >build-windows/sysroot.stamp
    fi
    # The import's spreadsheet readers (FreeXL, minizip), which the toolchain lacks, built from
    # Debian's sources into the sysroot: once, and again when they are missing there (a sysroot
    # unpacked afresh) or their recipe changed.
    readers=$(cat scripts/windows/build-sheet-readers.sh scripts/windows/iconv.[ch] | sha256sum)
    if [ ! -f build-windows/sysroot/lib/pkgconfig/freexl.pc ] ||
        [ ! -f build-windows/sysroot/lib/pkgconfig/minizip.pc ] ||
        [ "$(cat build-windows/readers.stamp 2>/dev/null)" != "$readers" ]; then
        bash scripts/windows/build-sheet-readers.sh build-windows/sysroot build-windows/readers >&2
        echo "$readers" >build-windows/readers.stamp
    fi
    cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/WindowsToolchain.cmake" \
        -DWINDOWS_SYSROOT="$root/build-windows/sysroot" -DBUILD_BENCH=OFF "${launcher[@]}" >&2
    cmake --build build-windows -j "$jobs" >&2
    bash scripts/windows/make-installer.sh build-windows
    exit 0
fi

if [ "$mode" = run ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
    cmake --build build -j "$jobs" --target delivery-note empty-database
    cd build/bin
    exec ./delivery-note
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON "${launcher[@]}"
cmake --build build -j "$jobs"
# Two printing tests print through real CUPS queues writing PDF files, one of them a queue
# that refuses the note's custom paper size.
cups=$(sh scripts/start-cups.sh)
NOTE_TEST_PRINTER=$(printf '%s\n' "$cups" | sed -n 1p)
NOTE_TEST_PRINTER_OUT=$(printf '%s\n' "$cups" | sed -n 2p)
NOTE_TEST_FIXED_PAPER_PRINTER=$(printf '%s\n' "$cups" | sed -n 3p)
export NOTE_TEST_PRINTER NOTE_TEST_PRINTER_OUT NOTE_TEST_FIXED_PAPER_PRINTER
# The data-layer and records suites run a second time on a throwaway PostgreSQL server of
# their own, stopped and removed when the run ends.
pg=$(sh scripts/start-postgres.sh)
NOTE_TEST_SERVER=$(printf '%s\n' "$pg" | sed -n 1p)
pg_folder=$(printf '%s\n' "$pg" | sed -n 2p)
trap 'sh "$root/scripts/stop-postgres.sh" "$pg_folder"' EXIT
export NOTE_TEST_SERVER
ctest --test-dir build --output-on-failure -j "$jobs"

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer (without the
# benchmarks); any report fails the run. The kill cycles of the crash-safety test ran in full
# above; here a fifth of them run the writer's code under the sanitizers.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON \
    -DENABLE_SANITIZERS=ON -DBUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp" \
    CRASH_CYCLES=40 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The package: built, installed on this machine, started as a user would, removed again.
bash scripts/check-package.sh "$(build_package)"
