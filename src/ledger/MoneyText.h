#pragma once

#include <QString>
#include <optional>

// Money as accountants read it: two decimals and a comma between thousands ("1,234.50",
// "-0.30"), rounded to the fen, half away from zero.
namespace MoneyText {

QString of(qint64 tenThousandths);
QString of(double amount);
// Fen as the same text.
QString ofFen(qint64 fen);
// A typed amount of money ("1234.5", "1,234.50", "0.05") in fen; nothing for any other text,
// a negative amount or more than two decimals.
std::optional<qint64> parseFen(const QString& text);

} // namespace MoneyText
