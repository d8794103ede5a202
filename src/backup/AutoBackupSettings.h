#pragma once

#include "backup/AutoBackup.h"

// The automatic backup's settings, group [backup].
namespace AutoBackupSettings {

AutoBackupOptions load();
void store(const AutoBackupOptions& options);

} // namespace AutoBackupSettings
