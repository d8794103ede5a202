// The "数据库" settings page: the fields make the stored URI and back, with any character in
// the password; no host means the local file; the buttons reach a real server.
#include "LoopbackSocket.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/DatabasePage.h"
#include "settings/Settings.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// A server on loopback that declines an encrypted connection and asks for the password in
// clear text, as one in between the desk and the real server could; it keeps every byte it
// is sent.
class ClearTextServer {
public:
    ClearTextServer() : thread_([this] { serve(); }) {}
    ~ClearTextServer() {
        stopping_ = true;
        LoopbackSocket::knock(listener_.port());
        thread_.join();
    }
    int port() const { return listener_.port(); }
    QByteArray received() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

private:
    void serve() {
        for (;;) {
            LoopbackSocket client = listener_.accept();
            if (stopping_ || !client.isValid())
                return;
            for (QByteArray bytes = client.read(); !bytes.isEmpty(); bytes = client.read()) {
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    received_ += bytes;
                }
                // An SSL or GSS request (8 bytes) is declined; a start-up message is answered
                // with a request for the password in clear text.
                if (bytes.size() == 8)
                    client.write("N");
                else if (bytes.at(0) != 'p')
                    client.write(QByteArray("R\0\0\0\x08\0\0\0\x03", 9));
                else
                    break;
            }
        }
    }

    LoopbackSocket listener_{true};
    std::atomic<bool> stopping_ = false;
    std::mutex mutex_;
    QByteArray received_;
    std::thread thread_;
};

// A port on loopback where nothing listens.
int closedPort() {
    return LoopbackSocket(false).port();
}

void fill(DatabasePage& page, const QString& host, const QString& port, const QString& name,
          const QString& user, const QString& password) {
    page.findChild<QLineEdit*>("DatabaseHost")->setText(host);
    page.findChild<QLineEdit*>("DatabasePort")->setText(port);
    page.findChild<QLineEdit*>("DatabaseName")->setText(name);
    page.findChild<QLineEdit*>("DatabaseUser")->setText(user);
    page.findChild<QLineEdit*>("DatabasePassword")->setText(password);
}

void click(DatabasePage& page, const char* button) {
    QTest::mouseClick(page.findChild<QPushButton*>(button), Qt::LeftButton);
}

} // namespace

class TestDatabasePage : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        QFile::setPermissions(Settings::filePath(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        Settings::remove("database/server");
    }

    // Options the page has no field for, a keyword address, several hosts: all come back as
    // written, and "确定" with nothing changed writes nothing at all.
    void anAddressThePageDidNotBuildIsKeptAsWritten() {
        for (const QString written :
             {"postgresql://clerk:pw@db.example:5432/notes?sslmode=verify-full&sslrootcert=/etc/"
              "ca.pem&connect_timeout=3",
              "host=db.example dbname=notes user=clerk", "postgresql://h1:5432,h2:5433/notes",
              "postgresql://clerk:pw@db.example/notes?sslmode=prefer"}) {
            Settings::setValue("database/server", written);
            DatabasePage page;
            page.load();
            auto* shown = page.findChild<QLineEdit*>("DatabaseAddress");
            QVERIFY(shown->isVisibleTo(&page));
            QCOMPARE(shown->text(), written);
            QVERIFY(shown->isReadOnly());
            QVERIFY(!page.findChild<QLineEdit*>("DatabaseHost")->isVisibleTo(&page));
            QCOMPARE(page.check(), QString());
            // A read-only settings file fails any write.
            QVERIFY(QFile::setPermissions(Settings::filePath(), QFileDevice::ReadOwner));
            page.store();
            QFile::setPermissions(Settings::filePath(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(Settings::value("database/server").toString(), written);
        }

        DatabasePage page;
        page.load();
        click(page, "EditAddressButton");
        auto* shown = page.findChild<QLineEdit*>("DatabaseAddress");
        QVERIFY(!shown->isReadOnly());
        shown->setText("postgresql://clerk@db.example/notes?sslmode=verify-full");
        QCOMPARE(page.check(), QString());
        page.store();
        QCOMPARE(Settings::value("database/server").toString(),
                 QString("postgresql://clerk@db.example/notes?sslmode=verify-full"));
        shown->setText("postgresql://[");
        QCOMPARE(page.check(), QString("连接地址的格式不对。"));
    }

    void anUnchangedAddressOfThePageWritesNothing() {
        DatabasePage page;
        fill(page, "db.example", "", "notes", "clerk", "pw");
        page.store();
        const QString stored = Settings::value("database/server").toString();
        QVERIFY2(stored.endsWith("?sslmode=require&channel_binding=require"), qPrintable(stored));
        DatabasePage again;
        again.load();
        QVERIFY(!again.findChild<QLineEdit*>("DatabaseAddress")->isVisibleTo(&again));
        QVERIFY(QFile::setPermissions(Settings::filePath(), QFileDevice::ReadOwner));
        again.store();
    }

    // A server (or anyone between) that declines encryption and asks for the password in clear
    // text never gets it from an address the page built.
    void thePasswordNeverTravelsInClearText() {
        ScriptedPrompts prompts;
        ClearTextServer fake;
        DatabasePage page;
        fill(page, "127.0.0.1", QString::number(fake.port()), "notes", "clerk", "Geheim-4417");
        click(page, "TestConnectionButton");
        QCOMPARE(prompts.texts("error").size(), 1);
        QVERIFY2(prompts.texts("error")[0].contains("加密连接"),
                 qPrintable(prompts.texts("error")[0]));
        QVERIFY(!fake.received().contains("Geheim-4417"));
    }

    // The troubles a clerk meets are told in Chinese, libpq's words following as detail.
    void connectionTroublesAreToldInChinese() {
        ScriptedPrompts prompts;
        DatabasePage page;
        click(page, "TestConnectionButton");
        QCOMPARE(prompts.texts(), QStringList{"请先填写服务器地址。"});

        const auto tried = [&](const QString& written) {
            prompts.clear();
            Settings::setValue("database/server", written);
            page.load();
            click(page, "TestConnectionButton");
            return prompts.texts("error").value(0);
        };
        const QString refused = tried(
            QString("postgresql://clerk@127.0.0.1:%1/notes?sslmode=disable").arg(closedPort()));
        QVERIFY2(refused.contains("服务器拒绝连接"), qPrintable(refused));

        const LoopbackSocket silent(true);
        const QString timeout = tried(
            QString("postgresql://clerk@127.0.0.1:%1/notes?connect_timeout=2").arg(silent.port()));
        QVERIFY2(timeout.contains("连接超时"), qPrintable(timeout));

        if (TestDatabase::server().isEmpty())
            return;
        TestDatabase db;
        const QString missing =
            tried(QString(TestDatabase::server()).replace("/notetest", "/no_such_database"));
        QVERIFY2(missing.contains("服务器上没有这个数据库"), qPrintable(missing));
        prompts.clear();
        Settings::setValue("database/server", TestDatabase::server());
        page.load();
        click(page, "InitialiseServerButton");
        QCOMPARE(prompts.texts(),
                 QStringList{"服务器数据库中已经有本程序的数据表，不需要再初始化。"});
    }

    void thePageSaysWhichDatabaseIsInUse() {
        TestDatabase db;
        DatabasePage page;
        const QString text = page.findChild<QLabel*>("DatabaseInUse")->text();
        if (TestDatabase::server().isEmpty())
            QVERIFY2(text.startsWith("当前使用：本机的数据文件 "), qPrintable(text));
        else
            QVERIFY2(text.startsWith("当前使用：数据库服务器 "), qPrintable(text));
    }

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
