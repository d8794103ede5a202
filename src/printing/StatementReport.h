#pragma once

#include "ledger/Statement.h"
#include "printing/Capitals.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <memory>

// The customer's statement of account "对账单" on A4 portrait: the company header on the
// first page (data set "表5"); on every page the customer, the period and the column headings,
// and "第 N 页 共 M 页" at the foot; the opening balance, then each bill (with details its item
// rows under it, kept on one page where they fit) and each payment in date order, with the
// running balance (with details the bill totals' column holds opening, bills and payments, so
// it adds up to the closing balance); a summary with 期初余额, 本期送货 and 本期收款, what is
// owed at the end in figures and in capitals and a line for the customer's confirmation,
// saying so when the period holds no bills. Amounts stand right-aligned with two decimals and
// thousands separators. The master data set is "对账单".
namespace StatementReport {

std::unique_ptr<report::Report> layout(const Statement& statement, bool details,
                                       Capitals::Style style);
report::RowTable rows(const Statement& statement, bool details);

// The column headings: with details the item amount ("金额") and the bill total ("单据金额")
// have a column each.
QStringList headings(bool details);
// The customer as the statement names it: contact, address and telephone.
QString customerText(const Statement& statement);
// "对账单_<联系人>_<起>_<止>", dates as yyyy-MM-dd: the name a saved statement suggests.
QString fileBase(const Statement& statement);

// The account's entries in date order, a day's bills before its payments.
struct Entry {
    QDate date;
    const Statement::Bill* bill = nullptr;
    const Statement::Receipt* receipt = nullptr;
};
QList<Entry> entries(const Statement& statement);
// How a payment reads in the account: "收款（现金）".
QString receiptText(const Statement::Receipt& receipt);

// What is owed at the end of the period in figures ("1,234.50") and in capitals in the given
// style.
QString totalFigures(const Statement& statement);
QString totalCapitals(const Statement& statement, Capitals::Style style);

} // namespace StatementReport
