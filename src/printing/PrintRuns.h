#pragma once

#include "printing/NoteHeader.h"

class DatabaseConnection;
class Dataset;
class TDy1Form;

// The two print runs of the selected bill: the toolbar's full run (every list reloaded first)
// and the record menu's short run (the lists stay as they are).
class PrintRuns {
public:
    PrintRuns(DatabaseConnection* connections, TDy1Form* report, Dataset* profile);

    void SpeedButton2Click();
    void N5Click();

private:
    void totalsAndPreview();

    DatabaseConnection* connections_;
    TDy1Form* report_;
    NoteHeader header_;
};
