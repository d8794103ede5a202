#include "grid/ColumnSum.h"

#include "data/Dataset.h"
#include "data/NumberText.h"

#include <QString>
#include <cmath>
#include <limits>

namespace {

// Marks a row whose value cannot be counted; no real share can be this small.
constexpr qint64 outOfRangeShare = std::numeric_limits<qint64>::min();

} // namespace

qint64 ColumnSum::shareOf(const Dataset& dataset, int row) const {
    const std::optional<double> value = dataset.number(row, count_.column);
    if (!value)
        return 0;
    // Same bound as NumberText::toTenThousandths, checked here so that counting never throws.
    const double scaled = *value * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
        return outOfRangeShare;
    return NumberText::toTenThousandths(*value);
}

void ColumnSum::add(qint64 share) {
    if (share == outOfRangeShare)
        ++count_.outOfRange;
    else
        count_.total += share;
}

void ColumnSum::subtract(qint64 share) {
    if (share == outOfRangeShare)
        --count_.outOfRange;
    else
        count_.total -= share;
}

void ColumnSum::reload(const Dataset& dataset, int column) {
    const quint64 version = dataset.rowsVersion();
    if (count_.version == version && count_.column == column)
        return;
    std::swap(count_, before_);
    if (count_.version == version && count_.column == column)
        return;
    count_ = {};
    count_.version = version;
    count_.column = column;
    if (column < 0) {
        count_.shares.resize(dataset.recordCount());
        return;
    }
    count_.shares.reserve(dataset.recordCount());
    for (int row = 0; row < dataset.recordCount(); ++row) {
        count_.shares.append(shareOf(dataset, row));
        add(count_.shares.last());
    }
}

void ColumnSum::rowInserted(const Dataset& dataset, int row) {
    const qint64 share = count_.column < 0 ? 0 : shareOf(dataset, row);
    count_.shares.insert(row, share);
    add(share);
    count_.version = dataset.rowsVersion();
}

void ColumnSum::rowChanged(const Dataset& dataset, int row) {
    count_.version = dataset.rowsVersion();
    if (count_.column < 0 || row < 0 || row >= count_.shares.size())
        return;
    subtract(count_.shares[row]);
    count_.shares[row] = shareOf(dataset, row);
    add(count_.shares[row]);
}

void ColumnSum::rowRemoved(const Dataset& dataset, int row) {
    count_.version = dataset.rowsVersion();
    if (row < 0 || row >= count_.shares.size())
        return;
    subtract(count_.shares[row]);
    count_.shares.remove(row);
}

QString ColumnSum::text() const {
    if (count_.outOfRange > 0 || count_.total > std::numeric_limits<qint64>::max() ||
        count_.total < std::numeric_limits<qint64>::min())
        return QString();
    return NumberText::displayTenThousandths(static_cast<qint64>(count_.total));
}
