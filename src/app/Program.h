#pragma once

#include <memory>

class BillSelection;
class DataBackup;
class DataExport;
class DataRestore;
class HelpLinks;
class ImportCommand;
class PrintRuns;
class RecordCommands;
class LedgerCommands;
class ReportCommands;
class TDy1Form;
class TJbzlForm;
class TMainForm;

// The whole program: builds the main window, the report form and the company profile form in
// that order, opens their connections, runs the main window's creation step and wires every
// command.
class Program {
public:
    Program();
    ~Program();

    TMainForm& mainForm() const { return *main_; }
    TDy1Form& reportForm() const { return *report_; }
    TJbzlForm& profileForm() const { return *profile_; }
    RecordCommands& commands() const { return *commands_; }
    BillSelection& billSelection() const { return *billSelection_; }
    PrintRuns& printRuns() const { return *printRuns_; }

    // The "系统设置" dialog with its pages, shown modally.
    void openSettings();
    // After the event loop has ended the program in the orderly way: the automatic backup of
    // the end, unless a restore ended it.
    void end();

private:
    void wireDataCommands();
    void wireImport();

    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TDy1Form> report_;
    std::unique_ptr<TJbzlForm> profile_;
    RecordCommands* commands_ = nullptr; // owned by the main window
    std::unique_ptr<BillSelection> billSelection_;
    std::unique_ptr<PrintRuns> printRuns_;
    std::unique_ptr<DataExport> export_;
    std::unique_ptr<DataBackup> backup_;
    std::unique_ptr<DataRestore> restore_;
    std::unique_ptr<HelpLinks> help_;
    std::unique_ptr<ReportCommands> reports_;
    std::unique_ptr<LedgerCommands> ledger_;
    std::unique_ptr<ImportCommand> import_;
};
