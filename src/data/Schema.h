#pragma once

#include <QString>
#include <QStringList>

// The five tables of data.mdb. The program itself never creates a table; only make-empty-db
// and the tests build a database from this.
namespace Schema {

// The database password every connection keys the file with.
QString password();

QStringList tableNames();
// The column names of a table, in order (表4 starts with its ID).
QStringList columns(const QString& table);
// A column's declared type as the file's tables have it, e.g. "REAL" or "VARCHAR(50)".
QString columnType(const QString& table, const QString& column);
// Every statement that builds an empty database: the tables, the bill-number index and the
// index of the last-price look-up.
QStringList statements();

// Writes a new, empty, encrypted database; fails with DataError when the file exists or
// cannot be written.
void createDatabase(const QString& path);

} // namespace Schema
