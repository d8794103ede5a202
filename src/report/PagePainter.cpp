#include "report/PagePainter.h"

#include <QPaintDevice>
#include <QPainter>

namespace report {

namespace {

// The outline of a rectangle: a tenth of a millimetre, but never thinner than a device pixel.
constexpr qreal kOutlineMm = 0.1;

class Mapper {
public:
    Mapper(const QSizeF& paperMm, const QRectF& target)
        : origin_(target.topLeft()), sx_(target.width() / paperMm.width()),
          sy_(target.height() / paperMm.height()) {}

    QLineF line(const QLineF& mm) const { return QLineF(point(mm.p1()), point(mm.p2())); }
    QPointF point(QPointF mm) const { return origin_ + QPointF(mm.x() * sx_, mm.y() * sy_); }
    QRectF rect(const QRectF& mm) const {
        return QRectF(point(mm.topLeft()), QSizeF(mm.width() * sx_, mm.height() * sy_));
    }
    qreal sx() const { return sx_; }
    qreal sy() const { return sy_; }

private:
    QPointF origin_;
    qreal sx_;
    qreal sy_;
};

// Fonts are sized in points against the device's logical resolution; this gives the point size
// that yields the wanted height at the page's scale.
class FontCache {
public:
    FontCache(const QPaintDevice* device, qreal pixelsPerMm)
        : scale_(pixelsPerMm * 25.4 /
                 (device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 72)) {}

    const QFont& font(const FontStyle& spec) {
        for (const auto& [key, font] : fonts_) {
            if (key == spec)
                return font;
        }
        QFont font = spec.toFont();
        font.setPointSizeF(qMax(0.01, spec.pointSize * scale_));
        fonts_.append({spec, font});
        return fonts_.last().second;
    }

private:
    qreal scale_;
    QList<std::pair<FontStyle, QFont>> fonts_;
};

void paintRect(QPainter& painter, const Mapper& map, const RectOp& op, QPen outline) {
    const QRectF r = map.rect(op.rect);
    painter.fillRect(r, op.fill);
    if (op.outline.alpha() == 0)
        return;
    outline.setColor(op.outline);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
}

void paintLine(QPainter& painter, const Mapper& map, const LineOp& op) {
    QPen pen(op.color, qMax<qreal>(1, op.width * map.sx()));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(map.line(op.line));
}

void paintText(QPainter& painter, const Mapper& map, const TextOp& op, FontCache& fonts) {
    const bool clipped = op.clip.isValid();
    if (clipped) {
        painter.save();
        painter.setClipRect(map.rect(op.clip), Qt::IntersectClip);
    }
    if (op.opaque)
        painter.fillRect(map.rect(op.box), Qt::white);
    painter.setFont(fonts.font(op.font));
    painter.setPen(op.font.color);
    for (qsizetype i = 0; i < op.lines.size(); ++i) {
        const QPointF at(op.box.left() + op.offsets.value(i),
                         op.box.top() + op.baseline + op.lineStep * i);
        painter.drawText(map.point(at), op.lines.at(i));
    }
    if (clipped)
        painter.restore();
}

} // namespace

void paintPage(QPainter& painter, const Page& page, const QSizeF& paperMm, const QRectF& target) {
    if (paperMm.isEmpty() || target.isEmpty())
        return;
    const Mapper map(paperMm, target);
    FontCache fonts(painter.device(), map.sy());
    QPen outline(Qt::black, qMax<qreal>(1, kOutlineMm * map.sx()));
    outline.setJoinStyle(Qt::MiterJoin);
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const DrawOp& op : page.ops) {
        if (const auto* rect = std::get_if<RectOp>(&op))
            paintRect(painter, map, *rect, outline);
        else if (const auto* text = std::get_if<TextOp>(&op))
            paintText(painter, map, *text, fonts);
        else
            paintLine(painter, map, std::get<LineOp>(op));
    }
    painter.restore();
}

void paintPage(QPainter& painter, const Page& page, const QSizeF& paperMm) {
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    const QSizeF size(paperMm.width() / 25.4 * device->logicalDpiX(),
                      paperMm.height() / 25.4 * device->logicalDpiY());
    paintPage(painter, page, paperMm, QRectF(QPointF(0, 0), size));
}

} // namespace report
