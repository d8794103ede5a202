#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "backup/DataBackup.h"
#include "backup/DataRestore.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"
#include "ui/Guard.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

QByteArray contentsOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The engine's full check of a file opened with a password.
QString integrityOf(const QString& file, const QString& password) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_stmt* statement = nullptr;
    QString result = QString::fromUtf8(sqlite3_errmsg(db));
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        result =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

// Lets writes stop at a few kilobytes, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }

private:
    rlimit previous_{};
};

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

    void backUpTo(const QString& chosen) {
        prompts.answerSave(chosen);
        guarded(&window, [this] { backup.SpeedButton4Click(); });
    }
    void restoreFrom(const QString& chosen) {
        prompts.answerOpen(chosen);
        guarded(&window, [this] { restore.SpeedButton5Click(); });
    }
    bool everythingOpen() const {
        return main.isOpen() && profile.isOpen() && goods.isOpen() && company.isOpen() &&
               window.isVisible();
    }
};

// A copy of the program's database made elsewhere, changed by a statement.
QString makeDatabase(const QString& folder, const QString& change,
                     const QString& password = Schema::password()) {
    const QString file = folder + "/made.mdb";
    Schema::createDatabase(file);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Schema::password().toUtf8().constData(), Schema::password().toUtf8().size());
    if (password != Schema::password())
        sqlite3_rekey(db, password.toUtf8().constData(), password.toUtf8().size());
    sqlite3_exec(db, change.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void backupIsAByteCopyWithBakAppended() {
        Fixture f;
        QTemporaryDir target;
        f.backUpTo(target.filePath("备份"));
        f.backUpTo(target.filePath("again.bak"));
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据备份成功！", "数据备份成功！"}));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
        QCOMPARE(filesIn(target.path()), QStringList({"again.bak.bak", "备份.bak"}));
        QCOMPARE(contentsOf(target.filePath("备份.bak")), contentsOf(f.db.file()));
        QCOMPARE(integrityOf(target.filePath("备份.bak"), Schema::password()), QString("ok"));
        QVERIFY(f.everythingOpen());
    }

    void backupReplacesAnExistingFile() {
        Fixture f;
        QTemporaryDir target;
        writeFile(target.filePath("old.bak"), "last week");
        f.backUpTo(target.filePath("old"));
        QCOMPARE(f.prompts.lastText(), QString("数据备份成功！"));
        QCOMPARE(contentsOf(target.filePath("old.bak")), contentsOf(f.db.file()));
        QCOMPARE(filesIn(target.path()), QStringList({"old.bak"}));
    }

    void backupCopiesTheProgramFoldersFile() {
        Fixture f;
        TestDatabase elsewhere; // the working directory now, with a database of its own
        QVERIFY(contentsOf(elsewhere.file()) != contentsOf(f.db.file()));
        QTemporaryDir target;
        f.backUpTo(target.filePath("copy"));
        QCOMPARE(contentsOf(target.filePath("copy.bak")), contentsOf(f.db.file()));
    }

    void failedBackupLeavesNothing() {
        Fixture f;
        QTemporaryDir target;
        f.backUpTo(target.filePath("missing folder/copy"));
        writeFile(target.filePath("old.bak"), "last week");
        {
            FileSizeLimit limit(16 * 1024);
            f.backUpTo(target.filePath("old"));
        }
        QCOMPARE(f.prompts.texts("message"),
                 QStringList({"数据备份失败，请重试！", "数据备份失败，请重试！"}));
        QCOMPARE(filesIn(target.path()), QStringList({"old.bak"}));
        QCOMPARE(contentsOf(target.filePath("old.bak")), QByteArray("last week"));
    }

    void cancellingDoesNothing() {
        Fixture f;
        const QByteArray before = contentsOf(f.db.file());
        f.backup.SpeedButton4Click();
        f.restore.SpeedButton5Click();
        QCOMPARE(f.prompts.texts(), QStringList({"", ""}));
        QCOMPARE(f.prompts.shown()[0].kind, QString("save"));
        QCOMPARE(f.prompts.shown()[1].kind, QString("open"));
        QCOMPARE(contentsOf(f.db.file()), before);
        QVERIFY(f.everythingOpen());
    }

    void restoreReplacesTheDatabaseAndEndsTheProgram() {
        Fixture f;
        QTemporaryDir target;
        f.backUpTo(target.filePath("saved"));
        f.db.exec("DELETE FROM 表1 WHERE rowid > 1");
        // A journal beside the old file must not be played into the restored one.
        writeFile(f.db.file() + "-journal", "left over");

        f.restoreFrom(target.filePath("saved.bak"));
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据备份成功！", "数据恢复成功！"}));
        QCOMPARE(contentsOf(f.db.file()), contentsOf(target.filePath("saved.bak")));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
        QVERIFY(!f.main.isOpen());
        QVERIFY(!f.profile.isOpen());
        QVERIFY(!f.window.isVisible());

        // The next start sees the restored rows.
        Connection next;
        next.setConnectionString(DatabaseConnection::FormConnectionString());
        Dataset goods(&next, "ADOQuery1");
        goods.setQuery(Query::all("表1"));
        goods.open();
        QCOMPARE(goods.recordCount(), 300);
    }

    void restoreOfTheDatabaseItselfIsHarmless() {
        Fixture f;
        const QByteArray before = contentsOf(f.db.file());
        f.restoreFrom(f.db.file());
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QCOMPARE(contentsOf(f.db.file()), before);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void restoreRefusesWhatIsNoDatabaseOfTheProgram_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("another password") << "password";
        QTest::newRow("without 表4") << "table";
        QTest::newRow("cut to half") << "half";
        QTest::newRow("damaged page") << "damaged";
        QTest::newRow("missing file") << "missing";
    }
    void restoreRefusesWhatIsNoDatabaseOfTheProgram() {
        QFETCH(QString, kind);
        Fixture f;
        QTemporaryDir source;
        QString chosen = source.filePath("chosen.bak");
        if (kind == "text")
            writeFile(chosen, "送货单\n这不是数据库\n");
        else if (kind == "password")
            chosen = makeDatabase(source.path(), "SELECT 1", "another");
        else if (kind == "table")
            chosen = makeDatabase(source.path(), "DROP TABLE 表4");
        else if (kind == "half")
            writeFile(chosen,
                      contentsOf(f.db.file())
                          .left(QFileInfo(f.db.file()).size() / 2 / 1024 * 1024)); // whole pages
        else if (kind == "damaged")
            writeFile(chosen, contentsOf(f.db.file())
                                  .replace(QFileInfo(f.db.file()).size() - 900, 16,
                                           QByteArray(16, 0))); // last page
        const QByteArray before = contentsOf(f.db.file());

        f.restoreFrom(chosen);
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据恢复失败，请重试！"}));
        QCOMPARE(contentsOf(f.db.file()), before);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
        QVERIFY(f.everythingOpen());
        QCOMPARE(f.goods.recordCount(), 300);
    }

    void failedReplacementIsReported() {
        Fixture f;
        // The program folder is elsewhere, and its data.mdb cannot be replaced by a file.
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("data.mdb"));
        ProgramFolder::setPathForTesting(folder.path());
        f.restoreFrom(f.db.file());
        QCOMPARE(f.prompts.texts("message"), QStringList({"数据恢复失败，请重试！"}));
        QVERIFY(QFileInfo(folder.filePath("data.mdb")).isDir());
        QCOMPARE(filesIn(folder.path()), QStringList());
        QVERIFY(f.window.isVisible());
    }
};

DN_TEST_MAIN(TestBackup)
#include "tst_backup.moc"
