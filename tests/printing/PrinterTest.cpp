#include "PrintingTest.h"

#include "NoteData.h"
#include "SetupPrompts.h"
#include "data/Errors.h"
#include "printing/CalibrationPage.h"
#include "printing/CopyLabels.h"
#include "printing/NoteReport.h"
#include "printing/PrintDocument.h"
#include "printing/QRPrev.h"
#include "report/Generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
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

namespace {

// The queue the note prints on in these tests, or why there is none.
QString noteQueue(QString* why) {
    const QString queue = qEnvironmentVariable("NOTE_TEST_PRINTER");
    if (queue.isEmpty() || qEnvironmentVariable("NOTE_TEST_PRINTER_OUT").isEmpty())
        *why = "NOTE_TEST_PRINTER and NOTE_TEST_PRINTER_OUT not set: run scripts/start-cups.sh "
               "as root and export its queue name and output folder";
    else if (!QPrinterInfo::availablePrinterNames().contains(queue))
        *why = QStringLiteral("no print queue named %1").arg(queue);
    return why->isEmpty() ? queue : QString();
}

// Prints on the queue as one job and waits for the PDF the queue makes of it.
QString printOnQueue(const report::Document& document, const QString& queue, const QString& name,
                     const PrintOptions& options = {}) {
    const QString job =
        QStringLiteral("notetest%1%2").arg(QCoreApplication::applicationPid()).arg(name);
    PrintSettings settings;
    settings.printerName = queue;
    printDocument(document, settings, job, {}, options);
    return waitForJobPdf(qEnvironmentVariable("NOTE_TEST_PRINTER_OUT"), job);
}

int pdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression("Pages:\\s+(\\d+)").match(runTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A page of a PDF rendered in grey without smoothing, at 254 dots per inch: 10 pixels a
// millimetre. Rendered, since a print queue's PDF carries its text in fonts without a text map.
constexpr int kPixelsPerMm = 10;
QImage renderedPage(const QString& pdf, int page) {
    QTemporaryDir dir;
    const QString number = QString::number(page);
    runTool("pdftoppm", {"-r", "254", "-f", number, "-l", number, "-gray", "-aa", "no", "-aaVector",
                         "no", "-singlefile", pdf, dir.filePath("page")});
    return QImage(dir.filePath("page.pgm"));
}

bool inked(const QImage& image, int x, int y) {
    return image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
}

int inkCount(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += inked(image, x, y);
    }
    return count;
}

// How many inked pixels of one page have no inked pixel at most one pixel from their place on
// the other, moved by shift (in pixels); and the number of inked pixels compared.
std::pair<int, int> unmatchedInk(const QImage& from, const QImage& to, QPoint shift) {
    int unmatched = 0;
    int total = 0;
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            if (!inked(from, x, y))
                continue;
            ++total;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = inked(to, x + shift.x() + dx, y + shift.y() + dy);
            }
            unmatched += !found;
        }
    }
    return {unmatched, total};
}

} // namespace

// The offsets of the printer a page is printed on move every item on it by that much; another
// printer's offsets leave it where it is.
void PrintingTest::offsetsMoveEveryItemOnTheirPrinterOnly() {
    QString why;
    const QString queue = noteQueue(&why);
    if (queue.isEmpty())
        QSKIP(qPrintable(why));
    auto note = deliveryNoteReport();
    const report::Document document = report::generate(*note, billRows(3), profile());

    PrintOptions elsewhere;
    elsewhere.offsets.insert(QStringLiteral("SomeOtherPrinter"), QPointF(5, 5));
    const QString plain = printOnQueue(document, queue, "plain", elsewhere);
    PrintOptions shifted;
    shifted.offsets.insert(queue, QPointF(2.0, -1.5));
    const QString moved = printOnQueue(document, queue, "moved", shifted);
    QVERIFY(!plain.isEmpty() && !moved.isEmpty());

    QCOMPARE(noteMisplacedOn(plain), QString());
    const QImage before = renderedPage(plain, 1);
    const QImage after = renderedPage(moved, 1);
    QVERIFY(!before.isNull() && !after.isNull());
    // Every inked pixel moved by 20 right and 15 up; most would be amiss where they were. The
    // queue scales the page by up to a thousandth, which moves a few edge pixels further.
    const auto [unmatched, total] = unmatchedInk(before, after, QPoint(20, -15));
    QVERIFY2(total > 10000 && unmatched < total / 100,
             qPrintable(QStringLiteral("%1 of %2").arg(unmatched).arg(total)));
    QVERIFY(unmatchedInk(before, after, QPoint(0, 0)).first > total / 2);
    QFile::remove(plain);
    QFile::remove(moved);
}

// Three copies are one job of three times the pages, copy after copy, each page with its
// copy's label at the top right; one copy is the note as it is.
void PrintingTest::labelledCopiesGoOutInOneJob() {
    QString why;
    const QString queue = noteQueue(&why);
    if (queue.isEmpty())
        QSKIP(qPrintable(why));
    auto note = deliveryNoteReport();
    const report::Document document = report::generate(*note, billRows(60), profile());
    QCOMPARE(document.pages.size(), 2);
    PrintOptions three;
    three.copyOverlays = CopyLabels::overlays(3, CopyLabels::defaults());

    // The words, as a PDF file keeps them: each page under its copy's label, at the right.
    QTemporaryDir dir;
    PrintSettings toFile;
    toFile.outputFileName = dir.filePath("copies.pdf");
    printDocument(document, toFile, "copies", {}, three);
    QCOMPARE(pdfPages(toFile.outputFileName), 6);
    // (The embedded face maps some ideographs to their twins, 户 to 戶: the ordinals are safe.)
    const QStringList ordinals = {"第一联", "第二联", "第三联"};
    for (int page = 1; page <= 6; ++page) {
        const QList<Word> words = pdfWords(toFile.outputFileName, page);
        const QString ordinal = ordinals.at((page - 1) / 2);
        const auto it = std::find_if(words.begin(), words.end(),
                                     [&](const Word& w) { return w.text.startsWith("第"); });
        QVERIFY2(it != words.end(), qPrintable(QString::number(page)));
        QCOMPARE(it->text, ordinal);
        // Its second word ends at the right margin, in the top margin above the title band.
        const auto role = it + 1;
        QVERIFY(role != words.end());
        QVERIFY2(qAbs(role->box.right() - 181) < 0.5 && it->box.top() > 5 &&
                     role->box.bottom() < 13,
                 qPrintable(QStringLiteral("%1 %2").arg(role->box.right()).arg(it->box.top())));
        QVERIFY(std::any_of(words.begin(), words.end(), [&](const Word& w) {
            return w.text == (page % 2 ? "螺丝1" : "螺丝60");
        }));
    }

    // On the queue: one job, six pages, ink in the label's corner of each.
    const QString labelled = printOnQueue(document, queue, "three", three);
    QVERIFY(!labelled.isEmpty());
    QCOMPARE(pdfPages(labelled), 6);
    const QRect corner(140 * kPixelsPerMm, 5 * kPixelsPerMm, 42 * kPixelsPerMm, 8 * kPixelsPerMm);
    for (int page = 1; page <= 6; ++page)
        QVERIFY(inkCount(renderedPage(labelled, page), corner) > 100);

    const QString single =
        printOnQueue(document, queue, "one", {{}, CopyLabels::overlays(1, CopyLabels::defaults())});
    const QString plain = printOnQueue(document, queue, "nolabels");
    QVERIFY(!single.isEmpty() && !plain.isEmpty());
    QCOMPARE(pdfPages(single), 2);
    for (int page = 1; page <= 2; ++page)
        QCOMPARE(renderedPage(single, page), renderedPage(plain, page));
    QCOMPARE(inkCount(renderedPage(single, 1), corner), 0);
    for (const QString& file : {labelled, single, plain})
        QFile::remove(file);
}

// The calibration page prints its rulers and crosshairs where it says they are, shifted by the
// printer's offsets like any page.
void PrintingTest::calibrationPageShowsWhereThePrinterPrints() {
    QString why;
    const QString queue = noteQueue(&why);
    if (queue.isEmpty())
        QSKIP(qPrintable(why));
    const QSizeF paper(190, 265);
    const QPointF shift(2.0, -1.5);
    PrintOptions options;
    options.offsets.insert(queue, shift);
    const QString pdf =
        printOnQueue(CalibrationPage::document(paper, queue, shift), queue, "calib", options);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(pdfPaperMm(pdf).toSize(), QSize(190, 265));

    QTemporaryDir dir;
    const int dpi = 150;
    runTool("pdftoppm",
            {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, dir.filePath("page")});
    const QImage image(dir.filePath("page.pgm"));
    QVERIFY(!image.isNull());
    const qreal px = dpi / 25.4;
    // The queue keeps whole points of the paper and scales the page by up to a thousandth:
    // half a millimetre of room.
    auto ink = [&](QPointF mm) {
        const QPoint at = (mm * px).toPoint();
        for (int dx = -3; dx <= 3; ++dx) {
            for (int dy = -3; dy <= 3; ++dy) {
                if (image.valid(at + QPoint(dx, dy)) &&
                    qGray(image.pixel(at + QPoint(dx, dy))) < 128)
                    return true;
            }
        }
        return false;
    };
    for (const QPointF& cross : CalibrationPage::crossPositions(paper)) {
        const QPointF at = cross + shift;
        QVERIFY2(ink(at) && ink(at + QPointF(4, 0)) && ink(at + QPointF(0, -4)),
                 qPrintable(QStringLiteral("%1, %2").arg(cross.x()).arg(cross.y())));
        QVERIFY(!ink(at + QPointF(3, -3)) && !ink(at + QPointF(-3, -3)));
    }
    // The top ruler's 55 mm tick reaches 3.5 mm down, those of 56 and 57 only 2.
    QVERIFY(ink(QPointF(55, 3) + shift));
    QVERIFY(!ink(QPointF(56.5, 3) + shift));

    QFile::remove(pdf);

    // Its words, as a PDF file keeps them (the queue's PDF holds its glyphs without their text).
    PrintSettings toFile;
    toFile.outputFileName = dir.filePath("calibration.pdf");
    printDocument(CalibrationPage::document(paper, queue, shift), toFile, "calibration");
    const QString text = runTool("pdftotext", {toFile.outputFileName, "-"})
                             .normalized(QString::NormalizationForm_KC);
    QVERIFY2(text.contains(QRegularExpression("X 40\\s+Y 40")) && text.contains("打印机:" + queue),
             qPrintable(text));
    QVERIFY2(text.contains("水平 +2.0 毫米,垂直 -1.5 毫米"), qPrintable(text));
}
