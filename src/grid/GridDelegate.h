#pragma once

#include <QStyledItemDelegate>

class GridView;

// Draws a data cell: the row's alternating colour, the current row faded into the highlight,
// selected rows in the highlight, the text clipped to the cell, the column and row lines, and
// a frame round the current cell while the grid has the focus. A text cut by its cell shows
// whole in the cell's tool tip, above the grid's own hint where it has one.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(GridView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    const GridView* view_;
};
