#pragma once

#include "data/Snapshot.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The whole tables an engine's lists last loaded, each kept with the table's generation at the
// time, so that reopening a list of an unchanged table costs nothing. What a generation is and
// when it moves is the engine's to say; keeping the lists in step with the writes made through
// them is the same for every engine.
class SnapshotCache {
public:
    // The table as a list loaded at `generation` showed it, if it is kept at that generation.
    const Snapshot* find(const QString& table, quint64 generation) const;
    // Keeps a table just loaded whole at `generation` (0: not known, not kept).
    void keep(const QString& table, quint64 generation, const Snapshot& snapshot);
    bool holds(const QString& table) const { return kept_.contains(table); }
    void forget(const QString& table) { kept_.remove(table); }
    void clear() { kept_.clear(); }

    // A write through a list moved the table from generation `before` to `after`. `writer` is
    // the writing list when it holds the whole table, loaded or last written at
    // `writerGeneration`, and already shows the change. Returns the generation the writer now
    // stands at: 0 when its list can no longer be known to equal the table. A kept table that
    // was current follows the change, or is dropped when it cannot.
    quint64 wrote(const QString& table, quint64 before, quint64 after, const RowChange& change,
                  const Snapshot* writer, quint64 writerGeneration);

    // Puts a whole table's rows in step with one write; false when it cannot.
    static bool apply(RowStore& rows, const RowChange& change);

    // A write inside a transaction, kept until the transaction ends: committed, the engine
    // follows its writes in order (wrote() for each), so that a kept table stays usable after
    // a transaction wrote a few of its rows; rolled back, the tables written are dropped.
    // `change` without a row (a write no list made) is followed by dropping the table.
    struct Deferred {
        QString table;
        RowChange::Kind kind;
        qint64 rowid;
        std::optional<RowStore::Packer> row;
        RowChange change() const { return {kind, rowid, row ? &*row : nullptr}; }
    };
    void defer(const QString& table, const RowChange& change);
    QList<Deferred> takeDeferred() { return std::exchange(deferred_, {}); }

private:
    struct Kept {
        quint64 generation;
        Snapshot snapshot;
    };
    QHash<QString, Kept> kept_;
    QList<Deferred> deferred_;
};
