#include "KeyedFile.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "backup/AutoBackup.h"
#include "backup/BackupPage.h"
#include "backup/BackupRetention.h"
#include "backup/DataRestore.h"
#include "data/postgres/ServerDatabase.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace {

// The page over a program folder with two automatic backups of different deliveries.
struct Fixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    QWidget window;
    DataRestore restore{&window, {}};
    QString older;
    QString newer;

    Fixture() {
        for (const char* key : {"backup/enabled", "backup/folder", "backup/keep"})
            Settings::remove(QString::fromLatin1(key));
        ProgramFolder::setPathForTesting(db.folder());
        window.setObjectName("MainForm");
        window.show();
        older = backUpWith(3, "20260301-090000");
        newer = backUpWith(12, "20261208-174501");
        writeFile(db.folder() + "/自动备份/data-20261209-080000.bak", "not a database");
        db.exec("DELETE FROM 表3");
    }
    ~Fixture() { ProgramFolder::setPathForTesting(QString()); }

    // A backup of the database holding `deliveries` rows, under the name of the given time.
    QString backUpWith(int deliveries, const char* time) const {
        db.exec("DELETE FROM 表3");
        for (int i = 0; i < deliveries; ++i)
            db.exec("INSERT INTO 表3 (单据编号, 商品名称) VALUES ('B1', '螺丝')");
        const AutoBackup::Result made = AutoBackup::run(AutoBackupOptions());
        const QString name = db.folder() + "/自动备份/data-" + time + ".bak";
        QFile::rename(made.file, name);
        return name;
    }
    template <class T> T* find(BackupPage& page, const char* name) const {
        return page.findChild<T*>(QString::fromLatin1(name));
    }
    QStringList row(QTableWidget* list, int row) const {
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts.append(list->item(row, column)->text());
        return texts;
    }
};

} // namespace

class TestBackupPage : public QObject {
    Q_OBJECT
private slots:
    void listShowsTheBackupsNewestFirst() {
        Fixture f;
        BackupPage page(&f.restore);
        page.load();
        QCOMPARE(page.title(), QString("备份"));
        auto* list = f.find<QTableWidget>(page, "BackupList");
        QCOMPARE(list->rowCount(), 3);
        QTRY_COMPARE(list->item(2, 2)->text(), QString("3"));
        QCOMPARE(f.row(list, 0).value(0), QString("2026/12/9 08:00:00"));
        QCOMPARE(f.row(list, 0).value(2), QString("无法读取"));
        QCOMPARE(f.row(list, 1).value(0), QString("2026/12/8 17:45:01"));
        QCOMPARE(f.row(list, 1).value(2), QString("12"));
        QCOMPARE(f.row(list, 2).value(2), QString("3"));
        QVERIFY(f.row(list, 2).value(1).endsWith("kB"));
        QVERIFY(f.find<QCheckBox>(page, "BackupEnabled")->isChecked());
        QCOMPARE(f.find<QSpinBox>(page, "BackupKeep")->value(), 30);
    }

    void restoreFromTheChosenBackupRunsTheRestore() {
        Fixture f;
        BackupPage page(&f.restore);
        page.load();
        auto* list = f.find<QTableWidget>(page, "BackupList");
        auto* restore = f.find<QPushButton>(page, "RestoreFromBackup");

        // Not sure after all: nothing changes.
        list->selectRow(2);
        QTest::mouseClick(restore, Qt::LeftButton);
        // Its OK replaces the data, so Cancel is the default.
        QCOMPARE(f.prompts.texts("confirm").size(), 1);
        QVERIFY(f.prompts.shown().last().cancelByDefault);
        QVERIFY(f.prompts.lastText().contains("2026/3/1 09:00:00"));
        // On a server the restore replaces every workstation's data, and the question says so.
        QCOMPARE(f.prompts.lastText().contains("数据库服务器上的全部数据"),
                 !TestDatabase::server().isEmpty());
        QCOMPARE(f.db.count("表3"), 0);

        // The file that is no database is refused as the restore refuses it.
        list->selectRow(0);
        f.prompts.answerConfirm(true);
        QTest::mouseClick(restore, Qt::LeftButton);
        QCOMPARE(f.prompts.lastText(), QString("数据恢复失败，请重试！"));
        QVERIFY(!f.restore.succeeded());
        QVERIFY(f.window.isVisible());

        list->selectRow(2);
        f.prompts.answerConfirm(true);
        QTest::mouseClick(restore, Qt::LeftButton);
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        if (TestDatabase::server().isEmpty()) {
            QCOMPARE(contentsOf(f.db.file()), contentsOf(f.older));
        } else {
            for (const QString table : {"表1", "表2", "表3", "表4", "表5"})
                QCOMPARE(f.db.table(table),
                         KeyedFile(f.older, KeyedFile::Mode::ReadOnly).table(table));
        }
        QCOMPARE(f.db.count("表3"), 3);
        QVERIFY(f.restore.succeeded());
        QVERIFY(!f.window.isVisible());
    }

    // The data the restore replaced is listed, marked, and the page says where it lies.
    void theReplacedDataIsListedAfterARestore() {
        Fixture f;
        f.db.exec("INSERT INTO 表2 (联系人) VALUES ('恢复前的客户')");
        {
            BackupPage page(&f.restore);
            page.load();
            f.find<QTableWidget>(page, "BackupList")->selectRow(1);
            f.prompts.answerConfirm(true);
            QTest::mouseClick(f.find<QPushButton>(page, "RestoreFromBackup"), Qt::LeftButton);
            QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        }
        BackupPage page(&f.restore);
        page.load();
        auto* list = f.find<QTableWidget>(page, "BackupList");
        QCOMPARE(list->rowCount(), 4);
        QVERIFY2(list->item(0, 0)->text().endsWith("（恢复前）"),
                 qPrintable(list->item(0, 0)->text()));
        const QString kept = list->item(0, 0)->data(Qt::UserRole).toString();
        QCOMPARE(KeyedFile(kept, KeyedFile::Mode::ReadOnly).table("表2").size(), 1);
        QCOMPARE(KeyedFile(kept, KeyedFile::Mode::ReadOnly).table("表3").size(), 0);
        const QString where = f.find<QLabel>(page, "BackupLocation")->text();
        QVERIFY2(where.contains(QDir::toNativeSeparators(f.db.folder() + "/自动备份")),
                 qPrintable(where));
    }

    void thePageNamesTheServerItBacksUp() {
        Fixture f;
        BackupPage page(&f.restore);
        const auto* source = page.findChild<QLabel*>("BackupSource");
        if (TestDatabase::server().isEmpty()) {
            QVERIFY(!source);
            return;
        }
        QVERIFY(source);
        QVERIFY2(source->text().contains(ServerDatabase::nameOf(TestDatabase::server())),
                 qPrintable(source->text()));
    }

    void settingsAreCheckedAndStored() {
        Fixture f;
        BackupPage page(&f.restore);
        page.load();
        auto* folder = f.find<QLineEdit>(page, "BackupFolder");
        folder->setText("备份");
        QCOMPARE(page.check(), QString("备份文件夹必须是完整的路径！"));
        folder->setText(f.db.file());
        QVERIFY(page.check().endsWith("不是文件夹！"));

        QTemporaryDir elsewhere;
        folder->setText(elsewhere.path() + "/每日");
        f.find<QCheckBox>(page, "BackupEnabled")->setChecked(false);
        f.find<QSpinBox>(page, "BackupKeep")->setValue(7);
        QCOMPARE(page.check(), QString());
        page.store();
        QCOMPARE(Settings::value("backup/enabled").toBool(), false);
        QCOMPARE(Settings::value("backup/folder").toString(), elsewhere.path() + "/每日");
        QCOMPARE(Settings::value("backup/keep").toInt(), 7);

        // The list follows the stored folder, empty here.
        BackupPage again(&f.restore);
        again.load();
        QCOMPARE(f.find<QTableWidget>(again, "BackupList")->rowCount(), 0);
        QVERIFY(!f.find<QPushButton>(again, "RestoreFromBackup")->isEnabled());
        folder = f.find<QLineEdit>(again, "BackupFolder");
        folder->clear();
        again.store();
        QVERIFY(!Settings::value("backup/folder").isValid());
    }

    // "浏览…" beside the folder box opens a folder dialog at the folder shown and puts the
    // chosen folder into the box; cancelled, the box stays as it was.
    void browseChoosesTheFolder() {
        Fixture f;
        BackupPage page(&f.restore);
        page.load();
        auto* folder = f.find<QLineEdit>(page, "BackupFolder");
        auto* browse = f.find<QPushButton>(page, "BrowseBackupFolder");
        QCOMPARE(browse->text(), QString("浏览…"));
        QTemporaryDir chosen;
        f.prompts.answerFolder(chosen.path());
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(f.prompts.texts("folder"),
                 QStringList{QDir::fromNativeSeparators(folder->placeholderText())});
        QCOMPARE(folder->text(), QDir::toNativeSeparators(chosen.path()));
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(f.prompts.texts("folder").last(), chosen.path());
        QCOMPARE(folder->text(), QDir::toNativeSeparators(chosen.path()));
        QCOMPARE(page.check(), QString());
    }
};

DN_TEST_MAIN(TestBackupPage)
#include "tst_backuppage.moc"
