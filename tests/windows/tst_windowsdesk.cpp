#include "RecordsFixture.h"
#include "SpreadsheetReader.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "base/AppError.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "platform/DesktopLauncher.h"
#include "platform/PendingFile.h"
#include "platform/ProgramFolder.h"
#include "printing/Dy1Unit.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

using View = TMainForm::View;

namespace {

// The program on a database with a few goods; its folder is the program folder.
struct Fixture : RecordsFixture {
    Fixture() {
        db.exec("INSERT INTO 表1 (商品编码, 商品名称, 单价) VALUES ('007', '螺丝', 1.5), "
                "('008', '垫片', 2)");
        ProgramFolder::setPathForTesting(db.folder());
        start();
    }
    ~Fixture() { ProgramFolder::setPathForTesting(QString()); }
};

// What `reg query` (Wine's reg.exe, as `wine reg query` runs it) says of the value.
QString regQuery() {
    QProcess reg;
    reg.start("reg", {"query", "HKCU\\Software\\qorvel", "/v", "data"});
    if (!reg.waitForFinished(60000))
        return "reg did not finish";
    return QString::fromLocal8Bit(reg.readAllStandardOutput()).simplified();
}

// The type and text of the value, read by the system's registry calls.
QString registryValue(DWORD* type) {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\qorvel", L"data", RRF_RT_ANY, type, text,
                     &size) != ERROR_SUCCESS)
        return "<none>";
    return QString::fromWCharArray(text);
}

QString knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// The shortcut's target and working folder, read back through the shell.
struct Link {
    QString target, folder;
};
Link readLink(const QString& file) {
    Link read;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            if (SUCCEEDED(persist->Load(QDir::toNativeSeparators(file).toStdWString().c_str(),
                                        STGM_READ))) {
                wchar_t text[MAX_PATH] = {};
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
                    read.target = QString::fromWCharArray(text);
                wchar_t folder[MAX_PATH] = {};
                if (SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
                    read.folder = QString::fromWCharArray(folder);
            }
            persist->Release();
        }
        link->Release();
    }
    return read;
}

// Holds a file open as another program would (reading, sharing reads and writes but not its
// removal) until the time is up.
class Holder {
public:
    explicit Holder(const QString& file) {
        handle_ = CreateFileW(QDir::toNativeSeparators(file).toStdWString().c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~Holder() { release(); }
    bool holds() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The replacement waits on the GUI thread without letting events through: another thread
// lets go of the file.
void releaseLater(Holder& holder, int ms) {
    auto* thread = QThread::create([&holder, ms] {
        QThread::msleep(static_cast<unsigned long>(ms));
        holder.release();
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace

class TestWindowsDesk : public QObject {
    Q_OBJECT
private slots:
    void theLastViewIsTheRegistryValueData() {
        Fixture f;
        f.chooseView(View::Deliveries);
        DWORD type = 0;
        QCOMPARE(registryValue(&type), QString("3"));
        QCOMPARE(type, DWORD(REG_SZ));
        const QString said = regQuery();
        QVERIFY2(said.contains("data REG_SZ 3"), qPrintable(said));
        f.chooseView(View::Customers);
        QVERIFY2(regQuery().contains("data REG_SZ 2"), qPrintable(regQuery()));
        // The next start shows it.
        f.program.reset();
        f.program = std::make_unique<Program>();
        QCOMPARE(*f.window().currentView(), View::Customers);
        // Not beside the other settings.
        QVERIFY(
            !contentsOf(QSettings(QSettings::IniFormat, QSettings::UserScope, "qorvel").fileName())
                 .contains("data="));
    }

    void theDesktopShortcutStartsTheProgramInItsFolder() {
        const QString desktop = knownFolder(FOLDERID_Desktop);
        QVERIFY(!desktop.isEmpty());
        const QString file = desktop + "/" + DesktopLauncher::fileName();
        QCOMPARE(DesktopLauncher::fileName(), QString("澄朔送货单打印软件(增强版).lnk"));
        QFile::remove(file);
        Fixture f;
        QVERIFY(QFileInfo::exists(file));
        const Link link = readLink(file);
        QCOMPARE(link.target, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QCOMPARE(link.folder, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
        // Rewritten at every start.
        QVERIFY(QFile::remove(file));
        f.program.reset();
        f.start();
        QVERIFY(QFileInfo::exists(file));
    }

    // The program holds data.mdb open on every list while it backs up over an older backup and
    // restores over its own file.
    void backupAndRestoreReplaceFilesTheProgramHoldsOpen() {
        Fixture f;
        QTemporaryDir target;
        writeFile(target.filePath("saved.bak"), "last week");
        f.prompts.answerSave(target.filePath("saved"));
        f.click("SpeedButton4");
        QCOMPARE(f.prompts.lastText(), QString("数据备份成功！"));
        QCOMPARE(contentsOf(target.filePath("saved.bak")), contentsOf(f.db.file()));
        QCOMPARE(filesIn(target.path()), QStringList({"saved.bak"}));

        f.db.exec("DELETE FROM 表1");
        QVERIFY(f.window().mainConnection()->isOpen());
        QVERIFY(f.program->reportForm().reportConnection()->isOpen());
        f.prompts.answerOpen(target.filePath("saved.bak"));
        f.click("SpeedButton5");
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QCOMPARE(contentsOf(f.db.file()), contentsOf(target.filePath("saved.bak")));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
        f.start();
        QCOMPARE(f.window().query(View::Goods)->recordCount(), 2);
    }

    // Another program reading the old file for a moment (a virus scanner, an indexer) is waited
    // for; one that keeps it open makes the replacement fail, leaving the old file.
    void aFileHeldOpenElsewhereIsWaitedForAMoment() {
        QTemporaryDir dir;
        const QString file = dir.filePath("list.xls");
        writeFile(file, "yesterday");
        {
            Holder holder(file);
            QVERIFY(holder.holds());
            releaseLater(holder, 800);
            PendingFile pending(file);
            writeFile(pending.path(), "today");
            pending.commit();
        }
        QCOMPARE(contentsOf(file), QByteArray("today"));
        qWarning() << "DEBUG" << filesIn(dir.path());
        QCOMPARE(filesIn(dir.path()), QStringList({"list.xls"}));

        Holder keeps(file);
        QVERIFY(keeps.holds());
        PendingFile pending(file);
        writeFile(pending.path(), "tomorrow");
        QVERIFY_THROWS_EXCEPTION(AppError, pending.commit());
        keeps.release();
        QCOMPARE(contentsOf(file), QByteArray("today"));
    }

    // A restore finds data.mdb held by another program (a second copy of this one): it fails
    // with its message and leaves the data as they were.
    void aRestoreWhileAnotherProgramHoldsTheFileFails() {
        Fixture f;
        QTemporaryDir target;
        f.prompts.answerSave(target.filePath("saved"));
        f.click("SpeedButton4");
        f.db.exec("DELETE FROM 表1");
        const QByteArray before = contentsOf(f.db.file());
        Holder other(f.db.file());
        QVERIFY(other.holds());
        f.prompts.answerOpen(target.filePath("saved.bak"));
        f.click("SpeedButton5");
        QCOMPARE(f.prompts.lastText(), QString("数据恢复失败，请重试！"));
        other.release();
        QCOMPARE(contentsOf(f.db.file()), before);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }
};

DN_TEST_MAIN(TestWindowsDesk)
#include "tst_windowsdesk.moc"
