#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Settling a customer's payments against the customer's bills. Money in fen throughout.
namespace Settlement {

struct Bill {
    QString number;
    QDate date; // the earliest of its rows
    qint64 amount = 0;
};
struct Payment {
    QString id;
    QDate date;
    qint64 amount = 0;
    // Bills the user chose to settle first, in the order chosen; the rest goes oldest first.
    QStringList chosen;
};
struct Part {
    QString payment;
    QString bill;
    qint64 amount = 0;
};

// Money in 1/10000 (the delivery rows' sums) as fen, half a fen away from zero.
qint64 fenOf(qint64 tenThousandths);

// Bills oldest first: by date, then by number as text.
void sortBills(QList<Bill>& bills);

// Every payment in date order (payments of one day as given), each settling its chosen bills
// first and then the open bills oldest first, never a bill beyond its amount. What a payment
// leaves is the customer's prepayment. Bills of no positive amount take nothing.
QList<Part> allocate(QList<Bill> bills, QList<Payment> payments);

// What is still owed on each bill after the parts, by bill number.
qint64 settledOn(const QList<Part>& parts, const QString& bill);
qint64 settledBy(const QList<Part>& parts, const QString& payment);

} // namespace Settlement
