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
    const std::optional<double> value = dataset.number(row, column_);
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
        ++outOfRange_;
    else
        total_ += share;
}

void ColumnSum::subtract(qint64 share) {
    if (share == outOfRangeShare)
        --outOfRange_;
    else
        total_ -= share;
}

void ColumnSum::reload(const Dataset& dataset, int column) {
    if (version_ != 0 && version_ == dataset.rowsVersion() && column == column_)
        return;
    version_ = dataset.rowsVersion();
    column_ = column;
    total_ = 0;
    outOfRange_ = 0;
    shares_.clear();
    if (column_ < 0) {
        shares_.resize(dataset.recordCount());
        return;
    }
    shares_.reserve(dataset.recordCount());
    for (int row = 0; row < dataset.recordCount(); ++row) {
        shares_.append(shareOf(dataset, row));
        add(shares_.last());
    }
}

void ColumnSum::rowInserted(const Dataset& dataset, int row) {
    const qint64 share = column_ < 0 ? 0 : shareOf(dataset, row);
    shares_.insert(row, share);
    add(share);
    version_ = dataset.rowsVersion();
}

void ColumnSum::rowChanged(const Dataset& dataset, int row) {
    version_ = dataset.rowsVersion();
    if (column_ < 0 || row < 0 || row >= shares_.size())
        return;
    subtract(shares_[row]);
    shares_[row] = shareOf(dataset, row);
    add(shares_[row]);
}

void ColumnSum::rowRemoved(const Dataset& dataset, int row) {
    version_ = dataset.rowsVersion();
    if (row < 0 || row >= shares_.size())
        return;
    subtract(shares_[row]);
    shares_.remove(row);
}

QString ColumnSum::text() const {
    if (outOfRange_ > 0 || total_ > std::numeric_limits<qint64>::max() ||
        total_ < std::numeric_limits<qint64>::min())
        return QString();
    return NumberText::displayTenThousandths(static_cast<qint64>(total_));
}
