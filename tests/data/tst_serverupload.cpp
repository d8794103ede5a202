// The upload of a database of the size a busy small business reaches: every list the program
// shows reads the same on the server as on the file, cell for cell, and so does a backup taken
// from the server afterwards.
#include "KeyedFile.h"
#include "ListCompare.h"
#include "SeedDatabase.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Schema.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerTransfer.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

const QStringList kLists = {"表1", "表2", "表3", "表5"};
constexpr int kDeliveries = 200000;

void exec(sqlite3* db, const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        QFAIL(qPrintable(text + " in " + sql));
    }
}

// Rows whose values a transfer could bend, after the generated ones: the characters COPY
// escapes, NULLs, doubles that need all their digits, a long text, and print-buffer IDs with a
// gap.
void addAwkwardRows(const QString& file) {
    const KeyedFile keyed(file, KeyedFile::Mode::ReadWrite);
    exec(keyed.handle(),
         "INSERT INTO 表3 VALUES ('E1', '2026-12-31', NULL, 'G00001', "
         "'制表' || char(9) || '换行' || char(10) || '回车' || char(13) || '反斜\\N', '', NULL, "
         "0.30000000000000004, 1e300, 1.0 / 3, '引号\"''', '', '', NULL)");
    exec(keyed.handle(), "INSERT INTO 表3 (单据编号, 备注) VALUES ('E2', "
                         "replace(hex(zeroblob(20000)), '00', '长'))");
    exec(keyed.handle(), "INSERT INTO 表1 (商品编码, 单价) VALUES ('X1', 1e-300)");
    exec(keyed.handle(), "INSERT INTO 表4 (ID, 单据编号, 单价) VALUES (5, 'D000001', 2.5), "
                         "(9, 'D000001', NULL)");
}

// Rows of the table that are not the same in both files, matched by rowid, each value with its
// type; counts must be equal besides.
qint64 rawDifferences(const QString& file, const QString& other, const QString& table) {
    const KeyedFile keyed(file, KeyedFile::Mode::ReadOnly);
    sqlite3_stmt* attach = nullptr;
    sqlite3_prepare_v2(keyed.handle(), "ATTACH DATABASE ?1 AS other KEY ?2", -1, &attach, nullptr);
    const QByteArray path = other.toUtf8();
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_bind_text(attach, 1, path.constData(), path.size(), SQLITE_STATIC);
    sqlite3_bind_text(attach, 2, key.constData(), key.size(), SQLITE_STATIC);
    const bool attached = sqlite3_step(attach) == SQLITE_DONE;
    sqlite3_finalize(attach);
    if (!attached)
        return -1;
    QStringList unequal;
    for (const QString& column : Schema::columns(table))
        unequal.append(QStringLiteral("a.\"%1\" IS NOT b.\"%1\" OR typeof(a.\"%1\") <> "
                                      "typeof(b.\"%1\")")
                           .arg(column));
    const auto count = [&](const QString& sql) {
        const auto rows = keyed.rows(sql);
        return rows.isEmpty() ? qint64(-1) : rows.first().first().toLongLong();
    };
    if (count(QStringLiteral("SELECT count(*) FROM main.\"%1\"").arg(table)) !=
        count(QStringLiteral("SELECT count(*) FROM other.\"%1\"").arg(table)))
        return -1;
    return count(QStringLiteral("SELECT count(*) FROM main.\"%1\" a LEFT JOIN other.\"%1\" b "
                                "ON a.rowid = b.rowid WHERE b.rowid IS NULL OR %2")
                     .arg(table, unequal.join(QStringLiteral(" OR "))));
}

void compareLists(const ListSource& a, const ListSource& b) {
    for (const QString& table : kLists) {
        const QString difference = listDifference(table, a, b);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
}

} // namespace

class TestServerUpload : public QObject {
    Q_OBJECT
private slots:
    void everyListReadsTheSameOnTheServerAndInItsBackup() {
        if (TestDatabase::server().isEmpty())
            QSKIP("needs a database server");
        TestDatabase db;
        const std::unique_ptr<ServerDatabase> server =
            ServerDatabase::connect(TestDatabase::server());
        // A database just made on the server: the upload builds the tables itself.
        server->exec("DROP SCHEMA public CASCADE");
        server->exec("CREATE SCHEMA public");

        QElapsedTimer clock;
        clock.start();
        const QString file = db.folder() + "/大数据.mdb";
        SeedDatabase::generate(file, 10000, 2000, kDeliveries);
        addAwkwardRows(file);
        if (QTest::currentTestFailed())
            return;
        qInfo("seed %lld ms", clock.restart());
        ServerTransfer::upload(*server, file);
        qInfo("upload %lld ms", clock.restart());

        const ListSource onFile{file, {}};
        const ListSource onServer{{}, TestDatabase::server()};
        QCOMPARE(listRows("表3", onServer), kDeliveries + 2);
        QCOMPARE(listRows("表1", onServer), 10001);
        QCOMPARE(listRows("表2", onServer), 2000);
        QCOMPARE(listRows("表5", onServer), 1);
        compareLists(onFile, onServer);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(db.table("表4"), KeyedFile(file, KeyedFile::Mode::ReadOnly).table("表4"));
        QCOMPARE(db.rows("SELECT count(*) FROM 表3 WHERE 单价 = 0.30000000000000004::float8 "
                         "AND 数量 = 1e300::float8 AND 单位 IS NULL"),
                 QList<QStringList>{{"1"}});
        qInfo("lists compared %lld ms", clock.restart());

        const QString backup = db.folder() + "/备份.mdb";
        const QList<qint64> counts = ServerTransfer::download(*server, backup);
        qInfo("download %lld ms", clock.restart());
        QCOMPARE(counts, QList<qint64>({10001, 2000, kDeliveries + 2, 2, 1}));
        const ListSource inBackup{backup, {}};
        compareLists(onServer, inBackup);
        if (QTest::currentTestFailed())
            return;
        for (const QString& table : Schema::tableNames())
            QCOMPARE(rawDifferences(file, backup, table), qint64(0));
        // The low-space check's estimate holds the backup it stands for.
        QVERIFY2(ServerTransfer::size(*server) >= QFileInfo(backup).size(),
                 qPrintable(QString("%1 < %2")
                                .arg(ServerTransfer::size(*server))
                                .arg(QFileInfo(backup).size())));
        qInfo("server tables %lld bytes, backup %lld bytes", ServerTransfer::size(*server),
              QFileInfo(backup).size());
        qInfo("backup compared %lld ms", clock.restart());
    }
};

DN_TEST_MAIN(TestServerUpload)
#include "tst_serverupload.moc"
