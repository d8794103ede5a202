#include "ledger/SalesSummary.h"

#include "data/Dataset.h"
#include "ledger/Customers.h"
#include "ledger/DeliveryRows.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

struct Group {
    SalesSummary::Row row;
    QSet<QString> bills;
    QString lastBill; // a bill's rows mostly come together: counted once
    QDate month;
    Customer customer;
};

struct Fields {
    int bill, contact, address, telephone, code, goods, unit, quantity, amount;
};

QString monthName(const QDate& month) {
    return QStringLiteral("%1年%2月").arg(month.year()).arg(month.month());
}

// The group's name, and the key it is counted under.
std::pair<QString, QString> groupOf(const DeliveryRows& rows, int row, const QDate& date,
                                    SalesSummary::Grouping grouping, const Fields& f,
                                    const std::optional<Customers>& customers, Customer& customer) {
    switch (grouping) {
    case SalesSummary::Grouping::Month: {
        const QString month = monthName(date);
        return {month, month};
    }
    case SalesSummary::Grouping::Customer:
        customer = customers->ownerOf(rows.text(row, f.contact), rows.text(row, f.address),
                                      rows.text(row, f.telephone));
        return {customer.contact, customer.key()};
    case SalesSummary::Grouping::Goods:
        break;
    }
    const QString codeText = rows.text(row, f.code);
    const QString name = rows.text(row, f.goods);
    const QString unit = rows.text(row, f.unit);
    const QString shown = codeText.isEmpty() ? name : codeText + u' ' + name;
    return {shown, Ledger::asciiFolded(codeText) + u'\n' + name + u'\n' + unit};
}

// Two customers of one contact are told apart by their address (or telephone).
void nameCustomers(std::vector<Group>& groups) {
    QHash<QString, int> uses;
    for (const Group& group : groups)
        ++uses[Ledger::asciiFolded(group.customer.contact)];
    for (Group& group : groups) {
        if (uses.value(Ledger::asciiFolded(group.customer.contact)) < 2)
            continue;
        const QString where =
            !group.customer.address.isEmpty() ? group.customer.address : group.customer.telephone;
        group.row.group = group.customer.contact +
                          QStringLiteral("（%1）").arg(
                              group.customer.listed ? where : QStringLiteral("客户信息中没有"));
    }
}

} // namespace

SalesSummary SalesReader::read(const QDate& from, const QDate& to,
                               SalesSummary::Grouping grouping) const {
    Dataset list(connection_, QStringLiteral("SalesRows"));
    list.setQuery(Query::all(QStringLiteral("表3")));
    const DeliveryRows rows(list);
    const Fields f{rows.field(QStringLiteral("单据编号")), rows.field(QStringLiteral("联系人")),
                   rows.field(QStringLiteral("单位地址")), rows.field(QStringLiteral("联系电话")),
                   rows.field(QStringLiteral("商品编码")), rows.field(QStringLiteral("商品名称")),
                   rows.field(QStringLiteral("单位")),     rows.field(QStringLiteral("数量")),
                   rows.field(QStringLiteral("应收金额"))};
    std::optional<Customers> customers;
    if (grouping == SalesSummary::Grouping::Customer)
        customers.emplace(connection_);

    QHash<QString, qsizetype> indexOf;
    std::vector<Group> groups;
    const auto groupFor = [&](const QString& name, const QString& key, const QDate& month) {
        auto found = indexOf.find(key);
        if (found == indexOf.end()) {
            found = indexOf.insert(key, static_cast<qsizetype>(groups.size()));
            Group group;
            group.row.group = name;
            group.month = month;
            groups.push_back(group);
        }
        return *found;
    };
    // Every month of the period has its row, sales or none.
    if (grouping == SalesSummary::Grouping::Month && from <= to)
        for (QDate month(from.year(), from.month(), 1); month <= to; month = month.addMonths(1))
            groupFor(monthName(month), monthName(month), month);

    QSet<QString> allBills;
    QString lastBill;
    QSet<QString> units;
    SalesSummary summary;
    summary.grouping = grouping;
    for (int row = 0; row < rows.count(); ++row) {
        const QDate date = rows.date(row);
        if (!date.isValid() || date < from || date > to)
            continue;
        Customer customer;
        const auto [name, key] = groupOf(rows, row, date, grouping, f, customers, customer);
        Group& group =
            groups[static_cast<size_t>(groupFor(name, key, QDate(date.year(), date.month(), 1)))];
        if (grouping == SalesSummary::Grouping::Customer)
            group.customer = customer;
        if (grouping == SalesSummary::Grouping::Goods) {
            group.row.unit = rows.text(row, f.unit);
            group.row.counted = true;
            units.insert(group.row.unit);
        }
        const QString billKey = Ledger::asciiFolded(rows.text(row, f.bill));
        if (billKey != group.lastBill || group.bills.isEmpty()) {
            group.bills.insert(billKey);
            group.lastBill = billKey;
        }
        if (billKey != lastBill || allBills.isEmpty()) {
            allBills.insert(billKey);
            lastBill = billKey;
        }
        const qint64 items = rows.tenThousandths(row, f.quantity);
        const qint64 due = rows.tenThousandths(row, f.amount);
        Ledger::addTo(group.row.quantity, items);
        Ledger::addTo(group.row.amount, due);
        Ledger::addTo(summary.total.quantity, items);
        Ledger::addTo(summary.total.amount, due);
    }
    if (grouping == SalesSummary::Grouping::Customer)
        nameCustomers(groups);
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
    // Quantities of different units do not add up to anything.
    summary.total.counted = units.size() == 1;
    if (summary.total.counted)
        summary.total.unit = *units.cbegin();
    else
        summary.total.quantity = 0;
    return summary;
}
