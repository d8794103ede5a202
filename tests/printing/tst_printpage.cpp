#include "HostTool.h"
#include "ScriptedPrompts.h"
#include "TestMain.h"

#include "printing/NoteReport.h"
#include "printing/PrintPage.h"
#include "printing/PrintPreferences.h"
#include "printing/QRPrev.h"
#include "report/Generator.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

report::RowTable bill(int rows) {
    report::RowTable t;
    t.fields = QStringList{"序号", "单据编号", "商品名称", "单价", "数量", "应收金额"};
    for (int i = 1; i <= rows; ++i)
        t.rows.append({QString::number(i), "B7", QStringLiteral("螺丝%1").arg(i), "1", "1", "1"});
    return t;
}

QString pdfBbox(const QString& pdf) {
    // The embedded faces may map an ideograph to its compatibility twin.
    return QString::fromUtf8(HostTool::run("pdftotext", {"-bbox", "-l", "1", pdf, "-"}).out)
        .normalized(QString::NormalizationForm_KC);
}

// The left edge of a word on a PDF's first page, in millimetres; -1 when it is not there.
qreal leftOf(const QString& pdf, const QString& word) {
    const QRegularExpression re(QStringLiteral("<word xMin=\"([\\d.]+)\"[^>]*>%1</word>")
                                    .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch m = re.match(pdfBbox(pdf));
    return m.hasMatch() ? m.captured(1).toDouble() * 25.4 / 72 : -1;
}

} // namespace

class TestPrintPage : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(Settings::filePath()); }

    void offsetsAreKeptPerPrinterAndStoredAsEntered() {
        PrintPreferences stored;
        stored.offsets = {{"Shop", QPointF(1.5, -0.5)}, {"Gone", QPointF(3, 3)}};
        stored.copies = 3;
        stored.labels[1] = "第二联 给客户";
        stored.store();

        PrintPage page;
        page.load();
        auto* printers = page.findChild<QComboBox*>("PrinterBox");
        auto* x = page.findChild<QDoubleSpinBox*>("OffsetXBox");
        auto* y = page.findChild<QDoubleSpinBox*>("OffsetYBox");
        QCOMPARE(page.title(), QString("打印"));
        QCOMPARE(x->minimum(), -20.0);
        QCOMPARE(x->maximum(), 20.0);
        QCOMPARE(x->singleStep(), 0.1);
        // A printer that is not installed keeps its offsets and is listed.
        QVERIFY(printers->findText("Gone") >= 0);
        printers->setCurrentIndex(printers->findText("Gone"));
        QCOMPARE(x->value(), 3.0);
        x->setValue(-2.3);
        y->setValue(0);
        printers->setCurrentIndex(printers->findText("Shop"));
        QCOMPARE(x->value(), 1.5);
        QCOMPARE(y->value(), -0.5);
        y->setValue(4.0);
        printers->setCurrentIndex(printers->findText("Gone"));
        QCOMPARE(x->value(), -2.3);

        QCOMPARE(page.findChild<QSpinBox*>("CopiesBox")->value(), 3);
        QCOMPARE(page.findChild<QLineEdit*>("LabelEdit2")->text(), QString("第二联 给客户"));
        QVERIFY(page.findChild<QLineEdit*>("LabelEdit3")->isEnabled());
        QVERIFY(!page.findChild<QLineEdit*>("LabelEdit4")->isEnabled());
        page.findChild<QLineEdit*>("LabelEdit3")->setText(" ");
        QCOMPARE(page.check(), QString("第3联的标签不能为空！"));
        page.findChild<QSpinBox*>("CopiesBox")->setValue(2);
        QCOMPARE(page.check(), QString());
        page.store();

        const PrintPreferences back = PrintPreferences::load();
        QCOMPARE(back.offsets.value("Shop"), QPointF(1.5, 4.0));
        QCOMPARE(back.offsets.value("Gone"), QPointF(-2.3, 0));
        QCOMPARE(back.copies, 2);
        QCOMPARE(back.labels.at(1), QString("第二联 给客户"));
    }

    void storedValuesOutOfRangeReadAsTheNearestAllowed() {
        Settings::setValue("print/offsets", R"({"A":{"x":55,"y":-0.04},"B":"junk"})");
        Settings::setValue("print/copies", 9);
        const PrintPreferences read = PrintPreferences::load();
        QCOMPARE(read.offsets.value("A"), QPointF(20, 0));
        QVERIFY(!read.offsets.contains("B"));
        QCOMPARE(read.copies, 5);
        QCOMPARE(read.labels, CopyLabels::defaults());
        QCOMPARE(read.options(true).copyOverlays.size(), 5);
        QVERIFY(read.options(false).copyOverlays.isEmpty());
    }

    // Stored offsets and copies reach what the preview prints, never what it saves.
    void previewPrintsWithTheStoredOffsetsAndCopiesButSavesAsLaidOut() {
        QTemporaryDir dir;
        PrintPreferences stored;
        stored.copies = 2;
        stored.store();
        auto note = deliveryNoteReport();
        PrintSettings settings;
        settings.labelledCopies = true;
        settings.outputFileName = dir.filePath("printed.pdf");
        QPointer<TQRStandardPreview> window = new TQRStandardPreview(*note, bill(3), {}, &settings);
        report::Generator generator(*note, bill(3), {});
        while (!generator.atEnd())
            window->QRPreviewPageAvailable(generator.nextPage());
        window->QRPreviewGenerationFinished();
        window->show();
        window->findChild<QToolButton*>("SpeedButton2")->click();
        QVERIFY(QString::fromUtf8(HostTool::run("pdfinfo", {settings.outputFileName}).out)
                    .contains(QRegularExpression("Pages:\\s+2\\n")));
        QVERIFY(pdfBbox(settings.outputFileName).contains(">第一联</word>"));

        ScriptedPrompts prompts;
        prompts.answerSave(dir.filePath("saved.pdf"));
        window->findChild<QToolButton*>("SavePdfButton")->click();
        QVERIFY(qAbs(leftOf(dir.filePath("saved.pdf"), "送货单") - (9 + 74.08)) < 0.3);
        QVERIFY(!pdfBbox(dir.filePath("saved.pdf")).contains("第一联"));
        window->close();
    }
};

DN_TEST_MAIN(TestPrintPage)
#include "tst_printpage.moc"
