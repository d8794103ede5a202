#include "data/DateText.h"

namespace DateText {

QString toStorage(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate parse(const QString& text) {
    const QString trimmed = text.trimmed();
    // Stored values may carry a time of day after the date.
    QDate date = QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("yyyy/M/d"));
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("yyyy-M-d"));
    return date;
}

QString display(const QString& stored) {
    const QDate date = parse(stored);
    return date.isValid() ? date.toString(QStringLiteral("yyyy/M/d")) : stored;
}

} // namespace DateText
