#pragma once

#include <QString>

// Reads a finished workbook file back. The spreadsheet library does not look at the result of
// its writes to its working files, so a full disk can cut the sheet short in a file it reports
// as complete; counting the rows that made it into the file shows it.
namespace WorkbookCheck {

// Fails with AppError unless the file is a workbook whose first sheet is whole and holds that
// many rows.
void verify(const QString& path, int rows);

} // namespace WorkbookCheck
