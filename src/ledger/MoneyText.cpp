#include "ledger/MoneyText.h"

#include "data/NumberText.h"

#include <cstdlib>

namespace MoneyText {

QString of(qint64 tenThousandths) {
    const bool negative = tenThousandths < 0;
    // Within the range of sums (2^63 / 10000), the magnitude plus half a fen cannot overflow.
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(tenThousandths) : static_cast<quint64>(tenThousandths);
    const quint64 fen = (magnitude + 50) / 100;
    QString whole = QString::number(fen / 100);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, u',');
    const QString text =
        whole + u'.' + QStringLiteral("%1").arg(fen % 100, 2, 10, QLatin1Char('0'));
    return negative && fen > 0 ? u'-' + text : text;
}

QString of(double amount) {
    return of(NumberText::toTenThousandths(amount));
}

QString ofFen(qint64 fen) {
    return of(fen * 100);
}

std::optional<qint64> parseFen(const QString& text) {
    QString plain = text.trimmed();
    plain.remove(u',');
    const qsizetype point = plain.indexOf(u'.');
    const QString whole = point < 0 ? plain : plain.left(point);
    const QString cents = point < 0 ? QString() : plain.mid(point + 1);
    if ((whole.isEmpty() && cents.isEmpty()) || whole.size() > 13 || cents.size() > 2)
        return std::nullopt;
    for (const QString& part : {whole, cents})
        for (const QChar c : part)
            if (c < u'0' || c > u'9')
                return std::nullopt;
    return whole.toLongLong() * 100 + (cents + QStringLiteral("00")).left(2).toLongLong();
}

} // namespace MoneyText
