#pragma once

#include "data/Snapshot.h"

#include <QHash>
#include <QString>

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

private:
    struct Kept {
        quint64 generation;
        Snapshot snapshot;
    };
    QHash<QString, Kept> kept_;
};
