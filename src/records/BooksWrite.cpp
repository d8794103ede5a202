#include "records/BooksWrite.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "ledger/BooksFollow.h"

namespace {

// The customer a row names: for a delivery row only its contact counts.
Customer customerOf(const Dataset& list) {
    const auto text = [&](const char* field) {
        return list.text(list.recNo(), list.fieldIndex(QString::fromUtf8(field))).trimmed();
    };
    return {text("联系人"), text("联系电话"), text("单位地址"), true};
}

void readAgain(Dataset& list) {
    const int row = list.recNo();
    try {
        list.close();
        list.open();
        list.moveTo(qMin(row, list.recordCount() - 1));
    } catch (...) {
        // The write's error is the one to show; the list waits for a refresh.
    }
}

} // namespace

void writeWithBooks(Dataset& list, RowWrite kind, const std::function<void()>& write) {
    const bool customers = list.query().table == QStringLiteral("表2");
    if (!customers && list.query().table != QStringLiteral("表3")) {
        write();
        return;
    }
    const Customer before = kind == RowWrite::Add ? Customer{} : customerOf(list);
    bool written = false;
    try {
        Transaction transaction(*list.connection());
        write();
        written = true;
        const Customer after = kind == RowWrite::Remove ? Customer{} : customerOf(list);
        BooksFollow books(list.connection());
        if (customers) {
            books.customerRow(before, after);
        } else {
            books.deliveryRow(before.contact);
            books.deliveryRow(after.contact);
        }
        books.apply();
        transaction.commit();
    } catch (...) {
        // The transaction has rolled back by now.
        if (written)
            readAgain(list);
        throw;
    }
}
