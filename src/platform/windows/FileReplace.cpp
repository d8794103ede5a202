#include "platform/FileReplace.h"

#include "base/AppError.h"
#include "platform/windows/SystemError.h"

#include <QDeadlineTimer>

namespace {

[[noreturn]] void fail(const QString& file, DWORD code) {
    throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                       .arg(QDir::toNativeSeparators(file), SystemError::text(code)));
}

// Errors of a file that someone (a virus scanner, an indexer, another program) has open for a
// moment; they pass.
bool heldOpen(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

// As long as a connection waits for a writer.
constexpr int kWaitMs = 5000;

} // namespace

namespace FileReplace {

bool needsTargetClosed() {
    return true;
}

void flush(const QString& path, const QString& target) {
    const HANDLE file = CreateFileW(SystemError::nativePath(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail(target, GetLastError());
    const bool flushed = FlushFileBuffers(file);
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (!flushed)
        fail(target, code);
}

// MoveFileExW replaces the target (or makes the name) and returns once the move is on disk. It
// works on no target that is open: a moment's holder is waited for. (ReplaceFileW, which would
// keep the target's security too, leaves a temporary file of its own behind under Wine each
// time it finds the target open.) The target's attributes go over to the new file first, as
// Linux keeps a replaced file's mode.
void replace(const QString& written, const QString& target) {
    const std::wstring from = SystemError::nativePath(written);
    const std::wstring to = SystemError::nativePath(target);
    const DWORD old = GetFileAttributesW(to.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY))
        fail(target, ERROR_ALREADY_EXISTS);
    if (old != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(from.c_str(), old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    const QDeadlineTimer deadline(kWaitMs);
    while (!MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        if (!heldOpen(code) || deadline.hasExpired())
            fail(target, code);
        Sleep(50);
    }
}

} // namespace FileReplace
