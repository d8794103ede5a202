#pragma once

#include "ledger/PaymentBook.h"

#include <QDialog>

class QLineEdit;
class QSpinBox;

// "信用额度": a customer's credit limit (empty: none, no question before deliveries) and
// payment terms in days.
class CreditDialog : public QDialog {
    Q_OBJECT
public:
    CreditDialog(const Customer& customer, const Credit& credit, QWidget* parent);
    // The credit the boxes hold; empty, after saying why, when the limit is no amount.
    std::optional<Credit> read();
    void OkClick();

private:
    QLineEdit* limit_;
    QSpinBox* days_;
};
