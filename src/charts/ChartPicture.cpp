#include "charts/ChartPicture.h"

#include "base/AppError.h"
#include "platform/PendingFile.h"
#include "report/PagePainter.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>

namespace ChartPicture {

namespace {

constexpr qreal kMarginMm = 6;

} // namespace

QImage render(const charts::BarChart& chart, const QSizeF& sizeMm, int dpi) {
    const qreal pixelsPerMm = dpi / 25.4;
    QImage image(qRound(sizeMm.width() * pixelsPerMm), qRound(sizeMm.height() * pixelsPerMm),
                 QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    // A white margin round the chart, as on paper.
    const QMarginsF margins(kMarginMm, kMarginMm, kMarginMm, kMarginMm);
    report::Page page;
    for (const report::DrawOp& op : chart.draw(sizeMm.shrunkBy(margins)))
        page.ops.append(report::translated(op, QPointF(kMarginMm, kMarginMm)));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    report::paintPage(painter, page, sizeMm, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return image;
}

void savePng(const charts::BarChart& chart, const QSizeF& sizeMm, int dpi,
             const QString& fileName) {
    PendingFile file(fileName);
    {
        // The writer holds the file open until it goes: Windows replaces no open file.
        QImageWriter writer(file.path(), "png");
        if (!writer.write(render(chart, sizeMm, dpi)))
            throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                               .arg(QDir::toNativeSeparators(fileName), writer.errorString()));
    }
    file.commit();
}

} // namespace ChartPicture
