#include "platform/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace FileIdentity {

bool of(const QString& path, quint64& device, quint64& file) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    device = info.st_dev;
    file = info.st_ino;
    return true;
}

} // namespace FileIdentity
