#include "sheets/SheetTable.h"

SheetTable::Cell SheetTable::Cell::ofText(const QString& text) {
    Cell cell;
    if (!text.isEmpty()) {
        cell.kind = Text;
        cell.text = text;
    }
    return cell;
}

SheetTable::Cell SheetTable::Cell::ofNumber(double value) {
    Cell cell;
    cell.kind = Number;
    cell.number = value;
    return cell;
}

const SheetTable::Cell& SheetTable::Row::cell(qsizetype column) const {
    static const Cell empty;
    return column >= 0 && column < cells.size() ? cells[column] : empty;
}
