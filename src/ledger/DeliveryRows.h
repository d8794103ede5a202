#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class Dataset;

// Reading a delivery list loaded by a data set: fields by name, dates, amounts in 1/10000.
class DeliveryRows {
public:
    // Opens the data set; the rows come in table order.
    explicit DeliveryRows(Dataset& list);

    int count() const;
    QString text(int row, int field) const;
    QDate date(int row) const;
    // A number column's value; empty for NULL or a text that is no number.
    std::optional<double> number(int row, int field) const;
    // A number column in 1/10000; NULL and empty count as 0.
    qint64 tenThousandths(int row, int field) const;
    int field(const QString& name) const;

private:
    Dataset& list_;
    int date_;
    // A year of rows holds a few hundred distinct dates; each is parsed once.
    mutable QHash<QString, QDate> dates_;
};

namespace Ledger {

// Equal but for the case of ASCII letters, as the engine compares bill numbers and contacts.
bool sameButAsciiCase(const QString& a, const QString& b);
// The text with ASCII letters in lower case: the key under which such texts group together.
QString asciiFolded(const QString& text);
// Adds to a sum of 1/10000, failing with a message instead of wrapping round.
void addTo(qint64& sum, qint64 value);

} // namespace Ledger
