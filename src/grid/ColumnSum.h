#pragma once

#include <QVector>
#include <QtGlobal>

class Dataset;

// The sum of one number column over every row of a list, kept in whole 1/10000s so that 0.1
// and 0.2 make 0.3. Each row's share is remembered, so a changed or removed row costs no pass
// over the whole list, and a list reopened on the same rows costs none either.
class ColumnSum {
public:
    // Recounts every row unless the rows are those last counted; column -1 (a field the list
    // does not hold) sums to 0.
    void reload(const Dataset& dataset, int column);
    void rowInserted(const Dataset& dataset, int row);
    void rowChanged(const Dataset& dataset, int row);
    void rowRemoved(const Dataset& dataset, int row);

    // The sum as "#0.##"; empty when a value is too large to count in 1/10000s.
    QString text() const;

private:
    qint64 shareOf(const Dataset& dataset, int row) const;
    void add(qint64 share);
    void subtract(qint64 share);

    int column_ = -1;
    quint64 version_ = 0; // of the rows counted; 0 before the first count
    QVector<qint64> shares_;
    __int128 total_ = 0;
    int outOfRange_ = 0;
};
