#pragma once

#include "ledger/Statement.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <memory>

// The customer statement "对账单" on A4 portrait: a title band with the company header (data
// set "表5"), the customer, the period and the heading row; one detail band per bill, and with
// details one more per item row under it; a summary band with the period total in figures and
// in capitals and a line for the customer's confirmation. The master data set is "对账单".
namespace StatementReport {

std::unique_ptr<report::Report> layout(const Statement& statement, bool details);
report::RowTable rows(const Statement& statement, bool details);

// The total in figures, to hundredths ("#0.##"), and in capitals with "整".
QString totalFigures(const Statement& statement);
QString totalCapitals(const Statement& statement);

} // namespace StatementReport
