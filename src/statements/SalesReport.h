#pragma once

#include "charts/BarChart.h"
#include "ledger/SalesSummary.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <QStringList>
#include <memory>

// The sales summary as the window shows it and the page prints it: the table's headings and
// texts, the chart's bars, and the printed report "销售统计" on A4 portrait (company from data
// set "表5", period, grouping; the table with its headings on every page and its total; the
// chart under it; page numbers at the foot). The master data set is "销售统计".
namespace SalesReport {

// Customers and goods beyond this many share one bar, "其他".
constexpr int kMostBars = 15;

QString groupingName(SalesSummary::Grouping grouping); // "按月", "按客户", "按商品"
QStringList headings(SalesSummary::Grouping grouping);
// A row's texts under the headings; the quantity only where it counts.
QStringList texts(const SalesSummary::Row& row, SalesSummary::Grouping grouping);
// Whether the column holds figures (right-aligned).
bool isFigure(SalesSummary::Grouping grouping, qsizetype column);

// The chart of the amounts, with the period and grouping as its heading when asked.
charts::BarChart chart(const SalesSummary& summary, const QDate& from, const QDate& to,
                       bool heading);
// "统计期间：2026/1/1 至 2026/11/30　分组：按月"
QString periodLine(SalesSummary::Grouping grouping, const QDate& from, const QDate& to);
// "销售统计_按月_2026-01-01_2026-11-30": the name a saved table or chart suggests.
QString fileBase(SalesSummary::Grouping grouping, const QDate& from, const QDate& to);

std::unique_ptr<report::Report> layout(const SalesSummary& summary, const QDate& from,
                                       const QDate& to);
report::RowTable rows(const SalesSummary& summary);

} // namespace SalesReport
