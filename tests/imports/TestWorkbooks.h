#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// Spreadsheet files for the import tests, written by the real libraries: libxlsxwriter for
// workbooks, minizip for archives of hand-made parts (damaged and hostile ones).
namespace TestWorkbooks {

// A sheet: its name and rows; a QString cell is a text cell, a number a number cell, an
// invalid QVariant no cell.
using Rows = QList<QVariantList>;
struct Sheet {
    QString name;
    Rows rows;
};

// Through libxlsxwriter; constantMemory writes its texts inline rather than shared.
void writeXlsx(const QString& path, const QList<Sheet>& sheets, bool constantMemory = false);

// An archive of the given parts with the smallest workbook around them: the sheet's part is
// "xl/worksheets/sheet1.xml".
void writeParts(const QString& path, const QList<QPair<QString, QByteArray>>& parts);
QList<QPair<QString, QByteArray>> workbookParts(const QByteArray& sheetXml);

// A workbook whose sheet unpacks to `bytes` bytes of XML, squeezed into a few hundred KB.
void writeBomb(const QString& path, qint64 bytes);

} // namespace TestWorkbooks
