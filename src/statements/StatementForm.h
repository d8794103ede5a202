#pragma once

#include "ledger/Statement.h"

#include <QDialog>

class Connection;
class NoteHeader;
class PeriodPickers;
class QCheckBox;
class QComboBox;
struct PrintSettings;

// "对账单": picks a customer (a row of the customer table, shown with contact, address and
// telephone) and a period and shows the statement in the print preview or writes it to a
// spreadsheet file; "批量对账单" writes one PDF per customer with bills in the period into a
// chosen folder. Modal to the main window only, so the preview it opens stays usable.
class StatementForm : public QDialog {
    Q_OBJECT
public:
    // printerSettings keeps the printer set-up of statements from one preview to the next.
    StatementForm(Connection* connection, const NoteHeader& header, PrintSettings* printerSettings,
                  QWidget* parent);
    ~StatementForm() override;

    void PreviewClick();
    void ExportClick();
    void BatchClick();

    // The statement the form's choices give now; empty when a choice is missing or wrong,
    // after saying so.
    std::optional<Statement> read();

private:
    // The customer picked or typed; empty, after saying so, when the text names none.
    std::optional<Customer> customer();

    Connection* connection_;
    const NoteHeader& header_;
    PrintSettings* printerSettings_;
    QList<Customer> customers_;
    QComboBox* customer_;
    std::unique_ptr<PeriodPickers> period_;
    QCheckBox* details_;
};
