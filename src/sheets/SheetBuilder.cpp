#include "sheets/SheetBuilder.h"

#include "base/AppError.h"

#include <utility>

void SheetBuilder::startRow(qint64 number) {
    endRow();
    if (number < 1 || number > kMaxRows)
        throw AppError(QStringLiteral("文件中有第 %1 行的数据，超出了表格最多 %2 行的范围，"
                                      "文件可能已损坏。")
                           .arg(number)
                           .arg(kMaxRows));
    row_.number = static_cast<int>(number);
}

void SheetBuilder::add(qint64 column, SheetTable::Cell cell) {
    if (column < 0 || column >= kMaxColumns)
        throw AppError(QStringLiteral("第 %1 行有第 %2 列的数据，超出了表格最多 %3 列的范围，"
                                      "文件可能已损坏。")
                           .arg(row_.number)
                           .arg(column + 1)
                           .arg(kMaxColumns));
    if (cell.isEmpty())
        return;
    // The empty cells before it count too: they take room all the same.
    const qint64 added = column < row_.cells.size() ? 0 : column + 1 - row_.cells.size();
    cells_ += added;
    if (cells_ > kMaxCells)
        throw AppError(QStringLiteral("文件中的数据超过 %1 万个单元格，一次导入不了，"
                                      "请分成几个文件导入。")
                           .arg(kMaxCells / 10000));
    if (added > 0)
        row_.cells.resize(column + 1);
    row_.cells[column] = std::move(cell);
}

void SheetBuilder::endRow() {
    if (!row_.cells.isEmpty())
        table_.rows.append(std::move(row_));
    row_ = {};
}

SheetTable SheetBuilder::take() {
    endRow();
    cells_ = 0;
    return std::exchange(table_, {});
}
