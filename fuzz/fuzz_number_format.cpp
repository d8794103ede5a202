// The general number format and the display format "#0.##" over every double (and the long
// double the amount is computed in): the general text is what printf's %.15G gives with the
// exponent written plainly; the display text has at most two decimals, reads back within
// half a hundredth, and agrees with the fixed-point sums.
#include "data/NumberText.h"

#include <QRegularExpression>
#include <QString>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// %.15LG with the exponent as the program writes it: no "+", no leading zeros (1.5E-5).
QString referenceGeneral(long double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15LG", value);
    QString text = QString::fromLatin1(buffer);
    static const QRegularExpression exponent(QStringLiteral("E([+-])0*([0-9]+)$"));
    const QRegularExpressionMatch m = exponent.match(text);
    if (m.hasMatch())
        text = text.left(m.capturedStart()) + QLatin1Char('E') +
               (m.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString()) +
               m.captured(2);
    return text;
}

void checkGeneral(long double value, const QString& text) {
    if (text != referenceGeneral(value))
        std::abort();
    if (!std::isfinite(value))
        return;
    // It reads back as the value to 15 significant digits.
    const auto back = NumberText::parse(text);
    // At the ends of the range the 15-digit text falls outside it and is refused: below the
    // smallest normal extended value, and above the largest double (1.79769313486232E308).
    const bool edge = std::fabs(value) < 2 * LDBL_MIN || std::fabs(value) > 1.7976931348623e308L;
    if (!back && std::isfinite(static_cast<double>(value)) && !edge)
        std::abort();
    if (back && std::fabs(*back - value) > std::fabs(value) * 5.1e-15L)
        std::abort();
}

void checkDisplay(double value) {
    const QString text = NumberText::display(value);
    if (!std::isfinite(value))
        return;
    if (std::fabs(value) >= 1e18) {
        if (text != NumberText::general(value))
            std::abort();
        return;
    }
    static const QRegularExpression form(
        QStringLiteral("\\A-?(0|[1-9][0-9]*)(\\.[0-9]?[1-9])?\\z"));
    if (!form.match(text).hasMatch() || text == QLatin1String("-0"))
        std::abort();
    const double back = NumberText::toNumber(text);
    if (std::fabs(back - value) > 0.005 + std::fabs(value) * 1e-14)
        std::abort();
}

void checkTenThousandths(qint64 count) {
    const QString text = NumberText::displayTenThousandths(count);
    static const QRegularExpression form(
        QStringLiteral("\\A-?(0|[1-9][0-9]*)(\\.[0-9]?[1-9])?\\z"));
    if (!form.match(text).hasMatch() || text == QLatin1String("-0"))
        std::abort();
    // Below 10^15 the sum's text is exactly what the display format makes of the value.
    if (count > -1000000000000000LL && count < 1000000000000000LL &&
        text != NumberText::display(static_cast<double>(count) / 10000.0))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        checkGeneral(value, NumberText::general(value));
        checkDisplay(value);
        qint64 count;
        std::memcpy(&count, data, sizeof count);
        checkTenThousandths(count);
    }
    if (size >= 10) {
        // The 80-bit extended format: 64-bit significand, then sign and exponent.
        // The integer bit follows the exponent, as in every value the processor produces.
        unsigned char bytes[sizeof(long double)] = {};
        std::memcpy(bytes, data, 10);
        const bool normal = (bytes[8] | (bytes[9] & 0x7f)) != 0;
        bytes[7] = static_cast<unsigned char>((bytes[7] & 0x7f) | (normal ? 0x80 : 0));
        long double value;
        std::memcpy(&value, bytes, sizeof value);
        checkGeneral(value, NumberText::general(value));
    }
    return 0;
}
