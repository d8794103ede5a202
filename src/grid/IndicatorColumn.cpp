#include "grid/IndicatorColumn.h"

#include "grid/GridLook.h"
#include "grid/RowSelection.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

IndicatorColumn::IndicatorColumn(const RowSelection& selection, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), selection_(selection) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultSectionSize(GridLook::rowHeight);
}

QSize IndicatorColumn::sizeHint() const {
    return QSize(GridLook::indicatorWidth, length());
}

void IndicatorColumn::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    GridLook::paintFixedCell(*painter, rect);
    if (selection_.contains(logicalIndex))
        painter->fillRect(rect.adjusted(1, 1, -1, -1), palette().color(QPalette::Highlight));
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (current.isValid() && current.row() == logicalIndex) {
        const QColor colour = selection_.contains(logicalIndex)
                                  ? palette().color(QPalette::HighlightedText)
                                  : palette().color(QPalette::ButtonText);
        GridLook::paintArrow(*painter, QRectF(rect).center(), Qt::RightArrow, colour);
    }
    painter->restore();
}

void IndicatorColumn::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int row = logicalIndexAt(event->position().toPoint());
    if (row < 0)
        return;
    dragging_ = true;
    lastDragY_ = event->position().toPoint().y();
    emit rowPressed(row, event->modifiers());
}

void IndicatorColumn::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    lastDragY_ = event->position().toPoint().y();
    if (lastDragY_ < 0 || lastDragY_ >= viewport()->height()) {
        if (!autoScroll_.isActive())
            autoScroll_.start(50, this);
    } else {
        autoScroll_.stop();
    }
    dragTo(lastDragY_);
}

void IndicatorColumn::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        autoScroll_.stop();
    }
}

void IndicatorColumn::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click counts as one more click.
    mousePressEvent(event);
}

void IndicatorColumn::timerEvent(QTimerEvent* event) {
    if (event->timerId() != autoScroll_.timerId()) {
        QHeaderView::timerEvent(event);
        return;
    }
    if (auto* view = qobject_cast<QAbstractScrollArea*>(parentWidget())) {
        QScrollBar* bar = view->verticalScrollBar();
        bar->setValue(bar->value() + (lastDragY_ < 0 ? -bar->singleStep() : bar->singleStep()));
    }
    dragTo(lastDragY_);
}

void IndicatorColumn::dragTo(int y) {
    if (count() == 0)
        return;
    int row = logicalIndexAt(qBound(0, y, viewport()->height() - 1));
    if (row < 0) // below the last row of a short list
        row = count() - 1;
    emit rowDragged(row);
}
