#include "FormFixture.h"
#include "NoteData.h"
#include "ScriptedPrompts.h"
#include "SetupPrompts.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#include "printing/QRPrev.h"
#include "printing/ReportPreview.h"
#include "printing/StatementReport.h"
#include "report/Generator.h"
#include "statements/StatementForm.h"
#include "ui/DatePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

struct StatementFixture : FormFixture {
    PrintSettings settings;
    std::unique_ptr<StatementForm> form;

    StatementFixture() {
        // Two customers share the contact 王经理: the one at 文三路 (the rows' own address) and
        // another company's. Three bills of the first in November, one in December, one of
        // the other company's 王经理, one of another customer.
        insertCustomer(db, "王经理", "0571", "文三路");
        insertCustomer(db, "王经理", "0572", "解放路");
        insertCustomer(db, "李四", "138", "");
        add({"103", QDate(2026, 11, 21), "王经理", "螺丝", "12.5", "5"});
        add({"101", QDate(2026, 11, 3), "王经理", "螺母", "0.1", "1"});
        add({"101", QDate(2026, 11, 3), "王经理", "垫片", "0.2", "2"});
        add({"102", QDate(2026, 11, 21), "王经理", "扳手", "1000", "1"});
        add({"104", QDate(2026, 12, 1), "王经理", "扳手", "999", "1"});
        LedgerRow other{"106", QDate(2026, 11, 4), "王经理", "钳子", "77", "1"};
        other.address = "解放路";
        other.telephone = "0572";
        add(other);
        add({"105", QDate(2026, 11, 9), "李四", "扳手", "888", "1"});
        form = std::make_unique<StatementForm>(&connection, *header, &settings, nullptr);
    }
    template <class T> T* find(const QString& name) const {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void choose(const QString& customer, const QDate& from, const QDate& to) const {
        find<QComboBox>("CustomerBox")->setEditText(customer);
        find<DatePicker>("FromDate")->setDate(from);
        find<DatePicker>("ToDate")->setDate(to);
    }
    void chooseNovember() const {
        choose("王经理　文三路　0571", QDate(2026, 11, 1), QDate(2026, 11, 30));
    }
};

// Runs once the preview is up: prints it through the set-up's PDF file and closes it.
void printPreviewTo(const QString& file) {
    QTimer::singleShot(0, [file] {
        TQRStandardPreview* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<TQRStandardPreview*>(w); preview && w->isVisible())
                window = preview;
        if (!window)
            return;
        if (!QTest::qWaitFor([&] { return window->generationFinished(); }))
            qWarning("statement pages not all generated");
        window->findChild<QToolButton*>("SpeedButton1")->click();
        window->findChild<QToolButton*>("SpeedButton2")->click();
        window->close();
    });
}

QByteArray allWords(const QList<Word>& words) {
    QStringList all;
    for (const Word& w : words)
        all.append(w.text);
    return all.join(' ').toUtf8();
}

// The word list of the reader folds full-width forms ("￥" to "¥"); both sides are compared
// folded, and nothing else is folded.
const Word* wordAt(const QList<Word>& words, const QString& text) {
    for (const Word& w : words)
        if (w.text.normalized(QString::NormalizationForm_KC) ==
            text.normalized(QString::NormalizationForm_KC))
            return &w;
    return nullptr;
}

} // namespace

class TestStatementForm : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllPreviews(); }

    void opensOnThePreviousMonthWithTheCustomers() {
        StatementFixture f;
        const QDate first = QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1);
        QCOMPARE(f.find<DatePicker>("FromDate")->date(), first.addMonths(-1));
        QCOMPARE(f.find<DatePicker>("ToDate")->date(), first.addDays(-1));
        auto* customers = f.find<QComboBox>("CustomerBox");
        QVERIFY(customers->isEditable());
        QStringList items;
        for (int i = 0; i < customers->count(); ++i)
            items.append(customers->itemText(i));
        // Customers of the customer table with contact, address and telephone: two 王经理.
        QCOMPARE(items, (QStringList{"李四　138", "王经理　文三路　0571", "王经理　解放路　0572"}));
        QCOMPARE(customers->currentText(), QString());
        QCOMPARE(f.form->windowTitle(), QString("对账单"));
        QCOMPARE(f.find<QCheckBox>("DetailsBox")->text(), QString("显示明细"));
        QCOMPARE(f.find<QPushButton>("BatchButton")->text(), QString("批量对账单"));
    }

    void pdfHoldsTheBillsAndTotalsAtTheirPlaces() {
        StatementFixture f;
        f.chooseNovember();
        QTemporaryDir dir;
        const QString file = dir.filePath("statement.pdf");
        SetupPrompts prompts;
        prompts.answers = {{true, file, 1}};
        printPreviewTo(file);
        f.form->PreviewClick();
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join('\n')));

        const QList<Word> words = pdfWords(file);
        QVERIFY2(!words.isEmpty(), "no PDF text");
        QCOMPARE(pdfPaperMm(file).toSize(), QSize(210, 297));
        // The three November bills of this 王经理 in date, then number order; December's, the
        // other company's 王经理's and 李四's absent.
        const Word* first = wordAt(words, "101");
        const Word* second = wordAt(words, "102");
        const Word* third = wordAt(words, "103");
        QVERIFY2(first && second && third, allWords(words).constData());
        QVERIFY(!wordAt(words, "104") && !wordAt(words, "105") && !wordAt(words, "106"));
        QVERIFY(first->box.top() < second->box.top() && second->box.top() < third->box.top());
        // Rows stand one under the other in the number column, 15 + 24 mm from the left.
        for (const Word* w : {first, second, third})
            QVERIFY2(qAbs(w->box.left() - (15 + 24 + 1.5)) < 1.5, qPrintable(w->text));
        QVERIFY(qAbs(second->box.top() - first->box.top() - 6.09) < 0.5);
        // Amounts with two decimals and thousands separators, against the right edge of the
        // delivered column; the running balance in the last column.
        for (const char* amount : {"1,000.00", "12.50"}) {
            const Word* w = wordAt(words, amount);
            QVERIFY2(w, amount);
            QVERIFY2(qAbs(w->box.right() - (15 + 120 - 1.5)) < 0.8,
                     qPrintable(QString::number(w->box.right())));
        }
        for (const char* balance : {"1,000.30", "1,012.80"}) {
            const Word* w = wordAt(words, balance);
            QVERIFY2(w, balance);
            QVERIFY2(qAbs(w->box.right() - (15 + 180 - 1.5)) < 0.8,
                     qPrintable(QString::number(w->box.right())));
        }
        QVERIFY(wordAt(words, "期初余额"));
        QVERIFY(wordAt(words, "2026/11/3"));
        const Word* total = wordAt(words, "￥1,012.80");
        QVERIFY2(total, allWords(words).constData());
        QVERIFY(total->box.top() > third->box.top());
        const Word* capitals = wordAt(words, "壹千零壹十贰元捌角整");
        QVERIFY2(capitals, allWords(words).constData());
        QVERIFY(capitals->box.top() > total->box.top());
        QVERIFY(wordAt(words, "澄明商贸") && wordAt(words, "客户名称：王经理"));
        QVERIFY(wordAt(words, "文三路") && wordAt(words, "0571"));
        QVERIFY(wordAt(words, "客户确认（签字盖章）："));
        QVERIFY(wordAt(words, "螺母") == nullptr); // no details asked for
        QVERIFY(wordAt(words, "共"));
    }

    // With details the items follow their bill, and their amounts stand in a column of their
    // own, left of the bill totals.
    void detailsListTheItemRowsInAColumnOfTheirOwn() {
        StatementFixture f;
        f.chooseNovember();
        f.find<QCheckBox>("DetailsBox")->setChecked(true);
        QTemporaryDir dir;
        const QString file = dir.filePath("details.pdf");
        SetupPrompts prompts;
        prompts.answers = {{true, file, 1}};
        printPreviewTo(file);
        f.form->PreviewClick();
        const QList<Word> words = pdfWords(file);
        const Word* bill = wordAt(words, "101");
        const Word* nut = wordAt(words, "螺母");
        const Word* washer = wordAt(words, "垫片");
        const Word* next = wordAt(words, "102");
        QVERIFY2(bill && nut && washer && next, allWords(words).constData());
        QVERIFY(bill->box.top() < nut->box.top() && nut->box.top() < washer->box.top() &&
                washer->box.top() < next->box.top());
        QVERIFY(wordAt(words, "单据金额"));
        const Word* itemAmount = wordAt(words, "0.10");
        const Word* billTotal = wordAt(words, "0.30");
        QVERIFY2(itemAmount && billTotal, allWords(words).constData());
        QVERIFY(qAbs(billTotal->box.right() - (15 + 180 - 1.5)) < 0.8);
        QVERIFY(qAbs(itemAmount->box.right() - (15 + 157 - 1.5)) < 0.8);
        QVERIFY(qAbs(billTotal->box.top() - bill->box.top()) < 0.5);
    }

    // Two pages: each repeats the customer, the period and the headings and counts the pages;
    // no page starts with the items of a bill whose first row is on the page before.
    void everyPageHasItsHeadingsAndNumberAndBillsStayWhole() {
        StatementFixture f;
        for (int bill = 0; bill < 14; ++bill)
            for (int item = 0; item < 3; ++item)
                f.add({QString("P%1").arg(bill, 2, 10, QChar('0')), QDate(2026, 11, 5 + bill % 20),
                       "王经理", QString("零件%1").arg(item), "1"});
        f.chooseNovember();
        f.find<QCheckBox>("DetailsBox")->setChecked(true);
        const std::optional<Statement> statement = f.form->read();
        QVERIFY(statement);
        const auto sheet = StatementReport::layout(*statement, true, Capitals::Style::Original);
        const report::RowTable rows = StatementReport::rows(*statement, true);
        const report::Document doc = report::generate(*sheet, rows, {{"表5", f.header->read()}});
        QCOMPARE(doc.pages.size(), 2);
        for (const report::Page& page : doc.pages) {
            QStringList numbers;
            for (const report::DrawOp& op : page.ops)
                if (const auto* t = std::get_if<report::TextOp>(&op); t && t->item == "RowText1")
                    numbers.append(t->lines.join(""));
            // Each page's first detail row is a bill's own row (it carries the date).
            int firstDetail = -1;
            for (int i = 0; i < page.ops.size() && firstDetail < 0; ++i)
                if (const auto* r = std::get_if<report::RectOp>(&page.ops[i]);
                    r && r->item == "RowCell1")
                    firstDetail = i;
            QVERIFY(firstDetail >= 0);
            bool dated = false;
            for (int i = firstDetail; i < page.ops.size(); ++i)
                if (const auto* t = std::get_if<report::TextOp>(&page.ops[i]);
                    t && t->item.startsWith("RowText")) {
                    dated = t->item == "RowText1";
                    break;
                }
            QVERIFY2(dated, "a page starts in the middle of a bill");
        }

        QTemporaryDir dir;
        const QString file = dir.filePath("two.pdf");
        SetupPrompts prompts;
        prompts.answers = {{true, file, 1}};
        printPreviewTo(file);
        f.form->PreviewClick();
        for (int page = 1; page <= 2; ++page) {
            const QList<Word> words = pdfWords(file, page);
            QVERIFY2(wordAt(words, "客户名称：王经理") && wordAt(words, "文三路") &&
                         wordAt(words, "对账期间：2026/11/1") && wordAt(words, "业务日期") &&
                         wordAt(words, "单据金额"),
                     allWords(words).constData());
            // The reader keeps or drops the narrow spaces between the ideographs and the figures
            // as the face's spacing goes.
            QVERIFY2(runTool("pdftotext",
                             {"-f", QString::number(page), "-l", QString::number(page), file, "-"})
                         .remove(QRegularExpression(QStringLiteral("\\s")))
                         .contains(QString("第%1页共2页").arg(page)),
                     allWords(words).constData());
        }
    }

    void otherCompanysContactHasAStatementOfItsOwn() {
        StatementFixture f;
        f.choose("王经理　解放路　0572", QDate(2026, 11, 1), QDate(2026, 11, 30));
        const std::optional<Statement> s = f.form->read();
        QVERIFY(s);
        QCOMPARE(s->bills.size(), 1);
        QCOMPARE(s->bills.first().number, QString("106"));
        // A contact only one customer has may be typed alone.
        f.choose("李四", QDate(2026, 11, 1), QDate(2026, 11, 30));
        QCOMPARE(f.form->read()->bills.first().number, QString("105"));
    }

    void emptyPeriodSaysSo() {
        StatementFixture f;
        f.choose("王经理　文三路　0571", QDate(2025, 1, 1), QDate(2025, 1, 31));
        QTemporaryDir dir;
        const QString file = dir.filePath("empty.pdf");
        SetupPrompts prompts;
        prompts.answers = {{true, file, 1}};
        printPreviewTo(file);
        f.form->PreviewClick();
        const QList<Word> words = pdfWords(file);
        QVERIFY2(wordAt(words, "澄明商贸") && wordAt(words, "￥0.00") && wordAt(words, "元整"),
                 allWords(words).constData());
        QVERIFY(runTool("pdftotext", {file, "-"})
                    .contains("客户在本期（2025/1/1 至 2025/1/31）没有送货单据。"));
        QVERIFY(!wordAt(words, "101"));
    }

    void missingCustomerOrBackwardPeriodIsSaid() {
        StatementFixture f;
        ScriptedPrompts prompts;
        f.choose("", QDate(2026, 11, 1), QDate(2026, 11, 30));
        f.form->PreviewClick();
        f.choose("王经理　文三路　0571", QDate(2026, 12, 1), QDate(2026, 11, 30));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QTest::mouseClick(f.find<QPushButton>("BatchButton"), Qt::LeftButton);
        // A name that is no customer's, and a contact two customers share.
        f.choose("赵六", QDate(2026, 11, 1), QDate(2026, 11, 30));
        f.form->PreviewClick();
        f.choose("王经理", QDate(2026, 11, 1), QDate(2026, 11, 30));
        f.form->PreviewClick();
        QCOMPARE(
            prompts.texts(),
            (QStringList{"请选择客户！", "起始日期不能晚于截止日期！", "起始日期不能晚于截止日期！",
                         "没有联系人为“赵六”的客户，请从列表中选择客户！",
                         "有几位客户的联系人都是“王经理”，请从列表中选择其中一位！"}));
    }

    // The workbook says whose statement of which period it is, keeps bill totals and item
    // amounts apart so that each column adds up to the total, and shows amounts #,##0.00.
    void exportWritesAWorkbookOfItsOwn() {
        StatementFixture f;
        f.chooseNovember();
        f.find<QCheckBox>("DetailsBox")->setChecked(true);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        prompts.answerSave(dir.filePath("对账"));
        prompts.answerSave(dir.filePath("typed.XLSX"));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("save").first(),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                     .filePath("对账单_王经理_2026-11-01_2026-11-30.xlsx"));
        QCOMPARE(prompts.saveFilters().first(), QString("Excel 工作簿 (*.xlsx)"));
        QCOMPARE(prompts.texts("message"),
                 QStringList{"对账单已导出到：\n" +
                             QDir::toNativeSeparators(dir.filePath("对账.xlsx"))});
        const SpreadsheetReader sheet = SpreadsheetReader::read(dir.filePath("对账.xlsx"));
        QCOMPARE(sheet.rows[0][0], QString("澄明商贸"));
        QCOMPARE(sheet.rows[2][0], QString("客户名称：王经理　文三路　0571"));
        QCOMPARE(sheet.rows[3][0], QString("对账期间：2026/11/1 至 2026/11/30"));
        const int head = 5;
        QCOMPARE(sheet.rows[head], (QStringList{"业务日期", "单据编号", "商品名称", "规格型号",
                                                "单位", "数量", "单价", "金额", "单据金额"}));
        QCOMPARE(sheet.rows[head + 1][2], QString("期初余额"));
        QCOMPARE(sheet.rows[head + 2][1], QString("101"));
        QCOMPARE(sheet.rows[head + 3][2], QString("螺母"));
        QCOMPARE(sheet.rows.size(), head + 1 + 1 + 3 + 4 + 4);
        const QStringList last = sheet.rows.last();
        QCOMPARE(last[0], QString("期末欠款"));
        QCOMPARE(last[8], QString("<float:1012.8>"));
        QCOMPARE(last[7], QString());
        // Without the totals, the item amounts add up to the period's deliveries and the
        // account column to what is owed at the end, each exactly once.
        SpreadsheetReader body = sheet;
        body.rows.resize(body.rows.size() - 3);
        QCOMPARE(body.columnSum(7), QString("1012.8"));
        QCOMPARE(body.columnSum(8), QString("1012.8"));
        QCOMPARE(sheet.formats[head + 2][8], QString("#,##0.00"));
        QCOMPARE(sheet.formats[head + 3][7], QString("#,##0.00"));

        // A name typed with ".xlsx" is kept as typed; the dialog starts in the folder used.
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("save").last(),
                 QDir(dir.path()).filePath("对账单_王经理_2026-11-01_2026-11-30.xlsx"));
        QVERIFY(QFile::exists(dir.filePath("typed.XLSX")));
        QVERIFY(!QFile::exists(dir.filePath("typed.XLSX.xlsx")));
        QCOMPARE(f.db.count("表3"), 7);
    }

    // One PDF per customer with bills in the period, named after contact and period; the
    // second 王经理 gets "(2)".
    void batchWritesOnePdfPerCustomer() {
        StatementFixture f;
        f.choose("", QDate(2026, 11, 1), QDate(2026, 11, 30));
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        prompts.answerFolder(dir.path());
        QTest::mouseClick(f.find<QPushButton>("BatchButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("folder"),
                 QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)});
        QCOMPARE(prompts.texts("message"), QStringList{"已生成 3 份对账单，保存在：\n" +
                                                       QDir::toNativeSeparators(dir.path())});
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{"对账单_李四_2026-11-01_2026-11-30.pdf",
                                     "对账单_王经理(2)_2026-11-01_2026-11-30.pdf",
                                     "对账单_王经理_2026-11-01_2026-11-30.pdf"}));
        const QString first =
            runTool("pdftotext", {dir.filePath("对账单_王经理_2026-11-01_2026-11-30.pdf"), "-"});
        QVERIFY2(first.contains("文三路") && first.contains("103") && !first.contains("106"),
                 qPrintable(first));
        const QString second =
            runTool("pdftotext", {dir.filePath("对账单_王经理(2)_2026-11-01_2026-11-30.pdf"), "-"});
        QVERIFY2(second.contains("解放路") && second.contains("106"), qPrintable(second));
    }
};

DN_TEST_MAIN(TestStatementForm)
#include "tst_statementform.moc"
