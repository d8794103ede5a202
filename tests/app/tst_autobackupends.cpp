#include "KeyedFile.h"
#include "RecordsFixture.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "backup/AutoBackup.h"
#include "backup/BackupRetention.h"
#include "data/DatabaseCheck.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>

namespace {

const QStringList kTables = {"表1", "表2", "表3", "表4", "表5"};

// The program on a database of its own whose folder is the program folder; the backup settings
// start at their defaults.
struct Fixture : RecordsFixture {
    Fixture() {
        for (const char* key : {"backup/enabled", "backup/folder", "backup/keep", "backup/untold",
                                "backup/spaceTold"})
            Settings::remove(QString::fromLatin1(key));
        db.exec("INSERT INTO 表1 (商品编码, 商品名称, 单价) VALUES ('007', '螺丝', 1.5)");
        ProgramFolder::setPathForTesting(db.folder());
    }
    ~Fixture() {
        ProgramFolder::setPathForTesting(QString());
        AutoBackup::setBeforeCheckForTesting({});
        AutoBackup::setFreeSpaceForTesting({});
    }

    QString folder() const { return db.folder() + "/自动备份"; }
    QStringList backups() const {
        return QDir(folder()).entryList({"data-*.bak"}, QDir::Files, QDir::Name);
    }
    // A backup made an hour ago, so the start makes none.
    void recentBackup() const {
        QDir().mkpath(folder());
        writeFile(QDir(folder()).filePath(
                      BackupRetention::nameFor(QDateTime::currentDateTime().addSecs(-3600))),
                  contentsOf(db.file()));
    }
    // "退出软件" and what follows the event loop's end.
    void exitProgram() {
        click("SpeedButton7");
        QVERIFY(!window().isVisible());
        program->end();
        program.reset();
    }
};

} // namespace

class TestAutoBackupEnds : public QObject {
    Q_OBJECT
private slots:
    void exitBacksUpTheChangedDatabase() {
        Fixture f;
        f.recentBackup();
        f.start();
        QCOMPARE(f.backups().size(), 1);
        f.db.exec("UPDATE 表1 SET 商品名称 = '螺母' WHERE 商品编码 = '007'");
        f.db.exec("INSERT INTO 表2 VALUES ('华东公司', '张三', '0571', '杭州', '')");
        f.exitProgram();
        const QStringList backups = f.backups();
        QCOMPARE(backups.size(), 2);
        const QString made = QDir(f.folder()).filePath(backups.last());
        QVERIFY(DatabaseCheck::isUsable(made));
        const KeyedFile backup(made, KeyedFile::Mode::ReadOnly);
        for (const QString& table : kTables)
            QCOMPARE(backup.table(table), f.db.table(table));
        QCOMPARE(f.prompts.shown().size(), 0);
    }

    void startBacksUpWhenTheNewestIsADayOld() {
        Fixture f;
        f.start(); // none yet
        QCOMPARE(f.backups().size(), 1);
        f.program.reset();
        f.start(); // one of a moment ago
        QCOMPARE(f.backups().size(), 1);
        f.program.reset();

        const QString dayOld =
            BackupRetention::nameFor(QDateTime::currentDateTime().addSecs(-25 * 3600));
        QFile::rename(QDir(f.folder()).filePath(f.backups().constFirst()),
                      QDir(f.folder()).filePath(dayOld));
        f.db.exec("INSERT INTO 表2 VALUES ('华东公司', '张三', '0571', '杭州', '')");
        f.start();
        QCOMPARE(f.backups().size(), 2);
        QCOMPARE(f.prompts.shown().size(), 0);
        f.program.reset();

        // A day later again with nothing changed, the new backup takes the old one's place.
        QFile::rename(QDir(f.folder()).filePath(f.backups().constLast()),
                      QDir(f.folder())
                          .filePath(BackupRetention::nameFor(
                              QDateTime::currentDateTime().addSecs(-24 * 3600))));
        f.start();
        QCOMPARE(f.backups().size(), 2);
        QCOMPARE(f.backups().constFirst(), dayOld);
        QVERIFY(AutoBackup::newest(f.folder()).secsTo(QDateTime::currentDateTime()) < 60);
    }

    void switchedOffNothingIsBackedUp() {
        Fixture f;
        Settings::setValue("backup/enabled", false);
        f.start();
        f.exitProgram();
        QVERIFY(!QFileInfo::exists(f.folder()));
    }

    void aFailedExitBackupIsToldOnceAtTheNextStart() {
        Fixture f;
        f.recentBackup();
        const QStringList before = f.backups();
        f.start();
        AutoBackup::setBeforeCheckForTesting([](const QString& file) {
            QFile copy(file);
            QVERIFY(copy.resize(copy.size() / 3));
        });
        f.exitProgram();
        AutoBackup::setBeforeCheckForTesting({});
        QCOMPARE(f.backups(), before);
        QCOMPARE(filesIn(f.folder()), before);
        QCOMPARE(f.prompts.shown().size(), 0);

        f.start();
        QCOMPARE(f.prompts.texts("message").size(), 1);
        QVERIFY2(f.prompts.lastText().startsWith("自动备份失败："),
                 qPrintable(f.prompts.lastText()));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
        f.program.reset();
        f.prompts.clear();
        f.start();
        QCOMPARE(f.prompts.shown().size(), 0);
    }

    void lackOfSpaceSkipsTheBackupAndIsToldOnce() {
        Fixture f;
        const qint64 size = QFileInfo(f.db.file()).size();
        AutoBackup::setFreeSpaceForTesting([size](const QString&) { return 2 * size - 1; });
        f.start();
        QVERIFY(f.backups().isEmpty());
        QCOMPARE(f.prompts.texts("message").size(), 1);
        QVERIFY2(f.prompts.lastText().startsWith("自动备份已跳过："),
                 qPrintable(f.prompts.lastText()));
        f.exitProgram();
        f.prompts.clear();
        f.start(); // nothing told of the skip at the end, nor of this one
        QCOMPARE(f.prompts.shown().size(), 0);
        f.program.reset();

        // Once a backup has gone through again, the next lack is told again.
        AutoBackup::setFreeSpaceForTesting([size](const QString&) { return 2 * size; });
        f.start();
        QCOMPARE(f.backups().size(), 1);
        AutoBackup::setFreeSpaceForTesting([](const QString&) { return 0; });
        f.exitProgram();
        f.start();
        QCOMPARE(f.prompts.texts("message").size(), 1);
        QVERIFY(f.prompts.lastText().startsWith("自动备份已跳过："));
        QCOMPARE(f.backups().size(), 1);
    }

    // A folder that cannot be made fails at the end and again at the next start: one box.
    void theSameTroubleAtEndAndStartIsToldOnce() {
        Fixture f;
        QTemporaryDir elsewhere;
        writeFile(elsewhere.filePath("占用"), "a file, not a folder");
        Settings::setValue("backup/folder", elsewhere.filePath("占用/自动备份"));
        f.start();
        QCOMPARE(f.prompts.texts("message").size(), 1);
        f.exitProgram();
        f.prompts.clear();
        f.start();
        QCOMPARE(f.prompts.texts("message").size(), 1);
        QVERIFY2(f.prompts.lastText().startsWith("自动备份失败：无法建立备份文件夹"),
                 qPrintable(f.prompts.lastText()));
    }

    // The restore keeps the data it replaces; the end after it makes no backup of its own.
    void theEndOfARestoreMakesNoBackup() {
        Fixture f;
        f.recentBackup();
        const QStringList before = f.backups();
        f.start();
        f.prompts.answerOpen(QDir(f.folder()).filePath(before.constFirst()));
        f.click("SpeedButton5");
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        f.program->end();
        const QStringList after = f.backups();
        QCOMPARE(after.size(), 2);
        QCOMPARE(after.constFirst(), before.constFirst());
        QVERIFY2(BackupRetention::kindOf(after.constLast()) == BackupRetention::Kind::BeforeRestore,
                 qPrintable(after.constLast()));
    }
};

DN_TEST_MAIN(TestAutoBackupEnds)
#include "tst_autobackupends.moc"
