#pragma once

#include "report/FontStyle.h"

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <variant>

namespace report {

// All geometry in millimetres from the paper's top-left corner.

// A rectangle: white fill, thin black outline.
struct RectOp {
    QString item;
    QRectF rect;
};

// A text item: one or more lines drawn left-aligned from box.left(). An opaque text first
// fills its box white. Lines sit at box.top() + baseline + i * lineStep. When clip is valid the
// text is cut at it (the band's edges): only a character wider than all the room there is
// reaches past them, since bands never grow.
struct TextOp {
    QString item;
    QRectF box;
    QStringList lines;
    qreal baseline = 0;
    qreal lineStep = 0;
    FontStyle font;
    bool opaque = true;
    QRectF clip;
};

// A straight black line, width in millimetres (a rule or a tick of a scale).
struct LineOp {
    QString item;
    QLineF line;
    qreal width = 0.1;
};

using DrawOp = std::variant<RectOp, TextOp, LineOp>;

// Drawn in order: a later operation covers an earlier one.
struct Page {
    QList<DrawOp> ops;
};

struct Document {
    QSizeF paper;
    QList<Page> pages;
};

} // namespace report
