#include "records/LastPriceOffer.h"

#include "data/NumberText.h"

#include <QAction>
#include <QLineEdit>

LastPriceOffer::LastPriceOffer(Connection* connection, QLineEdit* priceBox)
    : QObject(priceBox), connection_(connection) {
    action_ = priceBox->addAction(QIcon(QStringLiteral(":/pictures/edit_lastprice.png")),
                                  QLineEdit::TrailingPosition);
    action_->setObjectName(QStringLiteral("LastPriceAction"));
    action_->setVisible(false);
}

QString LastPriceOffer::priceText() const {
    return found_ ? NumberText::general(found_->price) : QString();
}

void LastPriceOffer::refresh(const QString& contact, const QString& code) {
    found_.reset();
    action_->setVisible(false);
    found_ = LastPrice::find(*connection_, contact, code);
    if (!found_)
        return;
    action_->setToolTip(QStringLiteral("上次价格 ¥%1（%2）")
                            .arg(priceText(), found_->date.toString(QStringLiteral("yyyy/M/d"))));
    action_->setVisible(true);
}
