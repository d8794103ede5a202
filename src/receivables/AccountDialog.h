#pragma once

#include "ledger/PaymentBook.h"
#include "printing/PrintSettings.h"

#include <QDialog>

class Connection;
class NoteHeader;
class QLabel;
class QTableWidget;

// One customer's account: its bills (amount, received, outstanding, status 未收 / 部分收款 /
// 已收清) and its payments, which are changed, deleted or printed as a receipt from here.
class AccountDialog : public QDialog {
    Q_OBJECT
public:
    AccountDialog(Connection* connection, const Customers& customers, const Customer& customer,
                  const NoteHeader& header, QWidget* parent);

    void ModifyClick();
    void DeleteClick();
    void ReceiptClick();
    void fill();

private:
    // The payment of the current row of the payments' table; empty, after saying so, without.
    std::optional<Payment> current();

    Connection* connection_;
    const Customers& customers_;
    Customer customer_;
    const NoteHeader& header_;
    PaymentBook book_;
    QList<Payment> payments_;
    QLabel* balance_;
    QTableWidget* bills_;
    QTableWidget* paymentsTable_;
    PrintSettings printerSettings_;
};
