#include "grid/GridDelegate.h"

#include "grid/GridLook.h"
#include "grid/GridView.h"
#include "grid/RowSelection.h"

#include <QPainter>

GridDelegate::GridDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int row = index.row();
    const bool selected = view_->selection().contains(row);
    const bool current = view_->currentRow() == row;
    const QColor highlight = option.palette.color(QPalette::Active, QPalette::Highlight);

    QColor background = GridLook::rowColor(row);
    QColor text = option.palette.color(QPalette::Active, QPalette::Text);
    if (selected) {
        background = highlight;
        text = option.palette.color(QPalette::Active, QPalette::HighlightedText);
    } else if (current) {
        background = GridLook::currentRowColor(highlight, row);
    }

    const QRect cell = option.rect;
    painter->save();
    painter->fillRect(cell, background);
    painter->setClipRect(cell);
    painter->setFont(option.font);
    painter->setPen(text);
    const QRect textRect = cell.adjusted(GridLook::textMargin, 0, -GridLook::textMargin - 1, -1);
    const QString value = index.data(Qt::DisplayRole).toString();
    Qt::Alignment alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    // Text too wide for its cell shows its beginning rather than losing both ends.
    if (painter->fontMetrics().horizontalAdvance(value) > textRect.width())
        alignment = Qt::AlignLeft | (alignment & Qt::AlignVertical_Mask);
    painter->drawText(textRect, int(alignment) | Qt::TextSingleLine, value);
    painter->setPen(GridLook::lineColor());
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(selected ? text : highlight.darker(130), 1, Qt::DotLine));
        painter->drawRect(cell.adjusted(0, 0, -2, -2));
    }
    painter->restore();
}
