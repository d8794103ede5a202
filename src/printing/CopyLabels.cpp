#include "printing/CopyLabels.h"

#include "report/TextMeasure.h"

namespace CopyLabels {

namespace {

// The note's paper is 190 mm wide with 9 mm margins; its title band starts 13 mm down.
constexpr qreal kRightEdge = 190 - 9;
constexpr qreal kTop = 7;
constexpr qreal kHeight = 4.5;

const report::FontStyle kFont{QStringLiteral("宋体"), 12, true, Qt::black};

} // namespace

QStringList defaults() {
    return {QStringLiteral("第一联 存根"), QStringLiteral("第二联 客户"),
            QStringLiteral("第三联 回单"), QStringLiteral("第四联 记账"),
            QStringLiteral("第五联 仓库")};
}

report::Page overlay(const QString& label) {
    report::Page page;
    if (label.isEmpty())
        return page;
    report::TextMeasure measure(kFont);
    const qreal width = measure.width(label);
    report::TextOp op;
    op.item = QStringLiteral("CopyLabel");
    op.box = QRectF(kRightEdge - width, kTop, width, kHeight);
    op.lines = QStringList{label};
    op.baseline = measure.baselineIn(kHeight);
    op.lineStep = kHeight;
    op.font = kFont;
    page.ops.append(op);
    return page;
}

QList<report::Page> overlays(int copies, const QStringList& labels) {
    const int count = qBound(1, copies, kMaxCopies);
    if (count == 1)
        return {};
    const QStringList fallback = defaults();
    QList<report::Page> pages;
    for (int copy = 0; copy < count; ++copy)
        pages.append(overlay(copy < labels.size() ? labels.at(copy) : fallback.at(copy)));
    return pages;
}

} // namespace CopyLabels
