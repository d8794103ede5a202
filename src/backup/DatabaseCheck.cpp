#include "backup/DatabaseCheck.h"

#include "data/Schema.h"

#include <QFile>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>

#include <sqlite3.h>

namespace {

// The first column of every row, or nothing when the statement fails.
std::optional<QStringList> column(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return std::nullopt;
    QStringList values;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        values.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        return std::nullopt;
    return values;
}

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

// The file opened read-only and keyed with the program's password; empty when that fails.
Handle openKeyed(const QString& file) {
    sqlite3* db = nullptr;
    const int opened =
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    Handle handle(db, sqlite3_close_v2);
    if (opened != SQLITE_OK)
        return Handle(nullptr, sqlite3_close_v2);
    const QByteArray key = Schema::password().toUtf8();
    if (sqlite3_key(db, key.constData(), key.size()) != SQLITE_OK)
        return Handle(nullptr, sqlite3_close_v2);
    return handle;
}

bool isSound(sqlite3* db) {
    // A wrong password or a file that is no database fails at the first read, here.
    // The full check: the quick one does not compare the index with its table.
    const auto check = column(db, "PRAGMA integrity_check");
    if (!check || *check != QStringList{QStringLiteral("ok")})
        return false;
    // A file of the program holds its tables and their index only; a trigger would run
    // statements of someone else's at the next write, a view would stand in for a table.
    const auto extra =
        column(db, "SELECT name FROM sqlite_master WHERE type NOT IN ('table', 'index')");
    if (!extra || !extra->isEmpty())
        return false;
    const auto tables = column(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    if (!tables)
        return false;
    const QSet<QString> present(tables->cbegin(), tables->cend());
    for (const QString& table : Schema::tableNames()) {
        if (!present.contains(table))
            return false;
    }
    return true;
}

} // namespace

namespace DatabaseCheck {

bool isUsable(const QString& file) {
    const Handle handle = openKeyed(file);
    return handle && isSound(handle.get());
}

std::optional<QList<qint64>> rowCounts(const QString& file) {
    const Handle handle = openKeyed(file);
    return handle ? rowCounts(handle.get()) : std::nullopt;
}

std::optional<QList<qint64>> checkedRowCounts(const QString& file) {
    const Handle handle = openKeyed(file);
    if (!handle || !isSound(handle.get()))
        return std::nullopt;
    return rowCounts(handle.get());
}

std::optional<QList<qint64>> rowCounts(sqlite3* db) {
    if (!db)
        return std::nullopt;
    QList<qint64> counts;
    for (const QString& table : Schema::tableNames()) {
        const QByteArray sql = QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table).toUtf8();
        const auto count = column(db, sql.constData());
        if (!count || count->size() != 1)
            return std::nullopt;
        counts.append(count->constFirst().toLongLong());
    }
    return counts;
}

} // namespace DatabaseCheck
