#pragma once

#include <memory>

class BillSelection;
class PrintRuns;
class RecordCommands;
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

private:
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TDy1Form> report_;
    std::unique_ptr<TJbzlForm> profile_;
    RecordCommands* commands_ = nullptr; // owned by the main window
    std::unique_ptr<BillSelection> billSelection_;
    std::unique_ptr<PrintRuns> printRuns_;
};
