#pragma once

#include <QString>

// Money as accountants read it: two decimals and a comma between thousands ("1,234.50",
// "-0.30"), rounded to the fen, half away from zero.
namespace MoneyText {

QString of(qint64 tenThousandths);
QString of(double amount);

} // namespace MoneyText
