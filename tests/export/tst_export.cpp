#include "ScriptedPrompts.h"
#include "SpreadsheetReader.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "export/DataExport.h"
#include "export/ExportProgress.h"
#include "export/ExportProgressDialog.h"
#include "export/SpreadsheetFile.h"
#include "ui/Guard.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>

namespace {

// Files in a folder, hidden ones too: a failed export must not leave any behind.
QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray contentsOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

class RecordedProgress final : public ExportProgress {
public:
    void update(int done, int total) override { calls.append({done, total}); }
    QList<QPair<int, int>> calls;
};

// A database with a few rows in each list, the main window's stand-in and its list of goods,
// customers or deliveries open on a connection of its own.
struct Fixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    Connection connection;
    QWidget window;
    Dataset list{&connection, "ADOQuery1"};
    Dataset* current = &list;
    DataExport command{&window, [this] { return current; }};

    Fixture() {
        db.exec("INSERT INTO 表1 VALUES ('007', '螺丝 M6', ' 6x20 ', '个', 12.5, NULL),"
                "('A-2', '垫片', '', '片', 3, '_x0041_ 原样'),"
                "('13800138000', '扳手', 'a' || char(1) || 'b', '把', 0.1, '第一行\n第二行')");
        db.exec("INSERT INTO 表2 VALUES ('华东公司', '张三', '0571-88886666', '杭州', '老客户')");
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 商品编码, 单价, 数量, 应收金额)"
                " VALUES ('D001', '2024-01-05', '007', 12.5, 4, 50)");
        window.setObjectName("MainForm");
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        show(Query::all("表1"));
    }

    void show(const Query& query) {
        list.close();
        list.setQuery(query);
        list.open();
    }

    // Runs the command as the button does; returns the file it should have written.
    QString exportTo(const QString& chosen) {
        prompts.answerSave(chosen);
        guarded(&window, [this] { command.SpeedButton3Click(); });
        return chosen + ".xls";
    }
};

const QStringList kGoodsTitles = {"商品编码", "商品名称", "规格型号", "单位", "单价", "备注"};

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void writesTitlesAndEveryFieldAsText() {
        Fixture f;
        f.list.moveTo(1);
        const QString file = f.exportTo(f.db.folder() + "/商品");
        QCOMPARE(f.prompts.texts(), QStringList({"", "成功导出全部数据!"}));
        QCOMPARE(f.prompts.shown().last().kind, QString("message"));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
        const SpreadsheetReader book = SpreadsheetReader::read(file);
        QCOMPARE(book.sheets, 1);
        const QList<QStringList> expected = {
            kGoodsTitles,
            {"007", "螺丝 M6", " 6x20 ", "个", "12.5", ""},
            {"A-2", "垫片", "", "片", "3", "_x0041_ 原样"},
            {"13800138000", "扳手",
             "a\x01"
             "b",
             "把", "0.1", "第一行\n第二行"},
        };
        QCOMPARE(book.rows, expected);
        QCOMPARE(f.list.recNo(), 2);
    }

    void everyColumnOfEachList_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("record");
        QTest::newRow("customers")
            << "表2" << QStringList{"华东公司", "张三", "0571-88886666", "杭州", "老客户"};
        QTest::newRow("deliveries")
            << "表3" << QStringList{"D001", "2024/1/5", "",   "007", "", "", "",
                                    "12.5", "4",        "50", "",    "", "", ""};
    }
    void everyColumnOfEachList() {
        QFETCH(QString, table);
        QFETCH(QStringList, record);
        Fixture f;
        f.show(Query::all(table));
        const SpreadsheetReader book = SpreadsheetReader::read(f.exportTo(f.db.folder() + "/list"));
        QCOMPARE(book.rows.size(), 2);
        QCOMPARE(book.rows[0], Schema::columns(table));
        QCOMPARE(book.rows[1], record);
    }

    void writesWhatTheListHoldsNow() {
        Fixture f;
        f.show(Query::like("表1", "商品名称", "扳"));
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/found")).rows,
                 QList<QStringList>({kGoodsTitles,
                                     {"13800138000", "扳手",
                                      "a\x01"
                                      "b",
                                      "把", "0.1", "第一行\n第二行"}}));

        // The delivery panel's pick list leaves one distinct column.
        f.show(Query::distinct("表1", "商品编码"));
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/codes")).rows,
                 QList<QStringList>({{"商品编码"}, {"007"}, {"13800138000"}, {"A-2"}}));

        // Right after a refresh the list stands on its last row; the file still starts at the
        // first.
        f.show(Query::all("表1"));
        f.list.last();
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/all")).rows.size(), 4);
        QCOMPARE(f.list.recNo(), 2);
    }

    void emptyListWritesTheTitleRowOnly() {
        Fixture f;
        f.show(Query::like("表1", "商品名称", "没有这个"));
        const QString file = f.exportTo(f.db.folder() + "/empty");
        QCOMPARE(SpreadsheetReader::read(file).rows, QList<QStringList>({kGoodsTitles}));
        QCOMPARE(f.prompts.lastText(), QString("成功导出全部数据!"));
    }

    void appendsXlsAndReplacesAnExistingFile() {
        Fixture f;
        const QString chosen = f.db.folder() + "/list.xls";
        QFile old(chosen + ".xls");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file");
        old.close();
        QCOMPARE(f.exportTo(chosen), chosen + ".xls");
        QVERIFY(!QFile::exists(chosen));
        QCOMPARE(SpreadsheetReader::read(chosen + ".xls").rows.size(), 4);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb", "list.xls.xls"}));
    }

    void nothingHappensWithoutAViewOrAName() {
        Fixture f;
        f.current = nullptr;
        f.command.SpeedButton3Click();
        QVERIFY(f.prompts.shown().isEmpty());

        f.current = &f.list;
        f.command.SpeedButton3Click(); // the dialog is cancelled
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(f.prompts.shown().first().kind, QString("save"));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void failureLeavesNothingUnderTheName_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no such folder/list";
        QTest::newRow("name of a folder") << "taken";
    }
    void failureLeavesNothingUnderTheName() {
        QFETCH(QString, name);
        Fixture f;
        QVERIFY(QDir(f.db.folder()).mkdir("taken.xls"));
        const QString chosen = f.db.folder() + "/" + name;
        f.exportTo(chosen);
        QCOMPARE(f.prompts.texts("message"), QStringList());
        const QStringList errors = f.prompts.texts("error");
        QCOMPARE(errors.size(), 1);
        const QString prefix = "无法写入文件“" + chosen + ".xls”：";
        QVERIFY2(errors[0].startsWith(prefix) && errors[0].size() > prefix.size(),
                 qPrintable(errors[0]));
        QVERIFY(QFileInfo(f.db.folder() + "/taken.xls").isDir());
        QVERIFY(!QFileInfo(chosen + ".xls").isFile());
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void fullDiskKeepsTheOldFile() {
        Fixture f;
        f.db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                  " INSERT INTO 表1 SELECT i, '商品' || i, '', '', i, '' FROM n");
        f.show(Query::all("表1"));
        const QString chosen = f.db.folder() + "/list";
        QFile old(chosen + ".xls");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the file of yesterday");
        old.close();
        {
            FileSizeLimit limit(8 * 1024);
            f.exportTo(chosen);
        }
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(f.prompts.texts("message"), QStringList());
        QCOMPARE(contentsOf(chosen + ".xls"), QByteArray("the file of yesterday"));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb", "list.xls"}));
    }

    void closedListFailsBeforeAnyFile() {
        Fixture f;
        f.list.close();
        f.exportTo(f.db.folder() + "/list");
        QCOMPARE(f.prompts.texts("error"),
                 QStringList({"Cannot perform this operation on a closed dataset"}));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void overlongTextIsRefusedWithItsCell() {
        Fixture f;
        f.db.exec("UPDATE 表1 SET 备注 = replace(hex(zeroblob(40000)), '00', '长')"
                  " WHERE 商品编码 = 'A-2'");
        f.show(Query::all("表1"));
        f.exportTo(f.db.folder() + "/list");
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QVERIFY2(f.prompts.texts("error")[0].contains("第3行第6列"),
                 qPrintable(f.prompts.texts("error")[0]));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void reportsProgressUpToTheLastRow() {
        Fixture f;
        f.db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2497)"
                  " INSERT INTO 表1 (商品编码) SELECT i FROM n");
        f.show(Query::all("表1"));
        RecordedProgress progress;
        SpreadsheetFile::write(f.list, f.db.folder() + "/list.xls", progress);
        QCOMPARE(progress.calls,
                 (QList<QPair<int, int>>{{1000, 2500}, {2000, 2500}, {2500, 2500}}));
    }

    void progressDialogWaitsHalfASecond() {
        QWidget window;
        {
            ExportProgressDialog quick(&window);
            quick.update(500, 1000);
            quick.update(1000, 1000);
            auto* dialog = window.findChild<QProgressDialog*>("ExportProgress");
            QVERIFY(dialog);
            QVERIFY(!dialog->isVisible());
        }
        QVERIFY(!window.findChild<QProgressDialog*>("ExportProgress"));
        ExportProgressDialog slow(&window);
        QTest::qSleep(600);
        slow.update(1, 1000);
        QVERIFY(window.findChild<QProgressDialog*>("ExportProgress")->isVisible());
    }
};

DN_TEST_MAIN(TestExport)
#include "tst_export.moc"
