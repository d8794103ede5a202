#include "PrintingTest.h"

#include "NoteData.h"
#include "SetupPrompts.h"
#include "printing/NoteReport.h"
#include "printing/QRPrev.h"
#include "printing/ReportPreview.h"
#include "report/Generator.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSize>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// A preview window fed with all pages of a note of the given number of rows, shown and active.
TQRStandardPreview* openPreview(int rows) {
    auto note = deliveryNoteReport();
    const report::RowTable master = billRows(rows);
    auto* window = new TQRStandardPreview(*note, master, profile());
    report::Generator generator(*note, master, profile());
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    window->QRPreviewGenerationFinished();
    window->showMaximized();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("preview window not active");
    return window;
}

QWidget* pageView(TQRStandardPreview* window) {
    return window->findChild<QWidget*>("QRPreview");
}

QScrollBar* scrollBar(TQRStandardPreview* window) {
    return window->findChild<QAbstractScrollArea*>("QRPreview")->verticalScrollBar();
}

QString pdfText(const QString& file) {
    return runTool("pdftotext", {file, "-"}).normalized(QString::NormalizationForm_KC);
}

} // namespace

void PrintingTest::previewWindowHasItsPartsAndSizes() {
    QPointer<TQRStandardPreview> window = openPreview(80);
    QCOMPARE(window->windowTitle(), QStringLiteral("打印预览"));
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QCOMPARE(window->findChild<QWidget*>("Panel1")->height(), 65);
    const struct {
        const char* name;
        const char* caption;
        int left;
    } buttons[] = {{"SpeedButton1", "设 置", 8},
                   {"SpeedButton2", "打 印", 68},
                   {"SpeedButton3", "关 闭", 128}};
    for (const auto& b : buttons) {
        auto* button = window->findChild<QToolButton*>(b.name);
        QVERIFY2(button, b.name);
        QCOMPARE(button->text(), QString::fromUtf8(b.caption));
        QCOMPARE(button->geometry().left(), b.left);
        QCOMPARE(button->size(), QSize(60, 60));
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(button->font().pixelSize(), 13);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    auto* tabs = window->findChild<QTabWidget*>("Tabs");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("ThumbNails"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Search Results"));
    QCOMPARE(tabs->widget(0)->objectName(), QStringLiteral("TabThumbs"));
    QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("TabSearchResult"));
    QCOMPARE(window->findChild<QGroupBox*>("GroupBox1")->title(), QStringLiteral("Search Text"));
    QCOMPARE(tabs->width(), 193);
    QCOMPARE(window->findChild<QSplitter*>("Splitter2")->handleWidth(), 4);
    QCOMPARE(window->findChild<QWidget*>("StatusBar")->height(), 19);
    const struct {
        const char* name;
        int width;
        Qt::Alignment alignment;
    } panels[] = {{"StatusPanel0", 40, Qt::AlignRight},
                  {"StatusPanel1", 120, Qt::AlignLeft},
                  {"StatusPanel2", 50, Qt::AlignLeft}};
    for (const auto& p : panels) {
        auto* panel = window->findChild<QLabel*>(p.name);
        QVERIFY2(panel, p.name);
        QCOMPARE(panel->width(), p.width);
        QCOMPARE(panel->alignment() & Qt::AlignHorizontal_Mask, p.alignment);
    }
    QCOMPARE(window->statusText(2), QString());

    // The thumbnail column is the grid's width less 4 pixels, at any width; the miniature is
    // 20 narrower, its row as tall as the paper's proportions give less a line of text.
    auto* thumbs = window->findChild<QTableWidget*>("ThumbGrid");
    auto* splitter = window->findChild<QSplitter*>("Splitter2");
    for (const int width : {193, 260}) {
        splitter->setSizes({width, splitter->width() - width});
        QTRY_COMPARE(tabs->width(), width);
        QCOMPARE(thumbs->columnWidth(0), thumbs->width() - 4);
        const int mini = thumbs->columnWidth(0) - 20;
        const int text = QFontMetrics(thumbs->font()).boundingRect("P").height();
        QCOMPARE(thumbs->rowHeight(0), qRound(mini * 265.0 / 190.0) - text);
    }
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewPagePositionGrowsWithPages() {
    auto note = deliveryNoteReport();
    const report::RowTable master = billRows(80);
    QPointer<TQRStandardPreview> window = new TQRStandardPreview(*note, master, profile());
    QCOMPARE(window->statusText(0), QStringLiteral("0%"));
    report::Generator generator(*note, master, profile());
    window->QRPreviewPageAvailable(generator.nextPage());
    window->show();
    QCOMPARE(window->statusText(1), QStringLiteral("Page 1 of 1"));
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    QCOMPARE(window->statusText(1), QStringLiteral("Page 1 of 3"));
    QCOMPARE(window->findChild<QTableWidget*>("ThumbGrid")->rowCount(), 3);
    auto* results = window->findChild<QListWidget*>("SearchResultBox");
    QVERIFY(!results->isEnabled() && results->count() == 0);
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewKeyMap_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("startPage");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("page");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    // One page: nothing moves.
    QTest::newRow("1 page PgUp") << 3 << 1 << int(Qt::Key_PageUp) << none << "view" << 1;
    QTest::newRow("1 page PgDn") << 3 << 1 << int(Qt::Key_PageDown) << none << "view" << 1;
    QTest::newRow("1 page Home") << 3 << 1 << int(Qt::Key_Home) << none << "view" << 1;
    QTest::newRow("1 page End") << 3 << 1 << int(Qt::Key_End) << none << "view" << 1;
    // Three pages.
    QTest::newRow("PgDn") << 80 << 1 << int(Qt::Key_PageDown) << none << "view" << 2;
    QTest::newRow("PgUp") << 80 << 3 << int(Qt::Key_PageUp) << none << "view" << 2;
    QTest::newRow("Ctrl+PgDn last") << 80 << 1 << int(Qt::Key_PageDown) << ctrl << "view" << 3;
    QTest::newRow("Ctrl+PgUp first") << 80 << 3 << int(Qt::Key_PageUp) << ctrl << "view" << 1;
    QTest::newRow("Ctrl+Shift+PgDn next")
        << 80 << 1 << int(Qt::Key_PageDown) << ctrlShift << "view" << 2;
    QTest::newRow("Ctrl+Shift+PgUp previous")
        << 80 << 3 << int(Qt::Key_PageUp) << ctrlShift << "view" << 2;
    QTest::newRow("Home") << 80 << 3 << int(Qt::Key_Home) << none << "view" << 1;
    QTest::newRow("End") << 80 << 1 << int(Qt::Key_End) << none << "view" << 3;
    QTest::newRow("PgDn on last") << 80 << 3 << int(Qt::Key_PageDown) << none << "view" << 3;
    QTest::newRow("PgUp on first") << 80 << 1 << int(Qt::Key_PageUp) << none << "view" << 1;
    // The thumbnail grid does not swallow the keys either.
    QTest::newRow("thumbs PgDn") << 80 << 1 << int(Qt::Key_PageDown) << none << "thumbs" << 2;
    QTest::newRow("thumbs End") << 80 << 1 << int(Qt::Key_End) << none << "thumbs" << 3;
    QTest::newRow("thumbs Down") << 80 << 3 << int(Qt::Key_Up) << none << "thumbs" << 2;
}

void PrintingTest::previewKeyMap() {
    QFETCH(int, rows);
    QFETCH(int, startPage);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, target);
    QFETCH(int, page);
    QPointer<TQRStandardPreview> window = openPreview(rows);
    if (startPage > 1)
        window->LastPageClick();
    QCOMPARE(window->currentPage(), startPage);
    QWidget* receiver =
        target == "view" ? pageView(window) : window->findChild<QWidget*>("ThumbGrid");
    receiver->setFocus();
    QTest::keyClick(receiver, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window->currentPage(), page);
    QCOMPARE(window->statusText(1),
             QStringLiteral("Page %1 of %2").arg(page).arg(window->pageCount()));
    QCOMPARE(window->findChild<QTableWidget*>("ThumbGrid")->currentRow(), page - 1);
    QTest::keyClick(receiver, Qt::Key_Escape);
    QTRY_VERIFY(!window);
}

void PrintingTest::previewUpAndDownCrossPages() {
    QPointer<TQRStandardPreview> window = openPreview(80);
    // Wide and low, so the page (fitted to the width) is several views tall.
    window->showNormal();
    window->resize(780, 420);
    QTRY_COMPARE(window->size(), QSize(780, 420));
    QWidget* view = pageView(window);
    view->setFocus();
    QScrollBar* bar = scrollBar(window);
    const int step = bar->singleStep();
    QVERIFY2(bar->maximum() > 3 * step, "the page must be taller than the view");

    // Up at the top of the first page stays where it is.
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(window->currentPage(), 1);
    QCOMPARE(bar->value(), 0);

    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(bar->value(), step);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(bar->value(), 2 * step);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(bar->value(), step);
    // A step that would reach the top goes to the bottom of the previous page instead; on the
    // first page there is none, so the view stays.
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(window->currentPage(), 1);
    QCOMPARE(bar->value(), step);

    // Down runs to the bottom, then on to the next page at its top.
    int guard = 0;
    while (window->currentPage() == 1 && guard++ < 1000)
        QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(window->currentPage(), 2);
    QCOMPARE(bar->value(), 0);

    // Up at the top of page 2 shows the bottom of page 1.
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(window->currentPage(), 1);
    QCOMPARE(bar->value(), bar->maximum() - step);

    // Down at the bottom of the last page does nothing.
    window->LastPageClick();
    while (bar->value() + step < bar->maximum())
        QTest::keyClick(view, Qt::Key_Down);
    const int bottom = bar->value();
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(window->currentPage(), 3);
    QCOMPARE(bar->value(), bottom);
    QCOMPARE(window->statusText(1), QStringLiteral("Page 3 of 3"));
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewProgressText() {
    auto note = deliveryNoteReport();
    QPointer<TQRStandardPreview> window = new TQRStandardPreview(*note, billRows(1), {});
    const QList<std::pair<int, QString>> steps = {
        {3, "0%"}, {7, "7%"}, {12, "12%"}, {15, "12%"}, {100, ""}};
    for (const auto& [progress, text] : steps) {
        window->QRPreviewProgressUpdate(progress);
        QCOMPARE(window->statusText(0), text);
    }
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewThumbnailSelectsPage() {
    QPointer<TQRStandardPreview> window = openPreview(80);
    auto* thumbs = window->findChild<QTableWidget*>("ThumbGrid");
    QCOMPARE(thumbs->currentRow(), 0);
    thumbs->scrollTo(thumbs->model()->index(2, 0));
    QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, {},
                      thumbs->visualRect(thumbs->model()->index(2, 0)).center());
    QCOMPARE(window->currentPage(), 3);
    QCOMPARE(window->statusText(1), QStringLiteral("Page 3 of 3"));
    window->FirstPageClick();
    QCOMPARE(thumbs->currentRow(), 0);
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewSetupCancelLeavesNextPrintUnchanged() {
    QTemporaryDir dir;
    const QString chosen = dir.filePath("chosen.pdf");
    const QString cancelled = dir.filePath("cancelled.pdf");
    SetupPrompts prompts;
    prompts.answers = {{true, chosen, 1}, {false, cancelled, 3}};
    PrintSettings reportSettings;
    auto note = deliveryNoteReport();
    const report::RowTable master = billRows(40);
    QPointer<TQRStandardPreview> window =
        new TQRStandardPreview(*note, master, profile(), &reportSettings);
    report::Generator generator(*note, master, profile());
    window->QRPreviewPageAvailable(generator.nextPage());
    window->show();

    // Before all pages are out the range offered is 0 to 9999, then 1 to the page count.
    window->findChild<QToolButton*>("SpeedButton1")->click();
    QCOMPARE(reportSettings.outputFileName, chosen);
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    window->QRPreviewGenerationFinished();
    window->findChild<QToolButton*>("SpeedButton1")->click();
    QCOMPARE(prompts.ranges, (QList<std::pair<int, int>>{{0, 9999}, {1, 2}}));
    QCOMPARE(window->printSettings().outputFileName, chosen);
    QCOMPARE(window->printSettings().copies, 1);
    QCOMPARE(reportSettings.copies, 1);

    window->findChild<QToolButton*>("SpeedButton2")->click();
    QVERIFY(QFile::exists(chosen));
    QVERIFY(!QFile::exists(cancelled));
    const QString info = runTool("pdfinfo", {chosen});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Page size:\\s+539 x 751 pts")), qPrintable(info));
    QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join('\n')));
    QVERIFY(window->isVisible());
    window->close();
    QTRY_VERIFY(!window);
}

void PrintingTest::previewCallPrintsItsOwnSnapshotAndWaitsUntilClosed() {
    QTemporaryDir dir;
    const QString file = dir.filePath("printed.pdf");
    SetupPrompts prompts;
    prompts.answers = {{true, file, 1}};
    auto note = deliveryNoteReport();
    note->item("QRLabel19")->setCaption("112.5");
    report::RowTable master = billRows(200);
    QHash<QString, report::RowTable> others = profile();

    QStringList order;
    QPointer<TQRStandardPreview> window;
    bool maximized = false;
    QString progressAtEnd = "unset";
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<TQRStandardPreview*>(w); preview && w->isVisible())
                window = preview;
        }
        if (!window)
            return;
        maximized = window->windowState() & Qt::WindowMaximized;
        // The rest of the pages arrive while the window is up.
        if (!QTest::qWaitFor([&] { return window->pageCount() == 6; }))
            return;
        progressAtEnd = window->statusText(0);
        // Another bill is selected and the totals recomputed while the preview is open.
        master.rows[0][6] = "另一单";
        note->item("QRLabel19")->setCaption("999");
        others["表5"].rows[0][0] = "别家";
        window->findChild<QToolButton*>("SpeedButton1")->click();
        window->findChild<QToolButton*>("SpeedButton2")->click();
        order.append("closing");
        QTest::keyClick(window->findChild<QWidget*>("QRPreview"), Qt::Key_Escape);
    });
    previewReport(*note, master, others);
    order.append("returned");

    QCOMPARE(order, (QStringList{"closing", "returned"}));
    QVERIFY(!window);
    QVERIFY(maximized);
    QCOMPARE(progressAtEnd, QString());
    const QString text = pdfText(file);
    QVERIFY2(text.contains("螺丝1") && text.contains("112.5") && text.contains("澄明商贸"),
             qPrintable(text));
    QVERIFY(!text.contains("另一单") && !text.contains("999") && !text.contains("别家"));
}

namespace {

// A preview of three rows sharing the report's printer settings, all pages out, shown.
QPointer<TQRStandardPreview> previewWith(report::Report& note, PrintSettings* settings) {
    auto* window = new TQRStandardPreview(note, billRows(3), profile(), settings);
    report::Generator generator(note, billRows(3), profile());
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    window->QRPreviewGenerationFinished();
    window->show();
    return window;
}

bool near(const QSizeF& a, const QSizeF& b) {
    return qAbs(a.width() - b.width()) < 0.5 && qAbs(a.height() - b.height()) < 0.5;
}

// Runs act on the modal dialog of the moment as soon as the event loop turns, that is once the
// caller has opened it.
void whenModal(QString& failure, const std::function<void(QDialog*)>& act) {
    QTimer::singleShot(0, [&failure, act] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            failure = "the dialog did not open";
    });
}

const QSizeF kNotePaper(190, 265);
const QSizeF kLetter(215.9, 279.4);

} // namespace

void PrintingTest::previewSetupKeepsAPickedPaperForThatPreview() {
    QTemporaryDir dir;
    const QString picked = dir.filePath("picked.pdf");
    const QString again = dir.filePath("again.pdf");
    const QString next = dir.filePath("next.pdf");
    SetupPrompts prompts;
    prompts.answers = {
        {true, picked, 1, QPageSize(QPageSize::Letter)}, {true, again, 1}, {true, next, 1}};
    PrintSettings reportSettings;
    auto note = deliveryNoteReport();
    QPointer<TQRStandardPreview> window = previewWith(*note, &reportSettings);

    // On the paper picked, every item stands at its millimetres from the top-left corner.
    window->findChild<QToolButton*>("SpeedButton1")->click();
    window->findChild<QToolButton*>("SpeedButton2")->click();
    QVERIFY2(near(pdfPaperMm(picked), kLetter), qPrintable(runTool("pdfinfo", {picked})));
    QCOMPARE(noteMisplacedOn(picked), QString());
    // A later set-up without a pick keeps it for this preview's prints.
    window->findChild<QToolButton*>("SpeedButton1")->click();
    window->findChild<QToolButton*>("SpeedButton2")->click();
    QVERIFY(near(pdfPaperMm(again), kLetter));
    window->close();
    QTRY_VERIFY(!window);

    // The next preview starts on the note's own paper.
    QVERIFY(!reportSettings.paper);
    window = previewWith(*note, &reportSettings);
    window->findChild<QToolButton*>("SpeedButton1")->click();
    window->findChild<QToolButton*>("SpeedButton2")->click();
    QVERIFY(near(pdfPaperMm(next), kNotePaper));
    QCOMPARE(noteMisplacedOn(next), QString());
    QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join('\n')));
    window->close();
    QTRY_VERIFY(!window);
}

// Qt's own print dialog, driven as a user would: a paper counts as chosen only when picked from
// the paper list of the properties page and confirmed there.
void PrintingTest::previewSetupDialogTakesOnlyAPickedPaper() {
#ifdef Q_OS_WIN
    QSKIP("Windows shows its own print dialog, not Qt's");
#endif
    QTemporaryDir dir;
    PrintSettings reportSettings;
    auto note = deliveryNoteReport();
    QPointer<TQRStandardPreview> window = previewWith(*note, &reportSettings);
    enum class Paper { Untouched, PickedThenCancelled, Picked };
    QString failure;
    auto setUp = [&](Paper paper, const QString& file) {
        whenModal(failure, [&failure, paper, file](QDialog* dialog) {
            // Print to a file: the last entry of the printer list.
            auto* printers = dialog->findChild<QComboBox*>("printers");
            auto* fileName = dialog->findChild<QLineEdit*>("filename");
            auto* properties = dialog->findChild<QPushButton*>("properties");
            if (!printers || !fileName || !properties) {
                failure = "no printer list, file name or properties button";
                dialog->reject();
                return;
            }
            printers->setCurrentIndex(printers->count() - 1);
            fileName->setText(file);
            auto onProperties = [&](const std::function<void(QDialog*, QComboBox*)>& act) {
                whenModal(failure, [&failure, act](QDialog* page) {
                    auto* list = page->findChild<QComboBox*>("pageSizeCombo");
                    if (list && list->isVisible()) {
                        act(page, list);
                    } else {
                        failure = "no paper list on the properties page";
                        page->reject();
                    }
                });
                properties->click();
            };
            if (paper != Paper::Untouched) {
                onProperties([&failure, paper](QDialog* page, QComboBox* list) {
                    list->setFocus();
                    QTest::keyClicks(list, "B5");
                    if (list->currentText() != "B5")
                        failure = "typing did not pick B5: " + list->currentText();
                    paper == Paper::Picked ? page->accept() : page->reject();
                });
            }
            // Opened again and left with OK, the page keeps the paper it had before the pick.
            if (paper == Paper::PickedThenCancelled)
                onProperties([](QDialog* page, QComboBox*) { page->accept(); });
            dialog->accept();
        });
        window->findChild<QToolButton*>("SpeedButton1")->click();
        window->findChild<QToolButton*>("SpeedButton2")->click();
    };
    const struct {
        Paper paper;
        const char* file;
        QSizeF size;
    } steps[] = {{Paper::Untouched, "untouched.pdf", kNotePaper},
                 {Paper::PickedThenCancelled, "cancelled.pdf", kNotePaper},
                 {Paper::Picked, "picked.pdf", QSizeF(176, 250)}};
    for (const auto& step : steps) {
        const QString file = dir.filePath(step.file);
        setUp(step.paper, file);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(QFile::exists(file), step.file);
        QVERIFY2(near(pdfPaperMm(file), step.size), step.file);
    }
    window->close();
    QTRY_VERIFY(!window);
}
