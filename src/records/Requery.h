#pragma once

#include "data/Dataset.h"

// Points a list at a new query: makes sure it is open, closes it, replaces the query and opens
// it again; the grid then shows the new rows with the first one current.
inline void requery(Dataset& list, const Query& query) {
    list.open();
    list.close();
    list.setQuery(query);
    list.open();
}

// Fills a drop-down's item list with the distinct values of one column, through the given
// list (which afterwards holds that distinct query).
class QComboBox;
void fillPickList(QComboBox* box, Dataset& list, const QString& table, const QString& column);
