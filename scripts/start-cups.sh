#!/bin/sh
# Starts the print service with PDF queues for the printing tests. Run as root; safe to run
# again. Prints three lines: the queue name, the folder where the PDF files of both queues
# appear, and the name of a second queue whose driver knows only its listed paper sizes (no
# custom size, so it refuses the note's 190 x 265 mm), e.g.
#   export NOTE_TEST_PRINTER=$(scripts/start-cups.sh | sed -n 1p)
#   export NOTE_TEST_PRINTER_OUT=$(scripts/start-cups.sh | sed -n 2p)
#   export NOTE_TEST_FIXED_PAPER_PRINTER=$(scripts/start-cups.sh | sed -n 3p)
set -eu

queue=${NOTE_PRINTER_QUEUE:-NotePDF}
out=${NOTE_PRINTER_OUT:-/var/spool/cups-pdf/$queue}
fixed=${NOTE_FIXED_PAPER_QUEUE:-NoteFixedPaper}
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
# cups-pdf.conf stays as it is. Both queues write into the same folder.
want="Out $out
AnonDirName $out
Label 0
Grp lp
UserUMask 0000
AnonUMask 0000"
for name in "$queue" "$fixed"; do
    conf=/etc/cups/cups-pdf-$name.conf
    if [ ! -f "$conf" ] || [ "$(cat "$conf")" != "$want" ]; then
        printf '%s\n' "$want" >"$conf"
    fi
done

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
if ! lpstat -p "$fixed" >/dev/null 2>&1; then
    # The same driver without its custom page size and variable paper entries.
    fixedppd=$(mktemp)
    sed -e '/^\*VariablePaperSize/d' -e '/^\*MaxMedia/d' -e '/^\*NonUIOrderDependency.*CustomPageSize/d' \
        -e '/^\*CustomPageSize/,/^\*End/d' -e '/^\*ParamCustomPageSize/d' "$ppd" >"$fixedppd"
    lpadmin -p "$fixed" -v "cups-pdf:/$fixed" -P "$fixedppd" -E >/dev/null 2>&1
    rm -f "$fixedppd"
fi
for name in "$queue" "$fixed"; do
    cupsenable "$name" >/dev/null 2>&1 || true
    cupsaccept "$name" >/dev/null 2>&1 || true
done
# Without a default the first queue by name would serve as one; keep the note's queue there.
if lpstat -d 2>/dev/null | grep -q "no system default"; then
    lpadmin -d "$queue" >/dev/null 2>&1 || true
fi

echo "$queue"
echo "$out"
echo "$fixed"
