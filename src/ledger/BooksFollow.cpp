#include "ledger/BooksFollow.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"
#include "ledger/PaymentBook.h"

#include <optional>

namespace {

// Whether any payment or settlement names the contact: most rows belong to customers who never
// paid, and those need not have their customers read.
bool paidBy(Connection* connection, const QString& contact) {
    for (const char* table : {"收款", "收款核销"}) {
        Dataset list(connection, QStringLiteral("FollowedLedger"));
        list.setQuery(Query::equal(QString::fromUtf8(table), QStringLiteral("联系人"), contact));
        list.open();
        if (list.recordCount() > 0)
            return true;
    }
    return false;
}

bool isListed(const Customers& customers, const Customer& customer) {
    for (const Customer& c : customers.listed())
        if (c.key() == customer.key())
            return true;
    return false;
}

} // namespace

BooksFollow::BooksFollow(Connection* connection) : connection_(connection) {}

void BooksFollow::deliveryRow(const QString& contact) {
    const QString folded = Ledger::asciiFolded(contact.trimmed());
    if (!folded.isEmpty() && !contacts_.contains(folded))
        contacts_.append(folded);
}

void BooksFollow::customerRow(const Customer& before, const Customer& after) {
    deliveryRow(before.contact);
    deliveryRow(after.contact);
    if (!before.contact.trimmed().isEmpty() && !after.contact.trimmed().isEmpty() &&
        before.key() != after.key())
        moves_.append({before, after});
}

void BooksFollow::apply() {
    if (contacts_.isEmpty())
        return;
    // Before anything is read: a payment stored meanwhile by another desk is either seen here
    // or settled there against the rows as this transaction leaves them.
    PaymentBook::hold(connection_, contacts_);
    std::optional<Customers> customers;
    auto read = [&]() -> const Customers& {
        if (!customers)
            customers.emplace(connection_);
        return *customers;
    };
    for (const auto& [from, to] : std::as_const(moves_)) {
        // Customer rows alike are one customer: while one of them stays, its books stay too.
        if (!paidBy(connection_, from.contact) || isListed(read(), from))
            continue;
        PaymentBook(connection_, read()).moveWithin(from, to);
    }
    QList<Customer> settled;
    for (const QString& contact : std::as_const(contacts_)) {
        if (!paidBy(connection_, contact))
            continue;
        for (const Customer& customer : read().listed())
            if (Ledger::asciiFolded(customer.contact) == contact)
                settled.append(customer);
    }
    if (!settled.isEmpty())
        PaymentBook(connection_, read()).resettleWithin(settled);
}
