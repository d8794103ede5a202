#include "printing/BillSelection.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Engine.h"

#include <QLineEdit>

BillSelection::BillSelection(Connection* main, Dataset* deliveries, Dataset* printBuffer,
                             QLineEdit* billBox)
    : main_(main), deliveries_(deliveries), buffer_(printBuffer), billBox_(billBox) {}

void BillSelection::DBGridEh3CellClick() {
    try {
        Transaction transaction(*main_);
        refill();
        transaction.commit();
    } catch (...) {
        // The refill has rolled back to the earlier bill; a print now would show that bill,
        // which the user did not click. An empty buffer prints as an empty note instead.
        try {
            Transaction transaction(*main_);
            emptyBuffer();
            transaction.commit();
        } catch (...) {
            // The first error is the one to show.
            buffer_->close();
        }
        throw;
    }
}

void BillSelection::emptyBuffer() {
    buffer_->close();
    buffer_->setQuery(Query::all(QStringLiteral("表4")));
    buffer_->open();
    buffer_->first();
    while (buffer_->recordCount() > 0)
        buffer_->remove();
}

void BillSelection::refill() {
    billBox_->setText(deliveries_->text(QStringLiteral("单据编号")));
    const QString bill = billBox_->text();
    // One statement of the engine copies the bill, however many rows it has.
    main_->engine().refillPrintBuffer(bill);
    buffer_->close();
    buffer_->setQuery(Query::all(QStringLiteral("表4")));
    buffer_->open();
    buffer_->last();
    deliveries_->close();
    deliveries_->setQuery(Query::equal(QStringLiteral("表3"), QStringLiteral("单据编号"), bill));
    deliveries_->open();
    deliveries_->last();
}
