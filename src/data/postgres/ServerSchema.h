#pragma once

#include <QString>
#include <QStringList>

class ServerDatabase;

// The five tables on a PostgreSQL server: the same names and columns as in data.mdb, with
// double precision for the number columns, date for the business date and text for every text
// (so a text of any length is taken, as the file takes it). Each table has a hidden identity
// key in place of the file's rowid (表4 uses its own ID), 表4 a hidden workstation column, and
// every table a change counter in "_changes" that a trigger moves in the writing transaction.
namespace ServerSchema {

// The hidden key column of a table.
QString keyColumn(const QString& table);
// The workstation column of 表4.
QString workstationColumn();
// The server's type of a column.
QString columnType(const QString& table, const QString& column);
// Whether the table's values are texts that compare by code point ("C") on the server.
bool isText(const QString& table, const QString& column);
// Every statement that builds the tables of version 0 in an empty database.
// The CREATE TABLE statement of a data table on the server, its hidden columns last.
QString tableStatement(const QString& table);
QStringList statements();

// Whether the database holds the five tables (each with every column).
bool isInitialised(ServerDatabase& server);
// Builds the tables of the current version; fails when any of them exists. One transaction.
void initialise(ServerDatabase& server);
// The schema version of the server's database: its "_meta" table's, 0 without one.
int version(ServerDatabase& server);
// Runs every migration step above the database's version in the caller's transaction; a step
// that fails fails with a message naming the step.
void migrateInTransaction(ServerDatabase& server);
// The same in a transaction of its own.
void migrate(ServerDatabase& server);
// The number of rows in the five tables together.
qint64 rowCount(ServerDatabase& server);

} // namespace ServerSchema
