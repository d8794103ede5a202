#include "ledger/BillNumbers.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "ledger/DeliveryRows.h"

namespace {

const QString kDeliveries = QStringLiteral("表3");
const QString kBill = QStringLiteral("单据编号");

} // namespace

QString BillNumbers::next(const BillNumberPattern& pattern, const QDate& day) const {
    if (!pattern.isValid())
        throw ConversionError(QStringLiteral("单号格式须含一段连续的 N（流水号），最多 9 位。"));
    // The prefix narrows the rows the engine returns; the pattern decides which really count.
    Dataset list(connection_, QStringLiteral("BillNumbers"));
    const QString prefix = pattern.prefix(day);
    list.setQuery(prefix.isEmpty() ? Query::all(kDeliveries)
                                   : Query::like(kDeliveries, kBill, prefix));
    const DeliveryRows rows(list);
    const int bill = rows.field(kBill);
    qint64 highest = 0;
    for (int row = 0; row < rows.count(); ++row) {
        if (const std::optional<qint64> n = pattern.numberOf(rows.text(row, bill), day))
            highest = std::max(highest, *n);
    }
    // A number is offered only once it is taken for this workstation (where several share the
    // data). One it took before and has not stored yet is offered to it again, as the table
    // offers the same number until a row holds it.
    Engine& engine = connection_->engine();
    std::optional<qint64> own;
    qint64 taken = highest;
    for (const Engine::IssuedNumber& number : engine.issuedNumbers(prefix)) {
        const std::optional<qint64> n = pattern.numberOf(number.number, day);
        if (!n)
            continue;
        if (number.mine && *n > highest)
            own = std::min(own.value_or(*n), *n);
        taken = std::max(taken, *n);
    }
    if (own)
        return pattern.format(day, *own);
    qint64 next = taken + 1;
    while (!engine.takeNumber(pattern.format(day, next)))
        ++next;
    return pattern.format(day, next);
}

std::optional<BillNumbers::Use>
BillNumbers::otherCustomer(const QString& bill, const QString& contact, qint64 ownRow) const {
    // A row without a contact names no customer, so it clashes with none.
    if (contact.isEmpty())
        return std::nullopt;
    Dataset list(connection_, QStringLiteral("BillOwners"));
    list.setQuery(Query::equal(kDeliveries, kBill, bill));
    const DeliveryRows rows(list);
    const int owner = rows.field(QStringLiteral("联系人"));
    for (int row = 0; row < rows.count(); ++row) {
        const QString stored = rows.text(row, owner);
        if (ownRow != 0 && list.rowId(row) == ownRow)
            continue;
        if (!stored.isEmpty() && !Ledger::sameButAsciiCase(stored, contact))
            return Use{stored, rows.date(row)};
    }
    return std::nullopt;
}
