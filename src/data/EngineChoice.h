#pragma once

#include <QString>
#include <memory>

class Engine;
class Maintenance;

// The one place that turns the database settings into an engine: the local data.mdb when no
// server is named (the default), or the PostgreSQL server a libpq URI names. The choice is made
// once at start-up; each connection takes the choice and the workstation id in force when it is
// created, so that two program windows of one process can stand for two workstations.
namespace EngineChoice {

struct Choice {
    QString server;      // empty: the local file
    QString workstation; // keeps this workstation's print buffer apart on a server
};

void setServer(const QString& uri);
void setWorkstation(const QString& id);
Choice current();

// The engine for a connection: the file its connection string names ("Data Source", with the
// password), or the server. Connections naming the same database share one engine. Fails with
// the engine's message.
std::shared_ptr<Engine> open(const Choice& choice, const QString& connectionString);

// Backup, restore and descriptions of the database in use: the server, or `databaseFile`.
std::unique_ptr<Maintenance> maintenance(const QString& databaseFile);

} // namespace EngineChoice
