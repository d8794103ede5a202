#pragma once

#include <QString>

// Moving a complete file over another, the system's way. PendingFile uses it; the backup,
// restore and export code reach it through PendingFile.
namespace FileReplace {

// True where a file that a program holds open cannot be replaced (Windows): whoever holds the
// target must close it before replace().
bool needsTargetClosed();

// Puts the file's bytes on disk; fails with AppError naming `target`, the file it will become.
void flush(const QString& file, const QString& target);

// Moves `written` over `target` (or to it, when there is none); the new file keeps a replaced
// target's permissions (on Windows its hidden and system attributes). Fails with AppError naming
// the target, leaving the target as it was.
void replace(const QString& written, const QString& target);

} // namespace FileReplace
