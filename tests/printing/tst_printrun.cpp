#include "HostTool.h"
#include "PreviewPages.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "app/RecordCommands.h"
#include "base/AppError.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "printing/BillSelection.h"
#include "printing/Dy1Unit.h"
#include "printing/PrintPage.h"
#include "printing/PrintRuns.h"
#include "printing/QRPrev.h"
#include "settings/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <memory>

using View = TMainForm::View;

namespace {

struct PrintFixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    std::unique_ptr<Program> program;
    QList<report::Page> pages;
    bool previewShown = false;

    void start() {
        program = std::make_unique<Program>();
        program->mainForm().show();
    }
    TMainForm& window() const { return program->mainForm(); }
    Dataset* deliveries() const { return window().query(View::Deliveries); }

    // Clicks a data cell of the delivery row whose bill number is given.
    void clickBill(const QString& bill) {
        Dataset* list = deliveries();
        const int column = list->fieldIndex("单据编号");
        for (int row = 0; row < list->recordCount(); ++row) {
            if (list->text(row, column) == bill) {
                list->moveTo(row);
                program->billSelection().DBGridEh3CellClick();
                return;
            }
        }
        QFAIL("no such bill");
    }

    // Runs a print run; the preview it opens is read and closed by the "user".
    void print(const std::function<void()>& run) {
        const PreviewPages shown = previewOf(run);
        pages = shown.pages;
        previewShown = shown.shown;
    }
    QMap<QString, QString> firstPage() const {
        return pages.isEmpty() ? QMap<QString, QString>() : textsOf(pages.first());
    }
    QMap<QString, QString> lastPage() const {
        return pages.isEmpty() ? QMap<QString, QString>() : textsOf(pages.last());
    }
    void toolbarPrint() {
        print([this] { QTest::mouseClick(window().speedButton(2), Qt::LeftButton); });
    }
    void menuPrint() {
        print([this] { window().menuItem("N5")->trigger(); });
    }
};

} // namespace

class TestPrintRun : public QObject {
    Q_OBJECT
private slots:
    // Each test starts from the settings' defaults.
    void init() { QFile::remove(Settings::filePath()); }

    void billSelectionCopiesExactlyTheClickedBill() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 业务日期, 经手人, 商品编码, 商品名称, 单价, 数量, "
                  "应收金额, 联系人) VALUES "
                  "('7', '2026-01-02', '甲', 'G1', '杯', 2, 3, 6, '王'), ('17', '2026-01-02', "
                  "'甲', 'G2', '盒', 1, 1, 1, '李'), "
                  "('7', '2026-01-03', '乙', 'G3', '笔', 0.5, 4, 2, '王'), ('70', '2026-01-04', "
                  "'甲', '', '纸', 1, 1, 1, '赵'), "
                  "('7', '2026-01-05', '丙', '', '夹', NULL, NULL, NULL, '王')");
        f.db.exec("INSERT INTO 表4 (序号, 单据编号) VALUES ('1', 'old')");
        f.start();
        f.clickBill("7");
        QCOMPARE(f.window().billNumberBox()->text(), QString("7"));
        QCOMPARE(f.deliveries()->recordCount(), 3);
        QCOMPARE(f.deliveries()->recNo(), 2);
        QCOMPARE(f.db.rows("SELECT 序号, 单据编号, 业务日期, 经手人, 商品编码, 商品名称, 单价, "
                           "数量, 应收金额, "
                           "优惠金额, 实收金额, 单位名称, 联系人 FROM 表4 ORDER BY ID"),
                 (QList<QStringList>{{"1", "7", "2026/1/2", "甲", "<null>", "杯", "2.0", "3.0",
                                      "6.0", "<null>", "<null>", "<null>", "王"},
                                     {"2", "7", "2026/1/3", "乙", "<null>", "笔", "0.5", "4.0",
                                      "2.0", "<null>", "<null>", "<null>", "王"},
                                     {"3", "7", "2026/1/5", "丙", "<null>", "夹", "<null>",
                                      "<null>", "<null>", "<null>", "<null>", "<null>", "王"}}));
    }

    void quotesAndEmptyBillNumbersAreOrdinary() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 商品名称) VALUES ('A\"1', 'x'), (NULL, 'y'), ('', "
                  "'z'), ('B', 'w')");
        f.start();
        f.clickBill("A\"1");
        QCOMPARE(f.db.count("表4"), 1);
        QVERIFY(f.prompts.texts("error").isEmpty());
        f.window().databaseConnection().ReopenAll();
        f.clickBill("");
        QCOMPARE(f.db.rows("SELECT 商品名称 FROM 表4 ORDER BY ID"),
                 (QList<QStringList>{{"y"}, {"z"}}));
    }

    void billWithoutANumberKeepsTheTablesOrder() {
        PrintFixture f;
        // NULL and empty numbers interleaved: an index would hand out one kind, then the other.
        // A plain index on the column, as a database made before the index ignored letter case
        // has it, lets the engine do so.
        f.db.exec("CREATE INDEX 旧索引 ON 表3 (单据编号)");
        f.db.exec("INSERT INTO 表3 (单据编号, 商品名称) VALUES ('', 'a'), (NULL, 'b'), ('X', 'x'), "
                  "('', 'c'), (NULL, 'd')");
        f.start();
        f.clickBill("");
        QCOMPARE(f.db.rows("SELECT 序号, 商品名称 FROM 表4 ORDER BY ID"),
                 (QList<QStringList>{{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}}));
        QStringList shown;
        for (int row = 0; row < f.deliveries()->recordCount(); ++row)
            shown.append(f.deliveries()->text(row, f.deliveries()->fieldIndex("商品名称")));
        QCOMPARE(shown, (QStringList{"a", "b", "c", "d"}));
    }

    void billNumbersIgnoreTheCaseOfAsciiLetters() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 商品名称) VALUES ('AB1', 'a'), ('ab1x', 'x'), "
                  "('ab1', 'b'), ('Ab1', 'c'), ('É1', 'e'), ('é1', 'f')");
        f.start();
        f.clickBill("ab1");
        QCOMPARE(f.db.rows("SELECT 序号, 商品名称 FROM 表4 ORDER BY ID"),
                 (QList<QStringList>{{"1", "a"}, {"2", "b"}, {"3", "c"}}));
        QCOMPARE(f.deliveries()->recordCount(), 3);
        // Only ASCII letters, as in the searches.
        f.window().databaseConnection().ReopenAll();
        f.clickBill("é1");
        QCOMPARE(f.db.rows("SELECT 商品名称 FROM 表4"), (QList<QStringList>{{"f"}}));
    }

    void failedSelectionLeavesThePrintBufferEmpty() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表4 (序号, 单据编号, 商品名称) VALUES ('1', 'old', '旧')");
        // A price written by some other program as text the print buffer cannot take.
        f.db.exec("INSERT INTO 表3 (单据编号, 商品名称, 单价) VALUES ('5', 'a', 1), ('5', 'b', "
                  "'abc')");
        f.start();
        QString error;
        try {
            f.clickBill("5");
        } catch (const AppError& e) {
            error = e.message();
        }
        QCOMPARE(error, QString("'abc' is not a valid floating point value for field '单价'"));
        QCOMPARE(f.db.count("表4"), 0);
        QCOMPARE(f.window().printBuffer()->recordCount(), 0);
        f.menuPrint();
        QVERIFY(f.previewShown);
        QCOMPARE(f.firstPage()["QRDBText9"], QString());
        QCOMPARE(f.firstPage()["QRDBText2"], QString());
    }

    void toolbarRunReloadsMenuRunKeepsTheBill() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表5 VALUES ('澄朔商贸', 'www.example.com', '张明', '0571-1')");
        f.db.exec("INSERT INTO 表3 (单据编号, 经手人, 业务日期, 商品名称, 单价, 数量, 应收金额, "
                  "联系人, 单位地址, 联系电话) VALUES "
                  "('9', '甲', '2026-05-01', '杯', 10.5, 1, 10.5, '王', '文三路', '138'), "
                  "('9', '乙', '2026-05-02', '盒', 2.25, 1, 2.25, '王', '文三路', '138'), ('8', "
                  "'丙', '2026-05-03', '纸', 1, 1, 1, '李', '', '')");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("9");

        f.menuPrint();
        QVERIFY(f.previewShown);
        QCOMPARE(f.program->reportForm().QRLabel19(), QString("12.75"));
        QCOMPARE(f.program->reportForm().QRLabel15(), QString("壹十贰元柒角伍分整"));
        QCOMPARE(f.deliveries()->recordCount(), 2);
        const auto page = f.firstPage();
        QCOMPARE(page["QRDBText15"], QString("澄朔商贸"));
        QCOMPARE(page["QRDBText9"], QString("9"));
        QCOMPARE(page["QRDBText10"], QString("王"));
        QCOMPARE(page["QRDBText13"], QString("乙")); // summary: the last row
        QCOMPARE(page["QRDBText14"], QString("2026/5/2"));
        QCOMPARE(page["QRDBText5"], QString("10.5|2.25"));
        QCOMPARE(page["QRLabel19"], QString("12.75"));

        f.toolbarPrint();
        QVERIFY(f.previewShown);
        QCOMPARE(f.deliveries()->recordCount(), 3);
        QCOMPARE(f.firstPage()["QRDBText15"], QString("澄朔商贸"));
    }

    // "财务规范写法" on the "打印" page writes the note's capitals the banking way from the next
    // print on; the stored note's own way is the default.
    void capitalsFollowTheChoiceOnThePrintPage() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('9', 10.5), ('8', 0)");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("9");
        PrintPage page;
        page.load();
        auto* capitals = page.findChild<QComboBox*>("CapitalsBox");
        QCOMPARE(capitals->currentText(), QString("原有写法"));
        f.menuPrint();
        QCOMPARE(f.program->reportForm().QRLabel15(), QString("壹十元伍角整"));
        capitals->setCurrentIndex(capitals->findText("财务规范写法"));
        page.store();
        f.menuPrint();
        QCOMPARE(f.program->reportForm().QRLabel15(), QString("壹拾元伍角整"));
        QCOMPARE(f.firstPage()["QRLabel15"], QString("壹拾元伍角整"));
        f.window().databaseConnection().ReopenAll();
        f.clickBill("8");
        f.menuPrint();
        QCOMPARE(f.program->reportForm().QRLabel15(), QString("零元整"));
        PrintPage again;
        again.load();
        QCOMPARE(again.findChild<QComboBox*>("CapitalsBox")->currentText(),
                 QString("财务规范写法"));
    }

    void headerSurvivesABorrowedProfileList() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表5 VALUES ('澄朔商贸', 'www.example.com', '张明', '0571-1')");
        f.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 5)");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("1");
        QTest::mouseClick(f.window().speedButton(8), Qt::LeftButton); // borrows the profile list
        f.menuPrint();
        QCOMPARE(f.firstPage()["QRDBText16"], QString("www.example.com"));
        QCOMPARE(f.firstPage()["QRDBText17"], QString("0571-1"));
        f.toolbarPrint();
        QCOMPARE(f.firstPage()["QRDBText15"], QString("澄朔商贸"));
    }

    void headerIsTheRowThePlainProfileListStandsOn() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表5 VALUES ('甲公司', 'a.com', '张', '1'), ('乙公司', 'b.com', "
                  "'李', '2')");
        f.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 5)");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("1");
        // Opened at start-up, the profile list stands on its first row, also once borrowed.
        f.menuPrint();
        QCOMPARE(f.firstPage()["QRDBText15"], QString("甲公司"));
        QTest::mouseClick(f.window().speedButton(8), Qt::LeftButton);
        f.menuPrint();
        QCOMPARE(f.firstPage()["QRDBText15"], QString("甲公司"));
        // Every list reloaded stands on its last row; borrowing the list afterwards keeps that.
        f.toolbarPrint();
        QCOMPARE(f.firstPage()["QRDBText15"], QString("乙公司"));
        QCOMPARE(f.firstPage()["QRDBText17"], QString("2"));
        f.clickBill("1");
        QTest::mouseClick(f.window().speedButton(8), Qt::LeftButton);
        f.menuPrint();
        QCOMPARE(f.firstPage()["QRDBText15"], QString("乙公司"));
        QCOMPARE(f.firstPage()["QRDBText16"], QString("b.com"));
    }

    void emptyBufferPrintsOneRuledPage() {
        PrintFixture f;
        f.start();
        f.toolbarPrint();
        QCOMPARE(f.pages.size(), 1);
        QCOMPARE(f.program->reportForm().QRLabel19(), QString("0"));
        QCOMPARE(f.program->reportForm().QRLabel15(), QString("元整"));
        int detailCells = 0;
        for (const report::DrawOp& op : f.pages.first().ops) {
            if (const auto* r = std::get_if<report::RectOp>(&op))
                detailCells += r->item.startsWith("QRShape") && r->item.mid(7).toInt() >= 9 &&
                               r->item.mid(7).toInt() <= 16;
        }
        QCOMPARE(detailCells, 8);
    }

    void negativeTotalStopsBeforeThePreview() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表4 (序号, 应收金额) VALUES ('1', -5)");
        f.start();
        f.toolbarPrint();
        QVERIFY(!f.previewShown);
        QCOMPARE(f.prompts.texts("error"), QStringList{"'-' is not a valid integer value"});
    }

    void totalBeyondTheSumsRangeStopsBeforeThePreview() {
        PrintFixture f;
        // Each amount fits a sum of 1/10000; together they do not.
        f.db.exec("INSERT INTO 表4 (序号, 应收金额) VALUES ('1', 9e14), ('2', 9e14)");
        f.start();
        f.toolbarPrint();
        QVERIFY(!f.previewShown);
        QCOMPARE(f.prompts.texts("error"), QStringList{"'1.8E15' is out of range for a sum"});
    }

    // "存PDF" saves the bill the preview shows, even after another bill was clicked (and the
    // print buffer refilled) while it was open.
    void savedPdfIsThePreviewsBillAfterAnotherIsClicked() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 经手人, 业务日期, 商品名称, 单价, 数量, 应收金额, "
                  "联系人) VALUES ('9', '甲', '2026-05-01', '杯', 10.5, 1, 10.5, '王'), "
                  "('8', '丙', '2026-05-03', '纸', 1, 1, 1, '李')");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("9");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("saved.pdf");
        f.prompts.answerSave(pdf);
        bool saved = false;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* preview = qobject_cast<TQRStandardPreview*>(w);
                if (preview && preview->isVisible() && preview->generationFinished()) {
                    poll->stop();
                    f.program->commands().SpeedButton12Click();
                    f.clickBill("8");
                    preview->findChild<QToolButton*>("SavePdfButton")->click();
                    saved = QFile::exists(pdf);
                    preview->SpeedButton3Click();
                }
            }
        });
        poll->start(5);
        f.menuPrint();
        delete poll;
        QVERIFY(saved);
        QCOMPARE(f.db.rows("SELECT 单据编号 FROM 表4"), (QList<QStringList>{{"8"}}));
        const HostTool text = HostTool::run("pdftotext", {pdf, "-"});
        QVERIFY(text.ok());
        const QString content =
            QString::fromUtf8(text.out).normalized(QString::NormalizationForm_KC);
        QVERIFY2(content.contains("杯") && content.contains("10.5") && !content.contains("纸"),
                 qPrintable(content));
    }

    void modifyAfterACellClickWritesTheBillsLastRow() {
        PrintFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 商品名称, 单价, 数量, 应收金额) VALUES ('5', 'a', 1, "
                  "1, 1), ('5', 'b', 1, 1, 1), ('6', 'c', 1, 1, 1)");
        f.start();
        f.window().viewSelector()->setCurrentIndex(2);
        f.clickBill("5");
        QTest::mouseClick(f.window().speedButton(9), Qt::LeftButton);
        QCOMPARE(f.window().findChild<QLineEdit*>("Edit18")->text(), QString("b"));
    }
};

DN_TEST_MAIN(TestPrintRun)
#include "tst_printrun.moc"
