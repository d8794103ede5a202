#include "grid/GridHeader.h"

#include "grid/GridLook.h"

#include <QMouseEvent>
#include <QPainter>

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setFont(GridLook::titleFont());
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSortIndicatorShown(true);
    setSortIndicator(-1, Qt::AscendingOrder);
    setMinimumSectionSize(16);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    connect(this, &QHeaderView::sectionPressed, this, [this](int section) {
        pressed_ = section;
        viewport()->update();
    });
    // A shared upper cell is drawn by each of its columns, so all of them must redraw when one
    // changes width.
    connect(this, &QHeaderView::sectionResized, this, [this] { viewport()->update(); });
}

void GridHeader::setTitles(const TitleLayout& titles) {
    titles_ = titles;
    setSortIndicator(-1, Qt::AscendingOrder);
    updateGeometry();
    viewport()->update();
}

QSize GridHeader::sizeHint() const {
    return QSize(length(), levels() * GridLook::titleRowHeight);
}

QRect GridHeader::upperRect(int column) const {
    if (column < 0 || column >= titles_.count())
        return QRect();
    const TitleLayout::Title& title = titles_.title(column);
    const int left = sectionViewportPosition(title.groupFirst);
    const int right = sectionViewportPosition(title.groupLast) + sectionSize(title.groupLast);
    const int height = title.split ? GridLook::titleRowHeight : levels() * GridLook::titleRowHeight;
    return QRect(left, 0, right - left, height);
}

QRect GridHeader::lowerRect(int column) const {
    if (column < 0 || column >= titles_.count())
        return QRect();
    const int top = titles_.title(column).split ? GridLook::titleRowHeight : 0;
    return QRect(sectionViewportPosition(column), top, sectionSize(column),
                 levels() * GridLook::titleRowHeight - top);
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (logicalIndex >= titles_.count())
        return;
    const TitleLayout::Title& title = titles_.title(logicalIndex);
    painter->save();
    painter->setFont(font());

    if (title.split) {
        // Each column draws the whole shared cell, clipped to itself, so the cell looks like
        // one however the columns are repainted.
        const QRect upper = upperRect(logicalIndex);
        painter->save();
        painter->setClipRect(QRect(rect.left(), upper.top(), rect.width(), upper.height()));
        GridLook::paintFixedCell(*painter, upper);
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(upper, Qt::AlignCenter, title.upper);
        painter->restore();
    }

    const bool sunken = pressed_ == logicalIndex;
    const QRect own = lowerRect(logicalIndex);
    GridLook::paintFixedCell(*painter, own, sunken);
    QRect text = own.adjusted(2, 0, -2, 0);
    if (sortIndicatorSection() == logicalIndex) {
        text.setRight(text.right() - 8);
        GridLook::paintArrow(*painter, QPointF(own.right() - 6.5, own.center().y() + 0.5),
                             sortIndicatorOrder() == Qt::AscendingOrder ? Qt::UpArrow
                                                                        : Qt::DownArrow,
                             QColor(96, 96, 96));
    }
    if (sunken)
        text.translate(1, 1);
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(text, Qt::AlignCenter, title.lower);
    painter->restore();
}

bool GridHeader::insideSharedCell(const QPoint& pos) const {
    if (pos.y() >= GridLook::titleRowHeight)
        return false;
    const int column = logicalIndexAt(pos);
    if (column < 0 || column >= titles_.count() || !titles_.title(column).split)
        return false;
    const QRect cell = upperRect(column);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    return pos.x() > cell.left() + grip && pos.x() < cell.right() - grip;
}

void GridHeader::mousePressEvent(QMouseEvent* event) {
    if (insideSharedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

void GridHeader::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton && insideSharedCell(event->position().toPoint())) {
        unsetCursor();
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void GridHeader::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (pressed_ >= 0) {
        pressed_ = -1;
        viewport()->update();
    }
}

void GridHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    if (insideSharedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
}
