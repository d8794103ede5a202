#pragma once

#include "report/Document.h"

#include <QHash>
#include <QPointF>
#include <QString>

// What a print job does beyond the set-up's choices: the shift that makes up for where a
// printer really puts its pages, and labelled copies.
struct PrintOptions {
    // Millimetres to the right and down, by printer name; none for an unlisted printer.
    QHash<QString, QPointF> offsets;
    // One page of additions per copy (its label), painted over every page of that copy; the
    // copies go out one after the other in the one job. Empty: one copy, nothing added.
    QList<report::Page> copyOverlays;

    QPointF offsetFor(const QString& printerName) const { return offsets.value(printerName); }
};
