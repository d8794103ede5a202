#pragma once

#include "TestDatabase.h"

#include <QDate>
#include <QString>

// Delivery rows put straight into a test database's 表3.
struct LedgerRow {
    QString bill;
    QDate date;
    QString contact;
    QString goods = QStringLiteral("螺丝");
    QString amount = QStringLiteral("10");
    QString quantity = QStringLiteral("1");
    QString code = QStringLiteral("G1");
    QString price = QStringLiteral("10");
    QString telephone = QStringLiteral("0571");
    QString address = QStringLiteral("文三路");
    QString unit = QStringLiteral("个");
};

// A customer row of 表2.
inline void insertCustomer(const TestDatabase& db, const QString& contact, const QString& telephone,
                           const QString& address) {
    db.exec(QStringLiteral("INSERT INTO 表2 VALUES ('', '%1', '%2', '%3', '')")
                .arg(contact, telephone, address));
}

inline void insertRow(const TestDatabase& db, const LedgerRow& r) {
    // Bound nowhere: the texts are the test's own, without quotes.
    db.exec(QStringLiteral("INSERT INTO 表3 VALUES ('%1', '%2', '张明', '%3', '%4', 'M6', '%5', "
                           "%6, %7, %8, '%9', '%10', '%11', '')")
                .arg(r.bill, r.date.toString(QStringLiteral("yyyy-MM-dd")), r.code, r.goods, r.unit,
                     r.price.isEmpty() ? QStringLiteral("NULL") : r.price,
                     r.quantity.isEmpty() ? QStringLiteral("NULL") : r.quantity,
                     r.amount.isEmpty() ? QStringLiteral("NULL") : r.amount, r.contact)
                .arg(r.telephone, r.address));
}
