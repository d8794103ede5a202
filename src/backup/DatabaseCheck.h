#pragma once

#include <QString>

// Whether a file may take the place of data.mdb.
namespace DatabaseCheck {

// True when the file, opened read-only with the program's password, passes the engine's
// integrity check, holds the five tables and nothing but tables and indexes. Never fails:
// anything else is false.
bool isUsable(const QString& file);

} // namespace DatabaseCheck
