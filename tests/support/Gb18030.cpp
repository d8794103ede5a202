#include "Gb18030.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringEncoder>
#endif

QByteArray toGb18030(const QString& text) {
    if (text.isEmpty())
        return QByteArray();
#ifdef Q_OS_WIN
    constexpr UINT kGb18030 = 54936;
    const auto wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(kGb18030, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        qFatal("The system cannot encode GB18030 (code page 54936)");
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(kGb18030, 0, wide, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
#else
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        qFatal("Qt cannot encode GB18030 here (no ICU)");
    return encoder.encode(text);
#endif
}
