#pragma once

#include "report/Document.h"

class QPainter;

namespace report {

// Paints a page with the paper's top-left corner at target's top-left, scaled so that the paper
// fills target (device units of the painter). Every device shares this: screen, image, PDF,
// printer. Never throws.
void paintPage(QPainter& painter, const Page& page, const QSizeF& paperMm, const QRectF& target);

// The same at the device's own resolution, the paper's corner at the painter's origin.
void paintPage(QPainter& painter, const Page& page, const QSizeF& paperMm);

} // namespace report
