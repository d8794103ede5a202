#pragma once

#include "printing/PrintSettings.h"

#include <QPointer>
#include <memory>

class Connection;
class Dataset;
class NoteHeader;
class SalesForm;
class QWidget;

// The toolbar's "对账单" and "销售统计": the statement form, modal to the main window, and
// the one sales window, raised when it is already open. Statements and sales reports each keep
// their printer set-up from one preview to the next.
class ReportCommands {
public:
    ReportCommands(QWidget* window, Connection* connection, Dataset* profile);
    ~ReportCommands();

    void StatementButtonClick();
    void SalesButtonClick();

private:
    QWidget* window_;
    Connection* connection_;
    std::unique_ptr<NoteHeader> header_;
    PrintSettings printerSettings_;
    PrintSettings salesPrinterSettings_;
    QPointer<SalesForm> sales_;
};
