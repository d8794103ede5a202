#pragma once

#include <QString>

// Windows: where the program keeps data.mdb. In a folder it may write (a copy on a USB stick, a
// folder of its own) beside itself, as on Linux. Installed under Program Files, or in any folder
// it cannot write, in %LOCALAPPDATA%\<appId>\, made at the first start from the empty database
// that the installer put at `templateFile` (relative to the program's folder); an existing
// data.mdb there is never replaced.
namespace InstalledFolder {

// Moves the program folder there before any connection opens; fails in words.
void choose(const QString& appId, const QString& templateFile);

} // namespace InstalledFolder
