#include "platform/PendingFile.h"

#include "base/AppError.h"
#include "platform/FileReplace.h"
#include "platform/FolderSync.h"
#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

[[noreturn]] void fail(const QString& file, const QString& reason) {
    throw AppError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(file), reason));
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
    commit({});
}

void PendingFile::commit(const std::function<void()>& closeTarget) {
    FileReplace::flush(path_, target_);
    if (closeTarget && FileReplace::needsTargetClosed())
        closeTarget();
    FileReplace::replace(path_, target_);
    committed_ = true;
    FolderSync::sync(QFileInfo(target_).absolutePath());
}
