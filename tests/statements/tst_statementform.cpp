#include "FormFixture.h"
#include "NoteData.h"
#include "ScriptedPrompts.h"
#include "SetupPrompts.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#include "printing/QRPrev.h"
#include "printing/ReportPreview.h"
#include "statements/StatementForm.h"
#include "ui/DatePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

struct StatementFixture : FormFixture {
    PrintSettings settings;
    std::unique_ptr<StatementForm> form;

    StatementFixture() {
        // Three bills of 王经理 in November, one in December, one of another customer.
        add({"103", QDate(2026, 11, 21), "王经理", "螺丝", "12.5", "5"});
        add({"101", QDate(2026, 11, 3), "王经理", "螺母", "0.1", "1"});
        add({"101", QDate(2026, 11, 3), "王经理", "垫片", "0.2", "2"});
        add({"102", QDate(2026, 11, 21), "王经理", "扳手", "100", "1"});
        add({"104", QDate(2026, 12, 1), "王经理", "扳手", "999", "1"});
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
    void chooseNovember() const { choose("王经理", QDate(2026, 11, 1), QDate(2026, 11, 30)); }
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
        QCOMPARE(customers->count(), 2);
        QCOMPARE(customers->currentText(), QString());
        QCOMPARE(f.form->windowTitle(), QString("对账单"));
        QCOMPARE(f.find<QCheckBox>("DetailsBox")->text(), QString("显示明细"));
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
        // The three November bills in date, then number order; December's and 李四's absent.
        const Word* first = wordAt(words, "101");
        const Word* second = wordAt(words, "102");
        const Word* third = wordAt(words, "103");
        QVERIFY2(first && second && third, allWords(words).constData());
        QVERIFY(!wordAt(words, "104") && !wordAt(words, "105"));
        QVERIFY(first->box.top() < second->box.top() && second->box.top() < third->box.top());
        // Rows stand one under the other in the number column, 15 + 32 mm from the left.
        for (const Word* w : {first, second, third})
            QVERIFY2(qAbs(w->box.left() - (15 + 32 + 1.5)) < 1.5, qPrintable(w->text));
        QVERIFY(qAbs(second->box.top() - first->box.top() - 6.09) < 0.5);
        QVERIFY(wordAt(words, "2026/11/3") && wordAt(words, "0.3") && wordAt(words, "12.5"));
        const Word* total = wordAt(words, "￥112.8");
        QVERIFY(total);
        QVERIFY(total->box.top() > third->box.top());
        const Word* capitals = wordAt(words, "壹佰壹十贰元捌角整");
        QVERIFY2(capitals, allWords(words).constData());
        QVERIFY(capitals->box.top() > total->box.top());
        QVERIFY(wordAt(words, "澄明商贸") && wordAt(words, "客户名称：王经理"));
        QVERIFY(wordAt(words, "客户确认（签字盖章）："));
        QVERIFY(wordAt(words, "螺母") == nullptr); // no details asked for
    }

    void detailsListTheItemRowsUnderTheirBill() {
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
    }

    void emptyPeriodGivesHeaderAndZero() {
        StatementFixture f;
        f.choose("王经理", QDate(2025, 1, 1), QDate(2025, 1, 31));
        QTemporaryDir dir;
        const QString file = dir.filePath("empty.pdf");
        SetupPrompts prompts;
        prompts.answers = {{true, file, 1}};
        printPreviewTo(file);
        f.form->PreviewClick();
        const QList<Word> words = pdfWords(file);
        QVERIFY2(wordAt(words, "澄明商贸") && wordAt(words, "￥0") && wordAt(words, "元整"),
                 allWords(words).constData());
        QVERIFY(!wordAt(words, "101"));
    }

    void missingCustomerOrBackwardPeriodIsSaid() {
        StatementFixture f;
        ScriptedPrompts prompts;
        f.choose("", QDate(2026, 11, 1), QDate(2026, 11, 30));
        f.form->PreviewClick();
        f.choose("王经理", QDate(2026, 12, 1), QDate(2026, 11, 30));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts(), (QStringList{"请选择客户！", "起始日期不能晚于截止日期！"}));
    }

    void exportWritesTheSameRows() {
        StatementFixture f;
        f.chooseNovember();
        f.find<QCheckBox>("DetailsBox")->setChecked(true);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        prompts.answerSave(dir.filePath("对账"));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("message"), QStringList{"成功导出全部数据!"});
        const SpreadsheetReader sheet = SpreadsheetReader::read(dir.filePath("对账.xls"));
        QCOMPARE(sheet.rows.size(), 1 + 3 + 4 + 1);
        QCOMPARE(sheet.rows[0].first(), QString("业务日期"));
        QCOMPARE(sheet.rows[1][1], QString("101"));
        QCOMPARE(sheet.rows[2][3], QString("螺母"));
        QCOMPARE(sheet.rows[8][0], QString("本期合计"));
        QCOMPARE(sheet.rows[8][8], QString("<float:112.8>"));
        QCOMPARE(f.db.count("表3"), 6);
    }
};

DN_TEST_MAIN(TestStatementForm)
#include "tst_statementform.moc"
