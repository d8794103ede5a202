#pragma once

#include "ledger/PaymentBook.h"

#include <QDialog>
#include <optional>

class Connection;
class DatePicker;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// "收款": a payment received from a customer (a row of the customer table), or a stored one
// changed. The customer's open bills show what the payment settles before it is saved, oldest
// first; ticking bills in "指定" settles those first instead. What is left is prepayment.
class PaymentForm : public QDialog {
    Q_OBJECT
public:
    // A new payment, or `stored` to change.
    PaymentForm(Connection* connection, const Customers& customers, QWidget* parent,
                const std::optional<Payment>& stored = std::nullopt);

    // Starts the form on this customer.
    void chooseCustomer(const Customer& customer);
    void SaveClick();
    // The payment as saved; empty before.
    const std::optional<Payment>& saved() const { return saved_; }

private:
    std::optional<Customer> customer() const;
    // The payment the boxes describe; empty, after saying why unless quiet, when they
    // describe none.
    std::optional<Payment> read(bool quiet);
    void fillBills();
    void showSettlement();

    Connection* connection_;
    const Customers& customers_;
    PaymentBook book_;
    std::optional<Payment> stored_;
    std::optional<Payment> saved_;
    QComboBox* customer_;
    DatePicker* date_;
    QLineEdit* amount_;
    QComboBox* method_;
    QComboBox* handler_;
    QLineEdit* remark_;
    QTableWidget* bills_;
    QLabel* summary_;
    bool filling_ = false;
};
