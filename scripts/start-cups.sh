#!/bin/sh
# Starts the print service with a PDF queue for the printing tests. Run as root; safe to run
# again. Prints two lines: the queue name and the folder where its PDF files appear, e.g.
#   export NOTE_TEST_PRINTER=$(scripts/start-cups.sh | sed -n 1p)
#   export NOTE_TEST_PRINTER_OUT=$(scripts/start-cups.sh | sed -n 2p)
set -eu

queue=${NOTE_PRINTER_QUEUE:-NotePDF}
out=${NOTE_PRINTER_OUT:-/var/spool/cups-pdf/$queue}
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

if [ "$(id -u)" -ne 0 ]; then
    echo "start-cups.sh: must run as root" >&2
    exit 1
fi
for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "start-cups.sh: $tool missing (install cups and printer-driver-cups-pdf)" >&2
        exit 1
    }
done
[ -f "$ppd" ] || { echo "start-cups.sh: $ppd missing (install printer-driver-cups-pdf)" >&2; exit 1; }

mkdir -p "$out"
chmod 0777 "$out"

# The backend reads cups-pdf-<queue>.conf for the URI cups-pdf:/<queue>; the shared
# cups-pdf.conf stays as it is.
conf=/etc/cups/cups-pdf-$queue.conf
want="Out $out
AnonDirName $out
Label 0
Grp lp
UserUMask 0000
AnonUMask 0000"
if [ ! -f "$conf" ] || [ "$(cat "$conf")" != "$want" ]; then
    printf '%s\n' "$want" >"$conf"
fi

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    mkdir -p /run/cups
    cupsd >/dev/null 2>&1
    tries=0
    until lpstat -r 2>/dev/null | grep -q "is running"; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || { echo "start-cups.sh: cupsd did not start" >&2; exit 1; }
        sleep 0.1
    done
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
    lpadmin -p "$queue" -v "cups-pdf:/$queue" -P "$ppd" -E >/dev/null 2>&1
fi
cupsenable "$queue" >/dev/null 2>&1 || true
cupsaccept "$queue" >/dev/null 2>&1 || true

echo "$queue"
echo "$out"
