#pragma once

#include "data/Engine.h"

#include <QString>
#include <optional>

class Connection;

// The unit price a customer was charged last for a goods code, from the delivery rows: the
// latest by business date, then by row; rows without a price do not count. Contacts and codes
// compare with ASCII letters folded, as the look-ups take them. One indexed statement of the
// engine with both texts bound.
namespace LastPrice {

using Found = Engine::Price;

// None when either text is empty or no row of that customer holds that code.
std::optional<Found> find(Connection& connection, const QString& contact, const QString& code);

} // namespace LastPrice
