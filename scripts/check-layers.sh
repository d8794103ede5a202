#!/usr/bin/env bash
# Fails when a source includes a layer it must not know: data/ and report/ know no widgets,
# ui/ and platform/ know no data layer, report/ knows no data layer, sheets/ knows neither widgets
# nor the data layer. The database engines stay behind the data layer: the SQLite API is known
# only in data/sqlcipher/, libpq only in data/postgres/, an engine's folder only inside data/
# (and by the database settings page, which builds and tests server addresses), and nothing
# outside data/ asks which engine is in use.
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
# Hits of a pattern in src/ outside the folders and files given (grep -E patterns of paths).
check_outside() {
    local pattern=$1 allowed=$2 why=$3 hits
    hits=$(grep -rnE "$pattern" src | grep -vE "^($allowed)" || true)
    if [ -n "$hits" ]; then
        printf '%s\n' "$hits"
        echo "$why" >&2
        status=1
    fi
}
check_outside '^#include <sqlite3\.h>' 'src/data/sqlcipher/' "the SQLite API outside its engine"
check_outside '^#include <libpq-fe\.h>' 'src/data/postgres/' "libpq outside its engine"
check_outside '^#include "data/(sqlcipher|postgres)/' 'src/data/|src/app/DatabasePage\.cpp:' \
    "an engine's folder included outside the data layer"
check_outside 'EngineChoice::current|dynamic_cast<[^>]*(DatabaseFile|ServerDatabase)' 'src/data/' \
    "a test of the engine in use outside the data layer"
exit $status
