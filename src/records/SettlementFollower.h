#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class Dataset;
class QWidget;

// Keeps payments settled against the bills as they stand: every delivery row added, changed
// or removed through the delivery list has its customer's payments settled again (and, for a
// changed row, the customer it belonged to before). The customers are gathered and settled
// once the handler that wrote the rows has returned, so that deleting many rows settles each
// customer once. A failure is shown in the standard error box.
class SettlementFollower : public QObject {
    Q_OBJECT
public:
    SettlementFollower(Dataset* deliveries, QWidget* owner);

    // Called before a row of the list is changed: its customer as it stands then.
    void aboutToChange(int row);
    // Settles the gathered customers now.
    void settle();

private:
    void note(int row);

    Dataset* deliveries_;
    QWidget* owner_;
    // (contact, address, telephone) of rows written, joined by line breaks.
    QSet<QString> rows_;
    bool scheduled_ = false;
};
