#pragma once

#include <QList>
#include <optional>

struct sqlite3;

namespace DatabaseCheck {

// The rows of each of the five tables on an open, keyed connection, inside whatever
// transaction it holds; nothing for none.
std::optional<QList<qint64>> rowCounts(sqlite3* db);

} // namespace DatabaseCheck
