#include "ledger/Statement.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"
#include "ledger/PaymentBook.h"

#include <QHash>
#include <algorithm>

namespace {

const QString kDeliveries = QStringLiteral("表3");
const QString kContact = QStringLiteral("联系人");

// Gathers delivery rows into statements: bills of the period in date, then number order.
class StatementBuilder {
public:
    explicit StatementBuilder(const DeliveryRows& rows)
        : rows_(rows), number_(rows.field(QStringLiteral("单据编号"))),
          goods_(rows.field(QStringLiteral("商品名称"))),
          model_(rows.field(QStringLiteral("规格型号"))), unit_(rows.field(QStringLiteral("单位"))),
          price_(rows.field(QStringLiteral("单价"))), quantity_(rows.field(QStringLiteral("数量"))),
          amount_(rows.field(QStringLiteral("应收金额"))), contact_(rows.field(kContact)),
          address_(rows.field(QStringLiteral("单位地址"))),
          telephone_(rows.field(QStringLiteral("联系电话"))) {}

    qint64 due(int row) const { return rows_.tenThousandths(row, amount_); }

    Customer ownerOf(const Customers& customers, int row) const {
        return customers.ownerOf(rows_.text(row, contact_), rows_.text(row, address_),
                                 rows_.text(row, telephone_));
    }

    void add(Statement& statement, QHash<QString, qsizetype>& billOf, int row,
             const QDate& date) const {
        // Bill numbers group as the bill selection takes them: ASCII case ignored.
        const QString text = rows_.text(row, number_);
        const QString key = Ledger::asciiFolded(text);
        auto found = billOf.find(key);
        if (found == billOf.end()) {
            found = billOf.insert(key, statement.bills.size());
            statement.bills.append(Statement::Bill{date, text, {}, 0});
        }
        Statement::Bill& bill = statement.bills[*found];
        bill.date = std::min(bill.date, date);
        bill.items.append({rows_.text(row, goods_), rows_.text(row, model_), rows_.text(row, unit_),
                           rows_.number(row, price_), rows_.number(row, quantity_),
                           rows_.number(row, amount_)});
        const qint64 due = rows_.tenThousandths(row, amount_);
        Ledger::addTo(bill.total, due);
        Ledger::addTo(statement.total, due);
    }

    static void sortBills(Statement& statement) {
        std::stable_sort(statement.bills.begin(), statement.bills.end(),
                         [](const Statement::Bill& a, const Statement::Bill& b) {
                             if (a.date != b.date)
                                 return a.date < b.date;
                             return a.number < b.number;
                         });
    }

private:
    const DeliveryRows& rows_;
    int number_, goods_, model_, unit_, price_, quantity_, amount_, contact_, address_, telephone_;
};

// The customer's payments: those before the period lower the opening balance, those within it
// are the period's.
void addPayments(Statement& statement, const PaymentBook& book) {
    if (!statement.customer.listed)
        return;
    for (const Payment& p : book.payments(statement.customer)) {
        const qint64 amount = p.amount * 100;
        if (p.date < statement.from) {
            Ledger::addTo(statement.opening, -amount);
        } else if (p.date <= statement.to) {
            statement.receipts.append({p.date, amount, p.method});
            Ledger::addTo(statement.received, amount);
        }
    }
    std::stable_sort(
        statement.receipts.begin(), statement.receipts.end(),
        [](const Statement::Receipt& a, const Statement::Receipt& b) { return a.date < b.date; });
}

} // namespace

QList<Customer> StatementReader::customers() const {
    return Customers(connection_).withDeliveryContacts();
}

Statement StatementReader::read(const Customer& customer, const QDate& from,
                                const QDate& to) const {
    Statement statement;
    statement.customer = customer;
    statement.from = from;
    statement.to = to;

    const Customers customers(connection_);
    Dataset list(connection_, QStringLiteral("StatementRows"));
    list.setQuery(Query::equal(kDeliveries, kContact, customer.contact));
    const DeliveryRows rows(list);
    const StatementBuilder builder(rows);
    QHash<QString, qsizetype> billOf;
    for (int row = 0; row < rows.count(); ++row) {
        const QDate date = rows.date(row);
        if (!date.isValid() || date > to || builder.ownerOf(customers, row).key() != customer.key())
            continue;
        if (date < from)
            Ledger::addTo(statement.opening, builder.due(row));
        else
            builder.add(statement, billOf, row, date);
    }
    StatementBuilder::sortBills(statement);
    addPayments(statement, PaymentBook(connection_, customers));
    return statement;
}

QList<Statement> StatementReader::readAll(const QDate& from, const QDate& to) const {
    const Customers customers(connection_);
    Dataset list(connection_, QStringLiteral("StatementRows"));
    list.setQuery(Query::all(kDeliveries));
    const DeliveryRows rows(list);
    const StatementBuilder builder(rows);
    QHash<QString, qsizetype> statementOf;
    QList<Statement> statements;
    QList<QHash<QString, qsizetype>> billsOf;
    QHash<QString, qint64> openings;
    for (int row = 0; row < rows.count(); ++row) {
        const QDate date = rows.date(row);
        if (!date.isValid() || date > to)
            continue;
        const Customer owner = builder.ownerOf(customers, row);
        if (owner.contact.isEmpty())
            continue;
        if (date < from) {
            Ledger::addTo(openings[owner.key()], builder.due(row));
            continue;
        }
        auto found = statementOf.find(owner.key());
        if (found == statementOf.end()) {
            found = statementOf.insert(owner.key(), statements.size());
            Statement statement;
            statement.customer = owner;
            statement.from = from;
            statement.to = to;
            statements.append(statement);
            billsOf.append(QHash<QString, qsizetype>());
        }
        builder.add(statements[*found], billsOf[*found], row, date);
    }
    // In the order of the pick list: listed customers first, then contacts alone.
    QHash<QString, qsizetype> rank;
    const QList<Customer> order = customers.listed();
    for (qsizetype i = 0; i < order.size(); ++i)
        rank.insert(order[i].key(), i);
    std::sort(statements.begin(), statements.end(), [&](const Statement& a, const Statement& b) {
        const qsizetype x = rank.value(a.customer.key(), order.size());
        const qsizetype y = rank.value(b.customer.key(), order.size());
        if (x != y)
            return x < y;
        return Ledger::asciiFolded(a.customer.contact) < Ledger::asciiFolded(b.customer.contact);
    });
    const PaymentBook book(connection_, customers);
    for (Statement& statement : statements) {
        StatementBuilder::sortBills(statement);
        statement.opening = openings.value(statement.customer.key());
        addPayments(statement, book);
    }
    return statements;
}
