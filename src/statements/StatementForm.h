#pragma once

#include "ledger/Statement.h"

#include <QDialog>

class Connection;
class NoteHeader;
class PeriodPickers;
class QCheckBox;
class QComboBox;
struct PrintSettings;

// "对账单": picks a customer and a period and shows the statement in the print preview or
// writes it to a spreadsheet file. Modal to the main window only, so the preview it opens
// stays usable.
class StatementForm : public QDialog {
    Q_OBJECT
public:
    // printerSettings keeps the printer set-up of statements from one preview to the next.
    StatementForm(Connection* connection, const NoteHeader& header, PrintSettings* printerSettings,
                  QWidget* parent);
    ~StatementForm() override;

    void PreviewClick();
    void ExportClick();

    // The statement the form's choices give now; empty when a choice is missing or wrong,
    // after saying so.
    std::optional<Statement> read();

private:
    Connection* connection_;
    const NoteHeader& header_;
    PrintSettings* printerSettings_;
    QComboBox* customer_;
    std::unique_ptr<PeriodPickers> period_;
    QCheckBox* details_;
};
