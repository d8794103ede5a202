#pragma once

#include <QList>

// The rows picked by the user, ascending, with the anchor row that Shift and dragging extend
// from. Row numbers follow rows inserted into and removed from the list.
class RowSelection {
public:
    const QList<int>& rows() const { return rows_; }
    bool isEmpty() const { return rows_.isEmpty(); }
    bool contains(int row) const;

    // Forgets everything, the anchor included (the list was reloaded).
    void clear();
    // Nothing selected; later extensions start from row.
    void clearTo(int row);
    void selectOnly(int row);
    // Adds or drops one row, keeping the others.
    void toggle(int row);
    // The rows selected before the last anchor was set, plus the run from the anchor to row.
    void extendTo(int row);

    void rowInserted(int row);
    void rowRemoved(int row);

private:
    void startAt(int row);

    QList<int> rows_;
    QList<int> base_; // what extendTo() keeps besides the run
    int anchor_ = -1;
};
