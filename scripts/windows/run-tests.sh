#!/usr/bin/env bash
# The Windows stage of the tests: runs the Windows build's suite under Wine and checks its
# installer (check-installer.sh). Fresh 64-bit prefixes in temporary folders (make-prefix.sh,
# with AR PL UMing as SimSun), an Xvfb display for the windows platform (under Wine the
# offscreen platform spins in its font database). Windows keeps the user's settings in the
# prefix, which test programs run in it share: the suite runs as two halves side by side, each
# in a prefix of its own, one test program at a time in each.
# run-tests.sh BUILD_DIR SETUP_EXE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: run-tests.sh BUILD_DIR SETUP_EXE}" && pwd)
setup=$(realpath "${2:?usage: run-tests.sh BUILD_DIR SETUP_EXE}")

work=$(mktemp -d)
xvfbs=()
prefix=
second=
host_tools=
cleanup() {
    for p in "$prefix" "$second"; do
        if [ -n "$p" ]; then
            WINEPREFIX=$p wineserver -k 2>/dev/null || true
            rm -rf "$p"
        fi
    done
    for x in "${xvfbs[@]}"; do
        kill "$x" 2>/dev/null || true
    done
    [ -z "$host_tools" ] || kill "$host_tools" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own for each half (the tests paste through the clipboard, which a display's
# programs share): Xvfb picks a free number and writes it. Prints ":NUMBER".
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display$1" 2>"$work/xvfb$1.log" &
    xvfbs+=($!)
    for _ in $(seq 100); do
        [ -s "$work/display$1" ] && break
        sleep 0.1
    done
    [ -s "$work/display$1" ] || {
        cat "$work/xvfb$1.log" >&2
        echo "run-tests.sh: no Xvfb display" >&2
        exit 1
    }
}
start_display 1
start_display 2
export DISPLAY=:$(cat "$work/display1")
second_display=:$(cat "$work/display2")

bash "$here/make-prefix.sh" "$build" >"$work/second" &
prefix=$(bash "$here/make-prefix.sh" "$build")
wait $!
second=$(cat "$work/second")
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
export CUPS_SERVER=/nonexistent/cups.sock
started=$(date +%s)
half() { # HALF PREFIX DISPLAY: every second test from HALF on
    WINEPREFIX=$2 DISPLAY=$3 ctest --test-dir "$build" --output-on-failure -I "$1,,2" \
        >"$work/half$1.log" 2>&1
}
half 1 "$prefix" "$DISPLAY" &
first_half=$!
status=0
half 2 "$second" "$second_display" || status=1
wait $first_half || status=1
tested=$(date +%s)
cat "$work/half1.log" "$work/half2.log"
unset CUPS_SERVER
if [ "$status" -eq 0 ]; then
    bash "$here/check-installer.sh" "$setup" || status=1
fi
checked=$(date +%s)
# FIELD 1: failed, 2: ran, summed over both halves.
count() {
    sed -n "s/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\\$1/p" "$work"/half*.log |
        awk '{ sum += $1 } END { print sum + 0 }'
}
failed=$(count 1)
ran=$(count 2)
echo "Windows stage: $ran test programs ran under Wine in $((tested - started)) s; the installer" \
    "check took $((checked - tested)) s"
if [ -n "${DN_STAGE_STARTED:-}" ]; then
    echo "Windows stage took $((checked - DN_STAGE_STARTED)) s in all (build and installer included)"
fi
echo "Windows: $((ran - failed)) passed, $failed failed"
exit "$status"
