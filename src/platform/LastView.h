#pragma once

#include <QString>

// The stored code of the view that showed last ("1" goods, "2" customers, "3" deliveries).
// Kept in the user's settings (the qorvel settings file, key "data").
namespace LastView {

// Reads the code without creating anything; empty when nothing is stored.
QString read();
// Writes the code; fails with AppError when the setting cannot be written.
void write(const QString& code);

} // namespace LastView
