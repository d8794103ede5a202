#pragma once

#include <QString>

class ServerDatabase;

// Copies the five tables between a data.mdb file and a server database, each way in one
// transaction, rows in their natural order, so that every list reads the same on both.
namespace ServerTransfer {

// Copies a local data.mdb into the server: the tables are built first when the database has
// none. Refuses a server database that already holds rows.
void upload(ServerDatabase& server, const QString& file);
// Puts the rows of a data.mdb in place of every row of the server's five tables.
void replace(ServerDatabase& server, const QString& file);
// Writes a new encrypted data.mdb at `file` (which must not exist, or be empty) from one consistent
// snapshot of the server's tables.
void download(ServerDatabase& server, const QString& file);

} // namespace ServerTransfer
