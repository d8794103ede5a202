#pragma once

#include <QBasicTimer>
#include <QHeaderView>

class RowSelection;

// The narrow fixed column left of the rows: shows a triangle at the current row and marks the
// selected rows. Pressing a row reports it with the keys held; dragging reports each row the
// mouse reaches, scrolling the list while the mouse is held above or below it.
class IndicatorColumn : public QHeaderView {
    Q_OBJECT
public:
    IndicatorColumn(const RowSelection& selection, QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    void rowPressed(int row, Qt::KeyboardModifiers modifiers);
    void rowDragged(int row);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void dragTo(int y);

    const RowSelection& selection_;
    bool dragging_ = false;
    int lastDragY_ = 0;
    QBasicTimer autoScroll_;
};
