#pragma once

#include <QWidget>

class GridView;

// The footer row under the data: per column nothing, a fixed text or the column's sum, on
// aqua, aligned with the columns as they scroll and change width.
class GridFooter : public QWidget {
    Q_OBJECT
public:
    explicit GridFooter(GridView* view);

    // Where a column's footer cell lies in the footer: under the column's cells, wherever the
    // columns are scrolled.
    QRect cellRect(int column) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GridView* view_;
};
