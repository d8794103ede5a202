#pragma once

#include "ledger/Receivables.h"

#include <memory>

// Every customer's receivables from the loaded lists, kept between readings: each customer's
// bills (from the delivery rows), payments and what they leave owed on which bills. A reading
// after rows were written through this process's lists goes through the rows of the customers
// they concern only; a list loaded anew or changed customer rows read all rows again, and only
// the customers whose bills or payments came out different are settled again. The figures
// equal those of a whole pass to the fen either way.
class ReceivableBook {
public:
    ReceivableBook();
    ~ReceivableBook();
    ReceivableBook(const ReceivableBook&) = delete;
    ReceivableBook& operator=(const ReceivableBook&) = delete;

    // As Receivables::read.
    QList<Receivable> read(Connection* connection, const Customers& customers, const QDate& today);
    // The delivery and payment rows the last reading went through.
    qsizetype rowsRead() const;

private:
    struct Kept;
    std::unique_ptr<Kept> kept_;
};
