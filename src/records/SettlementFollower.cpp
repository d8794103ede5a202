#include "records/SettlementFollower.h"

#include "data/Dataset.h"
#include "ledger/Customers.h"
#include "ledger/PaymentBook.h"
#include "ui/Guard.h"

#include <QMetaObject>
#include <QWidget>

SettlementFollower::SettlementFollower(Dataset* deliveries, QWidget* owner)
    : QObject(owner), deliveries_(deliveries), owner_(owner) {
    connect(deliveries_, &Dataset::aboutToRemoveRow, this, &SettlementFollower::note);
    connect(deliveries_, &Dataset::rowInserted, this, &SettlementFollower::note);
    connect(deliveries_, &Dataset::rowChanged, this, &SettlementFollower::note);
}

void SettlementFollower::aboutToChange(int row) {
    note(row);
}

void SettlementFollower::note(int row) {
    const auto text = [&](const char* field) {
        return deliveries_->text(row, deliveries_->fieldIndex(QString::fromUtf8(field)));
    };
    rows_.insert(text("联系人") + u'\n' + text("单位地址") + u'\n' + text("联系电话"));
    if (scheduled_)
        return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        this, [this] { guarded(owner_, [this] { settle(); }); }, Qt::QueuedConnection);
}

void SettlementFollower::settle() {
    scheduled_ = false;
    if (rows_.isEmpty())
        return;
    const QSet<QString> rows = std::exchange(rows_, {});
    const Customers customers(deliveries_->connection());
    PaymentBook book(deliveries_->connection(), customers);
    QSet<QString> done;
    for (const QString& row : rows) {
        const QStringList parts = row.split(u'\n');
        const Customer owner = customers.ownerOf(parts[0], parts[1], parts[2]);
        if (!owner.listed || done.contains(owner.key()))
            continue;
        done.insert(owner.key());
        book.resettle(owner);
    }
}
