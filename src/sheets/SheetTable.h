#pragma once

#include <QList>
#include <QString>

// One sheet of a workbook or a CSV file as read: its rows in order, each numbered as the
// spreadsheet numbers it (from 1), with its cells from column A on. Rows without a cell are
// left out; cells after a row's last one are empty.
struct SheetTable {
    struct Cell {
        enum Kind : char { Empty, Text, Number };
        Kind kind = Empty;
        QString text;
        double number = 0;

        static Cell ofText(const QString& text);
        static Cell ofNumber(double value);
        bool isEmpty() const { return kind == Empty; }
    };
    struct Row {
        int number = 0;
        QList<Cell> cells;

        // An empty cell past the row's end.
        const Cell& cell(qsizetype column) const;
    };

    QList<Row> rows;
};
