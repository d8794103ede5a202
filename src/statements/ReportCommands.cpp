#include "statements/ReportCommands.h"

#include "printing/NoteHeader.h"
#include "statements/SalesForm.h"
#include "statements/StatementForm.h"

#include <QPoint>
#include <QRect>

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
        sales_ = new SalesForm(connection_, *header_, &salesPrinterSettings_, window_);
        sales_->setAttribute(Qt::WA_DeleteOnClose);
        // Over the middle of the main window, not wherever the window manager puts it.
        const QRect frame = window_->frameGeometry();
        sales_->move(frame.center() - QPoint(sales_->width() / 2, sales_->height() / 2));
    }
    sales_->RefreshClick();
    sales_->show();
    sales_->raise();
    sales_->activateWindow();
}
