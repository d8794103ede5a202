#include "ledger/Receivables.h"

#include "data/Dataset.h"
#include "data/DateText.h"
#include "ledger/DeliveryRows.h"
#include "ledger/PaymentBook.h"
#include "ledger/Settlement.h"

#include <QHash>
#include <unordered_map>

namespace {

// A customer's bills as the delivery rows give them.
struct Account {
    QHash<QString, qsizetype> billIndex;
    QList<Settlement::Bill> bills;
    QList<qint64> sums; // 1/10000, per bill
};
struct Paid {
    QList<Settlement::Payment> payments;
    qint64 received = 0;
};

// The bills of every customer, kept for as long as the delivery and customer rows they were
// read from are unchanged (their versions are unique to their contents), so that a refresh
// after a payment does not read the delivery rows again. Node-based, so that an account's
// address stays while others are added.
struct KeptBills {
    quint64 rows = 0;
    quint64 customers = 0;
    std::unordered_map<QString, Account> accounts;
};

// A stored cell's bytes (its type first), for telling equal fields apart without texts.
QByteArrayView bytesOf(const RowStore::Cell& cell) {
    if (cell.type == RowStore::Cell::Text)
        return QByteArrayView(cell.text, cell.size);
    if (cell.type == RowStore::Cell::Null)
        return QByteArrayView();
    return QByteArrayView(reinterpret_cast<const char*>(cell.type == RowStore::Cell::Real
                                                            ? static_cast<const void*>(&cell.real)
                                                            : &cell.integer),
                          sizeof(double));
}

qint64 fenField(const Dataset& list, int row, int field) {
    const std::optional<double> value = list.number(row, field);
    return value ? static_cast<qint64>(*value) : 0;
}

// The bills of every listed customer from the delivery rows (see KeptBills).
const std::unordered_map<QString, Account>& billsOf(Connection* connection,
                                                    const Customers& customers) {
    static KeptBills kept;
    {
        Dataset list(connection, QStringLiteral("ReceivableRows"));
        list.setQuery(Query::all(QStringLiteral("表3")));
        const DeliveryRows rows(list);
        if (kept.rows == list.rowsVersion() && kept.customers == customers.version())
            return kept.accounts;
        kept = {};
        std::unordered_map<QString, Account>& accounts = kept.accounts;
        const int numberField = rows.field(QStringLiteral("单据编号"));
        const int amount = rows.field(QStringLiteral("应收金额"));
        const int contact = rows.field(QStringLiteral("联系人"));
        const int telephone = rows.field(QStringLiteral("联系电话"));
        const int address = rows.field(QStringLiteral("单位地址"));
        // A bill's rows mostly come together: each run of one customer, and of one bill, is
        // looked up once, the fields compared as stored without making texts of them.
        const auto same = [&](int row, int column, int previous) {
            return previous >= 0 &&
                   bytesOf(list.cell(row, column)) == bytesOf(list.cell(previous, column));
        };
        const int dateField = rows.field(QStringLiteral("业务日期"));
        int customerRow = -1;
        int billRow = -1;
        int dateRow = -1;
        QDate date;
        Account* account = nullptr;
        qsizetype bill = -1;
        for (int row = 0; row < rows.count(); ++row) {
            if (!same(row, contact, customerRow) || !same(row, address, customerRow) ||
                !same(row, telephone, customerRow)) {
                customerRow = row;
                billRow = -1;
                const QString name = rows.text(row, contact);
                const Customer owner =
                    customers.ownerOf(name, rows.text(row, address), rows.text(row, telephone));
                account =
                    owner.listed && !name.trimmed().isEmpty() ? &accounts[owner.key()] : nullptr;
            }
            if (!account)
                continue;
            if (!same(row, dateField, dateRow)) {
                dateRow = row;
                date = rows.date(row);
            }
            if (!same(row, numberField, billRow)) {
                billRow = row;
                const QString number = rows.text(row, numberField);
                const QString billKey = Ledger::asciiFolded(number);
                auto found = account->billIndex.find(billKey);
                if (found == account->billIndex.end()) {
                    found = account->billIndex.insert(billKey, account->bills.size());
                    account->bills.append({number, date, 0});
                    account->sums.append(0);
                }
                bill = *found;
            }
            Settlement::Bill& b = account->bills[bill];
            if (date.isValid() && (!b.date.isValid() || date < b.date))
                b.date = date;
            Ledger::addTo(account->sums[bill], rows.tenThousandths(row, amount));
        }
        for (auto& [key, account] : accounts)
            for (qsizetype i = 0; i < account.bills.size(); ++i)
                account.bills[i].amount = Settlement::fenOf(account.sums[i]);
        kept.rows = list.rowsVersion();
        kept.customers = customers.version();
    }
    return kept.accounts;
}

} // namespace

namespace Receivables {

Receivable total(const QList<Receivable>& rows) {
    Receivable sum;
    for (const Receivable& r : rows) {
        sum.delivered += r.delivered;
        sum.received += r.received;
        sum.balance += r.balance;
        for (size_t i = 0; i < sum.ageing.size(); ++i)
            sum.ageing[i] += r.ageing[i];
    }
    return sum;
}

int bucketOf(const QDate& date, const QDate& today) {
    const qint64 days = date.isValid() ? date.daysTo(today) : 0;
    if (days <= 30)
        return 0;
    if (days <= 60)
        return 1;
    return days <= 90 ? 2 : 3;
}

QList<Receivable> read(Connection* connection, const Customers& customers, const QDate& today) {
    const std::unordered_map<QString, Account>& accounts = billsOf(connection, customers);
    QHash<QString, Paid> paid;
    {
        Dataset list(connection, QStringLiteral("ReceivablePayments"));
        list.setQuery(Query::all(QStringLiteral("收款")));
        list.open();
        const int id = list.fieldIndex(QStringLiteral("编号"));
        const int contact = list.fieldIndex(QStringLiteral("联系人"));
        const int telephone = list.fieldIndex(QStringLiteral("联系电话"));
        const int address = list.fieldIndex(QStringLiteral("单位地址"));
        const int date = list.fieldIndex(QStringLiteral("收款日期"));
        const int amount = list.fieldIndex(QStringLiteral("金额"));
        const int chosen = list.fieldIndex(QStringLiteral("指定单据"));
        // A year of payments falls on a few hundred days; each is parsed once.
        QHash<QString, QDate> days;
        for (int row = 0; row < list.recordCount(); ++row) {
            const Customer customer{list.text(row, contact), list.text(row, telephone),
                                    list.text(row, address), true};
            Paid& account = paid[customer.key()];
            const QString bills = list.text(row, chosen);
            const QString day = list.text(row, date);
            auto parsed = days.constFind(day);
            if (parsed == days.constEnd())
                parsed = days.insert(day, DateText::parse(day));
            account.payments.append({list.text(row, id), *parsed, fenField(list, row, amount),
                                     bills.isEmpty() ? QStringList() : bills.split(u'\n')});
            account.received += account.payments.last().amount;
        }
    }
    QHash<QString, Credit> credits;
    {
        Dataset list(connection, QStringLiteral("ReceivableCredit"));
        list.setQuery(Query::all(QStringLiteral("客户信用")));
        list.open();
        const int contact = list.fieldIndex(QStringLiteral("联系人"));
        const int telephone = list.fieldIndex(QStringLiteral("联系电话"));
        const int address = list.fieldIndex(QStringLiteral("单位地址"));
        const int limit = list.fieldIndex(QStringLiteral("信用额度"));
        const int days = list.fieldIndex(QStringLiteral("账期天数"));
        for (int row = 0; row < list.recordCount(); ++row) {
            const Customer customer{list.text(row, contact), list.text(row, telephone),
                                    list.text(row, address), true};
            Credit credit;
            if (list.number(row, limit))
                credit.limit = fenField(list, row, limit);
            credit.termDays = static_cast<int>(fenField(list, row, days));
            credits.insert(customer.key(), credit);
        }
    }
    QList<Receivable> out;
    for (const Customer& customer : customers.listed()) {
        const auto found = accounts.find(customer.key());
        const auto payments = paid.constFind(customer.key());
        if (found == accounts.end() && payments == paid.constEnd())
            continue;
        static const Account none;
        const Account& account = found == accounts.end() ? none : found->second;
        const Paid received = payments == paid.constEnd() ? Paid() : *payments;
        Receivable r;
        r.customer = customer;
        for (const Settlement::Bill& bill : account.bills)
            r.delivered += bill.amount;
        r.received = received.received;
        r.balance = r.delivered - r.received;
        const QList<Settlement::Part> parts =
            Settlement::allocate(account.bills, received.payments);
        QHash<QString, qint64> settled;
        for (const Settlement::Part& part : parts)
            settled[Ledger::asciiFolded(part.bill)] += part.amount;
        for (const Settlement::Bill& bill : account.bills) {
            const qint64 open = bill.amount - settled.value(Ledger::asciiFolded(bill.number));
            if (open <= 0)
                continue;
            r.ageing[static_cast<size_t>(bucketOf(bill.date, today))] += open;
            if (bill.date.isValid() && (!r.oldestUnpaid.isValid() || bill.date < r.oldestUnpaid))
                r.oldestUnpaid = bill.date;
        }
        const Credit credit = credits.value(customer.key());
        r.limit = credit.limit;
        r.termDays = credit.termDays;
        out.append(r);
    }
    return out;
}

qint64 balanceOf(Connection* connection, const Customers& customers, const Customer& customer) {
    const PaymentBook book(connection, customers);
    qint64 balance = 0;
    for (const Settlement::Bill& bill : book.bills(customer))
        balance += bill.amount;
    for (const Payment& payment : book.payments(customer))
        balance -= payment.amount;
    return balance;
}

std::optional<Crossing> crossing(Connection* connection, const Customers& customers,
                                 const Customer& customer, qint64 amount) {
    if (!customer.listed || amount <= 0)
        return std::nullopt;
    const Credit credit = PaymentBook(connection, customers).credit(customer);
    if (!credit.limit)
        return std::nullopt;
    const qint64 before = balanceOf(connection, customers, customer);
    const qint64 after = before + amount;
    if (before > *credit.limit || after <= *credit.limit)
        return std::nullopt;
    return Crossing{after, *credit.limit};
}

} // namespace Receivables
