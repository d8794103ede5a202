#include "printing/ReportPreview.h"

#include "printing/QRPrev.h"
#include "report/Generator.h"
#include "ui/Guard.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

void previewReport(const report::Report& report, const report::RowTable& master,
                   const QHash<QString, report::RowTable>& others, PrintSettings* printerSettings) {
    QPointer<TQRStandardPreview> window =
        new TQRStandardPreview(report, master, others, printerSettings);
    report::Generator generator(report, master, others);
    auto feedPage = [&] {
        window->QRPreviewPageAvailable(generator.nextPage());
        window->QRPreviewProgressUpdate(generator.progress());
        if (generator.atEnd())
            window->QRPreviewGenerationFinished();
    };
    feedPage();
    window->showMaximized();

    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    // One page per turn of the event loop, so the window answers while the rest is generated.
    QTimer pump;
    pump.setInterval(0);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        // A window that laid out its pages anew (a set-up choice changed them) has them all.
        if (!window || generator.atEnd() || window->generationFinished()) {
            pump.stop();
            return;
        }
        bool fed = false;
        guarded(window, [&] {
            feedPage();
            fed = true;
        });
        if (!fed)
            pump.stop();
    });
    if (!generator.atEnd())
        pump.start();
    loop.exec();
    // The loop also ends when the application quits; the window must not outlive the run.
    delete window.data();
}

void closeAllPreviews() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<TQRStandardPreview*>(widget))
            preview->close();
    }
}
