#pragma once

#include "grid/TitleLayout.h"

#include <QHeaderView>

// The title row of the grid: one or two rows of raised, clickable titles. Two-level titles
// share one upper cell across neighbouring columns. A click on a title flips its sort mark;
// nothing is reordered.
class GridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridHeader(QWidget* parent = nullptr);

    void setTitles(const TitleLayout& titles);
    const TitleLayout& titles() const { return titles_; }

    // Where a column's upper title cell lies in the header's viewport: across all the columns
    // of its group for a two-level title, across both rows for a title without a bar.
    QRect upperRect(int column) const;
    // The cell that holds a column's own title (the lower row of a two-level title).
    QRect lowerRect(int column) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int levels() const { return titles_.twoLevel() ? 2 : 1; }
    // Inside a shared upper cell, away from its edges: not a title of its own to click, and
    // no column border to drag.
    bool insideSharedCell(const QPoint& pos) const;

    TitleLayout titles_;
    int pressed_ = -1;
};
