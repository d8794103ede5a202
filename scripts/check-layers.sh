#!/usr/bin/env bash
# Fails when a source includes a layer it must not know: data/ and report/ know no widgets,
# ui/ and platform/ know no data layer, report/ knows no data layer, sheets/ knows neither widgets
# nor the data layer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
status=0
check() {
    local folder=$1 pattern=$2 why=$3 hits
    hits=$(grep -rnE "^#include [<\"]($pattern)" "src/$folder" || true)
    if [ -n "$hits" ]; then
        printf '%s\n' "$hits"
        echo "src/$folder: $why" >&2
        status=1
    fi
}
widgets='Q(Widget|Dialog|MessageBox|Label|LineEdit|ComboBox|PushButton|Printer|PrintDialog|Application|FileDialog|Menu|TableView|ScrollArea)\b|QtWidgets|QtPrintSupport'
check data "$widgets" "the data layer includes a widget header"
check report "$widgets" "the report engine includes a widget header"
check report 'data/' "the report engine includes the data layer"
check ui 'data/' "ui includes the data layer"
check platform 'data/' "platform includes the data layer"
check sheets "$widgets|data/" "the spreadsheet readers include a widget header or the data layer"
exit $status
