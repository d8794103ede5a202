#pragma once

#include "data/Dataset.h"

#include <QList>
#include <QSet>
#include <QString>
#include <algorithm>
#include <unordered_map>

// The rows of a whole table's list gathered by a key (a customer), with figures made from each
// group's rows, kept between readings. When rows were written through this process's lists
// since the last reading, only the groups those rows left or joined are gathered again, from
// their rows in table order, exactly as a whole pass makes them. A list loaded anew (a refresh
// that read the table, another desk's change, a restore), a change of what the keys depend on,
// or more changed rows than are quicker looked up one by one than read in one pass, gather
// every group anew in one pass; the groups whose figures came out different are named then.
template <typename Figures> class RowGroups {
public:
    struct Group {
        QList<qint64> rowids; // in table order
        Figures figures;
    };
    // A whole pass costs about this many changed rows' look-ups among the groups.
    static constexpr qsizetype kFollowLimit = 512;

    // Brings the groups in step with `list` (open, every row of its table in rowid order).
    // `context` stands for what else the keys depend on. `keyOf(row)` is the row's group (empty:
    // none); `add(figures, row)` counts a row into its group's figures, called for a group's rows
    // in table order. Returns the keys of the groups whose figures may have changed.
    template <typename KeyOf, typename Add>
    QSet<QString> update(const Dataset& list, quint64 context, KeyOf&& keyOf, Add&& add);

    const std::unordered_map<QString, Group>& groups() const { return groups_; }
    // The rows counted by the last update.
    qsizetype rowsRead() const { return rowsRead_; }

private:
    template <typename KeyOf, typename Add>
    QSet<QString> gatherAll(const Dataset& list, KeyOf& keyOf, Add& add);
    template <typename KeyOf, typename Add>
    QSet<QString> follow(const Dataset& list, const QList<qint64>& changed, KeyOf& keyOf, Add& add);
    Group* groupHolding(qint64 rowid, QString* key);

    bool built_ = false;
    quint64 context_ = 0;
    RowStore::Mark mark_;
    std::unordered_map<QString, Group> groups_;
    qsizetype rowsRead_ = 0;
};

template <typename Figures>
template <typename KeyOf, typename Add>
QSet<QString> RowGroups<Figures>::update(const Dataset& list, quint64 context, KeyOf&& keyOf,
                                         Add&& add) {
    const std::optional<QList<qint64>> changed =
        built_ && context == context_ ? list.rowsChangedSince(mark_, kFollowLimit) : std::nullopt;
    // Groups left half made by a failure are all gathered and named again next time.
    built_ = false;
    rowsRead_ = 0;
    try {
        QSet<QString> touched =
            changed ? follow(list, *changed, keyOf, add) : gatherAll(list, keyOf, add);
        mark_ = list.rowsMark();
        context_ = context;
        built_ = true;
        return touched;
    } catch (...) {
        groups_.clear();
        throw;
    }
}

template <typename Figures>
template <typename KeyOf, typename Add>
QSet<QString> RowGroups<Figures>::gatherAll(const Dataset& list, KeyOf& keyOf, Add& add) {
    std::unordered_map<QString, Group> before;
    before.swap(groups_);
    Group* last = nullptr;
    QString lastKey;
    for (int row = 0; row < list.recordCount(); ++row) {
        const QString key = keyOf(row);
        if (key.isEmpty())
            continue;
        if (!last || key != lastKey) {
            last = &groups_[key];
            lastKey = key;
        }
        last->rowids.append(list.rowId(row));
        add(last->figures, row);
    }
    rowsRead_ = list.recordCount();
    QSet<QString> touched;
    for (const auto& [key, group] : groups_) {
        const auto old = before.find(key);
        if (old == before.end() || !(old->second.figures == group.figures))
            touched.insert(key);
    }
    for (const auto& [key, group] : before) {
        if (!groups_.contains(key))
            touched.insert(key);
    }
    return touched;
}

template <typename Figures>
template <typename KeyOf, typename Add>
QSet<QString> RowGroups<Figures>::follow(const Dataset& list, const QList<qint64>& changed,
                                         KeyOf& keyOf, Add& add) {
    QSet<QString> touched;
    for (const qint64 rowid : changed) {
        QString key;
        if (Group* left = groupHolding(rowid, &key)) {
            left->rowids.removeOne(rowid);
            touched.insert(key);
        }
        const int row = list.rowOfRowid(rowid);
        key = row >= 0 ? keyOf(row) : QString();
        if (key.isEmpty())
            continue;
        QList<qint64>& rowids = groups_[key].rowids;
        rowids.insert(std::lower_bound(rowids.cbegin(), rowids.cend(), rowid), rowid);
        touched.insert(key);
    }
    for (const QString& key : touched) {
        const auto found = groups_.find(key);
        if (found->second.rowids.isEmpty()) {
            groups_.erase(found);
            continue;
        }
        Group& group = found->second;
        group.figures = Figures();
        for (const qint64 rowid : group.rowids)
            add(group.figures, list.rowOfRowid(rowid));
        rowsRead_ += group.rowids.size();
    }
    return touched;
}

template <typename Figures>
typename RowGroups<Figures>::Group* RowGroups<Figures>::groupHolding(qint64 rowid, QString* key) {
    for (auto& [name, group] : groups_) {
        if (std::binary_search(group.rowids.cbegin(), group.rowids.cend(), rowid)) {
            *key = name;
            return &group;
        }
    }
    return nullptr;
}
