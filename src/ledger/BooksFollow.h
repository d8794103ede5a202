#pragma once

#include "ledger/Customers.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class Connection;

// What the books do when customer or delivery rows change, inside the transaction that
// changes them, so that a row and the settlement that follows it are stored together or not
// at all. Which customer a delivery row belongs to depends on the customer rows of its contact
// (see Customers), so every customer of a contact named is settled again; a customer row whose
// contact, telephone or address changed takes the payments, settlement and credit of the
// customer it was along, unless another customer row still is that customer.
class BooksFollow {
public:
    explicit BooksFollow(Connection* connection);

    // A delivery row with this contact was added, changed (its contact before and after both
    // count) or deleted.
    void deliveryRow(const QString& contact);
    // A customer row as it was and as it is: an added row was no customer before, a deleted
    // one is none after (an empty contact names no customer).
    void customerRow(const Customer& before, const Customer& after);

    // Moves and settles; the caller's transaction holds it all.
    void apply();

private:
    Connection* connection_;
    // Folded contacts whose customers are settled again.
    QStringList contacts_;
    QList<std::pair<Customer, Customer>> moves_;
};
