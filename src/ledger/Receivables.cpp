#include "ledger/Receivables.h"

#include "ledger/PaymentBook.h"
#include "ledger/ReceivableBook.h"

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
    static ReceivableBook book;
    return book.read(connection, customers, today);
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
