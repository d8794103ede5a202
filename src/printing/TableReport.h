#pragma once

#include "report/Report.h"
#include "report/RowTable.h"

#include <QStringList>
#include <memory>

// A page of the ledger's reports (receivables, the receipt): the company header on the first
// page (data set "表5") and a title; on every page the lines said of the whole report and the
// column headings; one ruled row per row of the master data set "明细"; lines under the last
// row; "第 N 页 共 M 页" at the foot. Figures stand right-aligned.
namespace TableReport {

struct Column {
    QString heading;
    qreal width = 20; // mm
    bool right = false;
};

struct Layout {
    QString name; // the report's object name
    QString title;
    QString savedName;
    QSizeF paper{210, 297};
    QStringList headerLines; // on every page, above the headings
    QList<Column> columns;
    QStringList summaryLines;    // after the last row
    bool signatureLines = false; // the customer's confirmation under the summary
};

std::unique_ptr<report::Report> layout(const Layout& layout);
// The master data set's rows, fields named by the headings.
report::RowTable rows(const Layout& layout, const QList<QStringList>& cells);

} // namespace TableReport
