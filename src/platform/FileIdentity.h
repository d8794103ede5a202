#pragma once

#include <QString>
#include <QtGlobal>

// Which file a name stands for: the same pair means the same file, also after a rename.
namespace FileIdentity {

// The device (volume) and the file's number on it; false when the name stands for no file.
bool of(const QString& path, quint64& device, quint64& file);

} // namespace FileIdentity
