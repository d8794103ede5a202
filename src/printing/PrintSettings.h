#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QSizeF>
#include <QString>
#include <optional>

// The choices of the printer set-up that apply to the next print: which printer (or PDF file),
// copies, page range, orientation, the device options and the paper. Kept as values, so that a
// cancelled set-up leaves them as they were. The paper is the report's own unless the user
// picked one in the set-up: Qt's print dialog puts the printer's default paper back on OK even
// when the user never touched it, and the note would then come out on a sheet nobody chose.
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
    // The paper the user picked in the set-up; empty: the report's own.
    std::optional<QPageSize> paper;
    // The report prints the labelled copies of the print settings (a delivery note does).
    bool labelledCopies = false;
    // The set-up offers the note without prices (a delivery note does), and whether it is
    // chosen for the prints of the preview.
    bool priceChoice = false;
    bool withoutPrices = false;

    // The paper picked, else the report's, in the chosen orientation, without device margins:
    // the report places everything in millimetres from the paper's edge, whatever the sheet.
    QPageLayout layoutFor(const QSizeF& reportPaperMm) const;

    // Everything but the paper, which the caller sets (and checks) with setPageLayout.
    void applyTo(QPrinter& printer) const;
    // What a print dialog left on the printer; its paper only when the user picked it.
    void readFrom(const QPrinter& printer, bool paperChosen);
};
