#pragma once

#include <QString>
#include <QStringList>

// The five tables of data.mdb and the versions of what grows beside them. The program itself
// creates no database; make-empty-db, a backup of a server and the tests build one from this.
namespace Schema {

// The database password every connection keys the file with.
QString password();

QStringList tableNames();
// The tables of payments, their settlement against bills and the customers' credit (version 2).
QStringList ledgerTables();
// The tables that hold the business's data, the five and the ledger's: what a backup, restore,
// upload and download carry.
QStringList dataTables();
// The column names of a table, in order (表4 starts with its ID).
QStringList columns(const QString& table);
// A column's declared type as the file's tables have it, e.g. "REAL" or "VARCHAR(50)".
QString columnType(const QString& table, const QString& column);
// The CREATE TABLE statement of one of the data tables, as the file has it.
QString tableStatement(const QString& table);
// The statements of the database every later version grows from (version 0): the five tables
// and the bill-number index.
QStringList statements();

// The schema version of the databases this program writes. The five tables never change; each
// later version adds what a feature needs, in tables of its own, by a numbered migration step
// of each engine (see Maintenance::migrate).
int version();
// The tables a database of `version` holds besides the five.
QStringList addedTables(int version);

// Writes a new, empty, encrypted database of the current version; fails with DataError when the
// file exists or cannot be written.
void createDatabase(const QString& path);

} // namespace Schema
