#include "platform/FolderSync.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace FolderSync {

void sync(const QString& folder) {
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool synced = handle >= 0 && (::fsync(handle) == 0 || errno == EINVAL);
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (handle >= 0)
        ::close(handle);
    if (!synced)
        throw AppError(
            QStringLiteral("无法写入文件夹“%1”：%2").arg(QDir::toNativeSeparators(folder), reason));
}

} // namespace FolderSync
