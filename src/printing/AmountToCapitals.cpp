#include "printing/AmountToCapitals.h"

#include "data/Errors.h"

#include <cmath>
#include <cstdint>

namespace {

const QChar kDigits[] = {u'零', u'壹', u'贰', u'叁', u'肆', u'伍', u'陆', u'柒', u'捌', u'玖'};
const QChar kZero = u'零';

QString notAnInteger(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

// The amount as the general number text names it in the error: 15 significant digits,
// exponent without '+' or leading zeros (1E19), NAN and INF for the special values.
QString amountText(double amount) {
    if (std::isnan(amount))
        return QStringLiteral("NAN");
    if (std::isinf(amount))
        return amount > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString text = QString::number(amount, 'G', 15);
    const qsizetype e = text.indexOf(u'E');
    if (e >= 0) {
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(u'-');
        exponent.remove(0, exponent.startsWith(u'+') || negative ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(u'0'))
            exponent.remove(0, 1);
        text = text.left(e + 1) + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    return text;
}

bool endsWith(const QString& r, QChar c) {
    return !r.isEmpty() && r.back() == c;
}

void dropLast(QString& r) {
    r.chop(1);
}

void digitStep(QString& r, int digit) {
    if (digit == 0) {
        if (!endsWith(r, kZero))
            r += kZero;
    } else {
        r += kDigits[digit];
    }
}

void unitStep(QString& r, int place, bool zero) {
    switch (place) {
    case 1:
        if (endsWith(r, kZero))
            dropLast(r);
        r += u'元';
        break;
    case 2:
    case 10:
        if (!zero)
            r += u'十';
        break;
    case 3:
    case 7:
    case 11:
        if (!zero)
            r += u'佰';
        break;
    case 4:
    case 8:
    case 12:
        if (!zero)
            r += u'千';
        break;
    case 5:
        if (!zero) {
            r += u'万';
        } else {
            dropLast(r);
            r += endsWith(r, u'亿') ? kZero : QChar(u'万');
        }
        break;
    case 6:
        if (!zero) {
            if (endsWith(r, u'壹'))
                dropLast(r);
            r += u'十';
        }
        break;
    case 9:
        if (zero && endsWith(r, kZero))
            dropLast(r);
        r += u'亿';
        break;
    case 13:
        if (!zero)
            r += u'万';
        break;
    default:
        break;
    }
}

} // namespace

QString AmountToCapitals(double amount) {
    if (amount < 0)
        throw ConversionError(notAnInteger(QStringLiteral("-")));
    // 2^63 is exact as a double; anything at or above it would overflow the integer part.
    if (!std::isfinite(amount) || amount >= 9223372036854775808.0)
        throw ConversionError(notAnInteger(amountText(amount)));

    const double whole = std::trunc(amount);
    const QString integerDigits = QString::number(static_cast<std::int64_t>(whole));

    // Hundredths with ties to the even neighbour (the default rounding mode); a fraction that
    // rounds up to 1 prints as "1" and leaves no digits: it is not carried.
    const double fraction = std::nearbyint((amount - whole) / 0.01) * 0.01;
    const QString fractionDigits = QString::number(fraction, 'g', 15).mid(2);

    QString r;
    const qsizetype count = integerDigits.size();
    for (qsizetype i = 0; i < count; ++i) {
        const int digit = integerDigits.at(i).digitValue();
        digitStep(r, digit);
        unitStep(r, static_cast<int>(count - i), digit == 0);
    }
    for (qsizetype j = 0; j < fractionDigits.size(); ++j) {
        const int digit = fractionDigits.at(j).digitValue();
        digitStep(r, digit);
        if (digit != 0)
            r += j == 0 ? QChar(u'角') : QChar(u'分');
    }
    return r;
}
