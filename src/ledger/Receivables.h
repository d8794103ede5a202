#pragma once

#include "ledger/Customers.h"

#include <QDate>
#include <QList>
#include <array>
#include <optional>

class Connection;

// Who owes what: every customer of 表2 with bills or payments, from the loaded lists. Money in
// fen.
struct Receivable {
    Customer customer;
    qint64 delivered = 0;
    qint64 received = 0;
    qint64 balance = 0;
    QDate oldestUnpaid;
    // What is still owed on bills 0–30, 31–60, 61–90 and over 90 days old (from each bill's
    // date).
    std::array<qint64, 4> ageing{};
    std::optional<qint64> limit;
    int termDays = 0;
    bool overLimit() const { return limit && balance > *limit; }
    bool operator==(const Receivable&) const = default;
};

namespace Receivables {

// The sums of the rows' money (delivered, received, balance, ageing).
Receivable total(const QList<Receivable>& rows);
// The ageing bucket of a bill dated `date` on `today`.
int bucketOf(const QDate& date, const QDate& today);
// The customers with bills or payments in the customers' order, their balances and ageing on
// `today`, from the lists loaded, kept in step with them between readings (see ReceivableBook).
QList<Receivable> read(Connection* connection, const Customers& customers, const QDate& today);
// One customer's balance (delivered less received), for the credit question.
qint64 balanceOf(Connection* connection, const Customers& customers, const Customer& customer);

struct Crossing {
    qint64 balance = 0; // with the new amount
    qint64 limit = 0;
};
// When adding `amount` takes the customer's balance over its credit limit (from at or below
// it): the balance it reaches and the limit. Nothing for a customer without a limit.
std::optional<Crossing> crossing(Connection* connection, const Customers& customers,
                                 const Customer& customer, qint64 amount);

} // namespace Receivables
