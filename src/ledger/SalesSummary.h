#pragma once

#include <QDate>
#include <QList>
#include <QString>

class Connection;

// What sold in a period, grouped by month, customer or goods. Sums in 1/10000, as the
// delivery grid's footer keeps them; an empty number counts as 0.
struct SalesSummary {
    enum class Grouping { Month, Customer, Goods };

    struct Row {
        QString group;
        QString unit;         // goods only: the unit its quantity counts in
        int bills = 0;        // distinct bill numbers, ASCII case ignored
        qint64 quantity = 0;  // sum of 数量
        bool counted = false; // the quantity means something: goods, or goods of one unit
        qint64 amount = 0;    // sum of 应收金额
    };

    Grouping grouping = Grouping::Month;
    // Every month of the period in calendar order, months without sales as 0; customers and
    // goods by amount, the largest first. A customer is a customer of the customer table (see
    // Customers), named by contact, with the address where two share the contact. Goods group
    // by code, name and unit, so quantities are never added across units.
    QList<Row> rows;
    // The quantity counts only when every goods row counts in one unit.
    Row total;
};

class SalesReader {
public:
    explicit SalesReader(Connection* connection) : connection_(connection) {}

    // Rows whose business date lies within from..to, both included.
    SalesSummary read(const QDate& from, const QDate& to, SalesSummary::Grouping grouping) const;

private:
    Connection* connection_;
};
