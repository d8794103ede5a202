#pragma once

#include <QDate>
#include <QString>
#include <optional>

class Connection;

// The unit price a customer was charged last for a goods code, from the delivery rows: the
// latest by business date, then by row; rows without a price do not count. Contacts and codes
// compare with ASCII letters folded, as the look-ups take them. One indexed statement with
// both texts bound, on the file and on a server alike.
namespace LastPrice {

struct Found {
    double price = 0;
    QDate date;
};

// None when either text is empty or no row of that customer holds that code.
std::optional<Found> find(Connection& connection, const QString& contact, const QString& code);

// The statement on the file, ?1 the contact and ?2 the code (for the benchmark's raw run).
QString fileSql();

} // namespace LastPrice
