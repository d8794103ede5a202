#include "statements/ChartView.h"

#include "report/PagePainter.h"

#include <QPainter>

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setMinimumHeight(160);
}

void ChartView::setChart(const charts::BarChart& chart) {
    chart_ = chart;
    update();
}

void ChartView::paintEvent(QPaintEvent*) {
    // Millimetres as the screen measures them, so the chart's texts stand at their point size.
    const qreal pixelsPerMm = logicalDpiX() / 25.4;
    const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
    const QSizeF sizeMm(area.width() / pixelsPerMm, area.height() / pixelsPerMm);
    report::Page page;
    page.ops = chart_.draw(sizeMm);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    report::paintPage(painter, page, sizeMm, area);
}
