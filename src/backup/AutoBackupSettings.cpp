#include "backup/AutoBackupSettings.h"

#include "settings/Settings.h"

namespace AutoBackupSettings {

AutoBackupOptions load() {
    AutoBackupOptions options;
    options.enabled = Settings::value(QStringLiteral("backup/enabled"), true).toBool();
    options.folder = Settings::value(QStringLiteral("backup/folder")).toString();
    bool number = false;
    const int keep = Settings::value(QStringLiteral("backup/keep"), options.keep).toInt(&number);
    // A hand-edited value that means nothing keeps the default rather than every backup or none.
    if (number && keep >= 1)
        options.keep = keep;
    return options;
}

void store(const AutoBackupOptions& options) {
    Settings::setValue(QStringLiteral("backup/enabled"), options.enabled);
    if (options.folder.isEmpty())
        Settings::remove(QStringLiteral("backup/folder"));
    else
        Settings::setValue(QStringLiteral("backup/folder"), options.folder);
    Settings::setValue(QStringLiteral("backup/keep"), options.keep);
}

} // namespace AutoBackupSettings
