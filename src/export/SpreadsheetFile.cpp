#include "export/SpreadsheetFile.h"

#include "base/AppError.h"
#include "data/Dataset.h"
#include "data/DateText.h"
#include "export/ExportProgress.h"
#include "export/SheetWriterThread.h"
#include "export/WorkbookWriter.h"
#include "platform/PendingFile.h"

#include <QDir>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Rows handed to the writing thread at a time; progress is shown after each.
constexpr int kBatchRows = 1000;

// A number column's value exactly as the list reads it, a business date as a date; a value
// such a column holds that is no number or date goes over as the text it is.
SheetCell cellOf(const Dataset& data, int row, int column) {
    const QString text = data.text(row, column);
    if (text.isEmpty())
        return {};
    switch (data.fields().at(column).kind) {
    case Dataset::Kind::Number:
        if (const std::optional<double> value = data.number(row, column);
            value && std::isfinite(*value)) {
            SheetCell cell;
            cell.kind = SheetCell::Number;
            cell.number = *value;
            return cell;
        }
        break;
    case Dataset::Kind::Date:
        if (const QDate date = DateText::parse(text); date.isValid()) {
            SheetCell cell;
            cell.kind = SheetCell::Date;
            cell.date = date;
            return cell;
        }
        break;
    case Dataset::Kind::Text:
    case Dataset::Kind::Integer:
        break;
    }
    return SheetCell::ofText(text);
}

} // namespace

namespace SpreadsheetFile {

void write(const Dataset& data, const QString& fileName, ExportProgress& progress) {
    const int rows = data.recordCount();
    if (rows >= WorkbookWriter::kRowLimit)
        throw AppError(QStringLiteral("列表有 %1 行，电子表格最多放 %2 行（含标题行），无法导出。")
                           .arg(rows)
                           .arg(WorkbookWriter::kRowLimit));
    PendingFile file(fileName);
    try {
        const QList<Dataset::Field>& fields = data.fields();
        SheetWriterThread sheet(file.path(), static_cast<int>(fields.size()));
        std::vector<SheetCell> cells;
        for (const Dataset::Field& field : fields)
            cells.push_back(SheetCell::ofText(field.name));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < fields.size(); ++column)
                cells.push_back(cellOf(data, row, column));
            if ((row + 1) % kBatchRows == 0) {
                sheet.add(std::exchange(cells, {}));
                progress.update(row + 1, rows);
            }
        }
        sheet.add(std::move(cells));
        progress.update(rows, rows);
        sheet.finish([&] { progress.update(rows, rows); });
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), e.message()));
    }
    file.commit();
}

void writeTable(const QStringList& headings, const QList<QList<SheetCell>>& rows,
                const QString& fileName, const QStringList& preface) {
    PendingFile file(fileName);
    try {
        WorkbookWriter sheet(file.path());
        const auto top = static_cast<int>(preface.size());
        for (int line = 0; line < top; ++line) {
            sheet.writeText(line, 0, preface[line]);
            if (preface[line].isEmpty())
                sheet.writeEmptyRow(line);
        }
        for (qsizetype column = 0; column < headings.size(); ++column)
            sheet.writeText(top, static_cast<int>(column), headings[column]);
        for (qsizetype row = 0; row < rows.size(); ++row) {
            const int at = top + static_cast<int>(row) + 1;
            const QList<SheetCell>& cells = rows[row];
            if (cells.isEmpty())
                sheet.writeEmptyRow(at);
            for (qsizetype column = 0; column < cells.size(); ++column) {
                const SheetCell& cell = cells[column];
                const int c = static_cast<int>(column);
                switch (cell.kind) {
                case SheetCell::Empty:
                    break;
                case SheetCell::Text:
                    sheet.writeText(at, c, cell.text);
                    break;
                case SheetCell::Number:
                    if (cell.money)
                        sheet.writeMoney(at, c, cell.number);
                    else
                        sheet.writeNumber(at, c, cell.number);
                    break;
                case SheetCell::Date:
                    sheet.writeDate(at, c, cell.date);
                    break;
                }
            }
        }
        sheet.close();
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), e.message()));
    }
    file.commit();
}

} // namespace SpreadsheetFile
