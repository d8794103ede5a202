#include "printing/PrintDocument.h"

#include "base/AppError.h"
#include "platform/PendingFile.h"
#include "report/PagePainter.h"
#include "report/PdfTextLayer.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>

namespace {

QString printerLabel(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

bool sameSize(const QSizeF& a, const QSizeF& b) {
    return qAbs(a.width() - b.width()) < 0.1 && qAbs(a.height() - b.height()) < 0.1;
}

// A printer may silently swap a custom paper for one of its own; the note would then print
// misplaced, so a refusal in either form is an error.
void setPaper(QPrinter& printer, const QPageLayout& layout) {
    const QSizeF wanted = layout.fullRect(QPageLayout::Millimeter).size();
    const bool accepted = printer.setPageLayout(layout);
    const QPageLayout actual = printer.pageLayout();
    if (!accepted || actual.orientation() != layout.orientation() ||
        !sameSize(actual.fullRect(QPageLayout::Millimeter).size(), wanted))
        throw AppError(
            QStringLiteral("打印机“%1”不接受 %2 x %3 毫米的纸张。请点“设 置”选择这台打印机的纸张。")
                .arg(printerLabel(printer))
                .arg(wanted.width())
                .arg(wanted.height()));
}

// A page printed to a PDF file carries the text drawn, as a saved one does.
void rebuildTextLayer(const QString& fileName, const report::PdfTextLayer::PaintedPages& painted) {
    QFile written(fileName);
    if (!written.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法读取文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), written.errorString()));
    const QByteArray bytes = report::PdfTextLayer::rebuilt(written.readAll(), painted);
    written.close();
    PendingFile pending(fileName);
    QFile out(pending.path());
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), out.errorString()));
    out.close();
    pending.commit();
}

} // namespace

void printDocument(const report::Document& document, const PrintSettings& settings,
                   const QString& jobName,
                   const std::function<bool(int printed, int total)>& progress,
                   const PrintOptions& options) {
    QPrinter printer(QPrinter::HighResolution);
    settings.applyTo(printer);
    printer.setDocName(jobName);
    // An unknown printer name leaves QPrinter on the default printer without a word; printing
    // there instead of on the chosen printer would be a silent surprise.
    const bool toFile = !settings.outputFileName.isEmpty();
    if (!toFile && !settings.printerName.isEmpty() && printer.printerName() != settings.printerName)
        throw AppError(QStringLiteral("打印机“%1”不可用。").arg(settings.printerName));
    if (!printer.isValid())
        throw AppError(printer.printerName().isEmpty()
                           ? QStringLiteral("没有可用的打印机。")
                           : QStringLiteral("打印机“%1”不可用。").arg(printer.printerName()));
    setPaper(printer, settings.layoutFor(document.paper));

    const int count = static_cast<int>(document.pages.size());
    const int first = qMax(1, settings.fromPage);
    const int last = settings.toPage > 0 ? qMin(settings.toPage, count) : count;
    // Where the printer cannot repeat a job itself (a PDF file), the copies are printed here.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, settings.copies);
    const QList<report::Page> overlays =
        options.copyOverlays.isEmpty() ? QList<report::Page>{report::Page()} : options.copyOverlays;
    const int total = qMax(0, last - first + 1) * copies * static_cast<int>(overlays.size());
    // The printer's own shift undone; a file has none.
    const QPointF offsetMm = toFile ? QPointF() : options.offsetFor(printer.printerName());
    const QPointF offset(offsetMm.x() / 25.4 * printer.logicalDpiX(),
                         offsetMm.y() / 25.4 * printer.logicalDpiY());
    if (total == 0)
        return;

    report::PdfTextLayer::PaintedPages painted;
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(QStringLiteral("无法在“%1”上开始打印。").arg(printerLabel(printer)));
    int printed = 0;
    painter.translate(offset);
    for (int copy = 0; copy < copies; ++copy) {
        for (const report::Page& overlay : overlays) {
            for (int page = first; page <= last; ++page) {
                if (printed > 0 && !printer.newPage()) {
                    painter.end();
                    throw AppError(QStringLiteral("打印到“%1”时出错。").arg(printerLabel(printer)));
                }
                report::paintPage(painter, document.pages.at(page - 1), document.paper);
                report::paintPage(painter, overlay, document.paper);
                painted.append(QList<const report::Page*>{&document.pages.at(page - 1), &overlay});
                ++printed;
                if (progress && !progress(printed, total)) {
                    printer.abort();
                    painter.end();
                    return;
                }
            }
        }
    }
    painter.end();
    if (toFile)
        rebuildTextLayer(settings.outputFileName, painted);
}
