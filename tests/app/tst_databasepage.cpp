// The "数据库" settings page: the fields make the stored URI and back, with any character in
// the password; no host means the local file; the buttons reach a real server.
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/DatabasePage.h"
#include "settings/Settings.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestDatabasePage : public QObject {
    Q_OBJECT
private slots:
    void fieldsMakeTheUriAndReadItBack() {
        DatabasePage page;
        page.findChild<QLineEdit*>("DatabaseHost")->setText("db.example");
        page.findChild<QLineEdit*>("DatabasePort")->setText("5433");
        page.findChild<QLineEdit*>("DatabaseName")->setText("送货");
        page.findChild<QLineEdit*>("DatabaseUser")->setText("clerk");
        page.findChild<QLineEdit*>("DatabasePassword")->setText("p@ss:w/rd?#%");
        QCOMPARE(page.check(), QString());
        page.store();
        const QString stored = Settings::value("database/server").toString();
        QVERIFY(stored.startsWith("postgresql://clerk:"));
        QVERIFY(!stored.contains("p@ss"));
#ifndef Q_OS_WIN // %APPDATA% is the user's own; the file has no mode there
        const QFile::Permissions mode = QFile::permissions(Settings::filePath());
        QVERIFY(mode.testFlag(QFile::ReadOwner));
        QVERIFY(!(mode &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
#endif

        DatabasePage again;
        again.load();
        QCOMPARE(again.findChild<QLineEdit*>("DatabasePassword")->text(), QString("p@ss:w/rd?#%"));
        QCOMPARE(again.findChild<QLineEdit*>("DatabaseName")->text(), QString("送货"));
        QCOMPARE(again.uri(), stored);

        again.findChild<QLineEdit*>("DatabaseHost")->clear();
        again.store();
        QVERIFY(!Settings::value("database/server").isValid());
    }

    void badEntriesAreRefusedInWords() {
        DatabasePage page;
        page.findChild<QLineEdit*>("DatabaseHost")->setText("db");
        page.findChild<QLineEdit*>("DatabasePort")->setText("70000");
        page.findChild<QLineEdit*>("DatabaseName")->setText("x");
        QCOMPARE(page.check(), QString("端口应是 1 到 65535 之间的数字。"));
        page.findChild<QLineEdit*>("DatabasePort")->clear();
        page.findChild<QLineEdit*>("DatabaseName")->clear();
        QCOMPARE(page.check(), QString("请填写数据库名。"));
    }

    void testConnectionNamesTheVersionAndHidesThePassword() {
        ScriptedPrompts prompts;
        DatabasePage page;
        page.findChild<QLineEdit*>("DatabaseHost")->setText("/nonexistent-socket-folder");
        page.findChild<QLineEdit*>("DatabaseName")->setText("none");
        page.findChild<QLineEdit*>("DatabasePassword")->setText("geheim123");
        QTest::mouseClick(page.findChild<QPushButton*>("TestConnectionButton"), Qt::LeftButton);
        const QStringList errors = prompts.texts("error");
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].startsWith("无法连接数据库服务器 /nonexistent-socket-folder:5432/none"));
        QVERIFY(!errors[0].contains("geheim123"));

        if (TestDatabase::server().isEmpty())
            return;
        TestDatabase db;
        Settings::setValue("database/server", TestDatabase::server());
        page.load();
        QTest::mouseClick(page.findChild<QPushButton*>("TestConnectionButton"), Qt::LeftButton);
        QVERIFY(prompts.texts("message").last().startsWith("连接成功。服务器版本 "));
    }
};

DN_TEST_MAIN(TestDatabasePage)
#include "tst_databasepage.moc"
