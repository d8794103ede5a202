// AmountToCapitals over every double and over every amount a note can total. Any double gives
// text or the conversion error, the error exactly for negative, non-finite and too large
// amounts. Every non-negative amount below 10^13 with at most two decimals gives text made only
// of the capital digits and units, ending in 元, 角 or 分, which reads back as the amount.
#include "data/Errors.h"
#include "printing/AmountToCapitals.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");

// Reads the capital text back into hundredths: digits, the units 十 佰 千 within a group (a
// bare 十, also after 零, counts one ten), 万 and 亿 closing groups, then 角 and 分 after 元.
qint64 readBack(const QString& text) {
    qint64 total = 0;   // closed by 亿
    qint64 section = 0; // closed by 万
    qint64 group = 0;   // below ten thousand
    qint64 digit = -1;
    bool fraction = false;
    qint64 cents = 0;
    for (const QChar c : text) {
        const qsizetype d = kDigits.indexOf(c);
        if (d >= 0) {
            digit = d;
            continue;
        }
        const qint64 pending = digit < 0 ? 0 : digit;
        switch (c.unicode()) {
        case u'十':
            group += (digit <= 0 ? 1 : digit) * 10;
            break;
        case u'佰':
            group += pending * 100;
            break;
        case u'千':
            group += pending * 1000;
            break;
        case u'万':
            section = (section + group + pending) * 10000;
            group = 0;
            break;
        case u'亿':
            total = (total + section + group + pending) * 100000000;
            section = group = 0;
            break;
        case u'元':
            total += section + group + pending;
            section = group = 0;
            fraction = true;
            break;
        case u'角':
            cents += pending * 10;
            break;
        case u'分':
            cents += pending;
            break;
        default:
            std::abort(); // nothing but capitals and units
        }
        digit = -1;
    }
    if (!fraction)
        std::abort();
    return total * 100 + cents;
}

void checkAny(double amount) {
    const bool refused =
        !(amount >= 0) || !std::isfinite(amount) || amount >= 9223372036854775808.0;
    try {
        const QString text = AmountToCapitals(amount);
        if (refused)
            std::abort();
        if (text.isEmpty())
            std::abort();
    } catch (const ConversionError&) {
        if (!refused)
            std::abort();
    }
}

void checkNoteAmount(qint64 cents) {
    const QString text = AmountToCapitals(static_cast<double>(cents) / 100.0);
    const QChar last = text.isEmpty() ? QChar() : text.back();
    if (last != u'元' && last != u'角' && last != u'分')
        std::abort();
    if (readBack(text) != cents)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(double))
        return 0;
    double amount;
    std::memcpy(&amount, data, sizeof amount);
    checkAny(amount);
    quint64 bits;
    std::memcpy(&bits, data, sizeof bits);
    checkNoteAmount(static_cast<qint64>(bits % 1000000000000000ULL));
    return 0;
}
