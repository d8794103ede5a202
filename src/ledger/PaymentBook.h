#pragma once

#include "ledger/Customers.h"
#include "ledger/Settlement.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Connection;

// A payment received from a customer (a row of 表2). Money in fen.
struct Payment {
    QString id; // made when it is stored
    Customer customer;
    QDate date;
    qint64 amount = 0;
    QString method;
    QString handler;
    QString remark;
    QStringList chosenBills;

    bool operator==(const Payment&) const = default;
};

// A customer's credit: the limit (none: no question) and the payment terms in days.
struct Credit {
    std::optional<qint64> limit;
    int termDays = 0;
};

// Payments, their settlement against the customer's bills, and customers' credit, through data
// sets with bound values only. Every write of a payment stores the payment and the customer's
// whole settlement in one transaction, holding the customer against other writers meanwhile;
// a payment changed or deleted elsewhere since it was read is a lost race.
class PaymentBook {
public:
    PaymentBook(Connection* connection, const Customers& customers);

    // The customer's bills: rows of 表3 that belong to the customer, by bill number.
    QList<Settlement::Bill> bills(const Customer& customer) const;
    // The customer's payments in the order stored.
    QList<Payment> payments(const Customer& customer) const;
    // The settlement as stored.
    QList<Settlement::Part> settlements(const Customer& customer) const;
    // What the customer's payments settle with `payment` added (or put in place of the stored
    // payment of the same id).
    QList<Settlement::Part> preview(const Payment& payment) const;

    // Stores a new payment and settles the customer's payments again; returns it with its id.
    Payment add(Payment payment);
    // Replaces the payment as it was read; the customers of both are settled again.
    void modify(const Payment& before, Payment after);
    void remove(const Payment& before);
    // Settles the customer's payments again (after its bills changed), in a transaction.
    void resettle(const Customer& customer);
    // The same for several customers inside the caller's transaction, so that the settlement
    // lands with the change of the rows it follows.
    void resettleWithin(const QList<Customer>& customers);
    // Inside the caller's transaction: the payments, settlement and credit kept for `from`
    // become `to`'s (a customer row whose contact, telephone or address changed). Where `to`
    // has a credit row of its own, that one stays. Settles neither.
    void moveWithin(const Customer& from, const Customer& to);

    // Inside a transaction: waits until no other writer is settling a customer of these
    // contacts (ASCII case ignored) and keeps them out until the transaction ends. Taken in one
    // order by every writer, so that two writers never wait for each other; a writer holds
    // them before it reads what it settles.
    static void hold(Connection* connection, QStringList contacts);

    Credit credit(const Customer& customer) const;
    void setCredit(const Customer& customer, const Credit& credit);

private:
    void settleInTransaction(const Customer& customer);

    Connection* connection_;
    const Customers& customers_;
};
