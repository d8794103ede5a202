#include "platform/FileIdentity.h"

#include "platform/windows/SystemError.h"

namespace FileIdentity {

// The volume's serial number and the file's index on it, read through a handle that asks for
// no access, so that it opens beside any other program's handle.
bool of(const QString& path, quint64& device, quint64& file) {
    const HANDLE handle = CreateFileW(SystemError::nativePath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return false;
    device = info.dwVolumeSerialNumber;
    file = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

} // namespace FileIdentity
