// ReopenAll on a busy database beside a raw scan of the same rows, and the memory the loaded
// lists take.

#include "BenchSupport.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

// Opens the file with the password and reads every column of every row of the five tables.
void rawScan(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    for (const QString& table : Schema::tableNames()) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(
            db, QStringLiteral("SELECT rowid, * FROM \"%1\"").arg(table).toUtf8().constData(), -1,
            &statement, nullptr);
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_FLOAT)
                    sqlite3_column_double(statement, c);
                else
                    sqlite3_column_bytes(statement, c);
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.mdb"));
    bench::generateDatabase(file, 10000, 2000, 200000);
    QDir::setCurrent(dir.path());

    const double before = bench::residentMb();
    Connection main;
    main.setConnectionString(DatabaseConnection::FormConnectionString());
    Connection profileConnection;
    profileConnection.setConnectionString(DatabaseConnection::FormConnectionString());
    QList<Dataset*> lists;
    for (int i = 1; i <= 4; ++i) {
        lists.append(new Dataset(&main, QStringLiteral("ADOQuery%1").arg(i), &main));
        lists.last()->setQuery(Query::all(QStringLiteral("表%1").arg(i)));
    }
    Dataset profile(&profileConnection, QStringLiteral("ADOQuery1"));
    profile.setQuery(Query::all(QStringLiteral("表5")));
    DatabaseConnection connections(&main, lists);
    connections.setProfileQuery(&profile);

    const auto [raw, reopen] = bench::pairedMedianMs(
        9, [&] { rawScan(file); }, [&] { connections.ReopenAll(); });
    const double loaded = bench::residentMb() - before;

    bench::report(QStringLiteral("raw_scan_all_tables"), raw, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all"), reopen, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all_ratio"), reopen / raw, QStringLiteral("x"));
    bench::report(QStringLiteral("loaded_lists_memory"), loaded, QStringLiteral("MB"));

    Dataset& goods = *lists[0];
    const double search = bench::medianMs(21, [&] {
        goods.close();
        goods.setQuery(
            Query::like(QStringLiteral("表1"), QStringLiteral("商品名称"), QStringLiteral("12")));
        goods.open();
    });
    bench::report(QStringLiteral("goods_search_10000"), search, QStringLiteral("ms"));
    return 0;
}
