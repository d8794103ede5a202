#pragma once

#include "imports/ImportPlan.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

class Connection;

// Stores a plan's rows in the goods or customer list, in one transaction, through a data set
// of its own: new keys are added, rows with a problem are skipped, and a row whose key the
// list holds (as it stands when the import runs) updates the list's first row of that key or
// is skipped, as chosen. An update writes the row's non-empty cells but the key only: an empty
// cell never erases what the list holds, and the key stays as the list spells it. A new goods row
// without a price gets 0, as the entry panel starts with.
namespace ImportWriter {

struct Skipped {
    qsizetype planRow; // index into the plan's rows
    QString reason;
};

struct Outcome {
    int added = 0;
    int updated = 0;
    QList<Skipped> skipped;
};

// The keys the list holds, ASCII letters folded (see ImportPlan::keyOf).
QSet<QString> keysInList(Connection& connection, ImportTarget target);

// Told how far the import has come; false stops it, leaving the list as it was.
using Progress = std::function<bool(int done, int total)>;

// The outcome; none when the progress stopped it (nothing is stored). A failure rolls back
// everything and passes on.
std::optional<Outcome> write(Connection& connection, const ImportPlan& plan, bool updateExisting,
                             const Progress& progress);

} // namespace ImportWriter
