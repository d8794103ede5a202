#include "printing/Capitals.h"

#include "data/Errors.h"
#include "printing/AmountToCapitals.h"
#include "settings/Settings.h"

#include <cmath>

namespace {

const QString kKey = QStringLiteral("print/capitals");
const QString kBanking = QStringLiteral("banking");

const QChar kDigits[] = {u'零', u'壹', u'贰', u'叁', u'肆', u'伍', u'陆', u'柒', u'捌', u'玖'};
const char16_t* const kPlaces[] = {u"", u"拾", u"佰", u"仟"};
const char16_t* const kSections[] = {u"", u"万", u"亿", u"万亿"};

// 10^16 cents: four sections of four digits of 元.
constexpr double kLimit = 1e16;

} // namespace

namespace Capitals {

Style chosen() {
    return Settings::value(kKey).toString() == kBanking ? Style::Banking : Style::Original;
}

void choose(Style style) {
    Settings::setValue(kKey, style == Style::Banking ? kBanking : QStringLiteral("original"));
}

QString banking(double amount) {
    if (!std::isfinite(amount) || std::abs(amount) * 100 >= kLimit)
        throw ConversionError(
            QStringLiteral("金额 %1 超出可以大写的范围。").arg(amount, 0, 'g', 17));
    const auto cents = static_cast<qint64>(std::nearbyint(std::abs(amount) * 100));
    const qint64 yuan = cents / 100;
    const int jiao = static_cast<int>(cents / 10 % 10);
    const int fen = static_cast<int>(cents % 10);
    QString r = amount < 0 && cents > 0 ? QStringLiteral("负") : QString();
    if (cents == 0)
        return QStringLiteral("零元整");

    // A run of zeros between two digits is one 零; zeros at the end of the 元 leave none.
    const QString digits = QString::number(yuan);
    bool zeroPending = false;
    bool sectionUsed = false;
    for (qsizetype i = 0; i < digits.size() && yuan > 0; ++i) {
        const auto place = static_cast<int>(digits.size() - 1 - i);
        const int digit = digits.at(i).digitValue();
        if (digit == 0) {
            zeroPending = true;
        } else {
            if (zeroPending)
                r += kDigits[0];
            r += kDigits[digit];
            r += QString::fromUtf16(kPlaces[place % 4]);
            zeroPending = false;
            sectionUsed = true;
        }
        if (place % 4 == 0 && place > 0 && sectionUsed) {
            r += QString::fromUtf16(kSections[place / 4]);
            sectionUsed = false;
        }
    }
    if (yuan > 0)
        r += u'元';
    if (jiao == 0 && fen == 0)
        return r + u'整';
    if (jiao != 0) {
        r += kDigits[jiao];
        r += u'角';
    } else if (yuan > 0) {
        r += kDigits[0];
    }
    if (fen == 0)
        return r + u'整';
    r += kDigits[fen];
    r += u'分';
    return r;
}

QString total(double amount, Style style) {
    if (style == Style::Banking)
        return banking(amount);
    return amount < 0 ? QStringLiteral("负") + AmountToCapitals(-amount) + u'整'
                      : AmountToCapitals(amount) + u'整';
}

} // namespace Capitals
