#include "report/TextMeasure.h"

#include <QImage>
#include <QTextLayout>

namespace report {

namespace {

constexpr qreal kReferenceDpi = 1200;
constexpr qreal kMmPerPixel = 25.4 / kReferenceDpi;
// An em box reaches about 0.88 em above the baseline and 0.12 em below (CJK faces; Latin
// capitals and digits centre at nearly the same height), so its middle is 0.38 em up.
constexpr qreal kEmMiddleAboveBaseline = 0.38;

const QPaintDevice* referenceDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        const int dotsPerMeter = qRound(kReferenceDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

} // namespace

TextMeasure::TextMeasure(const FontStyle& font)
    : font_(font.toFont()), metrics_(font_, referenceDevice()) {}

qreal TextMeasure::width(const QString& text) {
    auto it = widths_.constFind(text);
    if (it != widths_.constEnd())
        return *it;
    const qreal mm = metrics_.horizontalAdvance(text) * kMmPerPixel;
    widths_.insert(text, mm);
    return mm;
}

QStringList TextMeasure::wrap(const QString& text, qreal roomMm) const {
    QTextLayout layout(text, font_, referenceDevice());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(roomMm / kMmPerPixel);
        QString part = text.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && part.back().isSpace())
            part.chop(1);
        lines.append(part);
    }
    layout.endLayout();
    return lines;
}

qreal TextMeasure::baselineIn(qreal lineHeightMm) const {
    const qreal emMm = font_.pointSizeF() * 25.4 / 72;
    return lineHeightMm / 2 + kEmMiddleAboveBaseline * emMm;
}

} // namespace report
