#pragma once

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
// renamed to "data-YYYYMMDD-HHMMSS.bak". Only then are the backups past the ones kept removed.
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

// Never fails: every failure is in the result.
Result run(const AutoBackupOptions& options, const Progress& progress = {});

// The time of the newest automatic backup in the folder; invalid when there is none.
QDateTime newest(const QString& folder);

struct Entry {
    QString file;
    QDateTime time;
    qint64 size = 0;
};
// The automatic backups in the folder, newest first.
QList<Entry> entries(const QString& folder);
// The rows of 表3 in a backup; nothing when it cannot be read.
std::optional<qint64> deliveries(const QString& file);

// Runs on the finished temporary copy just before it is checked.
void setBeforeCheckForTesting(std::function<void(const QString& file)> hook);
// Stands for the free space of the backup folder's disk; none: the disk's own.
void setFreeSpaceForTesting(std::function<qint64(const QString& folder)> bytes);

} // namespace AutoBackup
