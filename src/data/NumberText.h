#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The program's number texts. The decimal separator is always ".".
namespace NumberText {

// The general text-to-number conversion: optional blanks, optional sign, digits with an
// optional point and fraction, optional exponent, optional blanks. "." alone reads as 0; an
// empty text, blanks or a sign alone, and values out of range are not numbers.
std::optional<long double> parse(const QString& text);

// As parse(), failing with "'<text>' is not a valid floating point value".
double toNumber(const QString& text);
long double toExtended(const QString& text);

// General format with 15 significant digits: no trailing zeros, plain digits for magnitudes
// from 0.0001 to below 1E15, otherwise mantissa, "E" and the exponent (1E15, 1.5E-5).
QString general(double value);
QString general(long double value);

// Display format "#0.##": at least one integer digit, at most two decimals, no grouping
// (12 -> "12", 12.5 -> "12.5", 0.125 -> "0.13").
QString display(double value);

// The tidied text: formatted with "0.00", read back and written in the general format
// (12.5 -> "12.5", 3 -> "3", 2.456 -> "2.46"). Fails like toNumber() on a text that is not a
// number.
QString tidy(const QString& text);

// Sums are kept as whole counts of 1/10000 so that 0.1 + 0.2 shows 0.3.
qint64 toTenThousandths(double value);
QString displayTenThousandths(qint64 count);

} // namespace NumberText
