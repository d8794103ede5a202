#include "data/DatabaseCheck.h"
#include "data/sqlcipher/HandleCounts.h"

#include "data/Errors.h"
#include "data/Schema.h"
#include "data/sqlcipher/FileMigrations.h"

#include <QFile>
#include <QHash>
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

QString normalised(const QString& sql) {
    return sql.simplified().remove(QLatin1Char(' '));
}

// The five tables exactly as the program makes them (their columns, their types, a rowid, no
// constraint), the tables its version added, and no other table but the engine's own. A table
// of the same name made another way (virtual, without rowid, with a check that refuses every
// row) would fail the program's statements or bend them.
bool hasTheProgramsTables(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master WHERE type = 'table'", -1,
                           &statement, nullptr) != SQLITE_OK)
        return false;
    // A file of a later version than the program's is refused: its tables are not known here.
    int version = 0;
    try {
        version = FileMigrations::version(db);
    } catch (const DataError&) {
        sqlite3_finalize(statement);
        return false;
    }
    if (version > Schema::version()) {
        sqlite3_finalize(statement);
        return false;
    }
    QHash<QString, QString> expected;
    QStringList names = Schema::tableNames();
    const QStringList statements = Schema::statements();
    for (qsizetype i = 0; i < names.size(); ++i)
        expected.insert(names[i], normalised(statements[i]));
    for (const QString& added : Schema::addedTables(version)) {
        expected.insert(added, normalised(FileMigrations::tableStatement(added)));
        names.append(added);
    }
    QSet<QString> found;
    bool sound = true;
    int rc;
    while (sound && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        const QString sql =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
        if (expected.contains(name))
            sound = normalised(sql) == expected.value(name);
        else
            sound = name == QLatin1String("sqlite_sequence") ||
                    name.startsWith(QLatin1String("sqlite_stat"));
        found.insert(name);
    }
    sqlite3_finalize(statement);
    if (!sound || rc != SQLITE_DONE)
        return false;
    for (const QString& name : names) {
        if (!found.contains(name))
            return false;
    }
    return true;
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
    // Opened by the program, a file in WAL mode would keep the program in it, and a byte copy
    // of data.mdb would then miss what its -wal holds.
    const auto journal = column(db, "PRAGMA journal_mode");
    if (!journal || journal->value(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return false;
    return hasTheProgramsTables(db);
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

bool sameRows(const QString& a, const QString& b) {
    const Handle handle = openKeyed(a);
    if (!handle)
        return false;
    sqlite3* db = handle.get();
    sqlite3_stmt* attach = nullptr;
    if (sqlite3_prepare_v2(db, "ATTACH DATABASE ?1 AS other KEY ?2", -1, &attach, nullptr) !=
        SQLITE_OK)
        return false;
    const QByteArray path = b.toUtf8();
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_bind_text(attach, 1, path.constData(), path.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(attach, 2, key.constData(), key.size(), SQLITE_TRANSIENT);
    const int attached = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (attached != SQLITE_DONE)
        return false;
    for (const QString& table : Schema::dataTables()) {
        // Equal counts and no row of one missing from the other: the same rows, rowids too.
        const QByteArray sql =
            QStringLiteral("SELECT (SELECT count(*) FROM main.\"%1\") = (SELECT count(*) FROM "
                           "other.\"%1\") AND NOT EXISTS (SELECT rowid, * FROM main.\"%1\" "
                           "EXCEPT SELECT rowid, * FROM other.\"%1\")")
                .arg(table)
                .toUtf8();
        const auto same = column(db, sql.constData());
        if (!same || same->value(0) != QLatin1String("1"))
            return false;
    }
    return true;
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
