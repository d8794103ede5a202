#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QSizeF>
#include <QString>

// The choices of the printer set-up that apply to the next print: which printer (or PDF file),
// copies, page range, paper and the device options. Kept as values, so that a cancelled set-up
// leaves them as they were.
struct PrintSettings {
    QString printerName;    // empty: the system's default printer
    QString outputFileName; // not empty: print to this PDF file instead of a printer
    int copies = 1;
    bool collate = true;
    // Invalid until the set-up chooses a paper: the report's own paper is used then.
    QPageLayout pageLayout;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
    int resolution = 0; // dots per inch; 0: the printer's own
    int fromPage = 0;   // 0 and 0: all pages
    int toPage = 0;

    // The report's paper, portrait, without device margins: the report places everything in
    // millimetres from the paper's edge.
    static QPageLayout paperLayout(const QSizeF& paperMm);
    // The chosen paper, or the report's own when none was chosen.
    QPageLayout layoutFor(const QSizeF& paperMm) const;

    // Everything but the paper, which the caller sets (and checks) with setPageLayout.
    void applyTo(QPrinter& printer) const;
    // What a print dialog left on the printer.
    void readFrom(const QPrinter& printer);
};
