#pragma once

#include <QString>

namespace SeedDatabase {

// Writes a new database with `goods` goods, `customers` customers, `deliveries` delivery rows
// (bills of about 20 rows), `payments` payments spread over the customers and the year, and
// the company profile into `file`, which must not exist. Fails with DataError, removing what
// it wrote.
void generate(const QString& file, int goods, int customers, int deliveries, int payments = 0);

} // namespace SeedDatabase
