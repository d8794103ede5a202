#pragma once

#include <QString>

// A rename or a removal changes the folder, not the file: until the folder is on disk, a power
// cut can bring back the old entry, or none.
namespace FolderSync {

// Puts the folder's entries on disk; fails with AppError naming the folder. A file system
// that cannot do it for a folder is taken as it is.
void sync(const QString& folder);

} // namespace FolderSync
