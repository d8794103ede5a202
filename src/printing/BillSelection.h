#pragma once

class Connection;
class Dataset;
class QLineEdit;

// A click on a data cell of the delivery grid: the print buffer 表4 is emptied and refilled with
// the clicked bill's rows, numbered 1, 2, 3 …, and the delivery list narrows to that bill.
class BillSelection {
public:
    BillSelection(Connection* main, Dataset* deliveries, Dataset* printBuffer, QLineEdit* billBox);

    // The delivery list's current row is the clicked one. Afterwards the list stands on the
    // bill's last row. Emptying and refilling 表4 is one transaction, so a failure never
    // leaves half a bill to print; after a failure 表4 is left empty, so that a print never
    // shows a bill other than the one clicked.
    void DBGridEh3CellClick();

private:
    void emptyBuffer();
    void refill();

    Connection* main_;
    Dataset* deliveries_;
    Dataset* buffer_;
    QLineEdit* billBox_;
};
