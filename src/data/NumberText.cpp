#include "data/NumberText.h"

#include "data/Errors.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace NumberText {
namespace {

// A finite, non-zero value as its decimal digits (no leading zero, trailing zeros removed) and
// the power of ten of the first digit: value = 0.d1d2d3... * 10^(exponent + 1).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal toDecimal(long double value, int significant) {
    Decimal d;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", significant - 1, value);
    const char* p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits.push_back(*p);
    }
    d.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Plain (non-exponent) text of a decimal, rounded half away from zero to at most `decimals`
// places when decimals >= 0.
std::string plain(Decimal d, int decimals) {
    if (decimals >= 0) {
        // Position of the last kept digit within `digits`.
        const int keep = d.exponent + 1 + decimals;
        if (keep < 0) {
            d.digits = "0";
            d.exponent = 0;
        } else if (keep < static_cast<int>(d.digits.size())) {
            const bool up = d.digits[keep] >= '5';
            d.digits.resize(keep);
            if (up) {
                int i = keep - 1;
                while (i >= 0 && d.digits[i] == '9') {
                    d.digits[i] = '0';
                    --i;
                }
                if (i < 0) {
                    d.digits.insert(d.digits.begin(), '1');
                    ++d.exponent;
                } else {
                    ++d.digits[i];
                }
            }
            while (!d.digits.empty() && d.digits.back() == '0')
                d.digits.pop_back();
            if (d.digits.empty()) {
                d.digits = "0";
                d.exponent = 0;
                d.negative = false;
            }
        }
    }
    std::string out;
    if (d.digits == "0")
        d.negative = false;
    if (d.negative)
        out.push_back('-');
    const int intDigits = d.exponent + 1;
    if (intDigits <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-intDigits), '0');
        out += d.digits;
    } else if (intDigits >= static_cast<int>(d.digits.size())) {
        out += d.digits;
        out.append(static_cast<size_t>(intDigits) - d.digits.size(), '0');
    } else {
        out += d.digits.substr(0, intDigits);
        out.push_back('.');
        out += d.digits.substr(intDigits);
    }
    return out;
}

QString generalOf(long double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    const Decimal d = toDecimal(value, 15);
    if (d.exponent >= -4 && d.exponent < 15)
        return QString::fromStdString(plain(d, -1));
    std::string out = d.negative ? "-" : "";
    out.push_back(d.digits[0]);
    if (d.digits.size() > 1) {
        out.push_back('.');
        out += d.digits.substr(1);
    }
    out += "E" + std::to_string(d.exponent);
    return QString::fromStdString(out);
}

std::string fixed(double value, int decimals) {
    if (value == 0 || !std::isfinite(value))
        return "0";
    return plain(toDecimal(value, 15), decimals);
}

[[noreturn]] void invalid(const QString& text) {
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

} // namespace

std::optional<long double> parse(const QString& text) {
    const std::string s = text.toStdString();
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    std::string normal;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            normal.push_back('-');
        ++i;
    }
    std::string intPart, fracPart;
    while (i < n && s[i] >= '0' && s[i] <= '9')
        intPart.push_back(s[i++]);
    bool point = false;
    if (i < n && s[i] == '.') {
        point = true;
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            fracPart.push_back(s[i++]);
    }
    if (intPart.empty() && fracPart.empty() && !point)
        return std::nullopt;
    std::string exponent;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) {
            if (s[i] == '-')
                exponent.push_back('-');
            ++i;
        }
        const size_t start = exponent.size();
        while (i < n && s[i] >= '0' && s[i] <= '9')
            exponent.push_back(s[i++]);
        if (exponent.size() == start)
            return std::nullopt;
    }
    while (i < n && s[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;
    normal += (intPart.empty() ? "0" : intPart) + "." + (fracPart.empty() ? "0" : fracPart);
    if (!exponent.empty())
        normal += "e" + exponent;
    long double value = 0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec != std::errc() || result.ptr != normal.data() + normal.size() ||
        !std::isfinite(value) || !std::isfinite(static_cast<double>(value)))
        return std::nullopt;
    return value;
}

double toNumber(const QString& text) {
    return static_cast<double>(toExtended(text));
}

long double toExtended(const QString& text) {
    const auto value = parse(text);
    if (!value)
        invalid(text);
    return *value;
}

QString general(double value) {
    return generalOf(value);
}

QString general(long double value) {
    return generalOf(value);
}

QString display(double value) {
    if (std::isfinite(value) && std::fabs(value) >= 1e18)
        return general(value);
    return QString::fromStdString(fixed(value, 2));
}

QString tidy(const QString& text) {
    const std::string twoDecimals = fixed(toNumber(text), 2);
    return general(toNumber(QString::fromStdString(twoDecimals)));
}

qint64 toTenThousandths(double value) {
    const double scaled = value * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
        throw ConversionError(QStringLiteral("'%1' is out of range for a sum").arg(general(value)));
    return static_cast<qint64>(std::nearbyint(scaled));
}

QString displayTenThousandths(qint64 count) {
    const bool negative = count < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(count) : count;
    quint64 whole = magnitude / 10000;
    quint64 rest = magnitude % 10000;
    quint64 hundredths = rest / 100;
    if (rest % 100 >= 50)
        ++hundredths;
    if (hundredths == 100) {
        ++whole;
        hundredths = 0;
    }
    QString out = QString::number(whole);
    if (hundredths != 0) {
        out += QLatin1Char('.') + QStringLiteral("%1").arg(hundredths, 2, 10, QLatin1Char('0'));
        while (out.endsWith(QLatin1Char('0')))
            out.chop(1);
    }
    if (negative && (whole != 0 || hundredths != 0))
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace NumberText
