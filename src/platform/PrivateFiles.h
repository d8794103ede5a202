#pragma once

#include <QFileDevice>
#include <QString>

// The database, its backups and their folders hold the business's data, and the key to the
// database is in the program: what the program creates for them only their owner may read.
namespace PrivateFiles {

constexpr QFileDevice::Permissions kFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Creates the folder and its missing parents, each one it creates for its owner only; a folder
// that is already there keeps its permissions. False when it cannot be made.
bool makeFolder(const QString& path);

} // namespace PrivateFiles
