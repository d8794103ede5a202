#!/usr/bin/env bash
# Checks the Debian package as a business would meet it (as root): it holds exactly the
# program, its menu entry, icons, metainfo and the empty database; installed, the program's
# first start with a new HOME makes the user's data folder and a database that opens with the
# password and has the five tables; a second start keeps that database; removing the package
# leaves no file of it behind.
set -euo pipefail
deb=$1
app=com.example.DeliveryNote
key=460218735091

fail() {
    echo "check-package: $*" >&2
    exit 1
}

want="./usr/bin/delivery-note
./usr/share/applications/$app.desktop
./usr/share/delivery-note/data.mdb
./usr/share/icons/hicolor/256x256/apps/$app.png
./usr/share/icons/hicolor/48x48/apps/$app.png
./usr/share/icons/hicolor/scalable/apps/$app.svg
./usr/share/metainfo/$app.metainfo.xml"
have=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$have" = "$want" ] || fail "the package holds:
$have"

work=$(mktemp -d)
# A failed check leaves nothing installed either.
cleanup() {
    if dpkg-query -W -f='${Status}' delivery-note 2>/dev/null | grep -q 'install ok installed'; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -q delivery-note >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app.metainfo.xml" >&2
desktop-file-validate "$work/root/usr/share/applications/$app.desktop"
grep -qx 'Name=澄朔送货单打印软件' "$work/root/usr/share/applications/$app.desktop" ||
    fail "the menu entry has another name"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$(realpath "$deb")" >&2
[ "$(command -v delivery-note)" = /usr/bin/delivery-note ] || fail "no /usr/bin/delivery-note"

# Starts the installed program as the menu entry does, with HOME as given, waits for its
# database, lets it run a moment (it must still be up: a failing start ends it), then ends it.
start() {
    local home=$1 exec_line pid tries=0
    exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$app.desktop)
    (cd / && exec env HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen \
        $exec_line >"$work/program.log" 2>&1) &
    pid=$!
    until [ -s "$home/.local/share/$app/data.mdb" ]; do
        tries=$((tries + 1))
        [ $tries -le 200 ] || { kill "$pid"; fail "no database after 20 s"; }
        kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
        sleep 0.1
    done
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

sql() {
    printf "PRAGMA key='%s';\n%s\n" "$key" "$2" | sqlcipher "$1" | { grep -v '^ok$' || true; }
}

home="$work/home"
mkdir -p "$home"
start "$home"
db="$home/.local/share/$app/data.mdb"
tables=$(sql "$db" "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name);")
[ "$tables" = "_meta,客户信用,收款,收款核销,表1,表2,表3,表4,表5" ] || fail "the database holds the tables: $tables"
[ ! -e /usr/bin/data.mdb ] || fail "a database appeared in /usr/bin"

sql "$db" "INSERT INTO 表1 (商品编码) VALUES ('第一次');" >/dev/null
start "$home"
[ "$(sql "$db" "SELECT 商品编码 FROM 表1;")" = "第一次" ] || fail "the second start replaced the database"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q delivery-note >&2
if dpkg-query -W -f='${Status}' delivery-note 2>/dev/null | grep -q 'install ok installed'; then
    fail "the package is still installed"
fi
for f in $want; do
    [ ! -e "${f#.}" ] || fail "${f#.} is left after removal"
done
echo "check-package: $(basename "$deb") ok"
