#pragma once

#include "ledger/SalesSummary.h"

#include <QWidget>
#include <memory>

class ChartView;
class Connection;
class NoteHeader;
class PeriodPickers;
class QButtonGroup;
class QLabel;
class QTableWidget;
struct PrintSettings;

// "销售统计": the sums of a period by month, customer or goods, as a table with a total row and
// as a bar chart of the amounts; "打印" shows the report with table and chart in the print
// preview, the table goes to a spreadsheet file, the chart to a PNG. The sums follow every
// change of the period or the grouping ("统计" reads the rows again); a period that ends
// before it starts shows nothing and says so.
class SalesForm : public QWidget {
    Q_OBJECT
public:
    SalesForm(Connection* connection, const NoteHeader& header, PrintSettings* printerSettings,
              QWidget* parent = nullptr);
    ~SalesForm() override;

    void RefreshClick();
    void PrintClick();
    void ExportClick();
    void SaveChartClick();

    const SalesSummary& summary() const { return summary_; }

private:
    SalesSummary::Grouping grouping() const;
    // False, after saying so in a box, when the period ends before it starts.
    bool periodAccepted();
    void fillTable();

    Connection* connection_;
    const NoteHeader& header_;
    PrintSettings* printerSettings_;
    std::unique_ptr<PeriodPickers> period_;
    QButtonGroup* grouping_;
    QLabel* problem_;
    QTableWidget* table_;
    ChartView* chart_;
    SalesSummary summary_;
};
