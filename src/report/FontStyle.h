#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace report {

// A report font as the layout names it: family, size in points, weight and colour. Turned into
// a QFont only where text is measured or painted.
struct FontStyle {
    QString family = QStringLiteral("Arial");
    qreal pointSize = 10;
    bool bold = false;
    QColor color = Qt::black;

    // The font at its nominal point size; painting rescales it for the target device.
    QFont toFont() const;

    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

} // namespace report
