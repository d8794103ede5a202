#pragma once

#include <QList>
#include <QString>
#include <optional>

// Whether a file may take the place of data.mdb: backups are always the program's encrypted
// database file, whichever engine holds the data in use.
namespace DatabaseCheck {

// True when the file, opened read-only with the program's password, passes the engine's
// integrity check, holds the five tables as the program makes them and nothing but tables and
// indexes, and is not in WAL mode. Never fails: anything else is false.
bool isUsable(const QString& file);

// True when both files, read with the program's password, hold the same rows in the five
// tables (rowids too); false when either cannot be read.
bool sameRows(const QString& a, const QString& b);

// The number of rows of each of the five tables, in the order of Schema::tableNames(), read
// with the program's password; nothing when the file cannot be read.
std::optional<QList<qint64>> rowCounts(const QString& file);
// The row counts of a file that is usable; nothing for any other. One opening for both, as
// keying the file costs the cipher's key derivation.
std::optional<QList<qint64>> checkedRowCounts(const QString& file);

} // namespace DatabaseCheck
