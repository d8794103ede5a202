#include "ledger/SalesSummary.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <vector>

namespace {

struct Group {
    SalesSummary::Row row;
    QSet<QString> bills;
    QString lastBill; // a bill's rows mostly come together: counted once
    QDate month;
};

// The group's name, and the key it is counted under.
std::pair<QString, QString> groupOf(const DeliveryRows& rows, int row, const QDate& date,
                                    SalesSummary::Grouping grouping, int contact, int code,
                                    int goods) {
    switch (grouping) {
    case SalesSummary::Grouping::Month: {
        const QString month = QStringLiteral("%1年%2月").arg(date.year()).arg(date.month());
        return {month, month};
    }
    case SalesSummary::Grouping::Customer: {
        const QString name = rows.text(row, contact);
        return {name, Ledger::asciiFolded(name)};
    }
    case SalesSummary::Grouping::Goods:
        break;
    }
    const QString codeText = rows.text(row, code);
    const QString name = rows.text(row, goods);
    const QString shown = codeText.isEmpty() ? name : codeText + u' ' + name;
    return {shown, Ledger::asciiFolded(codeText) + u'\n' + name};
}

} // namespace

SalesSummary SalesReader::read(const QDate& from, const QDate& to,
                               SalesSummary::Grouping grouping) const {
    Dataset list(connection_, QStringLiteral("SalesRows"));
    list.setQuery(Query::all(QStringLiteral("表3")));
    const DeliveryRows rows(list);
    const int bill = rows.field(QStringLiteral("单据编号"));
    const int contact = rows.field(QStringLiteral("联系人"));
    const int code = rows.field(QStringLiteral("商品编码"));
    const int goods = rows.field(QStringLiteral("商品名称"));
    const int quantity = rows.field(QStringLiteral("数量"));
    const int amount = rows.field(QStringLiteral("应收金额"));

    QHash<QString, qsizetype> indexOf;
    std::vector<Group> groups;
    QSet<QString> allBills;
    QString lastBill;
    SalesSummary summary;
    summary.grouping = grouping;
    for (int row = 0; row < rows.count(); ++row) {
        const QDate date = rows.date(row);
        if (!date.isValid() || date < from || date > to)
            continue;
        const auto [name, key] = groupOf(rows, row, date, grouping, contact, code, goods);
        auto found = indexOf.find(key);
        if (found == indexOf.end()) {
            found = indexOf.insert(key, static_cast<qsizetype>(groups.size()));
            groups.push_back({{name, 0, 0, 0}, {}, {}, QDate(date.year(), date.month(), 1)});
        }
        Group& group = groups[static_cast<size_t>(*found)];
        const QString billKey = Ledger::asciiFolded(rows.text(row, bill));
        if (billKey != group.lastBill || group.bills.isEmpty()) {
            group.bills.insert(billKey);
            group.lastBill = billKey;
        }
        if (billKey != lastBill || allBills.isEmpty()) {
            allBills.insert(billKey);
            lastBill = billKey;
        }
        const qint64 items = rows.tenThousandths(row, quantity);
        const qint64 due = rows.tenThousandths(row, amount);
        Ledger::addTo(group.row.quantity, items);
        Ledger::addTo(group.row.amount, due);
        Ledger::addTo(summary.total.quantity, items);
        Ledger::addTo(summary.total.amount, due);
    }
    std::stable_sort(groups.begin(), groups.end(), [grouping](const Group& a, const Group& b) {
        if (grouping == SalesSummary::Grouping::Month)
            return a.month < b.month;
        if (a.row.amount != b.row.amount)
            return a.row.amount > b.row.amount;
        return a.row.group < b.row.group;
    });
    for (Group& group : groups) {
        group.row.bills = static_cast<int>(group.bills.size());
        summary.rows.append(group.row);
    }
    summary.total.group = QStringLiteral("合计");
    summary.total.bills = static_cast<int>(allBills.size());
    return summary;
}
