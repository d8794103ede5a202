#pragma once

#include <QDate>
#include <QString>

// Business dates are stored as ISO text (yyyy-MM-dd) and shown, wherever they are read as
// text, as the Chinese short date yyyy/M/d, whatever the machine's locale.
namespace DateText {

QString toStorage(const QDate& date);
// A stored value as the short date; text that is not a stored date comes back unchanged.
QString display(const QString& stored);
// Reads a stored value or a short date; invalid QDate when the text is neither.
QDate parse(const QString& text);

} // namespace DateText
