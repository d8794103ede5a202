#pragma once

#include <QDateTime>
#include <QStringList>

// Names of the automatic backups and which of them to keep.
namespace BackupRetention {

enum class Kind {
    Ordinary,      // "data-YYYYMMDD-HHMMSS.bak"
    BeforeRestore, // "data-YYYYMMDD-HHMMSS-恢复前.bak": the data a restore replaced
    BeforeUpgrade, // "data-YYYYMMDD-HHMMSS-升级前.bak": the data before a schema migration
};

// The name of a backup made at a local time.
QString nameFor(const QDateTime& time, Kind kind = Kind::Ordinary);
// The local time a backup's name holds; invalid for any other name.
QDateTime timeOf(const QString& name);
// The kind a backup's name tells; Ordinary for any other name too.
Kind kindOf(const QString& name);

// The time to name a new backup with: the clock's, or one second after the newest of `names`
// when the clock is not past it (set back, or the same second), so that the names keep the
// order in which the backups were made.
QDateTime nextTime(const QStringList& names, const QDateTime& now);

// Of the backups among `names`, the ones to remove, oldest first: every ordinary one but the
// newest `keep` and the newest of each of the twelve calendar months ending with `today`'s,
// or with the newest backup's month when the clock stands before it; of the ones made before
// a restore or an upgrade, all but the newest `keep` of each kind, so they never go before the
// ordinary ones. `made`, the backup just made, is never listed, nor are other names.
QStringList toRemove(const QStringList& names, int keep, const QDate& today,
                     const QString& made = {});

} // namespace BackupRetention
