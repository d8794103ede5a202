#pragma once

#include <QDateTime>
#include <QStringList>

// Names of the automatic backups and which of them to keep.
namespace BackupRetention {

// "data-YYYYMMDD-HHMMSS.bak" for a local time.
QString nameFor(const QDateTime& time);
// The local time an automatic backup's name holds; invalid for any other name.
QDateTime timeOf(const QString& name);

// Of the automatic backups among `names`, the ones to remove, oldest first: every one but the
// newest `keep` and the newest of each of the twelve calendar months ending with `today`'s.
// Other names are never listed.
QStringList toRemove(const QStringList& names, int keep, const QDate& today);

} // namespace BackupRetention
