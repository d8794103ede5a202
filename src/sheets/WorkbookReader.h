#pragma once

#include "sheets/SheetTable.h"

#include <QString>
#include <QStringList>
#include <memory>

// A spreadsheet file opened for reading: its sheets by name, each read whole on demand. The
// kind of file is told by its content, not its name (the program's own export writes a
// workbook named ".xls"): an Office Open XML workbook, a BIFF workbook, else, for a name
// ending ".csv" or ".txt", comma-separated text. Every failure is an AppError whose text
// says what is wrong with the file.
class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;

    virtual QStringList sheetNames() const = 0;
    // The sheet at `index` of sheetNames(), with its cells as the file holds them: numbers
    // as numbers, texts as texts.
    virtual SheetTable readSheet(int index) = 0;

    static std::unique_ptr<WorkbookReader> open(const QString& path);
    // The names the open dialog offers.
    static QString fileFilter();
};
