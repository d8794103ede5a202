#pragma once

#include <QList>
#include <QString>
#include <functional>

class ServerDatabase;

// Copies the five tables between a data.mdb file and a server database, each way in one
// transaction, rows in their natural order, so that every list reads the same on both.
namespace ServerTransfer {

// Copies a local data.mdb into the server: the tables are built first when the database has
// none. Refuses a server database that already holds rows.
void upload(ServerDatabase& server, const QString& file);
// Puts the rows of a data.mdb in place of every row of the server's five tables.
void replace(ServerDatabase& server, const QString& file);
// Rows written so far of all the rows to write.
using Progress = std::function<void(qint64 done, qint64 total)>;
// Writes a new encrypted data.mdb at `file` (which must not exist, or be empty) from one consistent
// snapshot of the server's tables. Returns the rows of each table in that snapshot, in the order
// of Schema::tableNames(), counted apart from the copy, so that the file can be checked against
// them.
QList<qint64> download(ServerDatabase& server, const QString& file, const Progress& progress = {});
// The space the five tables take on the server, their indexes included.
qint64 size(ServerDatabase& server);

} // namespace ServerTransfer
