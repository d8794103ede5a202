#include "charts/BarChart.h"

#include "base/AppError.h"
#include "platform/PendingFile.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDir>
#include <QValueAxis>
#include <algorithm>

BarChart::BarChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));
    setBars(QString(), {}, {});
}

void BarChart::setBars(const QString& seriesName, const QStringList& categories,
                       const QList<double>& values) {
    QChart* c = chart();
    c->removeAllSeries();
    // A removed axis is handed back to us, not deleted.
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }

    auto* set = new QBarSet(seriesName);
    set->setColor(QColor(0x4e, 0x70, 0x99));
    set->setBorderColor(QColor(0x38, 0x57, 0x7a));
    set->setLabelColor(Qt::white);
    set->append(values);
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    c->addSeries(series);

    auto* names = new QBarCategoryAxis;
    names->append(categories);
    c->addAxis(names, Qt::AlignBottom);
    series->attachAxis(names);

    auto* amounts = new QValueAxis;
    const double low =
        values.isEmpty() ? 0 : std::min(0.0, *std::min_element(values.begin(), values.end()));
    const double high =
        values.isEmpty() ? 1 : std::max(0.0, *std::max_element(values.begin(), values.end()));
    amounts->setRange(low, high > 0 ? high : 1);
    // Whole numbers read best once amounts run into hundreds.
    amounts->setLabelFormat(high >= 100 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    c->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(amounts);
    amounts->applyNiceNumbers();
}

namespace {

QBarSet* firstSet(const QChart* chart) {
    const QList<QAbstractSeries*> series = chart->series();
    if (series.isEmpty())
        return nullptr;
    const QList<QBarSet*> sets = static_cast<QBarSeries*>(series.first())->barSets();
    return sets.isEmpty() ? nullptr : sets.first();
}

} // namespace

int BarChart::barCount() const {
    const QBarSet* set = firstSet(chart());
    return set ? static_cast<int>(set->count()) : 0;
}

QList<double> BarChart::values() const {
    QList<double> out;
    if (const QBarSet* set = firstSet(chart()))
        for (int i = 0; i < set->count(); ++i)
            out.append(set->at(i));
    return out;
}

QStringList BarChart::categories() const {
    for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal))
        if (auto* names = qobject_cast<QBarCategoryAxis*>(axis))
            return names->categories();
    return {};
}

void BarChart::savePng(const QString& fileName) {
    PendingFile file(fileName);
    if (!grab().save(file.path(), "PNG"))
        throw AppError(
            QStringLiteral("无法写入文件“%1”。").arg(QDir::toNativeSeparators(fileName)));
    file.commit();
}
