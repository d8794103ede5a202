#include "ledger/BillNumberPattern.h"

namespace {

constexpr int kMostDigits = 9;

} // namespace

// Year and month with a running number of the month: seven figures, which the delivery list's
// 60-pixel bill number column shows whole.
QString BillNumberPattern::defaultPattern() {
    return QStringLiteral("yyMMNNN");
}

QStringList BillNumberPattern::offered() {
    return {defaultPattern(), QStringLiteral("yyMMdd-NN"), QStringLiteral("yyyyMMdd-NNN"),
            QStringLiteral("yyMMdd-NNN"), QStringLiteral("'SH'yyMMNNN")};
}

BillNumberPattern::BillNumberPattern(const QString& pattern) {
    // The run of N outside quoted text splits the pattern into the two date parts.
    qsizetype start = -1;
    qsizetype end = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            quoted = !quoted;
        } else if (c == u'N' && !quoted) {
            if (start < 0)
                start = i;
            else if (end != i)
                return; // a second run
            end = i + 1;
        }
    }
    if (start < 0 || quoted || end - start > kMostDigits)
        return;
    head_ = pattern.left(start);
    tail_ = pattern.mid(end);
    digits_ = static_cast<int>(end - start);
}

QString BillNumberPattern::prefix(const QDate& day) const {
    return head_.isEmpty() ? QString() : day.toString(head_);
}

QString BillNumberPattern::format(const QDate& day, qint64 n) const {
    const QString tail = tail_.isEmpty() ? QString() : day.toString(tail_);
    return prefix(day) + QStringLiteral("%1").arg(n, digits_, 10, QLatin1Char('0')) + tail;
}

std::optional<qint64> BillNumberPattern::numberOf(const QString& bill, const QDate& day) const {
    if (!isValid())
        return std::nullopt;
    const QString head = prefix(day);
    const QString tail = tail_.isEmpty() ? QString() : day.toString(tail_);
    if (bill.size() < head.size() + digits_ + tail.size() || !bill.startsWith(head) ||
        !bill.endsWith(tail))
        return std::nullopt;
    const QStringView digits =
        QStringView(bill).mid(head.size(), bill.size() - head.size() - tail.size());
    if (digits.size() > 18)
        return std::nullopt;
    if (digits.size() > digits_ && digits.front() == u'0')
        return std::nullopt;
    qint64 n = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}
