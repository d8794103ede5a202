#include "charts/BarChart.h"

#include "report/TextMeasure.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace charts {

namespace {

using report::DrawOp;
using report::FontStyle;
using report::LineOp;
using report::RectOp;
using report::TextMeasure;
using report::TextOp;

const QString kFace = QStringLiteral("宋体");
const QColor kBar(0x4e, 0x70, 0x99);
const QColor kGrid(0xd4, 0xd4, 0xd4);
const QColor kInk(0x26, 0x26, 0x26);

constexpr qreal kLabelPoints = 8;
// Below this a label is no longer legible on paper; it stands beside its bar rather than
// shrink further.
constexpr qreal kSmallestPoints = 6;
constexpr qreal kGap = 1;

qreal lineHeight(qreal points) {
    return points * 25.4 / 72 * 1.3;
}

// A text op of the given lines, each centred on centreX when centred, else left-aligned at x.
TextOp textOp(const QString& item, const QStringList& lines, qreal x, qreal top,
              const FontStyle& font, bool centred) {
    TextMeasure measure(font);
    TextOp op;
    op.item = item;
    op.lines = lines;
    op.font = font;
    op.opaque = false;
    op.lineStep = lineHeight(font.pointSize);
    op.baseline = measure.baselineIn(op.lineStep);
    qreal width = 0;
    QList<qreal> widths;
    for (const QString& line : lines) {
        widths.append(measure.width(line));
        width = qMax(width, widths.last());
    }
    if (centred) {
        for (const qreal w : std::as_const(widths))
            op.offsets.append((width - w) / 2);
        x -= width / 2;
    }
    op.box = QRectF(x, top, width, op.lineStep * lines.size());
    return op;
}

// A step of 1, 2, 2.5 or 5 times a power of ten giving about five steps over the range.
double niceStep(double range) {
    if (!(range > 0))
        return 1;
    const double raw = range / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    const double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 2.5 ? 2.5 : f <= 5 ? 5 : 10;
    return nice * magnitude;
}

QString grouped(double value, int decimals) {
    QString text = QString::number(std::abs(value), 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    const qsizetype point = text.contains(u'.') ? text.indexOf(u'.') : text.size();
    for (qsizetype at = point - 3; at > 0; at -= 3)
        text.insert(at, u',');
    return value < 0 && text != QStringLiteral("0") ? u'-' + text : text;
}

// The name under a bar: wrapped to its slot, two lines at most, the rest cut with "…".
QStringList nameLines(const QString& name, qreal room, TextMeasure& measure) {
    QStringList lines = measure.wrap(name, room);
    if (lines.size() <= 2)
        return lines;
    lines.resize(2);
    QString& last = lines.last();
    while (!last.isEmpty() && measure.width(last + u'…') > room)
        last.chop(1);
    last += u'…';
    return lines;
}

} // namespace

QString BarChart::valueText(double value) {
    const double size = std::abs(value);
    if (size >= 1e8)
        return grouped(value / 1e8, 2) + u'亿';
    if (size >= 1e4)
        return grouped(value / 1e4, 2) + u'万';
    return grouped(value, 2);
}

QList<DrawOp> BarChart::draw(const QSizeF& sizeMm) const {
    QList<DrawOp> ops;
    const FontStyle label{kFace, kLabelPoints, false, kInk};
    TextMeasure labels(label);
    const qreal labelLine = lineHeight(kLabelPoints);

    qreal top = 0;
    for (qsizetype i = 0; i < heading_.size(); ++i) {
        const FontStyle font{kFace, i == 0 ? 12.0 : 9.5, i == 0, Qt::black};
        ops.append(textOp(QStringLiteral("ChartHeading%1").arg(i + 1), {heading_[i]},
                          sizeMm.width() / 2, top, font, true));
        top += lineHeight(font.pointSize);
    }
    if (!heading_.isEmpty())
        top += 2;

    double low = 0;
    double high = 0;
    for (const Bar& bar : bars_) {
        low = std::min(low, bar.value);
        high = std::max(high, bar.value);
    }
    const double step = niceStep(high - low);
    low = std::floor(low / step) * step;
    high = std::max(step, std::ceil(high / step) * step);
    QStringList ticks;
    qreal tickWidth = 0;
    const int tickCount = static_cast<int>(std::llround((high - low) / step));
    for (int i = 0; i <= tickCount; ++i) {
        ticks.append(valueText(low + step * i));
        tickWidth = qMax(tickWidth, labels.width(ticks.last()));
    }

    // The plot: room for the scale on the left, for a label above the highest bar (and below
    // the lowest), and for two lines of names at the bottom.
    const qreal below = low < 0 ? labelLine : 0;
    const qreal plotTop = top + labelLine + kGap;
    const qreal plotBottom = sizeMm.height() - 2 * labelLine - kGap - below;
    const QRectF plot(tickWidth + 2 * kGap, plotTop, sizeMm.width() - tickWidth - 3 * kGap,
                      plotBottom - plotTop);
    if (plot.width() <= 0 || plot.height() <= 0)
        return ops;
    const auto yOf = [&](double value) {
        return plot.bottom() - (value - low) / (high - low) * plot.height();
    };
    for (int i = 0; i <= tickCount; ++i) {
        const qreal y = yOf(low + step * i);
        ops.append(LineOp{QStringLiteral("ChartGrid%1").arg(i + 1),
                          QLineF(plot.left(), y, plot.right(), y), 0.15, kGrid});
        TextOp tick = textOp(QStringLiteral("ChartTick%1").arg(i + 1), {ticks[i]}, 0,
                             y - labelLine / 2, label, false);
        tick.box.moveRight(plot.left() - kGap);
        ops.append(tick);
    }
    ops.append(LineOp{QStringLiteral("ChartAxis"), QLineF(plot.topLeft(), plot.bottomLeft()), 0.25,
                      Qt::black});
    const qreal zero = yOf(0);
    ops.append(LineOp{QStringLiteral("ChartBase"), QLineF(plot.left(), zero, plot.right(), zero),
                      0.25, Qt::black});

    if (bars_.isEmpty()) {
        ops.append(textOp(QStringLiteral("ChartEmpty"), {QStringLiteral("这段时间没有销售")},
                          plot.center().x(), plot.center().y() - labelLine / 2, label, true));
        return ops;
    }
    const qreal slot = plot.width() / static_cast<qreal>(bars_.size());
    const qreal barWidth = std::min(slot * 0.62, 24.0);
    for (qsizetype i = 0; i < bars_.size(); ++i) {
        const Bar& bar = bars_[i];
        const QString n = QString::number(i + 1);
        const qreal centre = plot.left() + slot * (static_cast<qreal>(i) + 0.5);
        const qreal end = yOf(bar.value);
        const QRectF rect(centre - barWidth / 2, std::min(end, zero), barWidth,
                          std::abs(end - zero));
        ops.append(RectOp{QStringLiteral("ChartBar") + n, rect, kBar, Qt::transparent});

        // The amount: inside the top of a bar tall and wide enough for it, in white; else
        // just beyond the bar's end in ink, in a smaller face where the slot is narrow.
        FontStyle font = label;
        const QString value = valueText(bar.value);
        while (font.pointSize > kSmallestPoints && TextMeasure(font).width(value) > slot - 2 * kGap)
            font.pointSize -= 0.5;
        const qreal height = lineHeight(font.pointSize);
        const bool inside =
            rect.height() >= height + 2 * kGap && TextMeasure(font).width(value) <= barWidth - kGap;
        qreal labelTop = 0;
        if (inside) {
            font.color = Qt::white;
            labelTop = bar.value >= 0 ? rect.top() + kGap : rect.bottom() - kGap - height;
        } else {
            labelTop = bar.value >= 0 ? rect.top() - height - 0.3 : rect.bottom() + 0.3;
        }
        ops.append(textOp(QStringLiteral("ChartValue") + n, {value}, centre, labelTop, font, true));

        ops.append(textOp(QStringLiteral("ChartName") + n, nameLines(bar.name, slot - kGap, labels),
                          centre, plot.bottom() + below + kGap, label, true));
    }
    return ops;
}

} // namespace charts
