#pragma once

#include <QSettings>
#include <memory>

// Where the program keeps the last view (platform/LastView): the key "data" of qorvel.ini on
// Linux, the value "data" of HKEY_CURRENT_USER\Software\qorvel on Windows.
inline std::unique_ptr<QSettings> lastViewStore() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\qorvel"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("qorvel"));
#endif
}
