#include "platform/FileCopy.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>

namespace {

[[noreturn]] void fail(const QString& text, const QFile& file) {
    throw AppError(text.arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
}

} // namespace

namespace FileCopy {

void copy(const QString& source, const QString& destination) {
    copy(source, destination, Progress());
}

void copy(const QString& source, const QString& destination, const Progress& progress) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("无法读取文件“%1”：%2"), in);
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("无法写入文件“%1”：%2"), out);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    const qint64 total = in.size();
    qint64 copied = 0;
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0)
            fail(QStringLiteral("无法读取文件“%1”：%2"), in);
        if (got == 0)
            break;
        if (out.write(chunk.constData(), got) != got)
            fail(QStringLiteral("无法写入文件“%1”：%2"), out);
        copied += got;
        if (progress)
            progress(copied, total);
    }
    if (!out.flush())
        fail(QStringLiteral("无法写入文件“%1”：%2"), out);
}

} // namespace FileCopy
