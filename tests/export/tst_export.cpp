#include "FileCalls.h"
#include "ScriptedPrompts.h"
#include "SpreadsheetReader.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "export/DataExport.h"
#include "export/ExportProgressDialog.h"
#include "ui/Guard.h"

#include <QDir>
#include <QProgressDialog>
#include <QWidget>

namespace {

// Goods with awkward texts, the main window's stand-in, and a list on a connection of its own
// that the command exports.
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

const QStringList kTitles = {"商品编码", "商品名称", "规格型号", "单位", "单价", "备注"};
const QStringList kWrench = {"13800138000", "扳手",        QString("a\x01") + "b",
                             "把",          "<float:0.1>", "第一行\n第二行"};

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void writesTitlesAndEveryField() {
        Fixture f;
        f.list.last(); // where a refresh leaves it
        const QString file = f.exportTo(f.db.folder() + "/商品");
        QCOMPARE(f.prompts.texts(), QStringList({"", "成功导出全部数据!"}));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
        const SpreadsheetReader book = SpreadsheetReader::read(file);
        QCOMPARE(book.sheets, 1);
        QCOMPARE(book.rows,
                 QList<QStringList>({kTitles,
                                     {"007", "螺丝 M6", " 6x20 ", "个", "<float:12.5>", ""},
                                     {"A-2", "垫片", "", "片", "<int:3>", "_x0041_ 原样"},
                                     kWrench}));
        QCOMPARE(f.list.recNo(), 2);
    }

    // Numbers add up in the sheet, dates are dates, codes and telephone numbers stay texts.
    void cellsTakeTheKindOfTheirColumn() {
        Fixture f;
        f.db.exec(
            "INSERT INTO 表3 (单据编号, 业务日期, 商品编码, 单价, 数量, 应收金额, 联系电话) VALUES "
            "('007', '2026-11-02', '007', 12.5, 3, 37.5, '021-5555666'), "
            "('8', '2026-12-31', '', 0.1, 3, NULL, ''), "
            "('9', NULL, 'A', 2, '两', 4, '')");
        Dataset deliveries(&f.connection, "ADOQuery3");
        deliveries.setQuery(Query::all("表3"));
        deliveries.open();
        // The amount of 0.1 x 3 goes in as the panel computes it: "0.3".
        deliveries.moveTo(1);
        deliveries.edit();
        deliveries.setText("应收金额", "0.3");
        deliveries.post();
        f.current = &deliveries;
        const QString file = f.exportTo(f.db.folder() + "/送货");
        const SpreadsheetReader book = SpreadsheetReader::read(file);
        QCOMPARE(book.rows.size(), 4);
        const QStringList columns = book.rows[0];
        const auto cell = [&](int row, const char* column) {
            return book.rows[row][columns.indexOf(QString::fromUtf8(column))];
        };
        const auto format = [&](int row, const char* column) {
            return book.formats[row][columns.indexOf(QString::fromUtf8(column))];
        };
        QCOMPARE(cell(1, "单价"), QString("<float:12.5>"));
        QCOMPARE(cell(1, "数量"), QString("<int:3>"));
        QCOMPARE(cell(1, "应收金额"), QString("<float:37.5>"));
        QCOMPARE(cell(2, "应收金额"), QString("<float:0.3>"));
        QCOMPARE(cell(1, "业务日期"), QString("<datetime:2026-11-02 00:00:00>"));
        QCOMPARE(format(1, "业务日期"), QString("yyyy/m/d"));
        QCOMPARE(cell(2, "业务日期"), QString("<datetime:2026-12-31 00:00:00>"));
        QCOMPARE(cell(1, "单据编号"), QString("007"));
        QCOMPARE(cell(1, "商品编码"), QString("007"));
        QCOMPARE(cell(1, "联系电话"), QString("021-5555666"));
        // Empty fields stay empty cells; a number column holding a word keeps the word.
        QCOMPARE(cell(3, "业务日期"), QString());
        QCOMPARE(cell(2, "商品编码"), QString());
        QCOMPARE(cell(3, "数量"), QString("两"));
        // The amounts add up to the footer's sum (kept in 1/10000): 37.5 + 0.3 + 4.
        QCOMPARE(book.columnSum(columns.indexOf("应收金额")), QString("41.8"));
    }

    void writesCharactersTheSheetCannotHoldAsCodes() {
        Fixture f;
        // A NUL would cut the cell short; U+FFFE and U+FFFF are not allowed in the sheet's XML.
        const QStringList texts = {QString("前") + QChar(0) + "后", QString(QChar(0)),
                                   QString(QChar(0xFFFF)) + QChar(0xFFFE) + "_x0000_"};
        Dataset goods(&f.connection, "ADOQuery1");
        goods.setQuery(Query::all("表1"));
        goods.open();
        goods.append();
        for (int i = 0; i < texts.size(); ++i)
            goods.setText(kTitles[i], texts[i]);
        goods.post();
        f.show(Query::all("表1"));
        const SpreadsheetReader book = SpreadsheetReader::read(f.exportTo(f.db.folder() + "/码"));
        QCOMPARE(book.rows.size(), 5);
        QCOMPARE(book.rows.last().mid(0, 3), texts);
    }

    void writesWhatTheListHolds() {
        Fixture f;
        f.show(Query::like("表1", "商品名称", "扳"));
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/found")).rows,
                 QList<QStringList>({kTitles, kWrench}));

        f.show(Query::like("表1", "商品名称", "没有这个"));
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/empty")).rows,
                 QList<QStringList>({kTitles}));
        QCOMPARE(f.prompts.lastText(), QString("成功导出全部数据!"));
    }

    // A row of empty fields has no cell in the sheet; it is still a row of the list.
    void exportsEmptyRowsAsEmptyRows() {
        Fixture f;
        f.db.exec("INSERT INTO 表2 VALUES (NULL, '王', '0571', '路', ''), (NULL, NULL, NULL, "
                  "NULL, NULL), ('', '', '', '', ''), ('甲', '李', '', '', ''), (NULL, NULL, "
                  "NULL, NULL, NULL)");
        f.show(Query::all("表2"));
        const QStringList empty(5, QString());
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/客户")).rows,
                 QList<QStringList>({{"单位名称", "联系人", "联系电话", "单位地址", "备注"},
                                     {"", "王", "0571", "路", ""},
                                     empty,
                                     empty,
                                     {"甲", "李", "", "", ""},
                                     empty}));

        // The contacts' pick list: the customers without a contact give one empty row.
        f.show(Query::distinct("表2", "联系人"));
        QCOMPARE(SpreadsheetReader::read(f.exportTo(f.db.folder() + "/联系人")).rows,
                 QList<QStringList>({{"联系人"}, {""}, {""}, {"李"}, {"王"}}));
        QCOMPARE(f.prompts.texts("error"), QStringList());
        QCOMPARE(f.prompts.texts("message"),
                 QStringList({"成功导出全部数据!", "成功导出全部数据!"}));
    }

    void appendsXlsAndReplacesAnExistingFile() {
        Fixture f;
        const QString chosen = f.db.folder() + "/list.xls";
        writeFile(chosen + ".xls", "an older file");
        f.exportTo(chosen);
        QCOMPARE(SpreadsheetReader::read(chosen + ".xls").rows.size(), 4);
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb", "list.xls.xls"}));
    }

    // The rename is an entry of the folder: the folder goes on disk after it.
    void fileIsOnDiskWithItsName() {
        SKIP_ON_WINDOWS("watches the C library's file calls");
        Fixture f;
        FileCalls::watch(f.db.folder());
        const QString file = f.exportTo(f.db.folder() + "/商品");
        const QList<FileCalls::Call> calls = FileCalls::calls();
        const qsizetype renamed = calls.indexOf({"rename", file});
        QVERIFY(renamed >= 0);
        QVERIFY(calls.indexOf({"fsync", QFileInfo(f.db.folder()).canonicalFilePath()}, renamed) >
                renamed);
    }

    void nothingHappensWithoutAViewOrAName() {
        Fixture f;
        f.current = nullptr;
        f.command.SpeedButton3Click();
        QVERIFY(f.prompts.shown().isEmpty());
        f.current = &f.list;
        f.command.SpeedButton3Click(); // the dialog is cancelled
        QCOMPARE(f.prompts.shown().size(), 1);
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
        const QString prefix = "无法写入文件“" + QDir::toNativeSeparators(chosen) + ".xls”：";
        QVERIFY2(errors.size() == 1 && errors[0].startsWith(prefix) &&
                     errors[0].size() > prefix.size(),
                 qPrintable(errors.join('|')));
        QVERIFY(QFileInfo(f.db.folder() + "/taken.xls").isDir());
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    // The spreadsheet library does not notice a failed write to its working files.
    void fullDiskKeepsTheOldFile() {
        SKIP_ON_WINDOWS("fills the disk through a file size limit");
        Fixture f;
        f.db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                  " INSERT INTO 表1 SELECT i, '商品' || i, '', '', i, '' FROM n");
        f.show(Query::all("表1"));
        const QString chosen = f.db.folder() + "/list";
        writeFile(chosen + ".xls", "the file of yesterday");
        {
            FileSizeLimit limit(8 * 1024);
            f.exportTo(chosen);
        }
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(f.prompts.texts("message"), QStringList());
        QCOMPARE(contentsOf(chosen + ".xls"), QByteArray("the file of yesterday"));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb", "list.xls"}));
    }

    void overlongTextIsRefusedWithItsCell() {
        Fixture f;
        f.db.exec("UPDATE 表1 SET 备注 = replace(hex(zeroblob(40000)), '00', '长')"
                  " WHERE 商品编码 = 'A-2'");
        f.show(Query::all("表1"));
        f.exportTo(f.db.folder() + "/list");
        const QStringList errors = f.prompts.texts("error");
        QVERIFY2(errors.size() == 1 && errors[0].contains("第3行第6列"),
                 qPrintable(errors.join('|')));
        QCOMPARE(filesIn(f.db.folder()), QStringList({"data.mdb"}));
    }

    void progressDialogWaitsHalfASecond() {
        QWidget window;
        {
            ExportProgressDialog quick(&window);
            quick.update(500, 1000);
            quick.update(1000, 1000);
            QVERIFY(!window.findChild<QProgressDialog*>("ExportProgress")->isVisible());
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
