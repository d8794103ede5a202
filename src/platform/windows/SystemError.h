#pragma once

#include <QDir>
#include <QString>

#include <windows.h>

// What the Windows platform files share: a path as the system's wide text, and the system's
// own words for an error code (in the language of the user's Windows).
namespace SystemError {

inline std::wstring nativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

inline QString text(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString words = length > 0 ? QString::fromWCharArray(buffer, static_cast<int>(length)).trimmed()
                               : QString();
    if (buffer)
        LocalFree(buffer);
    if (words.isEmpty())
        words = QStringLiteral("系统错误 %1").arg(code);
    return words;
}

} // namespace SystemError
