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
        int bills = 0;       // distinct bill numbers, ASCII case ignored
        qint64 quantity = 0; // sum of 数量; shown for goods only
        qint64 amount = 0;   // sum of 应收金额
    };

    Grouping grouping = Grouping::Month;
    // Months in calendar order; customers and goods by amount, the largest first.
    QList<Row> rows;
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
