#include "data/sqlcipher/FileMigrations.h"

#include "data/Errors.h"
#include "data/Schema.h"

#include <QStringList>

#include <sqlite3.h>

namespace {

// Step N takes a database of version N - 1 to version N.
QStringList step(int number) {
    switch (number) {
    case 1:
        // The version's own record, and the index of the last-price look-up that files made
        // before it lack.
        return {FileMigrations::tableStatement(QStringLiteral("_meta")),
                QStringLiteral("CREATE INDEX IF NOT EXISTS \"表3_联系人_商品编码\" ON \"表3\" "
                               "(\"联系人\" COLLATE NOCASE, \"商品编码\" COLLATE NOCASE, "
                               "\"业务日期\")")};
    case 2: {
        // Payments, their settlement against bills and the customers' credit.
        QStringList out;
        for (const QString& table : Schema::ledgerTables())
            out.append(FileMigrations::tableStatement(table));
        // A customer's payments and settlement are read by contact, ASCII case ignored.
        for (const char* table : {"收款", "收款核销", "客户信用"})
            out.append(
                QStringLiteral("CREATE INDEX \"%1_联系人\" ON \"%1\" (\"联系人\" COLLATE NOCASE)")
                    .arg(QString::fromUtf8(table)));
        return out;
    }
    default:
        return {};
    }
}

void exec(sqlite3* db, const QString& sql) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DataError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

namespace FileMigrations {

QString tableStatement(const QString& table) {
    if (table == QLatin1String("_meta"))
        return QStringLiteral("CREATE TABLE \"_meta\" (\"name\" TEXT PRIMARY KEY, \"value\" TEXT)");
    if (Schema::ledgerTables().contains(table))
        return Schema::tableStatement(table);
    return {};
}

int version(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) != SQLITE_OK)
        throw DataError(QString::fromUtf8(sqlite3_errmsg(db)));
    const int rc = sqlite3_step(statement);
    const int found = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW)
        throw DataError(QString::fromUtf8(sqlite3_errmsg(db)));
    return found;
}

void run(sqlite3* db) {
    const int from = version(db);
    exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    int number = from + 1;
    try {
        for (; number <= Schema::version(); ++number) {
            for (const QString& sql : step(number))
                exec(db, sql);
        }
        exec(db, QStringLiteral("INSERT OR REPLACE INTO \"_meta\" VALUES ('version', '%1'), "
                                "('migrated', strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))")
                     .arg(Schema::version()));
        exec(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::version()));
        exec(db, QStringLiteral("COMMIT"));
    } catch (const DataError& e) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw DataError(QStringLiteral("数据库升级的第 %1 步（版本 %2 到 %1）失败：%3")
                            .arg(qMin(number, Schema::version()))
                            .arg(qMin(number, Schema::version()) - 1)
                            .arg(e.message()));
    }
}

} // namespace FileMigrations
