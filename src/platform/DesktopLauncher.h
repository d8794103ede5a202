#pragma once

#include <QString>

// The launcher on the user's desktop that starts this program from its own folder.
namespace DesktopLauncher {

QString fileName();
// Writes (or rewrites) the launcher for the program at programPath. Does nothing when the
// user has no desktop folder; a failed write goes unreported, as nothing depends on it.
void write(const QString& programPath);

} // namespace DesktopLauncher
