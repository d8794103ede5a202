#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

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

} // namespace ProgramFolder
