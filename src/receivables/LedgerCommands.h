#pragma once

#include <QPointer>
#include <memory>

class Connection;
class Dataset;
class NoteHeader;
class ReceivablesWindow;
class QWidget;

// The toolbar's "收款" (the payment form, modal to the main window) and "应收款" (the one
// receivables window, raised when it is already open).
class LedgerCommands {
public:
    LedgerCommands(QWidget* window, Connection* connection, Dataset* profile);
    ~LedgerCommands();

    void PaymentButtonClick();
    void ReceivablesButtonClick();

private:
    QWidget* window_;
    Connection* connection_;
    std::unique_ptr<NoteHeader> header_;
    QPointer<ReceivablesWindow> receivables_;
};
