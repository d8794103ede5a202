#include "platform/FolderSync.h"

#include "platform/windows/SystemError.h"

namespace FolderSync {

// Windows flushes a folder through a handle to it (NTFS keeps its entries in its journal
// anyway, and MoveFileExW's write-through already waited for a new name). A folder the system
// will not open or flush so is taken as it is, like a file system that cannot do it on Linux.
void sync(const QString& folder) {
    const HANDLE handle =
        CreateFileW(SystemError::nativePath(folder).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    FlushFileBuffers(handle);
    CloseHandle(handle);
}

} // namespace FolderSync
