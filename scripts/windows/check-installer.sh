#!/usr/bin/env bash
# Checks the Windows installer as a business would meet it, under Wine in the prefix WINEPREFIX
# (with DISPLAY set): installs it silently (/S); the program, its Qt DLLs and plugins and the
# empty database are under Program Files, with the Start-menu entry; the installed program's
# first start makes %LOCALAPPDATA%\com.example.DeliveryNote\data.mdb, encrypted with the
# program's password and holding the five tables and those later versions added, and writes
# nothing beside itself; a second start keeps that database; the silent uninstaller removes the
# program and its menu entry and leaves the user's data folder.
# check-installer.sh SETUP_EXE
set -euo pipefail
setup=$(realpath "${1:?usage: check-installer.sh SETUP_EXE}")
: "${WINEPREFIX:?check-installer.sh: WINEPREFIX names no prefix}"
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
product=澄朔送货单打印软件
key=460218735091
drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/$product"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$product.lnk"

fail() {
    echo "check-installer: $*" >&2
    exit 1
}

sql() {
    printf "PRAGMA key='%s';\n%s\n" "$key" "$2" | sqlcipher "$1" | { grep -v '^ok$' || true; }
}

wine "$setup" /S
wineserver -w
[ -f "$folder/delivery-note.exe" ] || fail "no program under Program Files"
[ -f "$menu" ] || fail "no Start-menu entry"
want="app_icon.ico
delivery-note.exe
libgcc_s_seh-1.dll
libpq.dll
libstdc++-6.dll
libwinpthread-1.dll
plugins/platforms/qwindows.dll
plugins/styles/qwindowsvistastyle.dll
qt.conf
Qt6Core.dll
Qt6Gui.dll
Qt6PrintSupport.dll
Qt6Widgets.dll
template/data.mdb
translations/qtbase_zh_CN.qm
uninstall.exe"
have=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort -f)
[ "$have" = "$(printf '%s\n' "$want" | LC_ALL=C sort -f)" ] || fail "the program folder holds:
$have"

user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
data="$drive/users/$user/AppData/Local/com.example.DeliveryNote"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Starts the installed program as the Start-menu entry does (from its own folder), waits for its
# data folder's database, lets it run a moment (a failing start ends it), then closes its window.
start() {
    local pid tries=0
    (cd "$folder" && exec wine "C:\\Program Files\\$product\\delivery-note.exe" >"$log" 2>&1) &
    pid=$!
    until [ -s "$data/data.mdb" ]; do
        tries=$((tries + 1))
        [ $tries -le 600 ] || { kill "$pid"; fail "no database after 60 s"; }
        kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$log")"
        sleep 0.1
    done
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$log")"
    wine taskkill /im delivery-note.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        wine taskkill /f /im delivery-note.exe >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
        fail "the program did not close on its window's close"
    fi
    wait "$pid" 2>/dev/null || true
}

start
db="$data/data.mdb"
[ "$(head -c 15 "$db")" != "SQLite format 3" ] || fail "data.mdb is not encrypted"
tables=$(sql "$db" "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name);")
[ "$tables" = "_meta,客户信用,收款,收款核销,表1,表2,表3,表4,表5" ] || fail "the database holds the tables: $tables"
[ ! -e "$folder/data.mdb" ] || fail "a database appeared in the program folder"
[ -f "$drive/users/$user/Desktop/$product(增强版).lnk" ] || fail "no desktop shortcut"

sql "$db" "INSERT INTO 表1 (商品编码) VALUES ('第一次');" >/dev/null
start
[ "$(sql "$db" "SELECT 商品编码 FROM 表1;")" = "第一次" ] || fail "the second start replaced the database"

wine "$folder/uninstall.exe" /S
wineserver -w
[ ! -e "$folder" ] || fail "left after uninstalling: $(cd "$folder" && find . | head)"
[ ! -e "$menu" ] || fail "the Start-menu entry is left"
[ -s "$db" ] || fail "the uninstaller removed the user's data"
echo "check-installer: $(basename "$setup") ok"
