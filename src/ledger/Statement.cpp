#include "ledger/Statement.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"

#include <QHash>
#include <algorithm>

namespace {

const QString kDeliveries = QStringLiteral("表3");
const QString kContact = QStringLiteral("联系人");

} // namespace

QStringList StatementReader::customers() const {
    Dataset list(connection_, QStringLiteral("StatementCustomers"));
    list.setQuery(Query::distinct(kDeliveries, kContact));
    list.open();
    QStringList names;
    for (int row = 0; row < list.recordCount(); ++row) {
        const QString name = list.text(row, 0);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

Statement StatementReader::read(const QString& customer, const QDate& from, const QDate& to) const {
    Statement statement;
    statement.customer = customer;
    statement.from = from;
    statement.to = to;

    Dataset list(connection_, QStringLiteral("StatementRows"));
    list.setQuery(Query::equal(kDeliveries, kContact, customer));
    const DeliveryRows rows(list);
    const int number = rows.field(QStringLiteral("单据编号"));
    const int goods = rows.field(QStringLiteral("商品名称"));
    const int model = rows.field(QStringLiteral("规格型号"));
    const int unit = rows.field(QStringLiteral("单位"));
    const int price = rows.field(QStringLiteral("单价"));
    const int quantity = rows.field(QStringLiteral("数量"));
    const int amount = rows.field(QStringLiteral("应收金额"));

    // Bill numbers group as the bill selection takes them: ASCII case ignored.
    QHash<QString, qsizetype> billOf;
    for (int row = 0; row < rows.count(); ++row) {
        const QDate date = rows.date(row);
        if (!date.isValid() || date < from || date > to)
            continue;
        const QString text = rows.text(row, number);
        const QString key = Ledger::asciiFolded(text);
        auto found = billOf.find(key);
        if (found == billOf.end()) {
            found = billOf.insert(key, statement.bills.size());
            statement.bills.append(Statement::Bill{date, text, {}, 0});
        }
        Statement::Bill& bill = statement.bills[*found];
        bill.date = std::min(bill.date, date);
        bill.items.append({rows.text(row, goods), rows.text(row, model), rows.text(row, unit),
                           list.number(row, price), list.number(row, quantity),
                           list.number(row, amount)});
        const qint64 due = rows.tenThousandths(row, amount);
        Ledger::addTo(bill.total, due);
        Ledger::addTo(statement.total, due);
    }
    std::stable_sort(statement.bills.begin(), statement.bills.end(),
                     [](const Statement::Bill& a, const Statement::Bill& b) {
                         if (a.date != b.date)
                             return a.date < b.date;
                         return a.number < b.number;
                     });
    return statement;
}
