#pragma once

#include <QString>

struct sqlite3;

// The numbered steps that bring a database file from an older schema version to the program's
// (see Schema::version). The version is the file's `PRAGMA user_version`.
namespace FileMigrations {

int version(sqlite3* db);
// The statement with which a step made one of Schema::addedTables(); empty for another name.
QString tableStatement(const QString& table);
// Runs every step above the file's version, and sets the version, in one transaction; a step
// that fails rolls all of it back and fails with a message naming the step.
void run(sqlite3* db);

} // namespace FileMigrations
