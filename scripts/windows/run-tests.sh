#!/usr/bin/env bash
# The Windows stage of the tests: runs the Windows build's suite under Wine and checks its
# installer (check-installer.sh). A fresh 64-bit prefix in a temporary folder (make-prefix.sh,
# with Noto Serif CJK as SimSun), an Xvfb display for the windows platform (under Wine the
# offscreen platform spins in its font database), and one test program at a time: Windows keeps
# the user's settings in the prefix, which every test program shares.
# run-tests.sh BUILD_DIR SETUP_EXE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: run-tests.sh BUILD_DIR SETUP_EXE}" && pwd)
setup=$(realpath "${2:?usage: run-tests.sh BUILD_DIR SETUP_EXE}")

work=$(mktemp -d)
xvfb=
prefix=
host_tools=
cleanup() {
    if [ -n "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    [ -z "$host_tools" ] || kill "$host_tools" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "run-tests.sh: no Xvfb display" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")

prefix=$(bash "$here/make-prefix.sh")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
sysroot=$(sed -n 's/^WINDOWS_SYSROOT:[A-Z]*=//p' "$build/CMakeCache.txt")

# The tests read what the program wrote with Linux tools (poppler-utils, python3 with openpyxl),
# which a Windows program under Wine cannot start: host-tools.py runs them for it.
mkdir "$work/spool"
python3 "$here/host-tools.py" "$work/spool" &
host_tools=$!
export DN_HOST_TOOLS="Z:${work//\//\\}\\spool"

# The empty database beside the programs, as the Linux build has it (the program never makes one).
[ -s "$build/bin/data.mdb" ] ||
    "$here/wine-run.sh" "$sysroot" "$build/bin/make-empty-db.exe" "Z:${build//\//\\}\\bin\\data.mdb"

# Wine would show the Linux print queues (CUPS) as printers, and the tests' print dialogs would
# then be the system's, which no test can drive: the suite runs on a desk without printers, as
# it runs on Linux without the queues' test variables.
started=$(date +%s)
CUPS_SERVER=/nonexistent/cups.sock ctest --test-dir "$build" --output-on-failure -j 1 | tee "$work/ctest.log"
tested=$(date +%s)
bash "$here/check-installer.sh" "$setup"
ran=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$work/ctest.log")
echo "Windows stage: $ran test programs ran under Wine in $((tested - started)) s;" \
    "the installer check took $(($(date +%s) - tested)) s"
