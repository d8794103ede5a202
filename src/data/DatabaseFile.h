#pragma once

#include "data/ListField.h"
#include "data/RowStore.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

struct sqlite3;

// One database file as this process has it open: the engine handle that every connection
// naming the file with the same password shares, and what the process knows of the file's
// tables. Every write the data layer makes is counted here per table; a write by anyone else
// (another process, or a handle of the file that is not this one) changes the engine's data
// version, and every table of the file then counts as changed. A table loaded whole is kept
// while it is certain to equal the table, so that reopening its list costs nothing.
class DatabaseFile {
public:
    // A whole table as a list shows it: its columns and its rows in the table's natural order.
    struct Snapshot {
        QList<ListField> fields;
        RowStore rows;
    };
    // One row written: added, changed (with the row read back) or deleted.
    struct Change {
        enum Kind { Insert, Update, Remove } kind;
        qint64 rowid;
        const RowStore::Packer* row; // the stored row; none for Remove
    };

    // The file the connections with this path and password share; opened when none has it
    // open. A missing file or a wrong password fails with the engine's text.
    static std::shared_ptr<DatabaseFile> open(const QString& path, const QString& password);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    sqlite3* handle() const { return db_; }

    // The table's generation: it changes with every write to the table, and for every table
    // once a write by anyone else is seen. 0 inside a transaction, whose effect on the tables
    // is known only at its end.
    quint64 generation(const QString& table);
    // The table as a list loaded at `generation` showed it, if nothing has changed since.
    const Snapshot* snapshot(const QString& table, quint64 generation) const;
    // Keeps a table just loaded whole at `generation`.
    void keep(const QString& table, quint64 generation, const Snapshot& snapshot);

    // Counts a write to `table` made through a data set. `writer` is the writing list when it
    // holds the whole table, loaded or last written at `writerGeneration`, and already shows
    // the change. Returns the generation the writer now stands at: 0 when its list can no
    // longer be known to equal the table.
    quint64 wrote(const QString& table, const Change& change, const Snapshot* writer,
                  quint64 writerGeneration);

    // Statements of a transaction; the tables it wrote count as changed once it ends.
    void begin();
    void commit();
    void rollback();

    // Puts a whole table's kept rows in step with one write; false when it cannot.
    static bool apply(RowStore& rows, const Change& change);

private:
    DatabaseFile(sqlite3* db, QString key);
    void exec(const char* sql);
    void checkForeignWrites();
    void forgetAll();
    void finish();

    struct Kept {
        quint64 generation;
        Snapshot snapshot;
    };

    sqlite3* db_;
    QString key_;
    QString path_;
    quint64 device_ = 0;
    quint64 inode_ = 0;
    qint64 dataVersion_ = 0;
    quint64 counter_ = 0;
    quint64 floor_ = 0;
    QHash<QString, quint64> written_;
    QHash<QString, Kept> kept_;
    bool inTransaction_ = false;
    QSet<QString> touched_;
};
