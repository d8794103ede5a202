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
           code == ERROR_ACCESS_DENIED || code == ERROR_UNABLE_TO_REMOVE_REPLACED;
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

// An existing target is replaced with ReplaceFileW, which gives the new file the old one's
// attributes and security; a new name is made with MoveFileExW, which returns once the move is
// on disk. Neither works while the target is open: a moment's holder is waited for.
void replace(const QString& written, const QString& target) {
    const std::wstring from = SystemError::nativePath(written);
    const std::wstring to = SystemError::nativePath(target);
    const QDeadlineTimer deadline(kWaitMs);
    for (;;) {
        const bool exists = GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool moved =
            exists ? ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                  nullptr, nullptr)
                   : MoveFileExW(from.c_str(), to.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (moved)
            return;
        const DWORD code = GetLastError();
        if (!heldOpen(code) || deadline.hasExpired())
            fail(target, code);
        Sleep(50);
    }
}

} // namespace FileReplace
