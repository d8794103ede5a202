#include "receivables/LedgerCommands.h"

#include "ledger/Customers.h"
#include "printing/NoteHeader.h"
#include "receivables/PaymentForm.h"
#include "receivables/ReceivablesWindow.h"

#include <QPoint>
#include <QRect>

LedgerCommands::LedgerCommands(QWidget* window, Connection* connection, Dataset* profile)
    : window_(window), connection_(connection), header_(std::make_unique<NoteHeader>(profile)) {}

LedgerCommands::~LedgerCommands() {
    delete receivables_.data();
}

void LedgerCommands::PaymentButtonClick() {
    const Customers customers(connection_);
    PaymentForm form(connection_, customers, window_);
    if (form.exec() == QDialog::Accepted && receivables_)
        receivables_->RefreshClick();
}

void LedgerCommands::ReceivablesButtonClick() {
    if (!receivables_) {
        receivables_ = new ReceivablesWindow(connection_, *header_, window_);
        receivables_->setAttribute(Qt::WA_DeleteOnClose);
        const QRect frame = window_->frameGeometry();
        receivables_->move(frame.center() -
                           QPoint(receivables_->width() / 2, receivables_->height() / 2));
    }
    receivables_->RefreshClick();
    receivables_->show();
    receivables_->raise();
    receivables_->activateWindow();
}
