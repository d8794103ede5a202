#pragma once

#include "ledger/Customers.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Connection;

// A customer's statement of account for a period: the balance before it, the bills of the
// period in date, then bill-number order, each with its item rows, the period's total, and
// the payments of the period. Amounts in 1/10000.
struct Statement {
    struct Item {
        QString goods;
        QString model;
        QString unit;
        // Empty for NULL or a text that is no number.
        std::optional<double> price;
        std::optional<double> quantity;
        std::optional<double> amount;
    };
    struct Bill {
        QDate date; // the earliest of its rows in the period
        QString number;
        QList<Item> items;
        qint64 total = 0;
    };

    struct Receipt {
        QDate date;
        qint64 amount = 0;
        QString method;
    };

    Customer customer;
    QDate from;
    QDate to;
    QList<Bill> bills;
    qint64 total = 0;
    // What the customer owed before the period: the bills before it less the payments.
    qint64 opening = 0;
    // The payments of the period in date order, and their sum.
    QList<Receipt> receipts;
    qint64 received = 0;

    // What the customer owes at the end of the period.
    qint64 closing() const { return opening + total - received; }
};

class StatementReader {
public:
    explicit StatementReader(Connection* connection) : connection_(connection) {}

    // The customers to pick from: the customer table's and the contacts of delivery rows of
    // no customer row (see Customers).
    QList<Customer> customers() const;
    // The customer's rows are those that belong to the customer (see Customers); a row belongs
    // to the period when its business date lies within from..to, both included.
    Statement read(const Customer& customer, const QDate& from, const QDate& to) const;
    // The statement of every customer with rows in the period, in the customers' order.
    QList<Statement> readAll(const QDate& from, const QDate& to) const;

private:
    Connection* connection_;
};
