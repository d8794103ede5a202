#pragma once

#include "ledger/PaymentBook.h"
#include "printing/Capitals.h"
#include "printing/TableReport.h"

// "收款收据": a payment on half an A4 sheet (landscape A5): the company header, customer, date,
// amount in figures and in capitals, method, the bills it settled (number, date, bill amount,
// settled now) and what went to prepayment, the handler and the remark.
namespace ReceiptReport {

TableReport::Layout layout(const Payment& payment, const QList<Settlement::Part>& parts,
                           Capitals::Style style);
QList<QStringList> rows(const Payment& payment, const QList<Settlement::Bill>& bills,
                        const QList<Settlement::Part>& parts);

} // namespace ReceiptReport
