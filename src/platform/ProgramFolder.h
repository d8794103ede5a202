#pragma once

#include <QString>

// The folder of the program file, where backup and restore find data.mdb. Tests point it at a
// folder of their own so that no test can touch a real database.
namespace ProgramFolder {

QString path();
QString databaseFile();
void setPathForTesting(const QString& folder);

} // namespace ProgramFolder
