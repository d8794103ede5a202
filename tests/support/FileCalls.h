#pragma once

#include <QList>
#include <QString>

// Stands between a test program and the C library's rename, unlink and fsync, and, when asked,
// its write, pwrite64 and fdatasync (this file is linked into the programs that need it, not
// into the support library): it records the calls made on one folder and the files in it, and
// can end the process just before one of them, where a kill or a power cut might land.
namespace FileCalls {

struct Call {
    QString name; // "rename", "unlink", "fsync", and with Watch::Writes "write" and "fdatasync"
    QString path; // the new name, the removed file, the file or folder put on disk or written
    bool operator==(const Call&) const = default;
};

// What is recorded: the changes to the folder and the syncs (rename, unlink, fsync), or those
// and every write and data sync of its files (a database's transaction, call by call).
enum class Watch { Changes, Writes };

// Records the calls on the folder and the files right in it from now on, forgetting others.
void watch(const QString& folder, Watch what = Watch::Changes);
QList<Call> calls();

// Kills the process with SIGKILL just before its n-th recorded rename or unlink (from 1); with
// Watch::Writes, just before its n-th recorded call of any kind.
void killBefore(int n);

} // namespace FileCalls
