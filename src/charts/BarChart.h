#pragma once

#include "report/Document.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace charts {

// A bar chart of one amount per category, drawn as the report engine's draw operations in
// millimetres, so that the window, the printed page, the PDF and the saved picture show the
// same chart. The value scale starts at 0 (or below, for negative amounts) and runs in round
// steps; each bar carries its amount, inside its top where the bar is tall enough for it, else
// just beyond its end; the names stand under the bars, on two lines at most.
class BarChart {
public:
    struct Bar {
        QString name;
        double value = 0;
    };

    // Lines drawn above the chart (title, period, grouping); none by default.
    void setHeading(const QStringList& lines) { heading_ = lines; }
    void setBars(const QList<Bar>& bars) { bars_ = bars; }
    const QList<Bar>& bars() const { return bars_; }

    // The chart filling a box of the given size, from its top-left corner. Bars are named
    // "ChartBar<i>", their amounts "ChartValue<i>", their names "ChartName<i>" (from 1).
    QList<report::DrawOp> draw(const QSizeF& sizeMm) const;

    // An amount as a bar label: up to two decimals and thousands separators, in 万 from
    // 10,000 and in 亿 from 100,000,000 ("1,234.5", "12.35万").
    static QString valueText(double value);

private:
    QStringList heading_;
    QList<Bar> bars_;
};

} // namespace charts
