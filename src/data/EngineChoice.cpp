#include "data/EngineChoice.h"

#include "data/Connection.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerMaintenance.h"
#include "data/sqlcipher/DatabaseFile.h"
#include "data/sqlcipher/FileMaintenance.h"

namespace {

EngineChoice::Choice& chosen() {
    static EngineChoice::Choice choice;
    return choice;
}

} // namespace

namespace EngineChoice {

void setServer(const QString& uri) {
    chosen().server = uri.trimmed();
}

void setWorkstation(const QString& id) {
    chosen().workstation = id;
}

Choice current() {
    return chosen();
}

std::shared_ptr<Engine> open(const Choice& choice, const QString& connectionString) {
    if (!choice.server.isEmpty())
        return ServerDatabase::open(choice.server, choice.workstation);
    return DatabaseFile::open(
        Connection::valueOf(connectionString, QStringLiteral("Data Source")),
        Connection::valueOf(connectionString, QStringLiteral("Jet OLEDB:Database Password")));
}

std::unique_ptr<Maintenance> maintenance(const QString& databaseFile) {
    if (!chosen().server.isEmpty())
        return std::make_unique<ServerMaintenance>(chosen().server);
    return std::make_unique<FileMaintenance>(databaseFile);
}

} // namespace EngineChoice
