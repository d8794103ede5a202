#pragma once

#include "data/Dataset.h"

// Points a list at a new query: makes sure it is open, closes it, replaces the query and opens
// it again; the grid then shows the new rows with the first one current. When the new query
// fails, the list shows what it showed before (a failed search leaves no list closed) and the
// error passes on.
inline void requery(Dataset& list, const Query& query) {
    list.open();
    const Query previous = list.query();
    list.close();
    list.setQuery(query);
    try {
        list.open();
    } catch (...) {
        list.setQuery(previous);
        try {
            list.open();
        } catch (...) {
            // The first error is the one to show; the list waits for a refresh.
        }
        throw;
    }
}

// Fills a drop-down's item list with the distinct values of one column, through the given
// list (which afterwards holds that distinct query).
class QComboBox;
void fillPickList(QComboBox* box, Dataset& list, const QString& table, const QString& column);
