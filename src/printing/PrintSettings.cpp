#include "printing/PrintSettings.h"

QPageLayout PrintSettings::layoutFor(const QSizeF& reportPaperMm) const {
    const QPageSize size = paper.value_or(
        QPageSize(reportPaperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    QPageLayout layout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

void PrintSettings::applyTo(QPrinter& printer) const {
    if (!outputFileName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFileName);
    } else if (!printerName.isEmpty()) {
        printer.setPrinterName(printerName);
    }
    if (resolution > 0)
        printer.setResolution(resolution);
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    printer.setDuplex(duplex);
    printer.setColorMode(colorMode);
    printer.setPaperSource(paperSource);
    printer.setFullPage(true);
    if (fromPage > 0 || toPage > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(fromPage, toPage);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
    }
}

void PrintSettings::readFrom(const QPrinter& printer, bool paperChosen) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        outputFileName = printer.outputFileName();
    } else {
        outputFileName.clear();
        printerName = printer.printerName();
    }
    resolution = printer.resolution();
    copies = printer.copyCount();
    collate = printer.collateCopies();
    duplex = printer.duplex();
    colorMode = printer.colorMode();
    paperSource = printer.paperSource();
    orientation = printer.pageLayout().orientation();
    if (paperChosen)
        paper = printer.pageLayout().pageSize();
    if (printer.printRange() == QPrinter::PageRange) {
        fromPage = printer.fromPage();
        toPage = printer.toPage();
    } else {
        fromPage = 0;
        toPage = 0;
    }
}
