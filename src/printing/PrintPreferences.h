#pragma once

#include "printing/CopyLabels.h"
#include "printing/PrintOptions.h"

#include <QHash>
#include <QPointF>
#include <QStringList>

// The print group of the program's settings: each printer's offsets, the number of copies of
// a note and their labels. Values out of range read as the nearest allowed one.
struct PrintPreferences {
    static constexpr qreal kMaxOffsetMm = 20.0;

    QHash<QString, QPointF> offsets; // by printer name, millimetres right and down
    int copies = 1;
    QStringList labels = CopyLabels::defaults();

    static PrintPreferences load();
    // Fails with AppError when the settings cannot be written.
    void store() const;

    // The options of a print job; copy labels only for a note (labelledCopies).
    PrintOptions options(bool labelledCopies) const;

    // The offsets as stored: a JSON object of printer name to {"x": mm, "y": mm}.
    static QString offsetsText(const QHash<QString, QPointF>& offsets);
    static QHash<QString, QPointF> offsetsFromText(const QString& text);
};
