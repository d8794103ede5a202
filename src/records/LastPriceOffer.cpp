#include "records/LastPriceOffer.h"

#include "data/NumberText.h"
#include "ui/Guard.h"

#include <QAction>
#include <QLineEdit>

LastPriceOffer::LastPriceOffer(Connection* connection, QLineEdit* priceBox)
    : QObject(priceBox), connection_(connection), priceBox_(priceBox) {
    action_ = priceBox->addAction(QIcon(QStringLiteral(":/pictures/edit_lastprice.png")),
                                  QLineEdit::TrailingPosition);
    action_->setObjectName(QStringLiteral("LastPriceAction"));
    action_->setVisible(false);
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this,
            [this] { guarded(priceBox_, [this] { refresh(contact_, code_); }); });
}

QString LastPriceOffer::priceText() const {
    return found_ ? NumberText::general(found_->price) : QString();
}

void LastPriceOffer::refreshSoon(const QString& contact, const QString& code) {
    found_.reset();
    action_->setVisible(false);
    contact_ = contact;
    code_ = code;
    if (contact.isEmpty() || code.isEmpty())
        pause_.stop();
    else
        pause_.start();
}

void LastPriceOffer::refresh(const QString& contact, const QString& code) {
    pause_.stop();
    found_.reset();
    action_->setVisible(false);
    found_ = LastPrice::find(*connection_, contact, code);
    if (!found_)
        return;
    action_->setToolTip(QStringLiteral("上次价格 ¥%1（%2）")
                            .arg(priceText(), found_->date.toString(QStringLiteral("yyyy/M/d"))));
    action_->setVisible(true);
}
