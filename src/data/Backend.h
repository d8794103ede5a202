#pragma once

#include <QString>

// Which database the connections of this process use, chosen once at start-up: the local
// data.mdb (no server named, the default) or the PostgreSQL server a libpq URI names. Each
// connection takes the choice and the workstation id in force when it is created, so that two
// program windows of one process can stand for two workstations.
namespace Backend {

void setServer(const QString& uri);
QString server();

// The id that keeps this workstation's print buffer apart from the others' on a server.
void setWorkstation(const QString& id);
QString workstation();

} // namespace Backend
