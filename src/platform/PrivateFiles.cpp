#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>

namespace PrivateFiles {

bool makeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists())
        return false;
    const QString absolute = info.absoluteFilePath();
    const QString parent = QFileInfo(absolute).absolutePath();
    if (parent != absolute && !makeFolder(parent))
        return false;
    return QDir().mkdir(absolute, kFolder) || QFileInfo(absolute).isDir();
}

} // namespace PrivateFiles
