#include "ledger/Settlement.h"

#include "ledger/DeliveryRows.h"

#include <QHash>
#include <algorithm>

namespace Settlement {

qint64 fenOf(qint64 tenThousandths) {
    return tenThousandths >= 0 ? (tenThousandths + 50) / 100 : -((-tenThousandths + 50) / 100);
}

void sortBills(QList<Bill>& bills) {
    std::stable_sort(bills.begin(), bills.end(), [](const Bill& a, const Bill& b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.number < b.number;
    });
}

QList<Part> allocate(QList<Bill> bills, QList<Payment> payments) {
    sortBills(bills);
    std::stable_sort(payments.begin(), payments.end(),
                     [](const Payment& a, const Payment& b) { return a.date < b.date; });
    QList<qint64> open;
    QHash<QString, qsizetype> byNumber;
    for (qsizetype i = 0; i < bills.size(); ++i) {
        open.append(qMax<qint64>(0, bills[i].amount));
        byNumber.insert(Ledger::asciiFolded(bills[i].number), i);
    }
    QList<Part> parts;
    qsizetype oldest = 0;
    for (const Payment& payment : payments) {
        qint64 left = payment.amount;
        const auto settle = [&](qsizetype bill) {
            const qint64 take = qMin(left, open[bill]);
            if (take <= 0)
                return;
            open[bill] -= take;
            left -= take;
            parts.append({payment.id, bills[bill].number, take});
        };
        for (const QString& chosen : payment.chosen) {
            const auto found = byNumber.constFind(Ledger::asciiFolded(chosen));
            if (found != byNumber.constEnd())
                settle(*found);
        }
        while (oldest < bills.size() && open[oldest] == 0)
            ++oldest;
        for (qsizetype bill = oldest; bill < bills.size() && left > 0; ++bill)
            settle(bill);
    }
    return parts;
}

qint64 settledOn(const QList<Part>& parts, const QString& bill) {
    qint64 sum = 0;
    for (const Part& part : parts)
        if (Ledger::sameButAsciiCase(part.bill, bill))
            sum += part.amount;
    return sum;
}

qint64 settledBy(const QList<Part>& parts, const QString& payment) {
    qint64 sum = 0;
    for (const Part& part : parts)
        if (part.payment == payment)
            sum += part.amount;
    return sum;
}

} // namespace Settlement
