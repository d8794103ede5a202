#include "data/DateText.h"

namespace DateText {
namespace {

// The common stored form, yyyy-MM-dd, read without a format parser: a 200,000-row list shows
// one date per row.
QDate parseIso(QStringView text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return QDate();
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < u'0' || text[i] > u'9')
                return QDate();
            parts[p] = parts[p] * 10 + (text[i].unicode() - u'0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

} // namespace

QString toStorage(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate parse(const QString& text) {
    const QString trimmed = text.trimmed();
    // Stored values may carry a time of day after the date.
    QDate date = parseIso(QStringView(trimmed).left(10));
    if (!date.isValid())
        date = QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("yyyy/M/d"));
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("yyyy-M-d"));
    return date;
}

QString display(const QString& stored) {
    const QDate date = parse(stored);
    if (!date.isValid())
        return stored;
    // yyyy/M/d; parsed years have four digits.
    return QString::number(date.year()).rightJustified(4, u'0') + u'/' +
           QString::number(date.month()) + u'/' + QString::number(date.day());
}

} // namespace DateText
