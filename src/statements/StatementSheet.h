#pragma once

#include "ledger/Statement.h"

#include <QString>
#include <QStringList>

// A statement as a workbook of its own: the company, the customer and the period first, then
// the statement's columns, bill totals and item amounts each in a column of their own (so each
// adds up to the period total once), amounts shown #,##0.00, and the period total last.
namespace StatementSheet {

// Replaces the file; fails with AppError naming it.
void write(const Statement& statement, bool details, const QString& company,
           const QString& fileName);

} // namespace StatementSheet
