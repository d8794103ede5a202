#include "grid/RowSelection.h"

#include <algorithm>

namespace {

QList<int> withRun(const QList<int>& sorted, int from, int to) {
    QList<int> out;
    out.reserve(sorted.size() + (to - from + 1));
    auto it = sorted.cbegin();
    for (; it != sorted.cend() && *it < from; ++it)
        out.append(*it);
    for (int row = from; row <= to; ++row)
        out.append(row);
    for (; it != sorted.cend(); ++it) {
        if (*it > to)
            out.append(*it);
    }
    return out;
}

void shiftUp(QList<int>& rows, int from) {
    for (auto it = std::lower_bound(rows.begin(), rows.end(), from); it != rows.end(); ++it)
        ++*it;
}

// Removal from the end is the common case (deleting a selection walks it backwards), so only
// the rows behind the removed one are touched.
void removeAndShiftDown(QList<int>& rows, int row) {
    auto it = std::lower_bound(rows.begin(), rows.end(), row);
    if (it != rows.end() && *it == row)
        it = rows.erase(it);
    for (; it != rows.end(); ++it)
        --*it;
}

} // namespace

bool RowSelection::contains(int row) const {
    return std::binary_search(rows_.cbegin(), rows_.cend(), row);
}

void RowSelection::clear() {
    rows_.clear();
    base_.clear();
    anchor_ = -1;
}

void RowSelection::startAt(int row) {
    anchor_ = row;
    base_ = rows_;
}

void RowSelection::clearTo(int row) {
    rows_.clear();
    startAt(row);
}

void RowSelection::selectOnly(int row) {
    rows_ = {row};
    anchor_ = row;
    base_.clear();
}

void RowSelection::toggle(int row) {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
    if (it != rows_.end() && *it == row)
        rows_.erase(it);
    else
        rows_.insert(it, row);
    startAt(row);
}

void RowSelection::extendTo(int row) {
    if (anchor_ < 0)
        startAt(row);
    rows_ = withRun(base_, std::min(anchor_, row), std::max(anchor_, row));
}

void RowSelection::rowInserted(int row) {
    shiftUp(rows_, row);
    shiftUp(base_, row);
    if (anchor_ >= row)
        ++anchor_;
}

void RowSelection::rowRemoved(int row) {
    removeAndShiftDown(rows_, row);
    removeAndShiftDown(base_, row);
    if (anchor_ == row)
        anchor_ = -1;
    else if (anchor_ > row)
        --anchor_;
}
