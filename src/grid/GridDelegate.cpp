#include "grid/GridDelegate.h"

#include "grid/GridLook.h"
#include "grid/GridView.h"
#include "grid/RowSelection.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// Where the text of a cell stands: inside the margins, off the column and row lines.
QRect textRectOf(const QRect& cell) {
    return cell.adjusted(GridLook::textMargin, 0, -GridLook::textMargin - 1, -1);
}

} // namespace

GridDelegate::GridDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString value = index.data(Qt::DisplayRole).toString();
    // A cell that shows its whole text leaves the event to the grid, whose own hint shows.
    if (QFontMetrics(option.font).horizontalAdvance(value) <= textRectOf(option.rect).width())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QString tip = value;
    for (const QWidget* w = view; w; w = w->parentWidget()) {
        if (!w->toolTip().isEmpty()) {
            tip += u'\n' + w->toolTip();
            break;
        }
    }
    QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    return true;
}

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
    const QRect textRect = textRectOf(cell);
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
