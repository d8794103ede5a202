#pragma once

#include "imports/ImportPlan.h"
#include "imports/ImportWriter.h"

#include <QString>

// The workbooks the import writes: its template and the rows it skipped.
namespace ImportFiles {

// The chosen name, with ".xlsx" appended unless it ends so.
QString withSuffix(const QString& chosen);
// An empty workbook whose first row holds the list's column names.
void writeTemplate(ImportTarget target, const QString& fileName);
// The skipped rows, each with its number in the file, its cells as read and the reason; the
// header row of the file above them, so the sheet can be mended and imported again.
void writeSkipped(const SheetTable& sheet, qsizetype header, const ImportPlan& plan,
                  const QList<ImportWriter::Skipped>& skipped, const QString& fileName);

} // namespace ImportFiles
