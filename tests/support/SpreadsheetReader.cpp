#include "SpreadsheetReader.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// Debian's interpreter carries the openpyxl package; another python3 earlier on PATH may not.
QString python() {
    return QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3")
                                             : QStringLiteral("python3");
}

const char* const kScript = R"(
import json, sys, openpyxl
from openpyxl.utils.escape import unescape
with open(sys.argv[1], 'rb') as f:
    book = openpyxl.load_workbook(f, read_only=True)
    rows = []
    for row in book.worksheets[0].iter_rows(values_only=True):
        rows.append(['' if v is None else unescape(v) if isinstance(v, str)
                     else '<%s:%s>' % (type(v).__name__, v) for v in row])
    print(json.dumps({'sheets': len(book.worksheets), 'rows': rows}))
)";

} // namespace

SpreadsheetReader SpreadsheetReader::read(const QString& file) {
    QProcess process;
    process.start(python(), {"-c", kScript, file});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << process.readAllStandardError();
        return {};
    }
    const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    SpreadsheetReader book;
    book.sheets = result["sheets"].toInt();
    for (const QJsonValue& row : result["rows"].toArray()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells.append(cell.toString());
        book.rows.append(cells);
    }
    return book;
}
