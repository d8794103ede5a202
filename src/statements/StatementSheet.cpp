#include "statements/StatementSheet.h"

#include "export/SpreadsheetFile.h"
#include "printing/StatementReport.h"

namespace {

SheetCell number(const std::optional<double>& value) {
    return value ? SheetCell::ofNumber(*value) : SheetCell();
}

SheetCell money(const std::optional<double>& value) {
    return value ? SheetCell::ofMoney(*value) : SheetCell();
}

double yuan(qint64 tenThousandths) {
    return static_cast<double>(tenThousandths) / 10000.0;
}

} // namespace

namespace StatementSheet {

void write(const Statement& statement, bool details, const QString& company,
           const QString& fileName) {
    const QStringList headings = StatementReport::headings(details);
    const qsizetype total =
        headings.indexOf(details ? QStringLiteral("单据金额") : QStringLiteral("金额"));
    QList<QList<SheetCell>> cells;
    for (const Statement::Bill& bill : statement.bills) {
        QList<SheetCell> line(headings.size());
        line[0] = SheetCell::ofDate(bill.date);
        line[1] = SheetCell::ofText(bill.number);
        if (!details)
            line[2] = SheetCell::ofNumber(static_cast<double>(bill.items.size()));
        line[total] = SheetCell::ofMoney(yuan(bill.total));
        cells.append(line);
        if (!details)
            continue;
        for (const Statement::Item& item : bill.items) {
            QList<SheetCell> line(headings.size());
            line[2] = SheetCell::ofText(item.goods);
            line[3] = SheetCell::ofText(item.model);
            line[4] = SheetCell::ofText(item.unit);
            line[5] = number(item.quantity);
            line[6] = number(item.price);
            line[7] = money(item.amount);
            cells.append(line);
        }
    }
    cells.append(QList<SheetCell>());
    QList<SheetCell> sum(headings.size());
    sum[0] = SheetCell::ofText(QStringLiteral("本期合计"));
    sum[total] = SheetCell::ofMoney(yuan(statement.total));
    cells.append(sum);
    const QStringList preface = {company, QStringLiteral("对账单"),
                                 QStringLiteral("客户名称：") +
                                     StatementReport::customerText(statement),
                                 QStringLiteral("对账期间：%1 至 %2")
                                     .arg(statement.from.toString(QStringLiteral("yyyy/M/d")),
                                          statement.to.toString(QStringLiteral("yyyy/M/d"))),
                                 QString()};
    SpreadsheetFile::writeTable(headings, cells, fileName, preface);
}

} // namespace StatementSheet
