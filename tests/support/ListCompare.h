#pragma once

#include <QString>

// Where a list's rows come from: the data.mdb at `file`, or the server a libpq URI names.
struct ListSource {
    QString file;
    QString server;
};

// Opens the list the program shows of a whole table (a data set on Query::all) on both sources
// and compares them row by row, every column's text. Returns the first difference in words,
// empty when there is none. The backend chosen for the process is left as it was.
QString listDifference(const QString& table, const ListSource& a, const ListSource& b);

// The rows of that list on one source.
int listRows(const QString& table, const ListSource& source);
