// The text-to-number conversion against the C library's reading of the same text: a text is
// a number exactly when it has the form blanks, sign, digits with at most one point, exponent,
// blanks; its value is then the one strtold gives; out-of-range values are refused.
#include "data/Errors.h"
#include "data/NumberText.h"

#include <QRegularExpression>
#include <QString>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The parts of a text of the number form: sign, integer digits, fraction digits, exponent.
std::optional<std::string> normalForm(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("\\A *([+-]?)([0-9]*)(\\.?)([0-9]*)(?:[eE]([+-]?[0-9]+))? *\\z"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return std::nullopt;
    // A point alone reads as zero, so strtold gets a digit on each side.
    const QString digits = (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2)) +
                           QLatin1Char('.') +
                           (m.captured(4).isEmpty() ? QStringLiteral("0") : m.captured(4));
    QString normal = m.captured(1) + digits;
    if (m.hasCaptured(5))
        normal += QLatin1Char('e') + m.captured(5);
    return normal.toStdString();
}

// strtold's value; nothing when it is out of range (or, for a double, too large).
std::optional<long double> reference(const std::string& normal, bool& flagged) {
    errno = 0;
    char* end = nullptr;
    const long double value = std::strtold(normal.c_str(), &end);
    if (*end != '\0')
        std::abort();
    flagged = errno == ERANGE;
    if (!std::isfinite(value) || !std::isfinite(static_cast<double>(value)))
        return std::nullopt;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<long double> parsed = NumberText::parse(text);

    // toNumber fails exactly where parse finds no number, and otherwise agrees with it.
    try {
        const double number = NumberText::toNumber(text);
        if (!parsed || static_cast<double>(*parsed) != number)
            std::abort();
    } catch (const ConversionError& e) {
        if (parsed ||
            e.message() != QStringLiteral("'%1' is not a valid floating point value").arg(text))
            std::abort();
    }

    const std::optional<std::string> normal = normalForm(text);
    if (!normal) {
        if (parsed)
            std::abort();
        return 0;
    }
    bool flagged = false;
    const std::optional<long double> expected = reference(*normal, flagged);
    if (!expected) {
        if (parsed)
            std::abort();
    } else if (parsed) {
        if (*parsed != *expected)
            std::abort();
    } else if (!flagged) {
        // Refusing a value in range is a fault; an underflow strtold flags may be refused.
        std::abort();
    }
    return 0;
}
