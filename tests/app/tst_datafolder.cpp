// The program installed from its package keeps data.mdb in the user's data folder.
#include "ErrorOf.h"
#include "RecordsFixture.h"
#include "TestMain.h"

#include "backup/DataBackup.h"
#include "base/AppError.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A package's empty database, and a user's data folder not made yet.
struct Installed {
    QTemporaryDir share;
    QTemporaryDir home;
    QString folder = home.filePath(".local/share/com.example.DeliveryNote");
    QString previous = QDir::currentPath();

    Installed() { Schema::createDatabase(share.filePath("data.mdb")); }
    ~Installed() {
        ProgramFolder::setPathForTesting(QString());
        QDir::setCurrent(previous);
    }
    QString database() const { return QDir(folder).filePath("data.mdb"); }
};

} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    void firstStartCopiesTheEmptyDatabaseOnce() {
        Installed i;
        ProgramFolder::useDataFolder(i.folder, i.share.filePath("data.mdb"));
        QCOMPARE(ProgramFolder::databaseFile(), i.database());
        QCOMPARE(QDir::currentPath(), QDir(i.folder).canonicalPath());
        QFile copy(i.database());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QFile source(i.share.filePath("data.mdb"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), source.readAll());

        // The next start finds the user's database and leaves it as it is.
        QFile::remove(i.share.filePath("data.mdb"));
        QFile own(i.database());
        QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Append));
        own.write("用户的数据");
        own.close();
        const qint64 size = QFileInfo(i.database()).size();
        ProgramFolder::useDataFolder(i.folder, i.share.filePath("data.mdb"));
        QCOMPARE(QFileInfo(i.database()).size(), size);
    }

    void aMissingTemplateIsSaidInWords() {
        Installed i;
        const QString message =
            errorOf([&] { ProgramFolder::useDataFolder(i.folder, i.share.filePath("none.mdb")); });
        QVERIFY2(message.contains("none.mdb"), qPrintable(message));
        QVERIFY(!QFile::exists(i.database()));
        QCOMPARE(QDir::currentPath(), i.previous);
    }

    // The program then works on that file: its lists, and backup and restore.
    void theProgramUsesTheDataFolder() {
        Installed i;
        ProgramFolder::useDataFolder(i.folder, i.share.filePath("data.mdb"));
        ScriptedPrompts prompts;
        Program program;
        program.mainForm().show();
        Dataset* goods = program.mainForm().query(TMainForm::View::Goods);
        goods->append();
        goods->setText("商品编码", "007");
        goods->post();

        prompts.answerSave(i.home.filePath("副本"));
        QTest::mouseClick(program.mainForm().speedButton(4), Qt::LeftButton);
        QCOMPARE(prompts.lastText(), QString("数据备份成功！"));
        QFile backup(i.home.filePath("副本.bak"));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QFile database(i.database());
        QVERIFY(database.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), database.readAll());
    }
};

DN_TEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
