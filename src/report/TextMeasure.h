#pragma once

#include "report/FontStyle.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStringList>

namespace report {

// Measures text in millimetres against a fixed 1200 dpi reference, never the screen, so that
// a page lays out the same whichever device it is later painted on.
class TextMeasure {
public:
    explicit TextMeasure(const FontStyle& font);

    qreal width(const QString& text);
    // The text broken into lines no wider than roomMm: at word boundaries, and between any two
    // characters where a word (or a run of CJK text, which has no spaces) is wider than the room.
    QStringList wrap(const QString& text, qreal roomMm) const;
    // Distance from the top of a line box of the given height to the baseline, chosen so that
    // the glyphs' em box sits in the middle of the box.
    qreal baselineIn(qreal lineHeightMm) const;

private:
    QFont font_;
    QFontMetricsF metrics_;
    QHash<QString, qreal> widths_;
};

} // namespace report
