#include "KeyedFile.h"
#include "ListCompare.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "backup/AutoBackup.h"
#include "backup/BackupRetention.h"
#include "data/DatabaseCheck.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerTransfer.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <sqlite3.h>

namespace {

const QStringList kTables = {"表1", "表2", "表3", "表4", "表5"};

// The program folder holds a database with goods, customers and two bills of deliveries.
struct Fixture {
    TestDatabase db;
    AutoBackupOptions options;

    Fixture() {
        db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)"
                " INSERT INTO 表1 SELECT 'G' || i, '商品' || i, '', '个', i, '' FROM n");
        db.exec("INSERT INTO 表2 VALUES ('单位', '联系人', '电话', '地址', '')");
        db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50)"
                " INSERT INTO 表3 SELECT 'B' || (i % 2), '2026-03-01', '经手', 'G' || i, '品名',"
                " '', '个', 2.5, i, 2.5 * i, '联系人', '电话', '地址', '' FROM n");
        ProgramFolder::setPathForTesting(db.folder());
    }
    ~Fixture() {
        ProgramFolder::setPathForTesting(QString());
        AutoBackup::setBeforeCheckForTesting({});
        AutoBackup::setFreeSpaceForTesting({});
    }

    QString folder() const { return options.backupFolder(); }
    QStringList backups() const {
        return QDir(folder()).entryList({"data-*.bak"}, QDir::Files, QDir::Name);
    }
    // Files of a few bytes under backup names, one for each time.
    void fakeBackups(const QList<QDateTime>& times) const {
        QDir().mkpath(folder());
        for (const QDateTime& time : times)
            writeFile(QDir(folder()).filePath(BackupRetention::nameFor(time)), "old");
    }
};

void deleteOneDelivery(const QString& file) {
    const KeyedFile copy(file, KeyedFile::Mode::ReadWrite);
    QVERIFY(sqlite3_exec(copy.handle(), "DELETE FROM 表3 WHERE rowid = 1", nullptr, nullptr,
                         nullptr) == SQLITE_OK);
}

} // namespace

class TestAutoBackup : public QObject {
    Q_OBJECT
private slots:
    void backupHoldsTheSameRowsAndPassesTheCheck() {
        Fixture f;
        const AutoBackup::Result result = AutoBackup::run(f.options);
        QCOMPARE(result.outcome, AutoBackup::Outcome::Made);
        QCOMPARE(f.backups().size(), 1);
        QCOMPARE(QFileInfo(result.file).fileName(), f.backups().constFirst());
        QCOMPARE(QFileInfo(result.file).absolutePath(), f.db.folder() + "/自动备份");
        QVERIFY(
            BackupRetention::timeOf(f.backups().constFirst()).secsTo(QDateTime::currentDateTime()) <
            60);
        QVERIFY(DatabaseCheck::isUsable(result.file));
        for (const QString table : {"表1", "表2", "表3", "表5"})
            QCOMPARE(KeyedFile(result.file, KeyedFile::Mode::ReadOnly).table(table),
                     f.db.table(table));
        QCOMPARE(filesIn(f.folder()), f.backups()); // no temporary file stays
    }

    void aServerBackupHoldsTheServersListsAndRestoresThem() {
        if (TestDatabase::server().isEmpty())
            QSKIP("needs a database server");
        Fixture f;
        // Values a transfer could bend: text with a tab, line break and backslash, NULLs,
        // fractions, a date at the year's end, the print buffer's own ID.
        f.db.exec(
            "INSERT INTO 表3 (单据编号, 业务日期, 商品名称, 单价, 数量, 应收金额, 备注) VALUES "
            "('B9', '2026-12-31', '制表\t换行\n反斜\\', 0.1, 3, 0.3, NULL)");
        f.db.exec("INSERT INTO 表4 (\"ID\", 单据编号, 商品名称) VALUES (7, 'B9', '螺丝')");
        f.db.exec("INSERT INTO 表5 VALUES ('公司', 'www.example.com', '张明', '1')");
        QList<QList<QStringList>> before;
        for (const QString& table : kTables)
            before.append(f.db.table(table));

        QList<int> percents;
        const AutoBackup::Result result = AutoBackup::run(
            f.options, [&](int percent, const QString&) { percents.append(percent); });
        QCOMPARE(result.outcome, AutoBackup::Outcome::Made);
        QCOMPARE(percents.constLast(), 100);
        QVERIFY(DatabaseCheck::isUsable(result.file));
        // The file the program would use holds none of it: the backup is the server's.
        QCOMPARE(KeyedFile(f.db.file(), KeyedFile::Mode::ReadOnly).table("表3").size(), 0);
        for (const QString table : {"表1", "表2", "表3", "表5"}) {
            const ListSource server{{}, TestDatabase::server()};
            QVERIFY(listRows(table, server) > 0);
            const QString difference = listDifference(table, {result.file, {}}, server);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
        for (int t = 0; t < kTables.size(); ++t)
            QCOMPARE(KeyedFile(result.file, KeyedFile::Mode::ReadOnly).table(kTables[t]),
                     before[t]);

        // Whatever happened on the server since, the backup brings it back.
        f.db.exec("DELETE FROM 表3");
        f.db.exec("UPDATE 表1 SET 商品名称 = '改过'");
        f.db.exec("INSERT INTO 表2 VALUES ('新单位', '', '', '', '')");
        ServerTransfer::replace(*ServerDatabase::connect(TestDatabase::server()), result.file);
        for (int t = 0; t < kTables.size(); ++t)
            QCOMPARE(f.db.table(kTables[t]), before[t]);
    }

    // On a server the space its tables take decides, not the size of the local file.
    void lowSpaceIsJudgedByTheDatabaseInUse() {
        Fixture f;
        const qint64 fileSize = QFileInfo(f.db.file()).size();
        const qint64 size =
            TestDatabase::server().isEmpty()
                ? fileSize
                : ServerTransfer::size(*ServerDatabase::connect(TestDatabase::server()));
        if (!TestDatabase::server().isEmpty())
            QVERIFY2(size > fileSize, qPrintable(QString("%1 <= %2").arg(size).arg(fileSize)));
        AutoBackup::setFreeSpaceForTesting([size](const QString&) { return 2 * size - 1; });
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::LowSpace);
        QCOMPARE(f.backups(), QStringList());
        AutoBackup::setFreeSpaceForTesting([size](const QString&) { return 2 * size; });
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Made);
    }

    // A killed backup leaves its temporary file and, written from a server, its journal.
    void leftoversOfAKilledBackupGoButARunningOnesStay() {
        Fixture f;
        QDir().mkpath(f.folder());
        const QDir folder(f.folder());
        const QDateTime old = QDateTime::currentDateTime().addSecs(-700);
        for (const char* name : {".data-1.bak.tmp", ".data-1.bak.tmp-journal"}) {
            writeFile(folder.filePath(name), "left");
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        writeFile(folder.filePath(".data-2.bak.tmp"), "running");
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Made);
        QCOMPARE(folder.entryList({".*"}, QDir::Files | QDir::Hidden),
                 QStringList({".data-2.bak.tmp"}));
    }

    void backupGoesToTheChosenFolder() {
        Fixture f;
        QTemporaryDir elsewhere;
        f.options.folder = elsewhere.filePath("备份/每天");
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Made);
        QCOMPARE(QDir(f.options.folder).entryList({"data-*.bak"}).size(), 1);
        QVERIFY(!QFileInfo::exists(f.db.folder() + "/自动备份"));
    }

    void switchedOffMakesNothing() {
        Fixture f;
        f.options.enabled = false;
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Off);
        QVERIFY(!QFileInfo::exists(f.folder()));
    }

    void retentionKeepsTheNewestAndOneAMonth() {
        // Newest first: the thirty newest, then the newest of each month of the twelve ending
        // with December 2026; everything older goes, oldest first.
        QStringList names;
        QList<QDateTime> times;
        for (int i = 0; i < 40; ++i) {
            times.append(QDateTime(QDate(2026, 12, 8), QTime(12, 0)).addDays(-11 * i));
            names.append(BackupRetention::nameFor(times.last()));
        }
        names.append("data.mdb");
        names.append("data-2019-bad.bak");
        const QStringList removed = BackupRetention::toRemove(names, 30, QDate(2026, 12, 9));
        // Number 29 is 2026-01-23, the newest of January 2026; 30 (2026-01-12) and older go.
        QCOMPARE(times[29].date(), QDate(2026, 1, 23));
        QStringList expected;
        for (int i = 39; i >= 30; --i)
            expected.append(names[i]);
        QCOMPARE(removed, expected);

        // Keeping five, the rest stand one a month.
        const QStringList fewer = BackupRetention::toRemove(names, 5, QDate(2026, 12, 9));
        const QSet<QString> gone(fewer.cbegin(), fewer.cend());
        QStringList kept;
        for (int i = 0; i < 40; ++i) {
            if (!gone.contains(names[i]))
                kept.append(times[i].toString("yyyy-MM-dd"));
        }
        QCOMPARE(kept,
                 QStringList({"2026-12-08", "2026-11-27", "2026-11-16", "2026-11-05", "2026-10-25",
                              "2026-09-22", "2026-08-31", "2026-07-29", "2026-06-26", "2026-05-24",
                              "2026-04-21", "2026-03-30", "2026-02-25", "2026-01-23"}));
    }

    void aNewBackupThinsFortyOverFourteenMonths() {
        Fixture f;
        const QDateTime now = QDateTime::currentDateTime();
        QList<QDateTime> times;
        for (int i = 0; i < 40; ++i)
            times.append(now.addDays(-1 - 11 * i));
        f.fakeBackups(times);
        writeFile(QDir(f.folder()).filePath("说明.txt"), "mine");
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Made);

        // The new one and the 29 newest old ones, and the newest old one of each month of the
        // last twelve that these leave out.
        QSet<QString> expected{f.backups().constLast()};
        QSet<int> months;
        const int thisMonth = now.date().year() * 12 + now.date().month();
        months.insert(thisMonth);
        for (int i = 0; i < 40; ++i) {
            const int month = times[i].date().year() * 12 + times[i].date().month();
            if (i < 29 || (month > thisMonth - 12 && !months.contains(month)))
                expected.insert(BackupRetention::nameFor(times[i]));
            months.insert(month);
        }
        const QStringList left = f.backups();
        QCOMPARE(QSet<QString>(left.cbegin(), left.cend()), expected);
        QVERIFY(left.size() >= 30 && left.size() <= 33);
        QVERIFY(QFileInfo::exists(QDir(f.folder()).filePath("说明.txt")));
    }

    void aBackupSpoiledDuringTheCheckIsRemovedAndNothingOldGoes() {
        Fixture f;
        QList<QDateTime> times;
        for (int i = 0; i < 35; ++i)
            times.append(QDateTime::currentDateTime().addDays(-1 - i));
        f.fakeBackups(times);
        const QStringList before = f.backups();
        AutoBackup::setBeforeCheckForTesting([](const QString& file) {
            QFile copy(file);
            QVERIFY(copy.resize(copy.size() / 2));
        });
        const AutoBackup::Result result = AutoBackup::run(f.options);
        QCOMPARE(result.outcome, AutoBackup::Outcome::Failed);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(f.backups(), before);
        QCOMPARE(filesIn(f.folder()), before);
    }

    void aBackupMissingARowFailsTheCheck() {
        Fixture f;
        AutoBackup::setBeforeCheckForTesting(deleteOneDelivery);
        QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Failed);
        QCOMPARE(filesIn(f.folder()), QStringList());
    }

    void aFailedCopyLeavesNoFile() {
        SKIP_ON_WINDOWS("fills the disk through a file size limit");
        Fixture f;
        {
            FileSizeLimit limit(16 * 1024);
            const AutoBackup::Result result = AutoBackup::run(f.options);
            QCOMPARE(result.outcome, AutoBackup::Outcome::Failed);
            QVERIFY2(result.reason.contains("无法写入文件"), qPrintable(result.reason));
        }
        QCOMPARE(filesIn(f.folder()), QStringList());
    }

    // Ends without a change do not push distinct backups out: with two kept, the older one
    // outlives any number of identical ends. On a server every backup is written afresh, so
    // there its rows tell.
    void identicalBackupsTakeOneSlot() {
        Fixture f;
        f.options.keep = 2;
        const QDir folder(f.folder());
        const auto runAndName = [&](int secondsAgo) {
            const AutoBackup::Result made = AutoBackup::run(f.options);
            const QString name = folder.filePath(
                BackupRetention::nameFor(QDateTime::currentDateTime().addSecs(-secondsAgo)));
            return made.outcome == AutoBackup::Outcome::Made && QFile::rename(made.file, name)
                       ? name
                       : QString();
        };
        const QString distinct = runAndName(120);
        QVERIFY(!distinct.isEmpty());
        f.db.exec("DELETE FROM 表3 WHERE rowid = 1");
        QVERIFY(!runAndName(60).isEmpty());
        for (int end = 0; end < 3; ++end)
            QCOMPARE(AutoBackup::run(f.options).outcome, AutoBackup::Outcome::Made);
        const QStringList left = f.backups();
        QCOMPARE(left.size(), 2);
        QCOMPARE(folder.filePath(left.constFirst()), distinct);
        QCOMPARE(
            KeyedFile(folder.filePath(left.constLast()), KeyedFile::Mode::ReadOnly).table("表3"),
            f.db.table("表3"));
        QVERIFY(AutoBackup::newest(f.folder()).secsTo(QDateTime::currentDateTime()) < 60);
    }

    // The clock set back a year: the backup just made comes after the newest and stays, and
    // the months kept are counted from the newest backup, not from the clock.
    void aClockSetBackRemovesNothingACorrectOneKeeps() {
        Fixture f;
        f.options.keep = 3;
        const QDateTime ahead = QDateTime::currentDateTime().addYears(1);
        QList<QDateTime> times;
        for (int month = 0; month < 8; ++month)
            times.append(ahead.addMonths(-month));
        f.fakeBackups(times);
        const AutoBackup::Result made = AutoBackup::run(f.options);
        QCOMPARE(made.outcome, AutoBackup::Outcome::Made);
        QVERIFY(QFileInfo::exists(made.file));
        QCOMPARE(BackupRetention::timeOf(QFileInfo(made.file).fileName()),
                 times.constFirst().addSecs(1).addMSecs(-times.constFirst().time().msec()));
        QCOMPARE(f.backups().size(), 9);

        // Names in the same second as the newest, or before it, follow it.
        const QDateTime newest(QDate(2026, 5, 1), QTime(8, 0, 0));
        const QStringList names{BackupRetention::nameFor(newest), "data.mdb"};
        QCOMPARE(BackupRetention::nextTime(names, newest.addMSecs(400)), newest.addSecs(1));
        QCOMPARE(BackupRetention::nextTime(names, newest.addYears(-3)), newest.addSecs(1));
        QCOMPARE(BackupRetention::nextTime(names, newest.addSecs(5)), newest.addSecs(5));
        QCOMPARE(BackupRetention::nextTime({}, newest), newest);
    }

    void backupsMadeBeforeARestoreAreThinnedOnlyAmongThemselves() {
        QStringList names;
        for (int day = 1; day <= 6; ++day) {
            const QDateTime time(QDate(2026, 12, day), QTime(9, 0));
            names.append(BackupRetention::nameFor(time));
            names.append(
                BackupRetention::nameFor(time.addSecs(60), BackupRetention::Kind::BeforeRestore));
        }
        QCOMPARE(names.at(1), QString("data-20261201-090100-恢复前.bak"));
        QVERIFY(BackupRetention::kindOf(names.at(1)) == BackupRetention::Kind::BeforeRestore);
        QVERIFY(BackupRetention::kindOf(names.at(0)) == BackupRetention::Kind::Ordinary);
        // Two of each kept; the newest ordinary one of December counts for the month.
        QCOMPARE(BackupRetention::toRemove(names, 2, QDate(2026, 12, 9)),
                 (QStringList{names[0], names[1], names[2], names[3], names[4], names[5], names[6],
                              names[7]}));
        // The backup just made is never removed, whatever is kept.
        QVERIFY(
            !BackupRetention::toRemove(names, 0, QDate(2026, 12, 9), names[0]).contains(names[0]));
    }

    void newestIsTheLatestName() {
        Fixture f;
        QVERIFY(!AutoBackup::newest(f.folder()).isValid());
        const QDateTime a(QDate(2026, 5, 1), QTime(8, 30, 5));
        const QDateTime b(QDate(2026, 4, 30), QTime(23, 0));
        f.fakeBackups({a, b});
        writeFile(QDir(f.folder()).filePath("data-20991231-000000.bak.txt"), "");
        QCOMPARE(AutoBackup::newest(f.folder()), a);
    }
};

DN_TEST_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"
