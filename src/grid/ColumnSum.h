#pragma once

#include <QVector>
#include <QtGlobal>

class Dataset;

// The sum of one number column over every row of a list, kept in whole 1/10000s so that 0.1
// and 0.2 make 0.3. Each row's share is remembered, so a changed or removed row costs no pass
// over the whole list; and the count of the rows shown before the last reload is kept too, so
// a list that closes and reopens on the same rows (a refresh with nothing changed, the whole
// list back after a narrowed one) is not counted again.
class ColumnSum {
public:
    // Counts every row unless these rows were counted last or the time before; column -1 (a
    // field the list does not hold) sums to 0.
    void reload(const Dataset& dataset, int column);
    void rowInserted(const Dataset& dataset, int row);
    void rowChanged(const Dataset& dataset, int row);
    void rowRemoved(const Dataset& dataset, int row);

    // The sum as "#0.##"; empty when a value is too large to count in 1/10000s.
    QString text() const;

private:
    struct Count {
        quint64 version = 0; // of the rows counted; 0 before any count
        int column = -1;
        QVector<qint64> shares;
        __int128 total = 0;
        int outOfRange = 0;
    };

    qint64 shareOf(const Dataset& dataset, int row) const;
    void add(qint64 share);
    void subtract(qint64 share);

    Count count_;
    Count before_;
};
