#include "data/LastPrice.h"

#include "data/Connection.h"

namespace LastPrice {
namespace {

// A text no stored text can equal (a NUL, half a surrogate pair) finds nothing.
bool storable(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return false;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

std::optional<Found> find(Connection& connection, const QString& contact, const QString& code) {
    if (contact.isEmpty() || code.isEmpty() || !storable(contact) || !storable(code))
        return std::nullopt;
    return connection.engine().lastPrice(contact, code);
}

} // namespace LastPrice
