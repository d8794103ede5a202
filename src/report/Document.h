#pragma once

#include "report/FontStyle.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <variant>

namespace report {

// All geometry in millimetres from the paper's top-left corner.

// A rectangle: white fill and a thin black outline unless it says otherwise (a transparent
// outline draws none).
struct RectOp {
    QString item;
    QRectF rect;
    QColor fill = Qt::white;
    QColor outline = Qt::black;
};

// A text item: one or more lines drawn from box.left(), each shifted right by its entry in
// offsets (none: every line starts at the left). An opaque text first fills its box white. Lines
// sit at box.top() + baseline + i * lineStep. When clip is valid the text is cut at it (the band's
// edges): only a character wider than all the room there is reaches past them, since bands never
// grow.
struct TextOp {
    QString item;
    QRectF box;
    QStringList lines;
    qreal baseline = 0;
    qreal lineStep = 0;
    FontStyle font;
    bool opaque = true;
    QRectF clip;
    QList<qreal> offsets;
};

// A straight line, width in millimetres (a rule or a tick of a scale).
struct LineOp {
    QString item;
    QLineF line;
    qreal width = 0.1;
    QColor color = Qt::black;
};

using DrawOp = std::variant<RectOp, TextOp, LineOp>;

// The operation moved by the offset in millimetres.
DrawOp translated(const DrawOp& op, QPointF offset);

// Drawn in order: a later operation covers an earlier one.
struct Page {
    QList<DrawOp> ops;
};

struct Document {
    QSizeF paper;
    QList<Page> pages;
};

} // namespace report
