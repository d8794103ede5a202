#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>

class QPainter;
class QRect;

// Sizes, fonts and colours shared by the parts of the data grid.
namespace GridLook {

constexpr int rowHeight = 20;
constexpr int titleRowHeight = 18;
constexpr int indicatorWidth = 14;
constexpr int footerHeight = 22;
constexpr int textMargin = 3;

QFont cellFont(); // 14-pixel 宋体
// Whether a text shows whole in a data cell of a column that many pixels wide.
bool fitsCell(const QString& text, int columnWidth);
QFont titleFont();  // 13-pixel bold 宋体
QFont footerFont(); // 15-pixel 宋体

// Background of a data row by its index: record numbers count from 1, odd ones are white.
QColor rowColor(int row);
QColor lineColor();
QColor footerColor();
// The current row when it is not selected: the highlight, faded into the row's colour.
QColor currentRowColor(const QColor& highlight, int row);

// A fixed cell (title, indicator, footer edge): face colour with a one-pixel bevel, raised or
// pressed in.
void paintFixedCell(QPainter& painter, const QRect& rect, bool sunken = false);
// A small filled triangle pointing up, down or right, centred on the point.
void paintArrow(QPainter& painter, const QPointF& centre, Qt::ArrowType direction,
                const QColor& colour);

} // namespace GridLook
