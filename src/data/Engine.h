#pragma once

#include "data/Query.h"
#include "data/Snapshot.h"
#include "data/SnapshotCache.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// One database engine as the data layer uses it: the encrypted file (data/sqlcipher/) or a
// database server (data/postgres/). Every statement is the engine's own; user text is always
// bound. The connections of a process that name the same database share one engine object.
// A third engine implements this and Maintenance, and is chosen in EngineChoice.
class Engine {
public:
    // A value to store in a column.
    struct Value {
        enum Type : char { Null, Text, Real, Integer } type = Null;
        QByteArray text; // UTF-8
        double real = 0;
        qint64 integer = 0;
    };
    struct IssuedNumber {
        QString number;
        bool mine = false; // taken by this workstation
    };
    struct Price {
        double price = 0;
        QDate date;
    };

    virtual ~Engine() = default;

    // The query's rows, whole tables in their natural order, each row with its key. A search
    // text longer than the engine takes as a pattern fails with a message saying so.
    virtual Snapshot load(const Query& query) = 0;
    // Whether the table holds any row (the print buffer: any of this workstation's).
    virtual bool hasRows(const QString& table) = 0;

    // Adds a row with the columns `set` (indexes into `fields`) holding `values`; the row as
    // stored comes back in `stored`, with its key as the result.
    virtual qint64 insert(const QString& table, const QList<ListField>& fields,
                          const QList<int>& set, const QList<Value>& values,
                          RowStore::Packer& stored) = 0;
    // Changes the row `row` of `list` as the list read it, its key and every column: a row
    // another writer changed or deleted since (or whose key went to a new row) is a lost race,
    // which writes nothing and fails with conflictMessage().
    virtual void update(const QString& table, const Snapshot& list, int row, const QList<int>& set,
                        const QList<Value>& values, RowStore::Packer& stored) = 0;
    // Deletes the row as the list read it; a lost race as for update.
    virtual void remove(const QString& table, const Snapshot& list, int row) = 0;
    // Whether a text may hold a NUL character.
    virtual bool storesNul() const = 0;

    // Statements of a transaction; the tables it wrote count as changed once it ends.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Inside a transaction: waits until no other writer's transaction holds `name`, and holds
    // it until this one ends, so that writers reading and rewriting the same rows (a customer's
    // settlement) take turns. Where a transaction already keeps every other writer out, nothing.
    virtual void holdUntilEnd(const QString& name) = 0;

    // The table's generation: it changes with every write to the table, by anyone. 0 inside a
    // transaction, whose effect on the tables is known only at its end.
    virtual quint64 generation(const QString& table) = 0;
    // Counts a write made through a list; see SnapshotCache::wrote.
    virtual quint64 wrote(const QString& table, const RowChange& change, const Snapshot* writer,
                          quint64 writerGeneration) = 0;
    const Snapshot* snapshot(const QString& table, quint64 generation) const {
        return cache_.find(table, generation);
    }
    void keep(const QString& table, quint64 generation, const Snapshot& snapshot) {
        cache_.keep(table, generation, snapshot);
    }

    // Bill numbers handed out but not yet stored, starting with the prefix: none where one
    // workstation works alone.
    virtual QList<IssuedNumber> issuedNumbers(const QString& prefix) = 0;
    // Takes a number for this workstation; false when another took it first.
    virtual bool takeNumber(const QString& number) = 0;

    // Empties this workstation's print buffer and fills it with the bill's rows (the bill
    // number compared with ASCII case ignored; an empty one takes the rows without a number),
    // in the table's natural order, numbered from 1 in 序号, as texts the way the list shows
    // them. One statement; the caller holds the transaction.
    virtual void refillPrintBuffer(const QString& bill) = 0;

    // The price the customer was charged last for the goods code (latest business date, then
    // row; rows without a price do not count), both compared with ASCII case ignored.
    virtual std::optional<Price> lastPrice(const QString& contact, const QString& code) = 0;

protected:
    SnapshotCache cache_;
};
