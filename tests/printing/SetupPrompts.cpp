#include "SetupPrompts.h"

#include <QCheckBox>
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

Prompts::PrintSetupAnswer SetupPrompts::printSetupWith(QWidget* owner, QPrinter* printer, int from,
                                                       int to, const QList<QWidget*>& optionTabs) {
    QStringList titles;
    for (QWidget* tab : optionTabs) {
        titles.append(tab->windowTitle());
        auto* box = tab->findChild<QCheckBox*>("WithoutPricesBox");
        if (box && !answers.isEmpty() && answers.first().withoutPrices)
            box->setChecked(*answers.first().withoutPrices);
    }
    offeredTabs.append(titles);
    return printSetup(owner, printer, from, to);
}
