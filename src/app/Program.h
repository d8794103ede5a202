#pragma once

#include <memory>

class TMainForm;
class TJbzlForm;
class RecordCommands;
class DataExport;
class DataBackup;
class DataRestore;
class HelpLinks;

// The whole program: builds the main window, then the company profile form, opens their
// connections, runs the main window's creation step and wires every command.
class Program {
public:
    Program();
    ~Program();

    TMainForm& mainForm() const { return *main_; }
    TJbzlForm& profileForm() const { return *profile_; }
    RecordCommands& commands() const { return *commands_; }

private:
    void wireDataCommands();

    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TJbzlForm> profile_;
    RecordCommands* commands_ = nullptr; // owned by the main window
    std::unique_ptr<DataExport> export_;
    std::unique_ptr<DataBackup> backup_;
    std::unique_ptr<DataRestore> restore_;
    std::unique_ptr<HelpLinks> help_;
};
