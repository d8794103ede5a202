#pragma once

#include "data/LastPrice.h"

#include <QObject>
#include <QTimer>
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
    // The pause in typing after which the price is looked up: a file made before the look-up
    // had its index reads the whole delivery table for it, which no keystroke should wait for.
    static constexpr int kPauseMs = 200;

    LastPriceOffer(Connection* connection, QLineEdit* priceBox);

    // Withdraws the offer at once and looks up the price for this contact and code once the
    // typing pauses.
    void refreshSoon(const QString& contact, const QString& code);
    // Looks up the price now; the action hides when there is none.
    void refresh(const QString& contact, const QString& code);
    QAction* action() const { return action_; }
    // The price offered, in the general format the price box takes.
    QString priceText() const;

private:
    Connection* connection_;
    QLineEdit* priceBox_;
    QAction* action_;
    QTimer pause_;
    QString contact_;
    QString code_;
    std::optional<LastPrice::Found> found_;
};
