#include "platform/ProgramFolder.h"

#include "base/AppError.h"
#include "platform/FileCopy.h"
#include "platform/PendingFile.h"
#include "platform/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& overridden() {
    static QString folder;
    return folder;
}
} // namespace

namespace ProgramFolder {

QString path() {
    return overridden().isEmpty() ? QCoreApplication::applicationDirPath() : overridden();
}

QString databaseFile() {
    return QDir(path()).filePath(QStringLiteral("data.mdb"));
}

void setPathForTesting(const QString& folder) {
    overridden() = folder;
}

void useDataFolder(const QString& folder, const QString& templateFile) {
    if (!PrivateFiles::makeFolder(folder))
        throw AppError(
            QStringLiteral("无法建立数据文件夹“%1”。").arg(QDir::toNativeSeparators(folder)));
    const QString database = QDir(folder).filePath(QStringLiteral("data.mdb"));
    if (!QFileInfo::exists(database)) {
        PendingFile copy(database, PendingFile::Readers::Owner);
        FileCopy::copy(templateFile, copy.path());
        copy.commit();
    }
    if (!QDir::setCurrent(folder))
        throw AppError(
            QStringLiteral("无法进入数据文件夹“%1”。").arg(QDir::toNativeSeparators(folder)));
    overridden() = folder;
}

} // namespace ProgramFolder
