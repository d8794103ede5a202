#include "FileCalls.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "backup/DataBackup.h"
#include "backup/DataRestore.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "ui/Guard.h"

#include <QDir>
#include <QWidget>

#include <sqlite3.h>

namespace {

// The first row of a statement on a file opened read-only with a password, or the error.
QString firstOf(const QString& file, const QString& password, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_stmt* statement = nullptr;
    QString result = QString::fromUtf8(sqlite3_errmsg(db));
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        result =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

// A database of the program made elsewhere, changed by a statement and keyed with a password.
QString makeDatabase(const QString& folder, const char* change, const QString& password) {
    const QString file = folder + "/made.mdb";
    Schema::createDatabase(file);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    const QByteArray rekey = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_exec(db, change, nullptr, nullptr, nullptr);
    sqlite3_rekey(db, rekey.constData(), rekey.size());
    sqlite3_close(db);
    return file;
}

// The program folder holds a database of a few hundred goods; the connections of the main
// window and the profile form are open on it with a list each, and the window shows.
struct Fixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    QWidget window;
    Connection main;
    Connection profile;
    Dataset goods{&main, "ADOQuery1"};
    Dataset company{&profile, "ADOQuery1"};
    DataBackup backup{&window};
    DataRestore restore{&window, {&main, &profile}};
    QTemporaryDir other;

    Fixture() {
        db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
                " INSERT INTO 表1 SELECT 'G' || i, '商品' || i, '', '个', i, '' FROM n");
        ProgramFolder::setPathForTesting(db.folder());
        window.setObjectName("MainForm");
        window.show();
        for (Connection* c : {&main, &profile})
            c->setConnectionString(DatabaseConnection::FormConnectionString());
        goods.setQuery(Query::all("表1"));
        company.setQuery(Query::all("表5"));
        goods.open();
        company.open();
    }
    ~Fixture() { ProgramFolder::setPathForTesting(QString()); }

    void backUpTo(const QString& name) {
        prompts.answerSave(other.filePath(name));
        guarded(&window, [this] { backup.SpeedButton4Click(); });
    }
    void restoreFrom(const QString& file) {
        prompts.answerOpen(file);
        guarded(&window, [this] { restore.SpeedButton5Click(); });
    }
    bool everythingOpen() const {
        return main.isOpen() && profile.isOpen() && goods.isOpen() && company.isOpen() &&
               window.isVisible();
    }
};

// Where a call comes in the list from a position on; -1 when it does not.
qsizetype indexOf(const QList<FileCalls::Call>& calls, const QString& name, const QString& path,
                  qsizetype from = 0) {
    for (qsizetype i = from; i < calls.size(); ++i) {
        if (calls[i] == FileCalls::Call{name, path})
            return i;
    }
    return -1;
}

QString canonical(const QString& folder) {
    return QFileInfo(folder).canonicalFilePath();
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void backupIsAByteCopyWithBakAppended() {
        Fixture f;
        writeFile(f.other.filePath("again.bak.bak"), "last week");
        f.backUpTo("备份");
        f.backUpTo("again.bak");
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据备份成功！", "数据备份成功！"}));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
        QCOMPARE(filesIn(f.other.path()), QStringList({"again.bak.bak", "备份.bak"}));
        QCOMPARE(contentsOf(f.other.filePath("again.bak.bak")), contentsOf(f.db.file()));
        QCOMPARE(
            firstOf(f.other.filePath("备份.bak"), Schema::password(), "PRAGMA integrity_check"),
            QString("ok"));
        QVERIFY(f.everythingOpen());
    }

    void backupCopiesTheProgramFoldersFile() {
        Fixture f;
        TestDatabase elsewhere; // the working directory now, with a database of its own
        f.backUpTo("copy");
        QCOMPARE(contentsOf(f.other.filePath("copy.bak")), contentsOf(f.db.file()));
    }

    // A rename is an entry of the folder: the folder goes on disk after it, or a power cut
    // could bring the old file back, or none.
    void backupIsOnDiskWithItsName() {
        SKIP_ON_WINDOWS("watches the C library's file calls");
        Fixture f;
        FileCalls::watch(f.other.path());
        f.backUpTo("备份");
        const QString folder = canonical(f.other.path());
        const QList<FileCalls::Call> calls = FileCalls::calls();
        const qsizetype renamed = indexOf(calls, "rename", folder + "/备份.bak");
        QVERIFY(renamed >= 0);
        QVERIFY(indexOf(calls, "fsync", folder, renamed) > renamed);
    }

    void failedBackupLeavesNothing() {
        SKIP_ON_WINDOWS("fills the disk through a file size limit");
        Fixture f;
        f.backUpTo("missing folder/copy");
        writeFile(f.other.filePath("old.bak"), "last week");
        {
            FileSizeLimit limit(16 * 1024);
            f.backUpTo("old");
        }
        QCOMPARE(f.prompts.texts("message"),
                 QStringList({"数据备份失败，请重试！", "数据备份失败，请重试！"}));
        QCOMPARE(filesIn(f.other.path()), QStringList({"old.bak"}));
        QCOMPARE(contentsOf(f.other.filePath("old.bak")), QByteArray("last week"));
    }

    void cancellingDoesNothing() {
        Fixture f;
        const QByteArray before = contentsOf(f.db.file());
        f.backup.SpeedButton4Click();
        f.restore.SpeedButton5Click();
        QCOMPARE(f.prompts.texts(), QStringList({"", ""})); // the two dialogs only
        QCOMPARE(contentsOf(f.db.file()), before);
        QVERIFY(f.everythingOpen());
    }

    void restoreReplacesTheDatabaseAndEndsTheProgram() {
        Fixture f;
        f.backUpTo("saved");
        f.db.exec("DELETE FROM 表1");
        // A journal beside the old file must not be played into the restored one.
        writeFile(f.db.file() + "-journal", "left over");
        f.restoreFrom(f.other.filePath("saved.bak"));
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QCOMPARE(contentsOf(f.db.file()), contentsOf(f.other.filePath("saved.bak")));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
        QVERIFY(!f.main.isOpen());
        QVERIFY(!f.profile.isOpen());
        QVERIFY(!f.window.isVisible());

        // The database itself is taken as harmlessly.
        Fixture g;
        const QByteArray before = contentsOf(g.db.file());
        g.restoreFrom(g.db.file());
        QCOMPARE(g.prompts.lastText(), QString("数据恢复成功！"));
        QCOMPARE(contentsOf(g.db.file()), before);
        QCOMPARE(filesIn(g.db.folder()), QStringList({"data.mdb"}));
    }

    // The old file's journal goes before the new file comes: killed between the two, the
    // next opening would play the old pages into the new file.
    void restoreRemovesTheOldJournalBeforeTheNewFileComes() {
        SKIP_ON_WINDOWS("watches the C library's file calls");
        Fixture f;
        f.backUpTo("saved");
        writeFile(f.db.file() + "-journal", "left over");
        FileCalls::watch(f.db.folder());
        f.restoreFrom(f.other.filePath("saved.bak"));
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        const QString folder = canonical(f.db.folder());
        const QList<FileCalls::Call> calls = FileCalls::calls();
        const qsizetype removed = indexOf(calls, "unlink", folder + "/data.mdb-journal");
        const qsizetype renamed = indexOf(calls, "rename", folder + "/data.mdb");
        QVERIFY(removed >= 0);
        QVERIFY2(removed < renamed, "the journal was removed after the rename");
        // Each on disk before the next, so that no power cut can undo the one and keep the other.
        const qsizetype removalSynced = indexOf(calls, "fsync", folder, removed);
        QVERIFY(removed < removalSynced && removalSynced < renamed);
        QVERIFY(indexOf(calls, "fsync", folder, renamed) > renamed);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    // The connections use the working folder's data.mdb; restore replaces the program's.
    void restoreReplacesTheProgramFoldersFile() {
        Fixture f;
        f.backUpTo("saved");
        f.db.exec("DELETE FROM 表1");
        TestDatabase elsewhere; // the working directory now, with a database of its own
        elsewhere.exec("INSERT INTO 表1 (商品编码) VALUES ('别处')");
        const QByteArray other = contentsOf(elsewhere.file());
        f.restoreFrom(f.other.filePath("saved.bak"));
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QCOMPARE(contentsOf(f.db.file()), contentsOf(f.other.filePath("saved.bak")));
        QCOMPARE(f.db.count("表1"), 300);
        QCOMPARE(contentsOf(elsewhere.file()), other);
        QCOMPARE(filesIn(elsewhere.folder()), QStringList({"data.mdb"}));
    }

    void restoreRefusesWhatIsNoDatabaseOfTheProgram_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"text file", "another password", "without 表4", "cut to half", "damaged last page",
              "missing file", "index out of step", "with a trigger", "with a view",
              "表5 lacking columns", "表1 without rowid", "表2 refusing every row",
              "表2 a full-text table", "in WAL mode", "with a table of its own"})
            QTest::newRow(kind) << QString(kind);
    }
    void restoreRefusesWhatIsNoDatabaseOfTheProgram() {
        QFETCH(QString, kind);
        Fixture f;
        const QByteArray before = contentsOf(f.db.file());
        QString chosen = f.other.filePath("chosen.bak");
        if (kind == "text file")
            writeFile(chosen, "送货单\n这不是数据库\n");
        else if (kind == "another password")
            chosen = makeDatabase(f.other.path(), "SELECT 1", "another");
        else if (kind == "without 表4")
            chosen = makeDatabase(f.other.path(), "DROP TABLE 表4", Schema::password());
        else if (kind == "cut to half") // in whole pages
            writeFile(chosen, before.left(before.size() / 2 / 1024 * 1024));
        else if (kind == "damaged last page")
            writeFile(chosen,
                      QByteArray(before).replace(before.size() - 900, 16, QByteArray(16, 0)));
        else if (kind == "index out of step") // which only the full check compares
            chosen = makeDatabase(f.other.path(),
                                  "INSERT INTO 表3 (单据编号, 商品编码) VALUES ('B1', 'G1'), "
                                  "('B2', 'G2'); PRAGMA writable_schema = ON; UPDATE sqlite_master "
                                  "SET sql = 'CREATE INDEX \"表3_单据编号\" ON \"表3\" "
                                  "(\"商品编码\")' WHERE type = 'index'",
                                  Schema::password());
        else if (kind == "with a trigger")
            chosen = makeDatabase(f.other.path(),
                                  "CREATE TRIGGER 清空 AFTER INSERT ON 表3 BEGIN DELETE FROM 表1; "
                                  "END",
                                  Schema::password());
        else if (kind == "with a view")
            chosen = makeDatabase(f.other.path(), "CREATE VIEW 视图 AS SELECT * FROM 表1",
                                  Schema::password());
        else if (kind == "表5 lacking columns")
            chosen = makeDatabase(f.other.path(),
                                  "DROP TABLE 表5; CREATE TABLE \"表5\" (\"公司名称\" TEXT)",
                                  Schema::password());
        else if (kind == "表1 without rowid")
            chosen = makeDatabase(f.other.path(),
                                  "DROP TABLE 表1; CREATE TABLE \"表1\" (\"商品编码\" TEXT PRIMARY "
                                  "KEY, \"商品名称\" TEXT, \"规格型号\" TEXT, \"单位\" TEXT, "
                                  "\"单价\" REAL, \"备注\" TEXT) WITHOUT ROWID",
                                  Schema::password());
        else if (kind == "表2 refusing every row")
            chosen = makeDatabase(f.other.path(),
                                  "DROP TABLE 表2; CREATE TABLE \"表2\" (\"单位名称\" TEXT, "
                                  "\"联系人\" TEXT, \"联系电话\" TEXT, \"单位地址\" TEXT, "
                                  "\"备注\" TEXT, CHECK (0))",
                                  Schema::password());
        else if (kind == "表2 a full-text table")
            chosen = makeDatabase(f.other.path(),
                                  "DROP TABLE 表2; CREATE VIRTUAL TABLE 表2 USING fts4(单位名称, "
                                  "联系人, 联系电话, 单位地址, 备注)",
                                  Schema::password());
        else if (kind == "in WAL mode")
            chosen = makeDatabase(f.other.path(), "PRAGMA journal_mode = WAL", Schema::password());
        else if (kind == "with a table of its own")
            chosen = makeDatabase(f.other.path(), "CREATE TABLE 备用 (x)", Schema::password());

        f.restoreFrom(chosen);
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据恢复失败，请重试！"}));
        QCOMPARE(contentsOf(f.db.file()), before);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
        QVERIFY(f.everythingOpen());
        QCOMPARE(f.goods.recordCount(), 300);
    }

    // The data a restore replaces is kept first, checked, among the automatic backups; the
    // toolbar's restore still asks nothing and says only what it always says.
    void restoreKeepsTheDataItReplaces() {
        Fixture f;
        f.backUpTo("saved");
        f.prompts.clear();
        f.db.exec("DELETE FROM 表1 WHERE rowid > 100");
        const QByteArray before = contentsOf(f.db.file());
        f.restoreFrom(f.other.filePath("saved.bak"));
        QCOMPARE(f.prompts.texts(),
                 (QStringList{QString(), "数据恢复成功！"})); // open, then the message
        const QDir folder(f.db.folder() + "/自动备份");
        const QStringList kept = folder.entryList({"data-*-恢复前.bak"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(contentsOf(folder.filePath(kept.constFirst())), before);
        QCOMPARE(f.db.count("表1"), 300);
    }

    // Without that copy nothing is replaced.
    void noRestoreWithoutTheCopyOfTheReplacedData() {
        Fixture f;
        f.backUpTo("saved");
        f.prompts.clear();
        f.db.exec("DELETE FROM 表1");
        const QByteArray before = contentsOf(f.db.file());
        writeFile(f.other.filePath("占用"), "a file, not a folder");
        Settings::setValue("backup/folder", f.other.filePath("占用/备份"));
        f.restoreFrom(f.other.filePath("saved.bak"));
        Settings::remove("backup/folder");
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据恢复失败，请重试！"}));
        QCOMPARE(contentsOf(f.db.file()), before);
        QVERIFY(f.everythingOpen());
    }

    void failedReplacementIsReported() {
        Fixture f;
        // The program folder is elsewhere, and its data.mdb cannot be replaced by a file.
        QVERIFY(QDir(f.other.path()).mkdir("data.mdb"));
        ProgramFolder::setPathForTesting(f.other.path());
        f.restoreFrom(f.db.file());
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据恢复失败，请重试！"}));
        QVERIFY(QFileInfo(f.other.filePath("data.mdb")).isDir());
        QCOMPARE(filesIn(f.other.path()), QStringList());
        QVERIFY(f.window.isVisible());
    }
};

DN_TEST_MAIN(TestBackup)
#include "tst_backup.moc"
