#pragma once

#include <memory>

class TMainForm;
class TJbzlForm;
class RecordCommands;

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
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TJbzlForm> profile_;
    RecordCommands* commands_ = nullptr; // owned by the main window
};
