#pragma once

#include "data/Engine.h"
#include "data/RowStore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// A database file opened whole for a transfer of its tables to or from another engine: read
// row by row, or written table by table in one transaction. No list, no cache: the file is a
// backup, or one about to become one.
class FileTables {
public:
    // Opens the file read-only with the program's password; fails with the engine's text.
    static FileTables read(const QString& file);
    // Writes a new empty database at `file` and opens it for writing, in a transaction.
    static FileTables create(const QString& file);
    ~FileTables();
    FileTables(FileTables&& other) noexcept;
    FileTables(const FileTables&) = delete;
    FileTables& operator=(const FileTables&) = delete;
    FileTables& operator=(FileTables&&) = delete;

    // Every row of the table in rowid order, its columns as named; a row's cells (and the
    // texts they point to) last until the next row.
    // Whether the file holds the table (one of an older version lacks the later ones).
    bool hasTable(const QString& table) const;
    using Row = std::function<void(const QList<RowStore::Cell>& cells, qint64 row)>;
    void eachRow(const QString& table, const QStringList& columns, const Row& row) const;

    // Adds a row to the table, the columns as named (the same ones for every row of a table).
    void insert(const QString& table, const QStringList& columns,
                const QList<Engine::Value>& values);
    // Ends the write transaction.
    void commit();

private:
    explicit FileTables(sqlite3* db);

    sqlite3* db_;
    QHash<QString, sqlite3_stmt*> inserts_;
};
