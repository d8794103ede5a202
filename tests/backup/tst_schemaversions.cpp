// Databases carry their schema version. An older one is brought up to the program's at
// start-up after a checked backup, all steps or none; a newer one is refused and left as it
// is; a restored older backup is brought up the same way. On the file and on the server.
#include "KeyedFile.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "backup/AutoBackup.h"
#include "backup/DataRestore.h"
#include "backup/DatabaseUpgrade.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"

#include <QDir>
#include <QWidget>

#include <sqlite3.h>

namespace {

bool onServer() {
    return !TestDatabase::server().isEmpty();
}

int versionInUse() {
    return EngineChoice::maintenance(ProgramFolder::databaseFile())->schemaVersion();
}

// The program folder's database as a program of version 0 made it, holding one goods row.
struct Fixture {
    TestDatabase db;
    ScriptedPrompts prompts;

    Fixture() {
        for (const char* key : {"backup/enabled", "backup/folder", "backup/keep"})
            Settings::remove(QString::fromLatin1(key));
        ProgramFolder::setPathForTesting(db.folder());
        db.exec("INSERT INTO 表1 (商品编码, 商品名称) VALUES ('G1', '螺丝')");
        makeVersionZero(db.file(), onServer() ? nullptr : &db);
        if (onServer()) {
            db.exec("DROP TABLE _meta");
            db.exec("DROP INDEX 表3_联系人_商品编码");
            for (const QString& table : Schema::ledgerTables()) {
                db.exec("DROP TABLE \"" + table + "\"");
                db.exec("DELETE FROM _changes WHERE name = '" + table + "'");
            }
        }
    }
    ~Fixture() { ProgramFolder::setPathForTesting(QString()); }

    // Takes a database file back to version 0; through the test database's own statements
    // when it is the one in use.
    static void makeVersionZero(const QString& file, const TestDatabase* db) {
        QString sql = "DROP TABLE _meta; DROP INDEX 表3_联系人_商品编码; PRAGMA user_version = 0";
        for (const QString& table : Schema::ledgerTables())
            sql += "; DROP TABLE \"" + table + "\"";
        if (db) {
            db->exec(sql);
            return;
        }
        const KeyedFile keyed(file, KeyedFile::Mode::ReadWrite);
        QCOMPARE(sqlite3_exec(keyed.handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr),
                 SQLITE_OK);
    }
    QStringList upgradeBackups() const {
        return QDir(db.folder() + "/自动备份").entryList({"data-*-升级前.bak"}, QDir::Files);
    }
    // What a check of "nothing changed" compares: the file's bytes, or the server's tables.
    QByteArray state() const {
        if (!onServer())
            return contentsOf(db.file());
        QByteArray out;
        for (const QStringList& row : db.rows("SELECT table_name FROM information_schema.tables "
                                              "WHERE table_schema = current_schema() ORDER BY 1"))
            out += row.join('\t').toUtf8() + '\n';
        for (const QStringList& row : db.table("表1"))
            out += row.join('\t').toUtf8() + '\n';
        return out;
    }
};

} // namespace

class TestSchemaVersions : public QObject {
    Q_OBJECT
private slots:
    void aNewDatabaseIsOfTheCurrentVersion() {
        TestDatabase db;
        ProgramFolder::setPathForTesting(db.folder());
        QCOMPARE(versionInUse(), Schema::version());
        ProgramFolder::setPathForTesting(QString());
    }

    void anOlderDatabaseIsMigratedAfterABackup() {
        Fixture f;
        QCOMPARE(versionInUse(), 0);
        const QByteArray before = contentsOf(f.db.file());
        QVERIFY(DatabaseUpgrade::atStart(nullptr));
        QCOMPARE(f.prompts.shown().size(), 0);
        QCOMPARE(versionInUse(), Schema::version());
        QCOMPARE(f.db.rows("SELECT value FROM _meta WHERE name = 'version'"),
                 QList<QStringList>{{QString::number(Schema::version())}});
        QCOMPARE(f.db.rows("SELECT 商品编码 FROM 表1"), QList<QStringList>{{"G1"}});
        // The backup holds the data as it was before the steps.
        const QStringList backups = f.upgradeBackups();
        QCOMPARE(backups.size(), 1);
        const QString backup = f.db.folder() + "/自动备份/" + backups.constFirst();
        QCOMPARE(KeyedFile(backup, KeyedFile::Mode::ReadOnly).table("表1"),
                 (QList<QStringList>{{"G1", "螺丝", "<null>", "<null>", "<null>", "<null>"}}));
        if (!onServer())
            QCOMPARE(contentsOf(backup), before);
        // Once current, a start changes nothing.
        QVERIFY(DatabaseUpgrade::atStart(nullptr));
        QCOMPARE(f.upgradeBackups().size(), 1);
    }

    // A step that fails leaves the database exactly as it was, and says which step it was:
    // here an index already holds the name of the table the first step makes.
    void aFailingStepLeavesTheDatabaseAsItWas() {
        Fixture f;
        f.db.exec("CREATE INDEX _meta ON 表1 (商品编码)");
        const QByteArray before = f.state();
        QVERIFY(!DatabaseUpgrade::atStart(nullptr));
        QCOMPARE(f.prompts.texts("message").size(), 1);
        const QString told = f.prompts.lastText();
        QVERIFY2(told.startsWith("数据库升级的第 1 步（版本 0 到 1）失败：") &&
                     told.contains("数据库没有改动"),
                 qPrintable(told));
        QCOMPARE(f.state(), before);
        QCOMPARE(versionInUse(), 0);
    }

    void aNewerDatabaseIsRefusedAndLeftAsItIs() {
        Fixture f;
        if (onServer()) {
            f.db.exec("CREATE TABLE _meta (name text PRIMARY KEY, value text)");
            f.db.exec("INSERT INTO _meta VALUES ('version', '99')");
        }
        if (!onServer())
            f.db.exec("PRAGMA user_version = 99");
        const QByteArray before = f.state();
        QVERIFY(!DatabaseUpgrade::atStart(nullptr));
        QCOMPARE(f.prompts.texts("message"),
                 QStringList{"数据库由更新版本的程序创建（版本 99），请升级本程序。"});
        QCOMPARE(f.state(), before);
        QVERIFY(f.upgradeBackups().isEmpty());
    }

    // A backup of an older version is restored as it is and brought up at the next start; one
    // of a newer version is refused.
    void anOlderBackupIsRestoredAndMigrated() {
        Fixture f;
        QVERIFY(DatabaseUpgrade::atStart(nullptr));
        QTemporaryDir elsewhere;
        const QString older = elsewhere.filePath("older.bak");
        Schema::createDatabase(older);
        QCOMPARE(sqlite3_exec(KeyedFile(older, KeyedFile::Mode::ReadWrite).handle(),
                              "INSERT INTO 表1 (商品编码) VALUES ('旧')", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        Fixture::makeVersionZero(older, nullptr);
        QWidget window;
        DataRestore restore(&window, {});
        restore.restoreFrom(older);
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QVERIFY(DatabaseUpgrade::atStart(nullptr));
        QCOMPARE(versionInUse(), Schema::version());
        QCOMPARE(f.db.rows("SELECT 商品编码 FROM 表1"), QList<QStringList>{{"旧"}});

        const QString newer = elsewhere.filePath("newer.bak");
        Schema::createDatabase(newer);
        QCOMPARE(sqlite3_exec(KeyedFile(newer, KeyedFile::Mode::ReadWrite).handle(),
                              "PRAGMA user_version = 99", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        f.prompts.clear();
        DataRestore again(&window, {});
        again.restoreFrom(newer);
        QCOMPARE(f.prompts.texts("message"), QStringList{"数据恢复失败，请重试！"});
        QCOMPARE(f.db.rows("SELECT 商品编码 FROM 表1"), QList<QStringList>{{"旧"}});
    }
};

DN_TEST_MAIN(TestSchemaVersions)
#include "tst_schemaversions.moc"
