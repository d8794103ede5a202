#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A workbook file as a real reader (openpyxl) sees it. openpyxl refuses a name ending in
// ".xls", so it gets an open file; texts are decoded ("_xHHHH_") as spreadsheet applications
// do. Empty cells read as "", anything that is not text as "<type:value>".
struct SpreadsheetReader {
    int sheets = 0;
    QList<QStringList> rows;    // of the first sheet
    QList<QStringList> formats; // each cell's number format ("General" for most)

    // The sum of a column's number cells as the spreadsheet adds them, rounded to hundredths
    // and shown without trailing zeros ("#0.##").
    QString columnSum(qsizetype column) const;

    static SpreadsheetReader read(const QString& file);
};
