#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, finding the Qt DLLs and plugins in the sysroot:
# wine-run.sh SYSROOT PROGRAM [ARGUMENT...]. The build names it as its cross-compiling emulator,
# so ctest runs each test through it. WINEPREFIX names the prefix (make-prefix.sh makes one);
# run-tests.sh also sets DISPLAY and QT_QPA_PLATFORM=windows.
set -euo pipefail
sysroot=$1
shift
: "${WINEPREFIX:?wine-run.sh: WINEPREFIX names no prefix (scripts/windows/make-prefix.sh makes one)}"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPATH
WINEPATH=$(windows_path "$sysroot/bin")
export QT_PLUGIN_PATH
QT_PLUGIN_PATH=$(windows_path "$sysroot/plugins")
# Qt Test writes its results to the debugger unless told to write them to the console, which a
# Wine program started from a script does not have.
export QT_FORCE_STDERR_LOGGING=1
# Wine keeps Linux's QT_ variables from Windows programs; each reaches them as WINEQT_ (as
# PATH as WINEPATH).
while IFS= read -r name; do
    export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_')
exec wine "$@"
