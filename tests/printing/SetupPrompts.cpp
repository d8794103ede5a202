#include "SetupPrompts.h"

#include <QPrinter>

Prompts::PrintSetupAnswer SetupPrompts::printSetup(QWidget*, QPrinter* printer, int from, int to) {
    ranges.append({from, to});
    const Answer a = answers.takeFirst();
    if (a.file.isEmpty()) {
        printer->setOutputFileName(QString());
        printer->setOutputFormat(QPrinter::NativeFormat);
        printer->setPrinterName(a.queue);
    } else {
        printer->setOutputFileName(a.file);
    }
    printer->setPageSize(a.paper.value_or(QPageSize(QPageSize::A4)));
    printer->setCopyCount(a.copies);
    return {a.ok, a.ok && a.paper.has_value()};
}
