#pragma once

#include <QString>

// How totals are written in capitals on the note and the statement, as chosen on the "打印"
// settings page ([print] capitals). The note's own way (壹十, 千, 元整 for 0) is the default;
// the banking way writes 拾 佰 仟, one 零 for a run of zeros, and 零元整 for 0.
namespace Capitals {

enum class Style { Original, Banking };

Style chosen();
// Fails with AppError when the settings cannot be written.
void choose(Style style);

// The amount, to hundredths, in the banking way, with "整" after 元 or 角 and none after 分;
// a negative amount is written "负" before it. Throws ConversionError beyond 10^16.
QString banking(double amount);

// A total as the statement prints it: in the chosen style, "负" before a negative amount.
QString total(double amount, Style style);

} // namespace Capitals
