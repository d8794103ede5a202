#pragma once

#include "charts/BarChart.h"

#include <QWidget>

// The sales chart in the window: the chart the report engine draws, fitted to the widget.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setChart(const charts::BarChart& chart);
    const charts::BarChart& chart() const { return chart_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    charts::BarChart chart_;
};
