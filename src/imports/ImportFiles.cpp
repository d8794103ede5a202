#include "imports/ImportFiles.h"

#include "export/SpreadsheetFile.h"

namespace ImportFiles {

QString withSuffix(const QString& chosen) {
    return chosen.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)
               ? chosen
               : chosen + QStringLiteral(".xlsx");
}

void writeTemplate(ImportTarget target, const QString& fileName) {
    QStringList headings;
    for (const ImportFields::Field& field : ImportFields::fields(target))
        headings.append(field.heading);
    SpreadsheetFile::writeTable(headings, {}, fileName);
}

void writeSkipped(const SheetTable& sheet, qsizetype header, const ImportPlan& plan,
                  const QList<ImportWriter::Skipped>& skipped, const QString& fileName) {
    const QStringList fileHeadings = ImportFields::headers(sheet.rows.value(header));
    qsizetype width = fileHeadings.size();
    for (const ImportWriter::Skipped& skip : skipped)
        width = qMax(width, sheet.rows[plan.rows()[skip.planRow].source].cells.size());
    QStringList headings{QStringLiteral("行号")};
    for (qsizetype c = 0; c < width; ++c)
        headings.append(fileHeadings.value(c));
    headings.append(QStringLiteral("原因"));
    QList<QList<SheetCell>> rows;
    for (const ImportWriter::Skipped& skip : skipped) {
        const ImportPlan::Row& row = plan.rows()[skip.planRow];
        const SheetTable::Row& source = sheet.rows[row.source];
        QList<SheetCell> cells{SheetCell::ofNumber(row.sheetRow)};
        for (qsizetype c = 0; c < width; ++c) {
            const SheetTable::Cell& cell = source.cell(c);
            cells.append(cell.kind == SheetTable::Cell::Number ? SheetCell::ofNumber(cell.number)
                                                               : SheetCell::ofText(cell.text));
        }
        cells.append(SheetCell::ofText(skip.reason));
        rows.append(cells);
    }
    SpreadsheetFile::writeTable(headings, rows, fileName);
}

} // namespace ImportFiles
