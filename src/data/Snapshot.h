#pragma once

#include "data/ListField.h"
#include "data/RowStore.h"

#include <QList>

// A list as loaded: its columns and its rows, a whole table in the table's natural order.
struct Snapshot {
    QList<ListField> fields;
    RowStore rows;
};

// One row written: added, changed (with the row as stored) or deleted.
struct RowChange {
    enum Kind { Insert, Update, Remove } kind;
    qint64 rowid;
    const RowStore::Packer* row; // the stored row; none for Remove
};
