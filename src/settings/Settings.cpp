#include "settings/Settings.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

// qorvel.ini in the user's configuration folder: $XDG_CONFIG_HOME on Linux, %APPDATA% on Windows.
QSettings open() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("qorvel"));
}

// A first write starts from an empty file that only its owner can read; later writes replace
// the file with one of the same permissions.
void createPrivately(const QString& path) {
    if (QFileInfo::exists(path))
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Writes the pending change and narrows the file to its owner before anything else can read a
// password from it.
void commit(QSettings& settings) {
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("无法保存设置：%1").arg(settings.fileName()));
    QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

namespace Settings {

QVariant value(const QString& key, const QVariant& fallback) {
    return open().value(key, fallback);
}

void setValue(const QString& key, const QVariant& value) {
    QSettings settings = open();
    createPrivately(settings.fileName());
    settings.setValue(key, value);
    commit(settings);
}

void remove(const QString& key) {
    QSettings settings = open();
    settings.remove(key);
    commit(settings);
}

void keepServerAddressPrivate() {
    const QSettings settings = open();
    if (settings.value(QStringLiteral("database/server")).toString().isEmpty())
        return;
    QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString filePath() {
    return open().fileName();
}

} // namespace Settings
