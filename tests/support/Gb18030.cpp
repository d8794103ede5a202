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
    // As the program reads it: GBK where the system lacks GB18030 (Wine), which holds every
    // character the tests write.
    const UINT page = IsValidCodePage(54936) ? 54936 : 936;
    const auto wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(page, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        qFatal("The system cannot encode GB18030 or GBK");
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(page, 0, wide, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
#else
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        qFatal("Qt cannot encode GB18030 here (no ICU)");
    return encoder.encode(text);
#endif
}
