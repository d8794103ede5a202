#include "ledger/ReceivableBook.h"

#include "data/Dataset.h"
#include "data/DateText.h"
#include "ledger/DeliveryRows.h"
#include "ledger/PaymentBook.h"
#include "ledger/RowGroups.h"
#include "ledger/Settlement.h"

#include <QHash>
#include <algorithm>

namespace {

// A customer's bills as its delivery rows give them.
struct Account {
    QHash<QString, qsizetype> billIndex;
    QList<Settlement::Bill> bills;
    QList<qint64> sums; // 1/10000, per bill
    // The last row counted in and its bill: a bill's rows mostly come together.
    int lastRow = -1;
    qsizetype lastBill = -1;

    bool operator==(const Account& other) const {
        return sums == other.sums &&
               std::equal(bills.cbegin(), bills.cend(), other.bills.cbegin(), other.bills.cend(),
                          [](const Settlement::Bill& a, const Settlement::Bill& b) {
                              return a.number == b.number && a.date == b.date;
                          });
    }
};

// A customer's payments in table order.
struct Paid {
    QList<Settlement::Payment> payments;
    qint64 received = 0;

    bool operator==(const Paid& other) const {
        return std::equal(payments.cbegin(), payments.cend(), other.payments.cbegin(),
                          other.payments.cend(),
                          [](const Settlement::Payment& a, const Settlement::Payment& b) {
                              return a.id == b.id && a.date == b.date && a.amount == b.amount &&
                                     a.chosen == b.chosen;
                          });
    }
};

// What a customer's bills and payments leave owed, whatever the day.
struct Owed {
    qint64 delivered = 0;
    qint64 received = 0;
    QList<Settlement::Bill> open; // the bills with something owed, the amount owed
};

// A stored cell's bytes, for telling equal fields apart without texts.
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

bool sameCell(const Dataset& list, int row, int other, int column) {
    if (other < 0)
        return false;
    const RowStore::Cell a = list.cell(row, column);
    const RowStore::Cell b = list.cell(other, column);
    return a.type == b.type && bytesOf(a) == bytesOf(b);
}

qint64 fenField(const Dataset& list, int row, int field) {
    const std::optional<double> value = list.number(row, field);
    return value ? static_cast<qint64>(*value) : 0;
}

Owed owedOf(const Account* account, const Paid* paid) {
    Owed owed;
    QList<Settlement::Bill> bills = account ? account->bills : QList<Settlement::Bill>();
    for (qsizetype i = 0; i < bills.size(); ++i) {
        bills[i].amount = Settlement::fenOf(account->sums[i]);
        owed.delivered += bills[i].amount;
    }
    owed.received = paid ? paid->received : 0;
    const QList<Settlement::Part> parts =
        Settlement::allocate(bills, paid ? paid->payments : QList<Settlement::Payment>());
    QHash<QString, qint64> settled;
    for (const Settlement::Part& part : parts)
        settled[Ledger::asciiFolded(part.bill)] += part.amount;
    for (Settlement::Bill& bill : bills) {
        bill.amount -= settled.value(Ledger::asciiFolded(bill.number));
        if (bill.amount > 0)
            owed.open.append(bill);
    }
    return owed;
}

} // namespace

struct ReceivableBook::Kept {
    RowGroups<Account> bills;
    RowGroups<Paid> payments;
    // By customer key, for the customers read so far since their rows last changed.
    QHash<QString, Owed> owed;
    quint64 creditVersion = 0;
    QHash<QString, Credit> credits;

    void gatherBills(Connection* connection, const Customers& customers);
    void gatherPayments(Connection* connection);
    void readCredits(Connection* connection);
    // Forgets what is owed by the customers named.
    void forget(const QSet<QString>& customers);
};

void ReceivableBook::Kept::forget(const QSet<QString>& customers) {
    for (const QString& key : customers)
        owed.remove(key);
}

void ReceivableBook::Kept::gatherBills(Connection* connection, const Customers& customers) {
    Dataset list(connection, QStringLiteral("ReceivableRows"));
    list.setQuery(Query::all(QStringLiteral("表3")));
    const DeliveryRows rows(list);
    const int numberField = rows.field(QStringLiteral("单据编号"));
    const int amount = rows.field(QStringLiteral("应收金额"));
    const int contact = rows.field(QStringLiteral("联系人"));
    const int telephone = rows.field(QStringLiteral("联系电话"));
    const int address = rows.field(QStringLiteral("单位地址"));
    const int dateField = rows.field(QStringLiteral("业务日期"));
    // Runs of one customer's rows, and of one day's, are looked up once, the fields compared
    // as stored without making texts of them.
    int customerRow = -1;
    QString customerKey;
    const auto keyOf = [&](int row) {
        if (!sameCell(list, row, customerRow, contact) ||
            !sameCell(list, row, customerRow, address) ||
            !sameCell(list, row, customerRow, telephone)) {
            customerRow = row;
            const QString name = rows.text(row, contact);
            const Customer owner =
                customers.ownerOf(name, rows.text(row, address), rows.text(row, telephone));
            customerKey = owner.listed && !name.trimmed().isEmpty() ? owner.key() : QString();
        }
        return customerKey;
    };
    int dateRow = -1;
    QDate date;
    const auto add = [&](Account& account, int row) {
        if (!sameCell(list, row, dateRow, dateField)) {
            dateRow = row;
            date = rows.date(row);
        }
        if (!sameCell(list, row, account.lastRow, numberField)) {
            const QString number = rows.text(row, numberField);
            const QString billKey = Ledger::asciiFolded(number);
            auto found = account.billIndex.find(billKey);
            if (found == account.billIndex.end()) {
                found = account.billIndex.insert(billKey, account.bills.size());
                account.bills.append({number, date, 0});
                account.sums.append(0);
            }
            account.lastBill = *found;
        }
        account.lastRow = row;
        Settlement::Bill& bill = account.bills[account.lastBill];
        if (date.isValid() && (!bill.date.isValid() || date < bill.date))
            bill.date = date;
        Ledger::addTo(account.sums[account.lastBill], rows.tenThousandths(row, amount));
    };
    forget(bills.update(list, customers.version(), keyOf, add));
}

void ReceivableBook::Kept::gatherPayments(Connection* connection) {
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
    const auto keyOf = [&](int row) {
        return Customer{list.text(row, contact), list.text(row, telephone), list.text(row, address),
                        true}
            .key();
    };
    // A year of payments falls on a few hundred days; each is parsed once.
    QHash<QString, QDate> days;
    const auto add = [&](Paid& paid, int row) {
        const QString bills = list.text(row, chosen);
        const QString day = list.text(row, date);
        auto parsed = days.constFind(day);
        if (parsed == days.constEnd())
            parsed = days.insert(day, DateText::parse(day));
        paid.payments.append({list.text(row, id), *parsed, fenField(list, row, amount),
                              bills.isEmpty() ? QStringList() : bills.split(u'\n')});
        paid.received += paid.payments.last().amount;
    };
    forget(payments.update(list, 0, keyOf, add));
}

void ReceivableBook::Kept::readCredits(Connection* connection) {
    Dataset list(connection, QStringLiteral("ReceivableCredit"));
    list.setQuery(Query::all(QStringLiteral("客户信用")));
    list.open();
    if (list.rowsVersion() == creditVersion)
        return;
    creditVersion = list.rowsVersion();
    credits.clear();
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

ReceivableBook::ReceivableBook() : kept_(std::make_unique<Kept>()) {}

ReceivableBook::~ReceivableBook() = default;

qsizetype ReceivableBook::rowsRead() const {
    return kept_->bills.rowsRead() + kept_->payments.rowsRead();
}

QList<Receivable> ReceivableBook::read(Connection* connection, const Customers& customers,
                                       const QDate& today) {
    Kept& kept = *kept_;
    try {
        kept.gatherBills(connection, customers);
        kept.gatherPayments(connection);
        kept.readCredits(connection);
    } catch (...) {
        // What is owed is settled afresh once the rows can be read again.
        kept.owed.clear();
        throw;
    }
    const auto& accounts = kept.bills.groups();
    const auto& paid = kept.payments.groups();
    QList<Receivable> out;
    for (const Customer& customer : customers.listed()) {
        const QString key = customer.key();
        const auto account = accounts.find(key);
        const auto payments = paid.find(key);
        if (account == accounts.end() && payments == paid.end())
            continue;
        auto owed = kept.owed.find(key);
        if (owed == kept.owed.end())
            owed = kept.owed.insert(
                key, owedOf(account == accounts.end() ? nullptr : &account->second.figures,
                            payments == paid.end() ? nullptr : &payments->second.figures));
        Receivable r;
        r.customer = customer;
        r.delivered = owed->delivered;
        r.received = owed->received;
        r.balance = r.delivered - r.received;
        for (const Settlement::Bill& bill : owed->open) {
            r.ageing[static_cast<size_t>(Receivables::bucketOf(bill.date, today))] += bill.amount;
            if (bill.date.isValid() && (!r.oldestUnpaid.isValid() || bill.date < r.oldestUnpaid))
                r.oldestUnpaid = bill.date;
        }
        const Credit credit = kept.credits.value(key);
        r.limit = credit.limit;
        r.termDays = credit.termDays;
        out.append(r);
    }
    return out;
}
