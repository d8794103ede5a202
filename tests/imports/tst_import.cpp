#include "ErrorOf.h"
#include "Gb18030.h"
#include "RecordsFixture.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"
#include "TestWorkbooks.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "imports/ImportPlan.h"
#include "imports/ImportWriter.h"
#include "sheets/WorkbookReader.h"
#include "sheets/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

using View = TMainForm::View;

namespace {

const QString kFiles = QStringLiteral(IMPORT_TEST_FILES);
const QString kGoodsXls = kFiles + "/goods.xls";

ImportPlan planOf(ImportTarget target, const QString& file, const QSet<QString>& existing) {
    const SheetTable sheet = WorkbookReader::open(file)->readSheet(0);
    const qsizetype header = ImportFields::headerRow(target, sheet);
    return ImportPlan(target, sheet, header,
                      ImportFields::match(target, ImportFields::headers(sheet.rows[header])),
                      existing);
}

// Each planned row as its number, values and problem ("*" marks a key the list holds).
QList<QStringList> shown(const ImportPlan& plan) {
    QList<QStringList> rows;
    for (const ImportPlan::Row& row : plan.rows())
        rows.append(QStringList{QString::number(row.sheetRow)} + row.values +
                    QStringList{row.exists ? "*" + row.problem : row.problem});
    return rows;
}

const ImportWriter::Progress kGoOn = [](int, int) { return true; };

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The whole program; the wizard, once it shows, is driven by `steps` and left as they leave it.
struct ImportFixture : RecordsFixture {
    QTemporaryDir dir;

    void startOn(View view) {
        start();
        chooseView(view);
    }
    QWidget* wizard() const { return QApplication::activeModalWidget(); }
    template <class T = QAbstractButton> T* inWizard(const QString& name) const {
        T* widget = wizard() ? wizard()->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s in the wizard", qPrintable(name));
        return widget;
    }
    void clickInWizard(const QString& name) const {
        QTest::mouseClick(inWizard(name), Qt::LeftButton);
    }
    // Clicks "导入" and runs `steps` inside the wizard; the wizard closes after them.
    void runWizard(const std::function<void()>& steps) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QVERIFY(wizard() && wizard()->objectName() == "ImportWizard");
            steps();
            ran = true;
            if (wizard() && wizard()->objectName() == "ImportWizard")
                clickInWizard("CloseButton");
        });
        click("ImportButton");
        QVERIFY(ran);
    }
};

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void headersFindTheirFields() {
        using ImportFields::match;
        QCOMPARE(match(ImportTarget::Goods, {"备注", "品名", "售价 ", "货号*", "型号", "规格"}),
                 (QList<int>{3, 1, 5, -1, 2, 0}));
        QCOMPARE(match(ImportTarget::Goods, {"商品编码（必填）", "编码", "商品名称"}),
                 (QList<int>{0, 2, -1, -1, -1, -1}));
        // "客户名称" beside "联系人" does not take the contact's place.
        QCOMPARE(match(ImportTarget::Customers, {"客户名称", "手机", "联系人", "地址"}),
                 (QList<int>{2, 1, 3, -1}));
        QCOMPARE(match(ImportTarget::Customers, {"客户名称", "电话"}), (QList<int>{0, 1, -1, -1}));
    }

    // Numbers read as the cells hold them, a code of zeros kept, the title line above the
    // header passed over, each row's problem named: the same from every kind of file.
    void planNamesEveryRowsProblem_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("xls") << "xls";
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("csv UTF-8") << "utf8.csv";
        QTest::newRow("csv GB18030") << "gb18030.csv";
    }
    void planNamesEveryRowsProblem() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString file = kGoodsXls;
        const QString csv = "商品清单（2026年）\n货号,品名,规格,单位,售价,备注\n"
                            "0012,水杯,500ml,个,12.5,\n12,饭盒,三层,个,3,不锈钢\n"
                            "A-7,毛巾,,条,十二,\n0012,水杯二,,个,13,\nB-1,,,个,1,\n"
                            "C-3,抹布,,块,0.1,\n";
        if (kind == "xlsx") {
            file = dir.filePath("goods.xlsx");
            TestWorkbooks::writeXlsx(file, {{"商品清单",
                                             {{"商品清单（2026年）"},
                                              {"货号", "品名", "规格", "单位", "售价", "备注"},
                                              {"0012", "水杯", "500ml", "个", 12.5},
                                              {12, "饭盒", "三层", "个", 3, "不锈钢"},
                                              {"A-7", "毛巾", QVariant(), "条", "十二"},
                                              {"0012", "水杯二", QVariant(), "个", 13},
                                              {"B-1", QVariant(), QVariant(), "个", 1},
                                              {"C-3", "抹布", QVariant(), "块", 0.1}}}});
        } else if (kind == "utf8.csv") {
            file = dir.filePath("goods.csv");
            writeFile(file, csv.toUtf8());
        } else if (kind == "gb18030.csv") {
            file = dir.filePath("goods.csv");
            writeFile(file, toGb18030(csv));
        }
        const ImportPlan plan = planOf(ImportTarget::Goods, file, {"c-3"});
        QCOMPARE(shown(plan),
                 (QList<QStringList>{
                     {"3", "0012", "水杯", "500ml", "个", "12.5", "", ""},
                     {"4", "12", "饭盒", "三层", "个", "3", "不锈钢", ""},
                     {"5", "A-7", "毛巾", "", "条", "十二", "", "单价“十二”不是数字"},
                     {"6", "0012", "水杯二", "", "个", "13", "", "商品编码“0012”与第 3 行重复"},
                     {"7", "B-1", "", "", "个", "1", "", "商品名称为空"},
                     {"8", "C-3", "抹布", "", "块", "0.1", "", "*"},
                 }));
        QCOMPARE(plan.problemCount(), 3);
        QCOMPARE(plan.existingCount(), 1);
    }

    void textsNoListCanHoldRefuseTheFile() {
        SheetTable sheet;
        sheet.rows.append({1, {SheetTable::Cell::ofText("编码")}});
        sheet.rows.append({2,
                           {SheetTable::Cell::ofText("1"),
                            SheetTable::Cell::ofText(QString("a") + QChar(0) + "b")}});
        QCOMPARE(errorOf([&] { ImportPlan::checkTexts(sheet); }),
                 QString("第 2 行 B 列的文字第 2 个字符无效（空字符或残缺的字符），"
                         "文件可能已损坏。没有导入任何内容。"));
        sheet.rows[1].cells[1] = SheetTable::Cell::ofText(QString("x") + QChar(0xD800));
        QVERIFY(!errorOf([&] { ImportPlan::checkTexts(sheet); }).isEmpty());
    }

    // A key in the list is skipped or updates the list's row, whose fields the file leaves
    // empty keep their values; everything else of the plan goes in as planned.
    void importSkipsOrUpdatesExistingRows_data() {
        QTest::addColumn<bool>("update");
        QTest::newRow("skip") << false;
        QTest::newRow("update") << true;
    }
    void importSkipsOrUpdatesExistingRows() {
        QFETCH(bool, update);
        TestDatabase db;
        db.exec("INSERT INTO 表1 VALUES ('c-3', '旧抹布', '小号', '只', 9, '旧备注')");
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        const ImportPlan plan = planOf(ImportTarget::Goods, kGoodsXls,
                                       ImportWriter::keysInList(connection, ImportTarget::Goods));
        const auto outcome = ImportWriter::write(connection, plan, update, kGoOn);
        QVERIFY(outcome);
        QCOMPARE(outcome->added, 2);
        QCOMPARE(outcome->updated, update ? 1 : 0);
        QStringList reasons;
        for (const ImportWriter::Skipped& skip : outcome->skipped)
            reasons.append(QString::number(plan.rows()[skip.planRow].sheetRow) + ":" + skip.reason);
        QStringList expected{"5:单价“十二”不是数字", "6:商品编码“0012”与第 3 行重复",
                             "7:商品名称为空"};
        if (!update)
            expected.append("8:商品编码已存在（选择了跳过）");
        QCOMPARE(reasons, expected);
        // The key stays as the list spells it.
        const QStringList kept = update
                                     ? QStringList{"c-3", "抹布", "小号", "块", "0.1", "旧备注"}
                                     : QStringList{"c-3", "旧抹布", "小号", "只", "9.0", "旧备注"};
        QCOMPARE(db.table("表1"), (QList<QStringList>{
                                      kept,
                                      {"0012", "水杯", "500ml", "个", "12.5", ""},
                                      {"12", "饭盒", "三层", "个", "3.0", "不锈钢"},
                                  }));
    }

    // Stopped halfway, after rows were written, the import leaves the list as it was and the
    // database free for the next one.
    void cancelledImportLeavesTheListsAsTheyWere() {
        TestDatabase db;
        db.exec("INSERT INTO 表2 VALUES ('', '老客户', '1', '旧址', '')");
        QTemporaryDir dir;
        QList<QVariantList> rows{{"联系人", "电话"}};
        for (int i = 0; i < 100; ++i)
            rows.append({QString("客户%1").arg(i), QString::number(i)});
        const QString file = dir.filePath("customers.xlsx");
        TestWorkbooks::writeXlsx(file, {{"客户", rows}});
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        const ImportPlan plan = planOf(ImportTarget::Customers, file, {});
        int furthest = 0;
        const auto outcome = ImportWriter::write(connection, plan, false, [&](int done, int) {
            furthest = done;
            return done < 60;
        });
        QVERIFY(!outcome);
        QCOMPARE(furthest, 60);
        QCOMPARE(db.count("表2"), 1);
        Dataset list(&connection, "List");
        list.setQuery(Query::all("表2"));
        list.open();
        QCOMPARE(list.recordCount(), 1);

        const auto again = ImportWriter::write(connection, plan, false, kGoOn);
        QVERIFY(again);
        QCOMPARE(again->added, 100);
        QCOMPARE(db.count("表2"), 101);
    }

    // Keys compare with ASCII letters folded, as the look-ups take them, and the list as it
    // stands when the import runs decides what exists.
    void keysCompareAsTheLookUpsTakeThem() {
        TestDatabase db;
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        QTemporaryDir dir;
        const QString file = dir.filePath("goods.csv");
        writeFile(file, "商品编码,商品名称\nab-1,甲\nAB-1,乙\nCd,丙\n");
        const ImportPlan plan = planOf(ImportTarget::Goods, file, {});
        QCOMPARE(plan.rows()[1].problem, QString("商品编码“AB-1”与第 2 行重复"));
        db.exec("INSERT INTO 表1 VALUES ('CD', '后加的', '', '', 1, '')");
        const auto outcome = ImportWriter::write(connection, plan, false, kGoOn);
        QVERIFY(outcome);
        QCOMPARE(outcome->added, 1);
        QCOMPARE(outcome->skipped.size(), 2);
        QCOMPARE(db.rows("SELECT 商品编码, 单价 FROM 表1 ORDER BY rowid"),
                 (QList<QStringList>{{"CD", "1.0"}, {"ab-1", "0.0"}}));
    }

    // Through the toolbar: a goods workbook, its problems shown, the import, the summary, the
    // skipped rows saved as a workbook, and the goods list showing the new rows.
    void wizardImportsAWorkbookAsAUserWould() {
        ImportFixture f;
        f.db.exec("INSERT INTO 表1 VALUES ('C-3', '旧抹布', '', '只', 9, '')");
        f.startOn(View::Goods);
        const QString skippedFile = f.dir.filePath("跳过");
        f.prompts.answerOpen(kGoodsXls);
        f.prompts.answerSave(skippedFile);
        f.runWizard([&] {
            f.clickInWizard("ChooseFileButton");
            QCOMPARE(f.inWizard<QComboBox>("SheetBox")->count(), 2);
            QCOMPARE(f.inWizard<QSpinBox>("HeaderRowBox")->value(), 2);
            QCOMPARE(f.inWizard<QLabel>("HeaderCellsLabel")->text(),
                     QString("该行：货号 | 品名 | 规格 | 单位 | 售价 | 备注；下面还有 6 行"));
            f.clickInWizard("NextButton");
            QCOMPARE(f.inWizard<QComboBox>("ColumnBox4")->currentText(), QString("E列：售价"));
            auto* problems = f.inWizard<QListWidget>("ProblemList");
            QCOMPARE(problems->count(), 4);
            QCOMPARE(problems->item(0)->text(), QString("第 5 行：单价“十二”不是数字"));
            QCOMPARE(problems->item(3)->text(), QString("第 8 行：商品编码“C-3”已存在，将跳过"));
            QCOMPARE(f.inWizard<QLabel>("SummaryLabel")->text(),
                     QString("共 6 行：新增 2 行，已存在 1 行（跳过），有问题 3 行（跳过）。"));
            f.clickInWizard("UpdateExistingButton");
            QCOMPARE(problems->item(3)->text(), QString("第 8 行：商品编码“C-3”已存在，将更新"));
            QCOMPARE(f.inWizard<QLabel>("SummaryLabel")->text(),
                     QString("共 6 行：新增 2 行，已存在 1 行（更新），有问题 3 行（跳过）。"));
            f.clickInWizard("NextButton");
            QCOMPARE(f.inWizard<QLabel>("ResultLabel")->text(),
                     QString("导入 2 条，更新 1 条，跳过 3 条"));
            f.clickInWizard("SaveSkippedButton");
        });
        QCOMPARE(f.prompts.texts("message"),
                 (QStringList{
                     "导入 2 条，更新 1 条，跳过 3 条",
                     QString("已保存为“%1.xlsx”！").arg(QDir::toNativeSeparators(skippedFile))}));
        QCOMPARE(f.db.count("表1"), 3);
        QCOMPARE(f.window().query(View::Goods)->recordCount(), 3);
        QCOMPARE(f.db.rows("SELECT 商品名称, 单价 FROM 表1 WHERE 商品编码 = 'C-3'"),
                 (QList<QStringList>{{"抹布", "0.1"}}));

        const SpreadsheetReader skipped = SpreadsheetReader::read(skippedFile + ".xlsx");
        QCOMPARE(skipped.rows,
                 (QList<QStringList>{
                     {"行号", "货号", "品名", "规格", "单位", "售价", "备注", "原因"},
                     {"<int:5>", "A-7", "毛巾", "", "条", "十二", "", "单价“十二”不是数字"},
                     {"<int:6>", "0012", "水杯二", "", "个", "<int:13>", "",
                      "商品编码“0012”与第 3 行重复"},
                     {"<int:7>", "B-1", "", "", "个", "<int:1>", "", "商品名称为空"},
                 }));
    }

    // A customer list saved by a Chinese spreadsheet program: comma-separated GB18030.
    void wizardImportsAGb18030CustomerCsv() {
        ImportFixture f;
        f.startOn(View::Customers);
        const QString file = f.dir.filePath("客户.csv");
        writeFile(file, toGb18030(QString("客户名称,手机,详细地址,备注\r\n"
                                          "杭州明远,13800000000,\"文三路 1 号\",月结\r\n"
                                          ",0571,,\r\n")));
        f.prompts.answerOpen(file);
        f.runWizard([&] {
            f.clickInWizard("ChooseFileButton");
            f.clickInWizard("NextButton");
            f.clickInWizard("NextButton");
        });
        QCOMPARE(f.prompts.texts("message"), QStringList{"导入 1 条，更新 0 条，跳过 1 条"});
        QCOMPARE(f.db.rows("SELECT 联系人, 联系电话, 单位地址, 备注 FROM 表2"),
                 (QList<QStringList>{{"杭州明远", "13800000000", "文三路 1 号", "月结"}}));
    }

    // The progress window's 取消 leaves nothing and says so; the wizard stays for another try.
    void cancellingTheProgressImportsNothing() {
        ImportFixture f;
        f.startOn(View::Goods);
        f.prompts.answerOpen(kGoodsXls);
        f.runWizard([&] {
            f.clickInWizard("ChooseFileButton");
            f.clickInWizard("NextButton");
            // Clicked as soon as the progress window is up.
            QTimer canceller;
            QObject::connect(&canceller, &QTimer::timeout, [&] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
                        progress->cancel();
                        canceller.stop();
                    }
                }
            });
            canceller.start(0);
            f.clickInWizard("NextButton");
            QVERIFY(!canceller.isActive());
            QVERIFY(f.inWizard<QWidget>("ImportColumnsPage")->isVisible());
        });
        QCOMPARE(f.prompts.texts("message"), QStringList{"已取消导入，列表没有任何改动。"});
        QCOMPARE(f.db.count("表1"), 0);
    }

    // A hostile or damaged file is named in a message, and there is nothing to import.
    void hostileFilesGiveAMessageAndImportNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("zip bomb") << "bomb"
                                  << "解压后超过 256 MB";
        // Not "nul": Windows keeps that name for its null device.
        QTest::newRow("text with NUL") << "zero-char"
                                       << "第 2 行 A 列的文字第 2 个字符无效";
    }
    void hostileFilesGiveAMessageAndImportNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        ImportFixture f;
        f.startOn(View::Goods);
        const QString file = f.dir.filePath(kind + ".xlsx");
        if (kind == "bomb")
            TestWorkbooks::writeBomb(file, XlsxReader::kMaxPartBytes + (1 << 20));
        else
            TestWorkbooks::writeParts(
                file, TestWorkbooks::workbookParts(
                          R"(<worksheet><sheetData><row r="1"><c t="inlineStr"><is><t>商品编码</t>)"
                          R"(</is></c></row><row r="2"><c t="inlineStr"><is><t>1_x0000_2</t></is>)"
                          R"(</c></row></sheetData></worksheet>)"));
        f.prompts.answerOpen(file);
        f.runWizard([&] {
            f.clickInWizard("ChooseFileButton");
            QVERIFY(!f.inWizard("NextButton")->isEnabled());
        });
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QVERIFY2(f.prompts.texts("error").first().contains(message),
                 qPrintable(f.prompts.texts("error").first()));
        QCOMPARE(f.db.count("表1"), 0);
    }

    void templateHoldsTheHeaderRow() {
        ImportFixture f;
        f.startOn(View::Customers);
        const QString file = f.dir.filePath("模板.xlsx");
        f.prompts.answerSave(file);
        f.runWizard([&] { f.clickInWizard("TemplateButton"); });
        QCOMPARE(SpreadsheetReader::read(file).rows,
                 (QList<QStringList>{{"联系人", "联系电话", "详细地址", "备注"}}));
    }

    void deliveriesViewSaysWhatImportIsFor() {
        ImportFixture f;
        f.startOn(View::Deliveries);
        f.window().menuItem("ImportItem")->trigger();
        QCOMPARE(
            f.prompts.texts("message"),
            QStringList{"导入用于商品信息和客户信息，请先在左上角选择“商品信息”或“客户信息”！"});
    }
};

DN_TEST_MAIN(TestImport)
#include "tst_import.moc"
