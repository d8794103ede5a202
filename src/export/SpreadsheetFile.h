#pragma once

#include "export/SheetCell.h"

#include <QList>
#include <QString>
#include <QStringList>

class Dataset;
class ExportProgress;

// A list as a spreadsheet file: row 1 the field names in query order, then one row per record
// with every field's text as the data set gives it, each cell a text cell.
namespace SpreadsheetFile {

// Writes the file beside the given name and renames it into place once complete, replacing
// an existing file; on failure (AppError naming the file) nothing is left under the name.
void write(const Dataset& data, const QString& fileName, ExportProgress& progress);

// A table the caller has put together: first the preface, one text per row (what the table
// is of), then the headings as text cells, then the rows as given. Written and replaced the
// same way as a list.
void writeTable(const QStringList& headings, const QList<QList<SheetCell>>& rows,
                const QString& fileName, const QStringList& preface = {});

} // namespace SpreadsheetFile
