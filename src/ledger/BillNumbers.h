#pragma once

#include "ledger/BillNumberPattern.h"

#include <QDate>
#include <QString>
#include <optional>

class Connection;

// What the delivery table says about bill numbers: the next free number of a pattern and who
// a number already belongs to. Reads through data sets of its own, so the lists the windows
// show stay as they are.
class BillNumbers {
public:
    explicit BillNumbers(Connection* connection) : connection_(connection) {}

    // One above the highest running number of the pattern on that day found in 表3; the
    // first of the day when there is none. On a server also above every number handed out to
    // any workstation, and taken for this one, unless it still holds one it has not stored.
    // Fails with a message for a pattern without one run of N.
    QString next(const BillNumberPattern& pattern, const QDate& day) const;

    struct Use {
        QString contact;
        QDate date;
    };
    // The first row of the bill (its number matched as the bill selection matches it) whose
    // contact is another one, ASCII case ignored; empty when every row has that contact. An
    // empty contact, given or stored, is no customer and clashes with none. The row with
    // `ownRow` (the row being modified) is left out.
    std::optional<Use> otherCustomer(const QString& bill, const QString& contact,
                                     qint64 ownRow = 0) const;

private:
    Connection* connection_;
};
