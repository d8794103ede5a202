#pragma once

#include <QList>
#include <QString>
#include <optional>

// Whether a file may take the place of data.mdb.
namespace DatabaseCheck {

// True when the file, opened read-only with the program's password, passes the engine's
// integrity check, holds the five tables and nothing but tables and indexes. Never fails:
// anything else is false.
bool isUsable(const QString& file);

// The number of rows of each of the five tables, in the order of Schema::tableNames(), read
// with the program's password; nothing when the file cannot be read.
std::optional<QList<qint64>> rowCounts(const QString& file);

} // namespace DatabaseCheck
