#include "PrintingTest.h"

#include "NoteData.h"
#include "SetupPrompts.h"
#include "data/Errors.h"
#include "printing/NoteReport.h"
#include "printing/PrintDocument.h"
#include "printing/QRPrev.h"
#include "report/Generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace {

// The PDF the queue wrote for a job, once it is complete.
QString waitForJobPdf(const QString& folder, const QString& job) {
    QString found;
    const bool done = QTest::qWaitFor(
        [&] {
            const QStringList files =
                QDir(folder).entryList({job + "*.pdf"}, QDir::Files, QDir::Name);
            if (files.isEmpty())
                return false;
            const QString file = QDir(folder).filePath(files.first());
            if (runTool("pdfinfo", {file}).contains("Pages:"))
                found = file;
            return !found.isEmpty();
        },
        60000);
    return done ? found : QString();
}

} // namespace

void PrintingTest::printsThroughCupsOnTheNotePaper() {
    const QString queue = qEnvironmentVariable("NOTE_TEST_PRINTER");
    const QString folder = qEnvironmentVariable("NOTE_TEST_PRINTER_OUT");
    if (queue.isEmpty() || folder.isEmpty())
        QSKIP("NOTE_TEST_PRINTER and NOTE_TEST_PRINTER_OUT not set: run scripts/start-cups.sh "
              "as root and export its queue name and output folder");
    if (!QPrinterInfo::availablePrinterNames().contains(queue))
        QSKIP(qPrintable(QStringLiteral("no print queue named %1").arg(queue)));

    auto note = deliveryNoteReport();
    const struct {
        int rows;
        int pages;
    } cases[] = {{3, 1}, {60, 2}};
    for (const auto& c : cases) {
        const QString job =
            QStringLiteral("notetest%1r%2").arg(QCoreApplication::applicationPid()).arg(c.rows);
        PrintSettings settings;
        settings.printerName = queue;
        printDocument(report::generate(*note, billRows(c.rows), profile()), settings, job);
        const QString pdf = waitForJobPdf(folder, job);
        QVERIFY2(!pdf.isEmpty(), qPrintable("no PDF for job " + job + " in " + folder));
        const QString info = runTool("pdfinfo", {"-box", pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages))),
                 qPrintable(info));
        const QRegularExpressionMatch box =
            QRegularExpression(R"(MediaBox:\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+))")
                .match(info);
        QVERIFY(box.hasMatch());
        // 190 x 265 mm = 538.58 x 751.18 pt; the queue's converter keeps whole points.
        QVERIFY2(qAbs(box.captured(3).toDouble() - 538.58) < 1.0, qPrintable(info));
        QVERIFY2(qAbs(box.captured(4).toDouble() - 751.18) < 1.0, qPrintable(info));
        QFile::remove(pdf);
    }
}

void PrintingTest::unknownPrinterIsAnError() {
    auto note = deliveryNoteReport();
    const report::Document doc = report::generate(*note, billRows(1), profile());
    PrintSettings settings;
    settings.printerName = QStringLiteral("NoSuchPrinter");
    try {
        printDocument(doc, settings, QStringLiteral("never"));
        QFAIL("printed on some other printer");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), QStringLiteral("打印机“NoSuchPrinter”不可用。"));
    }
}

// A driver without custom paper sizes refuses the note's 190 x 265 mm: the print says so and
// prints nothing; once a paper of the printer's own is picked in the set-up, the preview prints
// on it with every item at its millimetres from the top-left corner.
void PrintingTest::refusedPaperIsAnErrorUntilAPaperIsPicked() {
    const QString queue = qEnvironmentVariable("NOTE_TEST_FIXED_PAPER_PRINTER");
    const QString folder = qEnvironmentVariable("NOTE_TEST_PRINTER_OUT");
    if (queue.isEmpty() || folder.isEmpty())
        QSKIP("NOTE_TEST_FIXED_PAPER_PRINTER and NOTE_TEST_PRINTER_OUT not set: run "
              "scripts/start-cups.sh as root and export its third and second lines");
    if (!QPrinterInfo::availablePrinterNames().contains(queue))
        QSKIP(qPrintable(QStringLiteral("no print queue named %1").arg(queue)));

    const QString job = QStringLiteral("notetest%1fixed").arg(QCoreApplication::applicationPid());
    auto note = deliveryNoteReport();
    note->setDocumentName(job);
    PrintSettings settings;
    settings.printerName = queue;
    SetupPrompts prompts;
    prompts.answers = {{true, QString(), 1, QPageSize(QPageSize::Letter), queue}};
    QPointer<TQRStandardPreview> window =
        new TQRStandardPreview(*note, billRows(3), profile(), &settings);
    report::Generator generator(*note, billRows(3), profile());
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    window->QRPreviewGenerationFinished();
    window->show();

    window->findChild<QToolButton*>("SpeedButton2")->click();
    QCOMPARE(prompts.shown,
             QStringList{QStringLiteral("打印机“%1”不接受 190 x 265 毫米的纸张。请点“设 置”选择"
                                        "这台打印机的纸张。")
                             .arg(queue)});
    window->findChild<QToolButton*>("SpeedButton1")->click();
    window->findChild<QToolButton*>("SpeedButton2")->click();
    QCOMPARE(prompts.shown.size(), 1);
    const QString pdf = waitForJobPdf(folder, job);
    QVERIFY2(!pdf.isEmpty(), qPrintable("no PDF for job " + job + " in " + folder));
    const QSizeF paper = pdfPaperMm(pdf);
    QVERIFY2(qAbs(paper.width() - 215.9) < 0.5 && qAbs(paper.height() - 279.4) < 0.5,
             qPrintable(runTool("pdfinfo", {pdf})));
    QCOMPARE(noteMisplacedOn(pdf), QString());
    // The refused print left no job behind.
    QCOMPARE(QDir(folder).entryList({job + "*.pdf"}, QDir::Files).size(), 1);
    QFile::remove(pdf);
    window->close();
    QTRY_VERIFY(!window);
}
