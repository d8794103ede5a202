#pragma once

#include "backup/BackupRetention.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// What the automatic backup is told to do.
struct AutoBackupOptions {
    bool enabled = true;
    // Empty: the folder "自动备份" in the data folder.
    QString folder;
    // How many of the newest backups are kept besides one a month for a year.
    int keep = 30;

    QString backupFolder() const;
};

// A verified copy of data.mdb in the backup folder, made the way "数据备份" makes one: a
// temporary file holding a complete copy taken under a shared lock (on a server: the same
// encrypted file written from one snapshot of the server's tables), checked, put on disk and
// renamed to "data-YYYYMMDD-HHMMSS.bak" (a second after the newest backup's time when the
// clock is not past it). Only then are the backups past the ones kept removed; never the one
// just made. The files and the folder the backup creates are its owner's only.
namespace AutoBackup {

enum class Outcome {
    Made,
    Off,      // switched off in the settings
    LowSpace, // skipped: less than twice the database's size free
    Failed,   // nothing new under a backup name; the reason says why
};

struct Result {
    Outcome outcome = Outcome::Failed;
    QString file;   // the new backup when made
    QString reason; // the failure in words
};

// How far the backup has come, 0 to 100, and the step it is in.
using Progress = std::function<void(int percent, const QString& step)>;

// Never fails: every failure is in the result. A backup holding what the newest one holds
// takes its place rather than a slot of its own.
Result run(const AutoBackupOptions& options, const Progress& progress = {});

// The same backup of the data a restore is about to replace, named "data-…-恢复前.bak" (or of
// the data a schema migration is about to change, "data-…-升级前.bak"), made whether or not the
// automatic backup is switched on; too little space is a failure. Such backups are thinned
// only among their kind.
Result beforeRestore(const AutoBackupOptions& options);
Result beforeUpgrade(const AutoBackupOptions& options);

// The time of the newest automatic backup in the folder, not counting those made before a
// restore; invalid when there is none.
QDateTime newest(const QString& folder);

struct Entry {
    QString file;
    QDateTime time;
    qint64 size = 0;
    BackupRetention::Kind kind = BackupRetention::Kind::Ordinary;
};
// The automatic backups in the folder, those made before a restore too, newest first.
QList<Entry> entries(const QString& folder);
// The rows of 表3 in a backup; nothing when it cannot be read.
std::optional<qint64> deliveries(const QString& file);

// Runs on the finished temporary copy just before it is checked.
void setBeforeCheckForTesting(std::function<void(const QString& file)> hook);
// Stands for the free space of the backup folder's disk; none: the disk's own.
void setFreeSpaceForTesting(std::function<qint64(const QString& folder)> bytes);

} // namespace AutoBackup
