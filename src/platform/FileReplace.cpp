#include "platform/FileReplace.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const QString& file, const QString& reason) {
    throw AppError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(file), reason));
}

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

namespace FileReplace {

bool needsTargetClosed() {
    return false;
}

void flush(const QString& path, const QString& target) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        fail(target, file.errorString());
    if (::fsync(file.handle()) != 0)
        fail(target, systemReason());
}

void replace(const QString& written, const QString& target) {
    if (QFileInfo::exists(target))
        QFile::setPermissions(written, QFile::permissions(target));
    if (std::rename(QFile::encodeName(written).constData(),
                    QFile::encodeName(target).constData()) != 0)
        fail(target, systemReason());
}

} // namespace FileReplace
