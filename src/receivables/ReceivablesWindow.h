#pragma once

#include "ledger/Receivables.h"
#include "printing/PrintSettings.h"

#include <QWidget>
#include <memory>

class Connection;
class NoteHeader;
class QLabel;
class QTableWidget;

// "应收款": one row per customer with bills or payments (delivered, received, balance, the
// oldest unpaid bill, ageing, credit limit and terms, an over-limit mark) and their totals.
// A customer opens its bills and payments; payments are recorded, changed and deleted from
// here; credit limits set; the table exported to a workbook or shown as a printable page.
class ReceivablesWindow : public QWidget {
    Q_OBJECT
public:
    ReceivablesWindow(Connection* connection, const NoteHeader& header, QWidget* parent);
    ~ReceivablesWindow() override;

    void RefreshClick();
    void PaymentClick();
    void AccountClick();
    void CreditClick();
    void ExportClick();
    void PrintClick();

    // The column headings and the rows as the table shows them, totals last.
    static QStringList headings();
    static QList<QStringList> texts(const QList<Receivable>& rows);

private:
    // The customer of the current row; empty, after saying so, without one.
    std::optional<Customer> current();

    Connection* connection_;
    const NoteHeader& header_;
    std::unique_ptr<Customers> customers_;
    QList<Receivable> rows_;
    QDate today_;
    QTableWidget* table_;
    QLabel* asOf_;
    PrintSettings printerSettings_;
};
