#pragma once

#include "export/WorkbookWriter.h"

#include <QString>

// Reads a finished workbook file back. The spreadsheet library does not look at the result of
// its writes to its working files, so a full disk can cut the sheet short in a file it reports
// as complete; counting the cells that made it into the file shows it.
namespace WorkbookCheck {

// Fails with AppError unless the file is a workbook whose first sheet is whole and holds the
// cells written, its last one in the last row written. Rows are not counted: a row without a
// cell has no element in the sheet.
void verify(const QString& path, const WorkbookWriter::Written& written);

} // namespace WorkbookCheck
