#include "imports/ImportPlan.h"

#include "base/AppError.h"
#include "data/NumberText.h"
#include "ledger/DeliveryRows.h"

#include <QHash>

namespace {

// Where the text holds a character no list stores, as a count of characters before it; -1
// when it holds none.
qsizetype unstorable(const QString& text) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        const QChar c = text.at(i);
        if (c.isNull())
            return characters;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return characters;
    }
    return -1;
}

QString columnName(qsizetype column) {
    QString name;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
    return name;
}

} // namespace

void ImportPlan::checkTexts(const SheetTable& sheet) {
    for (const SheetTable::Row& row : sheet.rows) {
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const qsizetype at = unstorable(row.cells[c].text);
            if (at >= 0)
                throw AppError(QStringLiteral("第 %1 行 %2 列的文字第 %3 个字符无效（空字符或"
                                              "残缺的字符），文件可能已损坏。没有导入任何内容。")
                                   .arg(row.number)
                                   .arg(columnName(c))
                                   .arg(at + 1));
        }
    }
}

QString ImportPlan::keyOf(const QString& value) {
    return Ledger::asciiFolded(value);
}

ImportPlan::ImportPlan(ImportTarget target, const SheetTable& sheet, qsizetype header,
                       const QList<int>& columns, const QSet<QString>& existingKeys)
    : target_(target) {
    const QList<ImportFields::Field>& fields = ImportFields::fields(target);
    QHash<QString, int> firstRowOf;
    for (qsizetype r = header + 1; r < sheet.rows.size(); ++r) {
        const SheetTable::Row& source = sheet.rows[r];
        Row row;
        row.sheetRow = source.number;
        row.source = r;
        bool any = false;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            const int column = f < columns.size() ? columns[f] : -1;
            const SheetTable::Cell& cell = source.cell(column);
            QString value = column < 0 ? QString() : ImportFields::cellText(cell).trimmed();
            any = any || !value.isEmpty();
            if (fields[f].number && cell.kind == SheetTable::Cell::Text && !value.isEmpty()) {
                const auto number = NumberText::parse(value);
                if (number)
                    value = NumberText::general(*number);
                else if (row.problem.isEmpty())
                    row.problem = QStringLiteral("%1“%2”不是数字").arg(fields[f].heading, value);
            }
            row.values.append(value);
        }
        // Lines with nothing in the matched columns (blank lines, a total under another
        // column) are no rows of the list.
        if (!any)
            continue;
        for (qsizetype f = 0; f < fields.size() && row.problem.isEmpty(); ++f) {
            if (fields[f].required && row.values[f].isEmpty())
                row.problem = QStringLiteral("%1为空").arg(fields[f].heading);
        }
        const QString& keyValue = row.values[ImportFields::kKeyField];
        if (!keyValue.isEmpty()) {
            const QString key = keyOf(keyValue);
            const auto first = firstRowOf.constFind(key);
            if (first != firstRowOf.constEnd() && row.problem.isEmpty())
                row.problem = QStringLiteral("%1“%2”与第 %3 行重复")
                                  .arg(fields[ImportFields::kKeyField].heading, keyValue)
                                  .arg(*first);
            else if (first == firstRowOf.constEnd())
                firstRowOf.insert(key, row.sheetRow);
            row.exists = existingKeys.contains(key);
        }
        if (!row.problem.isEmpty())
            ++problems_;
        else if (row.exists)
            ++existing_;
        rows_.append(row);
    }
}
