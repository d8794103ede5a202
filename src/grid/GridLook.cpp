#include "grid/GridLook.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

namespace GridLook {

namespace {

QFont song(int pixels, bool bold) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QColor mix(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(a.redF() * share + b.redF() * (1 - share),
                            a.greenF() * share + b.greenF() * (1 - share),
                            a.blueF() * share + b.blueF() * (1 - share));
}

} // namespace

QFont cellFont() {
    return song(14, false);
}

bool fitsCell(const QString& text, int columnWidth) {
    // The room the delegate leaves the text: the margins and the column line.
    return QFontMetrics(cellFont()).horizontalAdvance(text) <= columnWidth - 2 * textMargin - 1;
}

QFont titleFont() {
    return song(13, true);
}

QFont footerFont() {
    return song(15, false);
}

QColor rowColor(int row) {
    return row % 2 == 0 ? QColor(Qt::white) : QColor(238, 238, 238);
}

QColor lineColor() {
    return QColor(192, 192, 192);
}

QColor footerColor() {
    return QColor(0, 255, 255);
}

QColor currentRowColor(const QColor& highlight, int row) {
    return mix(highlight, rowColor(row), 0.3);
}

void paintFixedCell(QPainter& painter, const QRect& rect, bool sunken) {
    const QColor face(240, 240, 240);
    const QColor light(Qt::white);
    const QColor shadow(160, 160, 160);
    painter.fillRect(rect, face);
    painter.setPen(sunken ? shadow : light);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(sunken ? light : shadow);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void paintArrow(QPainter& painter, const QPointF& centre, Qt::ArrowType direction,
                const QColor& colour) {
    QPolygonF shape;
    switch (direction) {
    case Qt::UpArrow:
        shape << QPointF(-4, 2) << QPointF(4, 2) << QPointF(0, -2);
        break;
    case Qt::DownArrow:
        shape << QPointF(-4, -2) << QPointF(4, -2) << QPointF(0, 2);
        break;
    default:
        shape << QPointF(-2, -4.5) << QPointF(-2, 4.5) << QPointF(2.5, 0);
        break;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(shape.translated(centre));
    painter.restore();
}

} // namespace GridLook
