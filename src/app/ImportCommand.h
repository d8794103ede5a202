#pragma once

class TMainForm;

// The toolbar's "导入" and the record menu's "导入…": the import wizard for the goods or the
// customer view, whichever is current; every list is reloaded once it has stored rows.
class ImportCommand {
public:
    explicit ImportCommand(TMainForm* window) : window_(window) {}

    void ImportButtonClick();

private:
    TMainForm* window_;
};
