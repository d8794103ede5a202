#include "SpreadsheetReader.h"

#include "HostTool.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
    rows, formats = [], []
    for row in book.worksheets[0].iter_rows():
        values = [getattr(c, 'value', None) for c in row]
        rows.append(['' if v is None else unescape(v) if isinstance(v, str)
                     else '<%s:%s>' % (type(v).__name__, v) for v in values])
        formats.append([getattr(c, 'number_format', 'General') or 'General' for c in row])
    print(json.dumps({'sheets': len(book.worksheets), 'rows': rows, 'formats': formats}))
)";

} // namespace

SpreadsheetReader SpreadsheetReader::read(const QString& file) {
    const HostTool reader = HostTool::run(python(), {"-c", kScript, file});
    if (!reader.ok()) {
        qWarning() << reader.err;
        return {};
    }
    const QJsonObject result = QJsonDocument::fromJson(reader.out).object();
    SpreadsheetReader book;
    book.sheets = result["sheets"].toInt();
    const auto table = [&result](const char* key) {
        QList<QStringList> rows;
        for (const QJsonValue& row : result[key].toArray()) {
            QStringList cells;
            for (const QJsonValue& cell : row.toArray())
                cells.append(cell.toString());
            rows.append(cells);
        }
        return rows;
    };
    book.rows = table("rows");
    book.formats = table("formats");
    return book;
}

QString SpreadsheetReader::columnSum(qsizetype column) const {
    double sum = 0;
    for (const QStringList& row : rows) {
        const QString cell = row.value(column);
        if (cell.startsWith("<float:") || cell.startsWith("<int:"))
            sum += cell.mid(cell.indexOf(':') + 1).chopped(1).toDouble();
    }
    QString text = QString::number(sum, 'f', 2);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.')))
        text.chop(1);
    return text;
}
