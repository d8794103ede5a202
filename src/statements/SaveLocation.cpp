#include "statements/SaveLocation.h"

#include "base/AppError.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kFolder = QStringLiteral("reports/folder");

} // namespace

namespace SaveLocation {

QString folder() {
    const QString last = Settings::value(kFolder).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString suggested(const QString& fileName) {
    return QDir(folder()).filePath(fileName);
}

void rememberFile(const QString& fileName) {
    rememberFolder(QFileInfo(fileName).absolutePath());
}

void rememberFolder(const QString& folder) {
    // Only a convenience for the next dialog: the file is saved whether or not it is kept.
    try {
        Settings::setValue(kFolder, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    } catch (const AppError&) {
    }
}

} // namespace SaveLocation
