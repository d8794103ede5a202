#include "statements/ReportCommands.h"

#include "printing/NoteHeader.h"
#include "statements/SalesForm.h"
#include "statements/StatementForm.h"

ReportCommands::ReportCommands(QWidget* window, Connection* connection, Dataset* profile)
    : window_(window), connection_(connection), header_(std::make_unique<NoteHeader>(profile)) {}

ReportCommands::~ReportCommands() {
    delete sales_.data();
}

void ReportCommands::StatementButtonClick() {
    StatementForm form(connection_, *header_, &printerSettings_, window_);
    form.exec();
}

void ReportCommands::SalesButtonClick() {
    if (!sales_) {
        sales_ = new SalesForm(connection_, window_);
        sales_->setAttribute(Qt::WA_DeleteOnClose);
    }
    sales_->RefreshClick();
    sales_->show();
    sales_->raise();
    sales_->activateWindow();
}
