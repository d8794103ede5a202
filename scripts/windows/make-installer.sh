#!/usr/bin/env bash
# Makes the Windows installer from a configured and built Windows build folder:
# make-installer.sh BUILD_DIR. Stages the program with its Qt DLLs and plugins (target
# windows-stage), writes the empty database into the stage's template\ with the build's own
# make-empty-db.exe under Wine (a throwaway prefix), and packs it all with makensis into
# BUILD_DIR/delivery-note-<version>-setup.exe, whose path it prints.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: make-installer.sh BUILD_DIR}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
sysroot=$(sed -n 's/^WINDOWS_SYSROOT:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] && [ -n "$sysroot" ] || { echo "make-installer.sh: $build is no Windows build" >&2; exit 1; }

cmake --build "$build" --target windows-stage >&2
stage=$build/stage

# The template: made fresh, never a database someone worked on.
prefix=${WINEPREFIX:-}
own_prefix=
if [ -z "$prefix" ]; then
    prefix=$(bash "$here/make-prefix.sh" "$build")
    own_prefix=$prefix
fi
cleanup() {
    if [ -n "$own_prefix" ]; then
        WINEPREFIX=$own_prefix wineserver -k 2>/dev/null || true
        rm -rf "$own_prefix"
    fi
}
trap cleanup EXIT
rm -f "$stage/template/data.mdb"
WINEPREFIX=$prefix "$here/wine-run.sh" "$sysroot" "$build/bin/make-empty-db.exe" \
    "Z:${stage//\//\\}\\template\\data.mdb" >&2
[ -s "$stage/template/data.mdb" ] || { echo "make-installer.sh: no template database" >&2; exit 1; }

out=$build/delivery-note-$version-setup.exe
rm -f "$out"
makensis -INPUTCHARSET UTF8 -V2 -DSTAGE="$stage" -DVERSION="$version" -DOUTFILE="$out" \
    "$root/resources/windows/installer.nsi" >&2
echo "$out"
