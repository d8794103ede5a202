#include "backup/BackupRetention.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kBeforeRestore = QStringLiteral("-恢复前");
const QString kBeforeUpgrade = QStringLiteral("-升级前");

struct Dated {
    QDateTime time;
    QString name;
};

int monthIndex(const QDate& date) {
    return date.year() * 12 + date.month() - 1;
}

QRegularExpressionMatch matchName(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^data-(\\d{8}-\\d{6})(%1|%2)?\\.bak$").arg(kBeforeRestore, kBeforeUpgrade));
    return pattern.match(name);
}

// The backups among the names, newest first; the name breaks ties so the order never depends
// on the listing's.
QList<Dated> dated(const QStringList& names) {
    QList<Dated> backups;
    for (const QString& name : names) {
        const QDateTime time = BackupRetention::timeOf(name);
        if (time.isValid())
            backups.append({time, name});
    }
    std::sort(backups.begin(), backups.end(), [](const Dated& a, const Dated& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return backups;
}

} // namespace

namespace BackupRetention {

QString nameFor(const QDateTime& time, Kind kind) {
    const QString suffix = kind == Kind::BeforeRestore   ? kBeforeRestore
                           : kind == Kind::BeforeUpgrade ? kBeforeUpgrade
                                                         : QString();
    return QStringLiteral("data-%1%2.bak").arg(time.toString(kFormat), suffix);
}

QDateTime timeOf(const QString& name) {
    const QRegularExpressionMatch match = matchName(name);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), kFormat);
}

Kind kindOf(const QString& name) {
    const QString suffix = matchName(name).captured(2);
    if (suffix == kBeforeRestore)
        return Kind::BeforeRestore;
    return suffix == kBeforeUpgrade ? Kind::BeforeUpgrade : Kind::Ordinary;
}

QDateTime nextTime(const QStringList& names, const QDateTime& now) {
    const QList<Dated> backups = dated(names);
    // Names hold whole seconds.
    const QDateTime clock = now.addMSecs(-now.time().msec());
    if (backups.isEmpty() || clock > backups.constFirst().time)
        return clock;
    return backups.constFirst().time.addSecs(1);
}

QStringList toRemove(const QStringList& names, int keep, const QDate& today, const QString& made) {
    const QList<Dated> backups = dated(names);
    // A clock set back does not make the months of the newest backups look like the future.
    const QDate latest = backups.isEmpty() ? today : qMax(today, backups.constFirst().time.date());
    const int thisMonth = monthIndex(latest);
    QSet<QString> kept{made};
    QSet<int> monthsSeen;
    int ordinary = 0;
    QHash<int, int> special;
    for (const Dated& backup : backups) {
        const Kind kind = kindOf(backup.name);
        if (kind != Kind::Ordinary) {
            if (special[static_cast<int>(kind)]++ < keep)
                kept.insert(backup.name);
            continue;
        }
        const int month = monthIndex(backup.time.date());
        const bool recentMonth = month > thisMonth - 12 && month <= thisMonth;
        if (ordinary++ < keep || (recentMonth && !monthsSeen.contains(month)))
            kept.insert(backup.name);
        monthsSeen.insert(month);
    }
    QStringList remove;
    for (auto it = backups.crbegin(); it != backups.crend(); ++it) {
        if (!kept.contains(it->name))
            remove.append(it->name);
    }
    return remove;
}

} // namespace BackupRetention
