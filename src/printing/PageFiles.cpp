#include "printing/PageFiles.h"

#include "base/AppError.h"
#include "platform/PendingFile.h"
#include "report/PagePainter.h"
#include "report/PdfTextLayer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QtMath>

#include <memory>
#include <vector>

namespace PageFiles {

namespace {

[[noreturn]] void fail(const QString& file, const QString& reason) {
    throw AppError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(file), reason));
}

QSize pictureSize(const QSizeF& paperMm) {
    return QSize(qRound(paperMm.width() / 25.4 * kPictureDpi),
                 qRound(paperMm.height() / 25.4 * kPictureDpi));
}

} // namespace

QString fileBase(const QString& base, const QString& key) {
    QString name = key.isEmpty() ? base : base + QLatin1Char('_') + key;
    // What Windows refuses and what a path would split on; control characters as well.
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name.replace(forbidden, QStringLiteral("_"));
    return name;
}

QString withSuffix(const QString& fileName, const QString& suffix) {
    const QString dotted = QLatin1Char('.') + suffix;
    return fileName.endsWith(dotted, Qt::CaseInsensitive) ? fileName : fileName + dotted;
}

void writePdf(const report::Document& document, const QString& fileName, const QString& title) {
    PendingFile pending(fileName);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("送货单"));
        const QPageLayout layout(
            QPageSize(document.paper, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
        if (!writer.setPageLayout(layout))
            fail(fileName, QStringLiteral("页面尺寸无效"));
        QPainter painter;
        if (!painter.begin(&writer))
            fail(fileName, QStringLiteral("无法创建 PDF"));
        for (qsizetype i = 0; i < document.pages.size(); ++i) {
            if (i > 0 && !writer.newPage())
                fail(fileName, QStringLiteral("无法添加页面"));
            report::paintPage(painter, document.pages.at(i), document.paper);
        }
        painter.end();
    }
    report::PdfTextLayer::PaintedPages painted;
    for (const report::Page& page : document.pages)
        painted.append({&page});
    const QByteArray bytes = report::PdfTextLayer::rebuilt(buffer.data(), painted);
    QFile device(pending.path());
    if (!device.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        device.write(bytes) != bytes.size() || !device.flush())
        fail(fileName, device.errorString());
    device.close();
    pending.commit();
}

QStringList pictureNames(const QString& fileName, int pageCount) {
    if (pageCount <= 1)
        return {fileName};
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = fileName.left(fileName.size() - suffix.size());
    QStringList names;
    for (int page = 1; page <= pageCount; ++page)
        names.append(QStringLiteral("%1_%2%3").arg(stem).arg(page).arg(suffix));
    return names;
}

QStringList writePictures(const report::Document& document, const QString& fileName) {
    const QStringList names = pictureNames(fileName, static_cast<int>(document.pages.size()));
    const QSize size = pictureSize(document.paper);
    const qreal dotsPerMetre = kPictureDpi / 0.0254;
    const QRectF target(0, 0, document.paper.width() / 25.4 * kPictureDpi,
                        document.paper.height() / 25.4 * kPictureDpi);
    // Every picture is complete before the first takes its name, and a name taken by a folder
    // is refused before any is written: a rename refused half-way would leave some pages only.
    for (const QString& name : names) {
        if (QFileInfo(name).isDir())
            fail(name, QStringLiteral("已有同名文件夹"));
    }
    std::vector<std::unique_ptr<PendingFile>> files;
    for (qsizetype i = 0; i < document.pages.size(); ++i) {
        files.push_back(std::make_unique<PendingFile>(names.at(i)));
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dotsPerMetre));
        image.setDotsPerMeterY(qRound(dotsPerMetre));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            report::paintPage(painter, document.pages.at(i), document.paper, target);
        }
        QImageWriter writer(files.back()->path(), "png");
        if (!writer.write(image))
            fail(names.at(i), writer.errorString());
    }
    for (const auto& file : files)
        file->commit();
    return names;
}

} // namespace PageFiles
