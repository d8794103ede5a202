#include "data/SnapshotCache.h"

const Snapshot* SnapshotCache::find(const QString& table, quint64 generation) const {
    const auto kept = kept_.constFind(table);
    if (generation == 0 || kept == kept_.cend() || kept->generation != generation)
        return nullptr;
    return &kept->snapshot;
}

void SnapshotCache::keep(const QString& table, quint64 generation, const Snapshot& snapshot) {
    if (generation != 0)
        kept_.insert(table, {generation, snapshot});
}

bool SnapshotCache::apply(RowStore& rows, const RowChange& change) {
    if (!change.row && change.kind != RowChange::Remove)
        return false;
    if (change.kind == RowChange::Insert) {
        // A new row takes a key above every other, so a whole table has it last.
        if (!rows.isEmpty() && rows.rowid(rows.size() - 1) >= change.rowid)
            return false;
        rows.append(change.rowid, *change.row);
        return true;
    }
    const int row = rows.indexOfRowid(change.rowid);
    if (row < 0)
        return false;
    if (change.kind == RowChange::Update)
        rows.replace(row, change.rowid, *change.row);
    else
        rows.remove(row);
    return true;
}

quint64 SnapshotCache::wrote(const QString& table, quint64 before, quint64 after,
                             const RowChange& change, const Snapshot* writer,
                             quint64 writerGeneration) {
    if (after == 0) {
        kept_.remove(table);
        return 0;
    }
    bool writerCurrent = writer && writerGeneration == before;
    if (writerCurrent && change.kind == RowChange::Insert) {
        const RowStore& rows = writer->rows;
        writerCurrent = rows.size() < 2 || rows.rowid(rows.size() - 2) < change.rowid;
    }
    if (writerCurrent) {
        kept_.insert(table, {after, *writer});
        return after;
    }
    auto kept = kept_.find(table);
    if (kept != kept_.end()) {
        if (kept->generation == before && apply(kept->snapshot.rows, change))
            kept->generation = after;
        else
            kept_.erase(kept);
    }
    return 0;
}

void SnapshotCache::defer(const QString& table, const RowChange& change) {
    deferred_.append({table, change.kind, change.rowid,
                      change.row ? std::optional<RowStore::Packer>(*change.row) : std::nullopt});
}
