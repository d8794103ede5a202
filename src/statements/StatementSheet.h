#pragma once

#include "ledger/Statement.h"

#include <QString>
#include <QStringList>

// A statement of account as a workbook of its own: the company, the customer and the period
// first, then the rows the printed statement shows (opening balance, bills, payments, running
// balance; with details the item amounts in a column of their own beside the account column),
// amounts shown #,##0.00, and 本期送货, 本期收款 and 期末欠款 last.
namespace StatementSheet {

// Replaces the file; fails with AppError naming it.
void write(const Statement& statement, bool details, const QString& company,
           const QString& fileName);

} // namespace StatementSheet
