#pragma once

#include "data/ListField.h"
#include "data/Query.h"
#include "data/Snapshot.h"
#include "data/postgres/ServerDatabase.h"

#include <QStringList>

// The statements a data set runs on the server. They read and write the same rows as on the
// file: every value bound, rows in the table's natural order (the hidden key), 表4 limited to
// this workstation's rows. A modify or delete writes only while the row is still as it was
// read; otherwise nothing is written and the user is told so.
namespace ServerRows {

using Param = ServerDatabase::Param;

Snapshot load(ServerDatabase& server, const Query& query);
bool hasRows(ServerDatabase& server, const QString& table);

// Inserts a row with the given columns set; returns its key and the row as stored.
qint64 insert(ServerDatabase& server, const QString& table, const QStringList& columns,
              const QList<Param>& values, RowStore::Packer& stored);
// Updates the row with `key` if every column still holds `old`; the row as stored.
void update(ServerDatabase& server, const QString& table, qint64 key, const QStringList& columns,
            const QList<Param>& values, const QList<ListField>& fields, const QList<Param>& old,
            RowStore::Packer& stored);
// Deletes the row with `key` if every column still holds `old`.
void remove(ServerDatabase& server, const QString& table, qint64 key,
            const QList<ListField>& fields, const QList<Param>& old);

// A condition's text as bound: none (matching no row) for a text no stored text can equal.
Param conditionValue(const QString& text);

// A stored cell as the value bound for it.
Param cellParam(const RowStore::Cell& cell);

} // namespace ServerRows
