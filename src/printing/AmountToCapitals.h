#pragma once

#include <QString>

// The amount in Chinese capital numerals as the delivery note states its total, digit by digit
// with the place units 十 佰 千 万 亿 and the money units 元 角 分; the caller appends "整".
// Throws ConversionError for a negative amount, for NaN or an infinity, and for an amount whose
// integer part does not fit a signed 64-bit integer.
QString AmountToCapitals(double amount);
