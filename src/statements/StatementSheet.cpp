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
    // With details the bill totals' column holds the account; without, the balance column.
    const qsizetype account =
        headings.indexOf(details ? QStringLiteral("单据金额") : QStringLiteral("余额"));
    QList<QList<SheetCell>> cells;
    QList<SheetCell> opening(headings.size());
    opening[0] = SheetCell::ofDate(statement.from);
    opening[2] = SheetCell::ofText(QStringLiteral("期初余额"));
    opening[account] = SheetCell::ofMoney(yuan(statement.opening));
    cells.append(opening);
    qint64 balance = statement.opening;
    for (const StatementReport::Entry& entry : StatementReport::entries(statement)) {
        QList<SheetCell> line(headings.size());
        line[0] = SheetCell::ofDate(entry.date);
        if (entry.receipt) {
            balance -= entry.receipt->amount;
            line[2] = SheetCell::ofText(StatementReport::receiptText(*entry.receipt));
            if (details) {
                line[account] = SheetCell::ofMoney(yuan(-entry.receipt->amount));
            } else {
                line[4] = SheetCell::ofMoney(yuan(entry.receipt->amount));
                line[account] = SheetCell::ofMoney(yuan(balance));
            }
            cells.append(line);
            continue;
        }
        const Statement::Bill& bill = *entry.bill;
        balance += bill.total;
        line[1] = SheetCell::ofText(bill.number);
        if (details) {
            line[account] = SheetCell::ofMoney(yuan(bill.total));
        } else {
            line[2] = SheetCell::ofText(QStringLiteral("送货 %1 项").arg(bill.items.size()));
            line[3] = SheetCell::ofMoney(yuan(bill.total));
            line[account] = SheetCell::ofMoney(yuan(balance));
        }
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
    for (const auto& [caption, amount] :
         {std::pair{QStringLiteral("本期送货"), statement.total},
          std::pair{QStringLiteral("本期收款"), statement.received},
          std::pair{QStringLiteral("期末欠款"), statement.closing()}}) {
        QList<SheetCell> sum(headings.size());
        sum[0] = SheetCell::ofText(caption);
        sum[account] = SheetCell::ofMoney(yuan(amount));
        cells.append(sum);
    }
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
