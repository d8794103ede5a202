#include "platform/PendingFile.h"

#include "base/AppError.h"
#include "platform/FolderSync.h"
#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

PendingFile::PendingFile(const QString& target, Readers readers)
    : target_(QFileInfo(target).absoluteFilePath()) {
    // A short hidden name, so a target name near the length limit still gets its companion.
    const QDir folder = QFileInfo(target_).absoluteDir();
    for (;;) {
        const QString name = QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(),
                                                           8, 16, QLatin1Char('0'));
        QFile file(folder.filePath(name));
        const bool created =
            readers == Readers::Owner
                ? file.open(QIODevice::WriteOnly | QIODevice::NewOnly, PrivateFiles::kFile)
                : file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (created) {
            path_ = file.fileName();
            return;
        }
        if (!file.exists())
            fail(target_, file.errorString());
    }
}

PendingFile::~PendingFile() {
    if (!committed_)
        QFile::remove(path_);
}

void PendingFile::commit() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadWrite))
        fail(target_, file.errorString());
    if (::fsync(file.handle()) != 0)
        fail(target_, systemReason());
    file.close();
    if (QFileInfo::exists(target_))
        QFile::setPermissions(path_, QFile::permissions(target_));
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) !=
        0)
        fail(target_, systemReason());
    committed_ = true;
    FolderSync::sync(QFileInfo(target_).absolutePath());
}
