#!/usr/bin/env bash
# Adds the import's spreadsheet readers to the Windows sysroot, which the toolchain does not hold:
# minizip (zip and unzip over the sysroot's zlib, from Debian's source of zlib) and FreeXL (from
# Debian's source of freexl), both static, each with a .pc file beside the toolchain's own. FreeXL
# converts texts with iconv, which MinGW-w64 lacks: iconv.c beside this script does it over the
# Windows code page API and goes into libfreexl.a.
# build-sheet-readers.sh SYSROOT WORK_DIR (the sources are fetched and built in WORK_DIR)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sysroot=$(realpath "${1:?usage: build-sheet-readers.sh SYSROOT WORK_DIR}")
work=${2:?usage: build-sheet-readers.sh SYSROOT WORK_DIR}
host=x86_64-w64-mingw32
cc=$host-gcc-posix

rm -rf "$work"
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/src"
work=$(realpath "$work")
# Debian's sources through a list of our own, leaving the machine's apt set-up alone.
cat >"$work/apt/sources/bookworm-src.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_options=(-q -o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$work/apt/sources"
    -o "Dir::State::Lists=$work/apt/lists")
apt-get "${apt_options[@]}" update >&2
# The sources unpacked with Debian's patches applied; apt's own user cannot write here.
(cd "$work/src" && apt-get "${apt_options[@]}" source zlib freexl >&2)

# NAME VERSION LIBS CFLAGS: a .pc file that finds the sysroot wherever it lies, as the
# toolchain's own do.
pc() {
    cat >"$sysroot/lib/pkgconfig/$1.pc" <<PC
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: $1
Description: $1 for $host
Version: $2
Libs: -L\${libdir} $3
Cflags: -I\${includedir}$4
PC
}

# minizip: the reading part for the program, the writing part for the tests' damaged workbooks.
minizip=$(echo "$work"/src/zlib-*/contrib/minizip)
mkdir "$work/minizip"
for f in ioapi unzip zip; do
    "$cc" -O2 -I"$sysroot/include" -c "$minizip/$f.c" -o "$work/minizip/$f.o"
done
rm -f "$sysroot/lib/libminizip.a"
"$host-ar" rcs "$sysroot/lib/libminizip.a" "$work"/minizip/*.o
mkdir -p "$sysroot/include/minizip"
cp "$minizip"/{ioapi.h,unzip.h,zip.h} "$sysroot/include/minizip/"
version=$(sed -n 's/^AC_INIT(\[minizip\], \[\([^]]*\)\].*/\1/p' "$minizip/configure.ac")
pc minizip "$version" "-lminizip -lz" ""

# FreeXL: its source includes "config.h" (the version is all it takes from there) and, on
# Windows, <localcharset.h>, of which it uses nothing.
freexl=$(echo "$work"/src/freexl-*)
version=$(sed -n 's/^AC_INIT(FreeXL, \([^,]*\),.*/\1/p' "$freexl/configure.ac")
mkdir "$work/freexl"
printf '#define VERSION "%s"\n' "$version" >"$work/freexl/config.h"
printf '/* FreeXL includes this on Windows and uses nothing of it. */\n' \
    >"$work/freexl/localcharset.h"
"$cc" -O2 -I"$work/freexl" -I"$here" -I"$freexl/headers" -c "$freexl/src/freexl.c" \
    -o "$work/freexl/freexl.o"
"$cc" -O2 -Wall -Wextra -Werror -c "$here/iconv.c" -o "$work/freexl/iconv.o"
rm -f "$sysroot/lib/libfreexl.a"
"$host-ar" rcs "$sysroot/lib/libfreexl.a" "$work/freexl/freexl.o" "$work/freexl/iconv.o"
cp "$freexl/headers/freexl.h" "$sysroot/include/"
pc freexl "$version" -lfreexl ""
