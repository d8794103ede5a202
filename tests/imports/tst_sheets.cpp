#include "ErrorOf.h"
#include "Gb18030.h"
#include "TestMain.h"
#include "TestWorkbooks.h"

#include "export/SpreadsheetFile.h"
#include "sheets/CsvReader.h"
#include "sheets/WorkbookReader.h"
#include "sheets/XlsxReader.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

using Cell = SheetTable::Cell;

namespace {

const QString kFiles = QStringLiteral(IMPORT_TEST_FILES);

// A cell as the tests write it: "t:" text, "n:" number, "" empty.
QString shown(const Cell& cell) {
    switch (cell.kind) {
    case Cell::Text:
        return "t:" + cell.text;
    case Cell::Number:
        return "n:" + QString::number(cell.number, 'g', 17);
    case Cell::Empty:
        break;
    }
    return QString();
}

// Each row as its number and cells.
QList<QStringList> shown(const SheetTable& sheet) {
    QList<QStringList> rows;
    for (const SheetTable::Row& row : sheet.rows) {
        QStringList cells{QString::number(row.number)};
        for (const Cell& cell : row.cells)
            cells.append(shown(cell));
        rows.append(cells);
    }
    return rows;
}

SheetTable readFirst(const QString& path) {
    return WorkbookReader::open(path)->readSheet(0);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QString kCustomersCsv = QStringLiteral("联系人,联系电话,地址\r\n"
                                             "王经理,0571-8888,\"杭州市, 文三路\"\r\n"
                                             "李\"四,=\"0012\",\"两行\n地址\"\r\n"
                                             "\r\n"
                                             "赵六,,");

const QList<QStringList> kCustomersRead = {
    {"1", "t:联系人", "t:联系电话", "t:地址"},
    {"2", "t:王经理", "t:0571-8888", "t:杭州市, 文三路"},
    {"3", "t:李\"四", "t:0012", "t:两行\n地址"},
    {"5", "t:赵六"},
};

} // namespace

class TestSheets : public QObject {
    Q_OBJECT
private slots:
    // Shared texts, numbers as numbers, a code of zeros kept as text, gaps kept.
    void xlsxReadsTheCellsAsStored() {
        QTemporaryDir dir;
        const QString path = dir.filePath("goods.xlsx");
        TestWorkbooks::writeXlsx(path, {{"商品",
                                         {{"商品编码", "商品名称", QVariant(), "单价"},
                                          {"0012", "水杯", QVariant(), 12.5},
                                          {},
                                          {12, "饭盒 ", "三层", 1e-5}}},
                                        {"空表", {}}});
        const auto reader = WorkbookReader::open(path);
        QCOMPARE(reader->sheetNames(), (QStringList{"商品", "空表"}));
        QCOMPARE(
            shown(reader->readSheet(0)),
            (QList<QStringList>{{"1", "t:商品编码", "t:商品名称", "", "t:单价"},
                                {"2", "t:0012", "t:水杯", "", "n:12.5"},
                                {"4", "n:12", "t:饭盒 ", "t:三层", "n:1.0000000000000001e-05"}}));
        QVERIFY(reader->readSheet(1).rows.isEmpty());
        QVERIFY(!errorOf([&] { reader->readSheet(2); }).isEmpty());
    }

    // The program's own export: a workbook under ".xls" with its texts inline, characters the
    // XML cannot hold written as codes.
    void programsOwnExportIsReadByItsContent() {
        QTemporaryDir dir;
        const QString path = dir.filePath("导出.xls");
        SpreadsheetFile::writeTable({"商品编码", "备注"},
                                    {{SheetCell::ofText("007"), SheetCell::ofText("a_x0041_b")},
                                     {SheetCell::ofNumber(3), SheetCell::ofText("两行\n备注")}},
                                    path);
        QCOMPARE(shown(readFirst(path)), (QList<QStringList>{{"1", "t:商品编码", "t:备注"},
                                                             {"2", "t:007", "t:a_x0041_b"},
                                                             {"3", "n:3", "t:两行\n备注"}}));
        // Written in constant memory by the library itself: inline texts too.
        const QString inlined = dir.filePath("inline.xlsx");
        TestWorkbooks::writeXlsx(inlined, {{"S", {{"编码"}, {"0001"}}}}, true);
        QCOMPARE(shown(readFirst(inlined)), (QList<QStringList>{{"1", "t:编码"}, {"2", "t:0001"}}));
    }

    void xlsReadsTheCellsAsStored() {
        const auto reader = WorkbookReader::open(kFiles + "/goods.xls");
        QCOMPARE(reader->sheetNames(), (QStringList{"商品清单", "说明"}));
        const QList<QStringList> rows = shown(reader->readSheet(0));
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows[0], (QStringList{"1", "t:商品清单（2026年）"}));
        QCOMPARE(rows[2], (QStringList{"3", "t:0012", "t:水杯", "t:500ml", "t:个", "n:12.5"}));
        QCOMPARE(rows[3],
                 (QStringList{"4", "n:12", "t:饭盒", "t:三层", "t:个", "n:3", "t:不锈钢"}));
        QCOMPARE(rows[7],
                 (QStringList{"8", "t:C-3", "t:抹布", "", "t:块", "n:0.10000000000000001"}));
        QCOMPARE(shown(reader->readSheet(1)), (QList<QStringList>{{"1", "t:价格含税"}}));
    }

    void csvInEveryEncodingReadsTheSame_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray utf8 = kCustomersCsv.toUtf8();
        // The encoder itself, against bytes from the standard.
        QCOMPARE(toGb18030("客户"), QByteArray("\xBF\xCD\xBB\xA7"));
        QStringEncoder utf16(QStringConverter::Utf16LE);
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + utf8;
        QTest::newRow("UTF-8") << utf8;
        QTest::newRow("GB18030") << toGb18030(kCustomersCsv);
        QTest::newRow("UTF-16 with BOM") << QByteArray("\xFF\xFE") + utf16.encode(kCustomersCsv);
    }
    void csvInEveryEncodingReadsTheSame() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("客户.csv");
        writeFile(path, bytes);
        const auto reader = WorkbookReader::open(path);
        QCOMPARE(reader->sheetNames().first().left(3), QString("客户（"));
        QCOMPARE(shown(reader->readSheet(0)), kCustomersRead);
    }

    void csvWithTabsAndWithoutLastLineEnd() {
        QCOMPARE(shown(CsvReader::parse("编码\t名称\n1,5\t\"x\"\"y\"")),
                 (QList<QStringList>{{"1", "t:编码", "t:名称"}, {"2", "t:1,5", "t:x\"y"}}));
        QCOMPARE(shown(CsvReader::parse("a\rb\n")),
                 (QList<QStringList>{{"1", "t:a"}, {"2", "t:b"}}));
    }

    void damagedAndHostileFilesAreRefusedWithAMessage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("zip bomb") << "bomb.xlsx"
                                  << "解压后超过 256 MB";
        QTest::newRow("a million columns") << "wide.xlsx"
                                           << "超出了表格最多 16384 列的范围";
        QTest::newRow("a row beyond the last") << "tall.xlsx"
                                               << "超出了表格最多 1048576 行的范围";
        QTest::newRow("broken XML") << "broken.xlsx"
                                    << "不是正确的 XML";
        QTest::newRow("cut short") << "cut.xlsx"
                                   << "已损坏";
        QTest::newRow("text pointing nowhere") << "nowhere.xlsx"
                                               << "不存在的文字";
        QTest::newRow("damaged xls") << "cut.xls"
                                     << "无法读取";
        QTest::newRow("text named xlsx") << "text.xlsx"
                                         << "不是 Excel 或 WPS 表格文件";
        QTest::newRow("undecodable csv") << "bad.csv"
                                         << "文字编码无法识别";
        QTest::newRow("other file") << "note.pdf"
                                    << "只能导入 .xlsx、.xls 和 .csv";
    }
    void damagedAndHostileFilesAreRefusedWithAMessage() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        using TestWorkbooks::workbookParts;
        if (name == "bomb.xlsx") {
            TestWorkbooks::writeBomb(path, XlsxReader::kMaxPartBytes + (1 << 20));
            QVERIFY(QFileInfo(path).size() < XlsxReader::kMaxPartBytes / 100);
        } else if (name == "wide.xlsx") {
            // The dimension claims the columns too; only a cell beyond the last one counts.
            TestWorkbooks::writeParts(
                path, workbookParts(R"(<worksheet><dimension ref="A1:AZZZZZ1"/><sheetData>)"
                                    R"(<row r="1"><c r="A1"><v>1</v></c><c r="XFE1"><v>2</v></c>)"
                                    R"(</row></sheetData></worksheet>)"));
        } else if (name == "tall.xlsx") {
            TestWorkbooks::writeParts(
                path, workbookParts(R"(<worksheet><sheetData><row r="1048577"><c><v>1</v></c>)"
                                    R"(</row></sheetData></worksheet>)"));
        } else if (name == "broken.xlsx") {
            TestWorkbooks::writeParts(
                path, workbookParts(R"(<worksheet><sheetData><row r="1"><c r="A1"><v>1</c>)"
                                    R"(</row></sheetData></worksheet>)"));
        } else if (name == "cut.xlsx") {
            TestWorkbooks::writeXlsx(path, {{"S", {{"a", 1}, {"b", 2}}}});
            QFile file(path);
            QVERIFY(file.resize(file.size() / 2));
        } else if (name == "nowhere.xlsx") {
            TestWorkbooks::writeParts(
                path, workbookParts(R"(<worksheet><sheetData><row r="1"><c r="A1" t="s">)"
                                    R"(<v>7</v></c></row></sheetData></worksheet>)"));
        } else if (name == "cut.xls") {
            QFile original(kFiles + "/goods.xls");
            QVERIFY(original.open(QIODevice::ReadOnly));
            writeFile(path, original.read(1536));
        } else if (name == "text.xlsx") {
            writeFile(path, "商品编码,名称\n1,杯\n");
        } else if (name == "bad.csv") {
            writeFile(path, "\x81\x30\xFF\xFF,1\n");
        } else {
            writeFile(path, "%PDF-1.4\n");
        }
        QString error = errorOf([&] { WorkbookReader::open(path)->readSheet(0); });
        QVERIFY2(error.contains(message), qPrintable(error));
    }
};

DN_TEST_MAIN(TestSheets)
#include "tst_sheets.moc"
