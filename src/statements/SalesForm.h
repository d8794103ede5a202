#pragma once

#include "ledger/SalesSummary.h"

#include <QWidget>
#include <memory>

class BarChart;
class Connection;
class PeriodPickers;
class QButtonGroup;
class QTableWidget;

// "销售统计": the sums of a period by month, customer or goods, as a table with a total row and
// as a bar chart of the amounts; the table goes to a spreadsheet file, the chart to a PNG.
// The sums follow every change of the period or the grouping; "统计" reads the rows again.
class SalesForm : public QWidget {
    Q_OBJECT
public:
    // Customers and goods beyond this many share one bar, "其他".
    static constexpr int kMostBars = 15;

    explicit SalesForm(Connection* connection, QWidget* parent = nullptr);
    ~SalesForm() override;

    void RefreshClick();
    void ExportClick();
    void SaveChartClick();

    const SalesSummary& summary() const { return summary_; }

private:
    SalesSummary::Grouping grouping() const;
    void fillTable();
    void fillChart();

    Connection* connection_;
    std::unique_ptr<PeriodPickers> period_;
    QButtonGroup* grouping_;
    QTableWidget* table_;
    BarChart* chart_ = nullptr;
    SalesSummary summary_;
};
