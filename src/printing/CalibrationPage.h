#pragma once

#include "report/Document.h"

#include <QPointF>
#include <QString>

// A page for measuring where a printer really puts what it prints: millimetre rulers along the
// top and left edges of the paper, and crosshairs at known positions with their coordinates
// written beside them. Measured against a real ruler, the difference is the printer's shift.
namespace CalibrationPage {

// The crosshairs' centres, in millimetres from the paper's top-left corner.
QList<QPointF> crossPositions(const QSizeF& paperMm);

// The page on the given paper; the printer's name and the offsets it will be printed with
// (which the printing applies, not this page) are written on it.
report::Document document(const QSizeF& paperMm, const QString& printerName,
                          const QPointF& offsetMm);

} // namespace CalibrationPage
