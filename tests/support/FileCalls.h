#pragma once

#include <QList>
#include <QString>

// Stands between a test program and the C library's rename, unlink and fsync (this file is
// linked into the programs that need it, not into the support library): it records the calls
// made on one folder and the files in it, and can end the process just before one of them,
// where a kill or a power cut might land.
namespace FileCalls {

struct Call {
    QString name; // "rename", "unlink" or "fsync"
    QString path; // the new name, the removed file, the file or folder put on disk
    bool operator==(const Call&) const = default;
};

// Records the calls on the folder and the files right in it from now on, forgetting others.
void watch(const QString& folder);
QList<Call> calls();

// Kills the process with SIGKILL just before its n-th recorded rename or unlink (from 1).
void killBefore(int n);

} // namespace FileCalls
