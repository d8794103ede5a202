#include "backup/BackupRetention.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("yyyyMMdd-HHmmss");

struct Dated {
    QDateTime time;
    QString name;
};

int monthIndex(const QDate& date) {
    return date.year() * 12 + date.month() - 1;
}

} // namespace

namespace BackupRetention {

QString nameFor(const QDateTime& time) {
    return QStringLiteral("data-%1.bak").arg(time.toString(kFormat));
}

QDateTime timeOf(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^data-(\\d{8}-\\d{6})\\.bak$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), kFormat);
}

QStringList toRemove(const QStringList& names, int keep, const QDate& today) {
    QList<Dated> backups;
    for (const QString& name : names) {
        const QDateTime time = timeOf(name);
        if (time.isValid())
            backups.append({time, name});
    }
    // Newest first; the name breaks ties so the order never depends on the listing's.
    std::sort(backups.begin(), backups.end(), [](const Dated& a, const Dated& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    QSet<QString> kept;
    QSet<int> monthsSeen;
    const int thisMonth = monthIndex(today);
    for (qsizetype i = 0; i < backups.size(); ++i) {
        const int month = monthIndex(backups[i].time.date());
        const bool recentMonth = month > thisMonth - 12 && month <= thisMonth;
        if (i < keep || (recentMonth && !monthsSeen.contains(month)))
            kept.insert(backups[i].name);
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
