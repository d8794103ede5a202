#pragma once

// How far an export has come. The program shows a dialog; tests may record the calls.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // Called now and then with the rows written so far out of all rows.
    virtual void update(int done, int total) = 0;
};
