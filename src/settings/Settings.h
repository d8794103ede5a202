#pragma once

#include <QString>
#include <QVariant>

// The program's own settings, kept in the same qorvel.ini that holds the last view. Keys are
// "group/name". The file may hold a server password, so every write leaves it readable by its
// owner only.
namespace Settings {

QVariant value(const QString& key, const QVariant& fallback = {});
// Throws AppError when the file cannot be written.
void setValue(const QString& key, const QVariant& value);
void remove(const QString& key);

// Narrows a settings file that names a database server to its owner: the address may hold
// the password, and a file written before every write narrowed it may still be readable by all.
void keepServerAddressPrivate();

// The settings file's path (for messages and tests).
QString filePath();

} // namespace Settings
