#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QSizeF>
#include <QString>

// The choices of the printer set-up that apply to the next print: which printer (or PDF file),
// copies, page range, orientation and the device options. Kept as values, so that a cancelled
// set-up leaves them as they were. The paper is always the report's own: Qt's print dialog
// puts the printer's default paper back on OK even when the user never touched it, and the
// note would then come out on the wrong sheet.
struct PrintSettings {
    QString printerName;    // empty: the system's default printer
    QString outputFileName; // not empty: print to this PDF file instead of a printer
    int copies = 1;
    bool collate = true;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
    int resolution = 0; // dots per inch; 0: the printer's own
    int fromPage = 0;   // 0 and 0: all pages
    int toPage = 0;

    // The report's paper in the chosen orientation, without device margins: the report places
    // everything in millimetres from the paper's edge.
    QPageLayout layoutFor(const QSizeF& paperMm) const;

    // Everything but the paper, which the caller sets (and checks) with setPageLayout.
    void applyTo(QPrinter& printer) const;
    // What a print dialog left on the printer.
    void readFrom(const QPrinter& printer);
};
