#pragma once

#include <QString>

// The folder of the program file, where backup and restore find data.mdb. Tests point it at a
// folder of their own so that no test can touch a real database. The program installed from
// its package keeps data.mdb in the user's data folder instead, since the program's own
// folder is the system's.
namespace ProgramFolder {

QString path();
QString databaseFile();
void setPathForTesting(const QString& folder);

// Makes `folder` the program folder and the working directory, creating it and copying the
// empty database `templateFile` there as data.mdb when it has none (an existing data.mdb is
// never replaced). Fails in words; the folder stays the program's own then.
void useDataFolder(const QString& folder, const QString& templateFile);

} // namespace ProgramFolder
