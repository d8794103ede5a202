#pragma once

#include "sheets/SheetTable.h"

// Puts a sheet together cell by cell as a reader finds them, within the bounds of a real
// spreadsheet: a file claiming a cell beyond them, or holding more cells than an import can
// sensibly take, fails with a message instead of filling memory.
class SheetBuilder {
public:
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr qint64 kMaxCells = 5000000;

    // Starts the row the sheet numbers `number` (from 1).
    void startRow(qint64 number);
    // A cell of the current row; `column` counts from 0. Empty cells take no room.
    void add(qint64 column, SheetTable::Cell cell);
    // The sheet read; rows without a cell are left out.
    SheetTable take();

private:
    void endRow();

    SheetTable table_;
    SheetTable::Row row_;
    qint64 cells_ = 0;
};
