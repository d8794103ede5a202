#pragma once

#include <QChartView>
#include <QList>
#include <QString>

// A bar chart of one value per category, the categories along the bottom.
class BarChart : public QChartView {
    Q_OBJECT
public:
    explicit BarChart(QWidget* parent = nullptr);

    // Replaces the bars; the value axis starts at 0 (or below, for negative values).
    void setBars(const QString& seriesName, const QStringList& categories,
                 const QList<double>& values);
    int barCount() const;
    QStringList categories() const;
    QList<double> values() const;

    // The chart as it is drawn now, as a PNG file; replaces a file of that name. Fails with
    // AppError naming the file.
    void savePng(const QString& fileName);
};
