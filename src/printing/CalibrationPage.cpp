#include "printing/CalibrationPage.h"

#include "report/TextMeasure.h"

#include <QtMath>

namespace CalibrationPage {

namespace {

const report::FontStyle kScale{QStringLiteral("Arial"), 6, false, Qt::black};
const report::FontStyle kCoordinates{QStringLiteral("Arial"), 8, false, Qt::black};
const report::FontStyle kTitle{QStringLiteral("宋体"), 16, true, Qt::black};
const report::FontStyle kBody{QStringLiteral("宋体"), 10, false, Qt::black};

constexpr qreal kCrossArm = 6;
constexpr qreal kInset = 40;

void line(report::Page& page, const QString& item, QPointF from, QPointF to, qreal width) {
    page.ops.append(report::LineOp{item, QLineF(from, to), width});
}

void text(report::Page& page, const QString& item, QPointF at, const QString& content,
          const report::FontStyle& font) {
    report::TextMeasure measure(font);
    const qreal height = font.pointSize * 25.4 / 72 * 1.3;
    report::TextOp op;
    op.item = item;
    op.box = QRectF(at, QSizeF(measure.width(content), height));
    op.lines = QStringList{content};
    op.baseline = measure.baselineIn(height);
    op.lineStep = height;
    op.font = font;
    op.opaque = false;
    page.ops.append(op);
}

// Ticks every millimetre, longer every 5, longest and numbered every 10; along the top edge
// when horizontal, else along the left one.
void ruler(report::Page& page, qreal length, bool horizontal) {
    const QString item = horizontal ? QStringLiteral("TopRuler") : QStringLiteral("LeftRuler");
    for (int mm = 1; mm < length; ++mm) {
        const qreal tick = mm % 10 == 0 ? 5 : (mm % 5 == 0 ? 3.5 : 2);
        const QPointF from = horizontal ? QPointF(mm, 0) : QPointF(0, mm);
        const QPointF to = horizontal ? QPointF(mm, tick) : QPointF(tick, mm);
        line(page, item, from, to, mm % 10 == 0 ? 0.2 : 0.1);
        if (mm % 10 == 0) {
            const QPointF at = horizontal ? QPointF(mm + 0.4, 3.2) : QPointF(3.2, mm + 0.2);
            text(page, item, at, QString::number(mm), kScale);
        }
    }
}

QString signedMm(qreal value) {
    return (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', 1);
}

} // namespace

QList<QPointF> crossPositions(const QSizeF& paperMm) {
    const qreal right = paperMm.width() - kInset;
    const qreal bottom = paperMm.height() - kInset;
    const QPointF centre(qRound(paperMm.width() / 2), qRound(paperMm.height() / 2));
    return {QPointF(kInset, kInset), QPointF(right, kInset), centre, QPointF(kInset, bottom),
            QPointF(right, bottom)};
}

report::Document document(const QSizeF& paperMm, const QString& printerName,
                          const QPointF& offsetMm) {
    report::Page page;
    ruler(page, paperMm.width(), true);
    ruler(page, paperMm.height(), false);
    for (const QPointF& c : crossPositions(paperMm)) {
        const QString item = QStringLiteral("Cross");
        line(page, item, c - QPointF(kCrossArm, 0), c + QPointF(kCrossArm, 0), 0.15);
        line(page, item, c - QPointF(0, kCrossArm), c + QPointF(0, kCrossArm), 0.15);
        text(page, item, c + QPointF(1.5, 1.5), QStringLiteral("X %1  Y %2").arg(c.x()).arg(c.y()),
             kCoordinates);
    }
    const qreal left = 20;
    qreal top = 60;
    text(page, QStringLiteral("Title"), QPointF(left, top), QStringLiteral("打印校准页"), kTitle);
    top += 10;
    const QStringList lines = {
        QStringLiteral("打印机：%1").arg(printerName),
        QStringLiteral("打印时的偏移：水平 %1 毫米，垂直 %2 毫米")
            .arg(signedMm(offsetMm.x()), signedMm(offsetMm.y())),
        QStringLiteral("用尺量出每个十字中心到纸张左边、上边的距离，与旁边标注的坐标相比："),
        QStringLiteral("实际偏右（偏下）几毫米，就把水平（垂直）偏移减小几毫米；"),
        QStringLiteral("实际偏左（偏上）几毫米，就把水平（垂直）偏移增大几毫米。"),
        QStringLiteral("纸边的刻度尺从纸边量起，单位毫米。"),
    };
    for (const QString& content : lines) {
        text(page, QStringLiteral("Note"), QPointF(left, top), content, kBody);
        top += 6;
    }
    return {paperMm, {page}};
}

} // namespace CalibrationPage
