#pragma once

#include "data/LastPrice.h"

#include <QObject>
#include <optional>

class Connection;
class QAction;
class QLineEdit;

// The price a customer paid last for a goods code, offered as a trailing action inside the
// price box while there is one: its tool tip gives the price and the day; the panel puts the
// price in when the action is clicked, so nothing changes unasked.
class LastPriceOffer : public QObject {
    Q_OBJECT
public:
    LastPriceOffer(Connection* connection, QLineEdit* priceBox);

    // Looks up the price for this contact and code; the action hides when there is none.
    void refresh(const QString& contact, const QString& code);
    QAction* action() const { return action_; }
    // The price offered, in the general format the price box takes.
    QString priceText() const;

private:
    Connection* connection_;
    QAction* action_;
    std::optional<LastPrice::Found> found_;
};
